# The director's benchmark (tools/bench.sh runs it).
add_executable(bench_audio ${CMAKE_CURRENT_LIST_DIR}/bench/AudioBench.cpp)
target_link_libraries(bench_audio PRIVATE vell_game)
