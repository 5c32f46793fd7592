# The map and item scripts, into data/scripts (Python 3 modules, each with
# fireEvent(handle)).
file(GLOB scripts CONFIGURE_DEPENDS ${CMAKE_CURRENT_LIST_DIR}/*.py)
foreach(s IN LISTS scripts)
  get_filename_component(n ${s} NAME)
  vell_game_copy(${s} data/scripts/${n})
endforeach()
