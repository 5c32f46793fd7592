# Scene pictures of the upper-left pane and "data/picindex.dat", packed at
# build time by tools/mkpicindex.cpp from pictures.txt and the committed JPEG
# sources in src/ (made by make-pictures.sh and the other make-*.sh scripts).
set(_pi_dir ${CMAKE_CURRENT_LIST_DIR})
file(GLOB _pi_src CONFIGURE_DEPENDS ${_pi_dir}/src/*.jpg ${_pi_dir}/src/portraits/*.jpg ${_pi_dir}/src/town/*.jpg ${_pi_dir}/src/monsters/*.jpg
  ${_pi_dir}/src/story/*.jpg)
# Every picture file that pictures.txt names ("picture NICK KEEP_MS PATH").
set(_pi_out ${VELL_GAME_DIR}/data/picindex.dat)
file(STRINGS ${_pi_dir}/pictures.txt _pi_lines REGEX "^picture ")
foreach(_line IN LISTS _pi_lines)
  string(REGEX REPLACE "^picture +[^ ]+ +[0-9]+ +([^ ]+).*" "\\1" _pic "${_line}")
  list(APPEND _pi_out ${VELL_GAME_DIR}/${_pic})
endforeach()
set_property(DIRECTORY APPEND PROPERTY CMAKE_CONFIGURE_DEPENDS ${_pi_dir}/pictures.txt)
add_custom_command(OUTPUT ${_pi_out}
  COMMAND mkpicindex ${_pi_dir}/pictures.txt ${VELL_GAME_DIR}
  DEPENDS mkpicindex ${_pi_dir}/pictures.txt ${_pi_src}
  COMMENT "Packing the scene pictures and data/picindex.dat"
  VERBATIM)
foreach(f IN LISTS _pi_out)
  vell_game_output(${f})
endforeach()
