# The director's benchmark (not a test: run it by hand, build/tests/bench_audio).
add_executable(bench_audio ${CMAKE_CURRENT_LIST_DIR}/bench/AudioBench.cpp)
target_link_libraries(bench_audio PRIVATE vell_game)
