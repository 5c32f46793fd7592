# data/item.dat: the item catalogue, built by tools/mkitems from items.txt.
set(item_dat ${VELL_GAME_DIR}/data/item.dat)
add_custom_command(OUTPUT ${item_dat}
  COMMAND mkitems ${CMAKE_CURRENT_LIST_DIR}/items.txt ${item_dat}
  DEPENDS mkitems ${CMAKE_CURRENT_LIST_DIR}/items.txt
  VERBATIM)
vell_game_output(${item_dat})
