# Extra programs for the records and the save archive.

# The archive benchmark (tools/bench.sh runs it).
add_executable(bench_archive ${CMAKE_CURRENT_LIST_DIR}/bench/ArchiveBench.cpp)
target_link_libraries(bench_archive PRIVATE vell_core vell_platform)

# A short, bounded libFuzzer run over every reader of outside bytes: the save
# archive, stream and line readers, the pictures (BMP, JPEG, texture
# container), the font, the picture index and picture files, the map files,
# the master files with the action data file, and the sound director's
# files. It builds its own clang programs, so it runs once, in the normal
# build, after the game folder (which seeds it) is assembled.
find_program(VELL_CLANGXX NAMES clang++-14 clang++)
if(VELL_CLANGXX AND NOT VELL_SANITIZE)
  add_test(NAME fuzz_short
           COMMAND bash ${CMAKE_CURRENT_LIST_DIR}/fuzz/run.sh ${CMAKE_SOURCE_DIR} ${CMAKE_CURRENT_BINARY_DIR}/fuzz 4
                   ${VELL_GAME_DIR})
  # The longest test of the suite: started first, so that the others run
  # beside it.
  set_tests_properties(fuzz_short PROPERTIES LABELS "headless;fuzz" TIMEOUT 900 COST 1000)
elseif(NOT VELL_CLANGXX)
  message(WARNING "clang++ not found: the fuzz run (fuzz_short) is left out; tools/deps.sh installs it")
endif()
