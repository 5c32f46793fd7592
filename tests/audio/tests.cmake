# A short, bounded libFuzzer run over the sound director's readers (packs,
# bard song files, the audio configuration). It builds its own clang binary,
# so it runs once, in the normal build.
find_program(VELL_CLANGXX NAMES clang++-14 clang++)
if(VELL_CLANGXX AND NOT VELL_SANITIZE)
  add_test(NAME fuzz_audio_short
           COMMAND bash ${CMAKE_CURRENT_LIST_DIR}/fuzz/run.sh ${CMAKE_SOURCE_DIR} ${CMAKE_CURRENT_BINARY_DIR}/fuzz_audio 15)
  set_tests_properties(fuzz_audio_short PROPERTIES LABELS "headless;fuzz" TIMEOUT 600)
endif()

# The director's benchmark (not a test: run it by hand, build/tests/bench_audio).
add_executable(bench_audio ${CMAKE_CURRENT_LIST_DIR}/bench/AudioBench.cpp)
target_link_libraries(bench_audio PRIVATE vell_game)
