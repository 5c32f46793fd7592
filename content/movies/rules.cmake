# Movies that map scripts play (made by make-movies.sh).
file(GLOB movies CONFIGURE_DEPENDS ${CMAKE_CURRENT_LIST_DIR}/*.mpg)
foreach(m IN LISTS movies)
  get_filename_component(n ${m} NAME)
  vell_game_copy(${m} pics/movies/${n})
endforeach()
