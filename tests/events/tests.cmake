# The scripted event's benchmark (not a test: run it by hand,
# build/tests/bench_scripts).
add_executable(bench_scripts ${CMAKE_CURRENT_LIST_DIR}/bench/ScriptBench.cpp)
target_link_libraries(bench_scripts PRIVATE vell_game)
