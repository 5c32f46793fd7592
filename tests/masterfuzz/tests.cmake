# libFuzzer targets for the monster, class and item-creation file readers
# (cmake -DCMAKE_CXX_COMPILER=clang++ ..., then run fuzz_monsters_file,
# fuzz_class_file or fuzz_itemcreate_file). Other compilers build none.
if(CMAKE_CXX_COMPILER_ID MATCHES "Clang")
  set(_n 1)
  foreach(_name monsters_file class_file itemcreate_file)
    add_executable(fuzz_${_name} ${CMAKE_CURRENT_LIST_DIR}/MasterFileFuzz.cpp)
    target_compile_definitions(fuzz_${_name} PRIVATE MASTER_FILE=${_n})
    target_compile_options(fuzz_${_name} PRIVATE -fsanitize=fuzzer)
    target_link_options(fuzz_${_name} PRIVATE -fsanitize=fuzzer)
    target_link_libraries(fuzz_${_name} PRIVATE vell_actions vell_rules vell_core vell_platform)
    math(EXPR _n "${_n} + 1")
  endforeach()
endif()
