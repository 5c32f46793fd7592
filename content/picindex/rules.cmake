# Scene pictures of the upper-left pane and "data/picindex.dat", packed at
# build time by tools/mkpicindex.cpp from pictures.txt and the committed JPEG
# sources in src/ (made by make-pictures.sh and make-portraits.sh).
set(_pi_dir ${CMAKE_CURRENT_LIST_DIR})
file(GLOB _pi_src CONFIGURE_DEPENDS ${_pi_dir}/src/*.jpg ${_pi_dir}/src/portraits/*.jpg ${_pi_dir}/src/town/*.jpg)
set(_pi_out
  ${VELL_GAME_DIR}/data/picindex.dat
  ${VELL_GAME_DIR}/pics/scenes/campfire.pic
  ${VELL_GAME_DIR}/pics/scenes/fountain.pic
  ${VELL_GAME_DIR}/pics/town/adv_hall.pic
  ${VELL_GAME_DIR}/pics/town/closed.pic
  ${VELL_GAME_DIR}/pics/town/temple.pic
  ${VELL_GAME_DIR}/pics/town/magika.pic
  ${VELL_GAME_DIR}/pics/town/lyre.pic)
foreach(_race Human Elf HalfElf Dwarf Gnome Beggen HalfOrc Saurian Senrat)
  foreach(_sex Male Female)
    string(TOLOWER "${_race}_${_sex}" _pic)
    list(APPEND _pi_out ${VELL_GAME_DIR}/pics/portraits/${_pic}.pic
      ${VELL_GAME_DIR}/pics/portraits/${_pic}02.pic ${VELL_GAME_DIR}/pics/portraits/${_pic}03.pic)
  endforeach()
endforeach()
add_custom_command(OUTPUT ${_pi_out}
  COMMAND mkpicindex ${_pi_dir}/pictures.txt ${VELL_GAME_DIR}
  DEPENDS mkpicindex ${_pi_dir}/pictures.txt ${_pi_src}
  COMMENT "Packing the scene pictures and data/picindex.dat"
  VERBATIM)
foreach(f IN LISTS _pi_out)
  vell_game_output(${f})
endforeach()
