# The headless fight kit (builders of parties and enemy groups, recording
# environments) shared by the action tests and the fight benchmark.
add_library(vell_fightkit STATIC ${CMAKE_CURRENT_LIST_DIR}/kit/FightKit.cpp)
target_include_directories(vell_fightkit PUBLIC ${CMAKE_CURRENT_LIST_DIR}/kit)
target_link_libraries(vell_fightkit PUBLIC vell_actions)
if(TARGET test_actions)
  target_link_libraries(test_actions PRIVATE vell_fightkit)
endif()

# Whole rounds of a big fight, timed (tools/bench.sh runs it).
add_executable(bench_fight ${CMAKE_CURRENT_LIST_DIR}/bench/FightBench.cpp)
target_link_libraries(bench_fight PRIVATE vell_fightkit)

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

# The wandering monsters of the shipped maps against the ready-made party,
# without a screen: the first-fight test and the figures below share it.
add_library(vell_encountersim STATIC ${CMAKE_CURRENT_LIST_DIR}/kit/EncounterSim.cpp)
target_link_libraries(vell_encountersim PUBLIC vell_fightkit ${ALL_GAME})
if(TARGET test_actions)
  target_link_libraries(test_actions PRIVATE vell_encountersim)
endif()

# The first fights' figures and the chance of a roll per map (not a test:
# run build/tests/encounter_figures [fights]).
add_executable(encounter_figures ${CMAKE_CURRENT_LIST_DIR}/bench/EncounterFigures.cpp)
target_link_libraries(encounter_figures PRIVATE vell_encountersim)
target_compile_definitions(encounter_figures PRIVATE VELL_GAME_DIR="${VELL_GAME_DIR}")
add_dependencies(encounter_figures game_data)
