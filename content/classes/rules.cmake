# "data/class.dat" and "data/itemcreate.dat" built from the readable lists.
set(_dir ${CMAKE_CURRENT_LIST_DIR})
add_custom_command(OUTPUT ${VELL_GAME_DIR}/data/class.dat
  COMMAND mkclasses ${_dir}/classes.txt ${VELL_GAME_DIR}/data/class.dat
  DEPENDS mkclasses ${_dir}/classes.txt VERBATIM)
vell_game_output(${VELL_GAME_DIR}/data/class.dat)
add_custom_command(OUTPUT ${VELL_GAME_DIR}/data/itemcreate.dat
  COMMAND mkitemcreate ${_dir}/itemcreate.txt ${VELL_GAME_DIR}/data/itemcreate.dat
  DEPENDS mkitemcreate ${_dir}/itemcreate.txt VERBATIM)
vell_game_output(${VELL_GAME_DIR}/data/itemcreate.dat)
