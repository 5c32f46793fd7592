# Fuzzing of the stored forms the rules model reads: a seeded campaign that
# runs with the tests, and libFuzzer targets when the compiler is clang
# (cmake -DCMAKE_CXX_COMPILER=clang++ ... then run fuzz_item_file or
# fuzz_stored_char).
set(rules_fuzz_dir ${CMAKE_CURRENT_LIST_DIR}/fuzz)
set(rules_libs vell_actions vell_rules vell_core vell_platform)

add_executable(fuzz_rules_campaign ${rules_fuzz_dir}/FuzzDriver.cpp ${rules_fuzz_dir}/RulesFuzz.cpp)
target_link_libraries(fuzz_rules_campaign PRIVATE ${rules_libs})
add_test(NAME fuzz_rules_campaign COMMAND fuzz_rules_campaign)
set_tests_properties(fuzz_rules_campaign PROPERTIES LABELS "headless"
  ENVIRONMENT "ASAN_OPTIONS=detect_leaks=1;LSAN_OPTIONS=suppressions=${CMAKE_CURRENT_LIST_DIR}/../lsan.supp")

if(CMAKE_CXX_COMPILER_ID MATCHES "Clang")
  foreach(target item_file stored_char)
    if(target STREQUAL "item_file")
      set(src LibFuzzerItemFile.cpp)
    else()
      set(src LibFuzzerStoredChar.cpp)
    endif()
    add_executable(fuzz_${target} ${rules_fuzz_dir}/${src} ${rules_fuzz_dir}/RulesFuzz.cpp)
    target_compile_options(fuzz_${target} PRIVATE -fsanitize=fuzzer)
    target_link_options(fuzz_${target} PRIVATE -fsanitize=fuzzer)
    target_link_libraries(fuzz_${target} PRIVATE ${rules_libs})
  endforeach()
endif()

# The rules model stands on its own: every object of vell_rules, whether a
# program uses it or not, links without the actions, the world or the
# screens above it. A rules file that calls into them fails this link.
add_executable(rules_alone ${CMAKE_CURRENT_LIST_DIR}/alone/RulesAlone.cpp)
target_link_libraries(rules_alone PRIVATE "$<LINK_LIBRARY:WHOLE_ARCHIVE,vell_rules>")
