# The slide sequences: the introduction's pictures, the title and splash
# pictures and the music (made by tools/make-slides.sh and
# tools/make-audio.py), and the scrolling credits "data/credits.dat".
file(GLOB slide_files CONFIGURE_DEPENDS ${CMAKE_CURRENT_LIST_DIR}/*.dat ${CMAKE_CURRENT_LIST_DIR}/*.mp3)
foreach(f IN LISTS slide_files)
  get_filename_component(n ${f} NAME)
  if(n STREQUAL "credits.dat")
    vell_game_copy(${f} data/credits.dat)
  else()
    vell_game_copy(${f} pics/intro/${n})
  endif()
endforeach()
