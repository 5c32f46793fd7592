# Every benchmark run briefly (a few frames, a few rounds) by the runner
# that makes the benchmark table, and checked as it checks every run: a
# benchmark that ends with an error, prints an ERROR or WARNING line (a map
# that cannot be loaded among them) or a figure that cannot be read fails
# here, the day it breaks. No figure is judged: they belong to the table.
set(vell_bench_env
  "SDL_AUDIODRIVER=dummy;SDL_VIDEODRIVER=x11;LIBGL_ALWAYS_SOFTWARE=1;ASAN_OPTIONS=detect_leaks=1;LSAN_OPTIONS=suppressions=${CMAKE_CURRENT_LIST_DIR}/../lsan.supp")
foreach(b view screens fight scripts archive actions audio)
  add_test(NAME bench-${b}
    COMMAND bash ${CMAKE_SOURCE_DIR}/tools/bench.sh --brief --build ${CMAKE_BINARY_DIR} ${b})
  if(b STREQUAL "view" OR b STREQUAL "screens")
    set(kind display)
  else()
    set(kind headless)
  endif()
  set_tests_properties(bench-${b} PROPERTIES LABELS "bench;${kind}" ENVIRONMENT "${vell_bench_env}")
endforeach()

# The runner's checks themselves, on a stand-in benchmark.
add_test(NAME bench-runner COMMAND bash ${CMAKE_CURRENT_LIST_DIR}/runner-check.sh ${CMAKE_SOURCE_DIR})
set_tests_properties(bench-runner PROPERTIES LABELS "bench;headless")
