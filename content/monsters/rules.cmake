# "data/monsters.dat" (gzip) built from the readable bestiary.
set(_src ${CMAKE_CURRENT_LIST_DIR}/monsters.txt)
set(_out ${VELL_GAME_DIR}/data/monsters.dat)
add_custom_command(OUTPUT ${_out}
  COMMAND mkmonsters ${_src} ${_out}
  DEPENDS mkmonsters ${_src} VERBATIM)
vell_game_output(${_out})
