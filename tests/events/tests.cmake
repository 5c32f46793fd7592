# The scripted event's benchmark (tools/bench.sh runs it).
add_executable(bench_scripts ${CMAKE_CURRENT_LIST_DIR}/bench/ScriptBench.cpp)
target_link_libraries(bench_scripts PRIVATE vell_app)
