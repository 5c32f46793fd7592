# The shipped settings: windowed 1024x768 by default.
vell_game_copy(${CMAKE_CURRENT_LIST_DIR}/config.dat data/config.dat)
