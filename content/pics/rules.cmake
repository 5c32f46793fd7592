# Title, quest-selection and loading pictures (made by tools/make-pictures.sh).
# The pictures of pics/other/ are texture containers packed at build time from
# the committed JPEG sources; pics/intro/loading.dat is a plain JPEG picture.
vell_game_pack_pictures(${CMAKE_CURRENT_LIST_DIR}/src titlescreen gameselect title)
vell_game_copy(${CMAKE_CURRENT_LIST_DIR}/intro/loading.dat pics/intro/loading.dat)
