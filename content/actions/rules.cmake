# "data/actions.dat" (gzip) built from the readable spell book.
set(_src ${CMAKE_CURRENT_LIST_DIR}/spellbook.txt)
set(_out ${VELL_GAME_DIR}/data/actions.dat)
add_custom_command(OUTPUT ${_out}
  COMMAND mkactions ${_src} ${_out}
  DEPENDS mkactions ${_src} VERBATIM)
vell_game_output(${_out})
