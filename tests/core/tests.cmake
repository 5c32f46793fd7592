# Extra programs for the records and the save archive.

# The archive benchmark (not a test: run it by hand, build/tests/bench_archive).
find_package(benchmark QUIET)
if(benchmark_FOUND)
  add_executable(bench_archive ${CMAKE_CURRENT_LIST_DIR}/bench/ArchiveBench.cpp)
  target_link_libraries(bench_archive PRIVATE vell_core vell_platform benchmark::benchmark)
endif()

# A short, bounded libFuzzer run over the archive opener, the stream readers
# and the line readers. It builds its own clang binary, so it runs once, in
# the normal build.
find_program(VELL_CLANGXX NAMES clang++-14 clang++)
if(VELL_CLANGXX AND NOT VELL_SANITIZE)
  add_test(NAME fuzz_core_short
           COMMAND bash ${CMAKE_CURRENT_LIST_DIR}/fuzz/run.sh ${CMAKE_SOURCE_DIR} ${CMAKE_CURRENT_BINARY_DIR}/fuzz_core 15)
  set_tests_properties(fuzz_core_short PROPERTIES LABELS "headless;fuzz" TIMEOUT 600)
endif()
