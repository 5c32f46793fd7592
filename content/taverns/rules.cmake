# The taverns' tip files, "data/<tavern>.tip": rumours (0|text) and tips
# worth n gold (n|text), written here for this game.
vell_game_copy_tree(${CMAKE_CURRENT_LIST_DIR}/tips data)
