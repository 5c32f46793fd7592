# The introduction and credits movies and the title music (made by
# tools/make-movies.sh).
foreach(f intro1.mpg credits.mpg credits.ogg)
  vell_game_copy(${CMAKE_CURRENT_LIST_DIR}/${f} pics/intro/${f})
endforeach()
