# The sound director's data: "data/audio.dat", the sound packs, the bard song
# files, and the music and sounds made by tools/make-audio.py.
vell_game_copy(${CMAKE_CURRENT_LIST_DIR}/audio.dat data/audio.dat)
vell_game_copy_tree(${CMAKE_CURRENT_LIST_DIR}/packs data/sounds/packs)
vell_game_copy_tree(${CMAKE_CURRENT_LIST_DIR}/sounds data/sounds)
vell_game_copy_tree(${CMAKE_CURRENT_LIST_DIR}/songs data/songs)
