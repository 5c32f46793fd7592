# The whole-program tests read the screen through Xlib.
if(TARGET test_game)
  find_package(X11 REQUIRED)
  target_link_libraries(test_game PRIVATE X11::X11)
  # They run the built game from the game folder.
  add_dependencies(test_game vellrun game_data mksavegame)
  # The quest template tool, run on bad sources.
  target_compile_definitions(test_game PRIVATE VELL_MKSAVEGAME="$<TARGET_FILE:mksavegame>")
endif()
