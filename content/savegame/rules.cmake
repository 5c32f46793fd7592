# The quest template, written by our own tool.
set(_out ${VELL_GAME_DIR}/data/savegame.dat)
add_custom_command(OUTPUT ${_out}
  COMMAND mksavegame ${_out}
  DEPENDS mksavegame VERBATIM)
vell_game_output(${_out})
