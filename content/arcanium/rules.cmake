# The Arcanium's catalogue "data/arcanium/arcdata.txt" and its texts, one
# folder per topic, written here for this game.
vell_game_copy_tree(${CMAKE_CURRENT_LIST_DIR}/files data/arcanium)
