# The quest template, written by our own tool with the ready-made
# adventurers of party.txt, made from the built item, class and action files.
set(_out ${VELL_GAME_DIR}/data/savegame.dat)
set(_dir ${CMAKE_CURRENT_LIST_DIR})
add_custom_command(OUTPUT ${_out}
  COMMAND mksavegame ${VELL_GAME_DIR}/data/item.dat ${VELL_GAME_DIR}/data/class.dat
          ${VELL_GAME_DIR}/data/actions.dat ${_dir}/party.txt ${_out}
  DEPENDS mksavegame ${_dir}/party.txt ${VELL_GAME_DIR}/data/item.dat ${VELL_GAME_DIR}/data/class.dat
          ${VELL_GAME_DIR}/data/actions.dat
  VERBATIM)
vell_game_output(${_out})
