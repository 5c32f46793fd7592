# Whole rounds of a big fight, timed (tools/bench.sh runs it), on the
# headless fight kit of the test-support library.
add_executable(bench_fight ${CMAKE_CURRENT_LIST_DIR}/bench/FightBench.cpp)
target_link_libraries(bench_fight PRIVATE vell_testsupport)

# The time that loading the shipped spell book adds to start-up
# (tools/bench.sh runs it).
add_executable(bench_actionfile ${CMAKE_CURRENT_LIST_DIR}/bench/ActionFileBench.cpp)
target_link_libraries(bench_actionfile PRIVATE vell_actions)
target_compile_definitions(bench_actionfile PRIVATE VELL_GAME_DIR="${VELL_GAME_DIR}")

# The shipped-data checks read the built game folder; the spell book tool is
# run on small sources.
if(TARGET test_actions)
  add_dependencies(test_actions game_data mkactions)
  target_compile_definitions(test_actions PRIVATE VELL_MKACTIONS="$<TARGET_FILE:mkactions>")
endif()

# The first fights' figures and the chance of a roll per map (not a test:
# run build/tests/encounter_figures [fights]), from the wandering monsters
# of the shipped maps against the ready-made party (the test-support
# library's EncounterSim, which the first-fight test shares).
add_executable(encounter_figures ${CMAKE_CURRENT_LIST_DIR}/bench/EncounterFigures.cpp)
target_link_libraries(encounter_figures PRIVATE vell_testsupport)
target_compile_definitions(encounter_figures PRIVATE VELL_GAME_DIR="${VELL_GAME_DIR}")
add_dependencies(encounter_figures game_data)
