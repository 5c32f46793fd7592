# The shipped-data checks read the built game folder.
if(TARGET test_screens)
  add_dependencies(test_screens game_data)
endif()
