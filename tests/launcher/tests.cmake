# The launcher's tests also run the built vellconf as a player does: from
# the game folder and from elsewhere, with a stand-in game program beside it
# or with the real game, typed into with xdotool.
if(TARGET test_launcher)
  find_package(X11 REQUIRED)
  add_executable(launcher_standin ${CMAKE_CURRENT_LIST_DIR}/standin/StandInGame.cpp)
  target_link_libraries(test_launcher PRIVATE X11::X11)
  add_dependencies(test_launcher vellconf vellrun game_data launcher_standin)
  target_compile_definitions(test_launcher PRIVATE VELL_STANDIN="$<TARGET_FILE:launcher_standin>")
endif()
# They type into the focused window and look at the windows on the display:
# no other program may open windows meanwhile.
if(TEST test_launcher)
  set_tests_properties(test_launcher PROPERTIES RUN_SERIAL TRUE)
endif()
