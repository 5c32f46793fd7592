# Scene pictures of the upper-left pane and "data/picindex.dat", packed at
# build time by tools/mkpicindex.cpp from pictures.txt and the committed JPEG
# sources in src/ (made by make-pictures.sh).
set(_pi_dir ${CMAKE_CURRENT_LIST_DIR})
file(GLOB _pi_src CONFIGURE_DEPENDS ${_pi_dir}/src/*.jpg)
set(_pi_out
  ${VELL_GAME_DIR}/data/picindex.dat
  ${VELL_GAME_DIR}/pics/scenes/campfire.pic
  ${VELL_GAME_DIR}/pics/scenes/fountain.pic)
add_custom_command(OUTPUT ${_pi_out}
  COMMAND mkpicindex ${_pi_dir}/pictures.txt ${VELL_GAME_DIR}
  DEPENDS mkpicindex ${_pi_dir}/pictures.txt ${_pi_src}
  COMMENT "Packing the scene pictures and data/picindex.dat"
  VERBATIM)
foreach(f IN LISTS _pi_out)
  vell_game_output(${f})
endforeach()
