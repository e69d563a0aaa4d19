# Helpers that give every target of the project the same warnings, output folders and test
# registration.

# Warnings as errors, for the project's own code only.
function(br_warnings target)
  target_compile_options(${target} PRIVATE -Wall -Wextra -Werror)
endfunction()

# br_library(name STATIC|SHARED SOURCES ... [LIBS ...] [INCLUDE dir])
function(br_library name kind)
  cmake_parse_arguments(A "" "" "SOURCES;LIBS;PUBLIC_LIBS;INCLUDE" ${ARGN})
  add_library(${name} ${kind} ${A_SOURCES})
  br_warnings(${name})
  if(A_INCLUDE)
    target_include_directories(${name} PUBLIC ${A_INCLUDE})
  endif()
  target_link_libraries(${name} PRIVATE ${A_LIBS} PUBLIC ${A_PUBLIC_LIBS})
endfunction()

# br_program(name SOURCES ... [LIBS ...]): a program of the install folder.
function(br_program name)
  cmake_parse_arguments(A "" "" "SOURCES;LIBS" ${ARGN})
  add_executable(${name} ${A_SOURCES})
  br_warnings(${name})
  target_link_libraries(${name} PRIVATE ${A_LIBS})
endfunction()

# br_test(name SOURCES ... [LIBS ...] [LABELS ...] [DEPENDS targets...])
# A GoogleTest program; each test case is its own CTest test, so the suite runs in parallel.
function(br_test name)
  cmake_parse_arguments(A "" "" "SOURCES;LIBS;LABELS;DEPENDS" ${ARGN})
  add_executable(${name} ${A_SOURCES})
  br_warnings(${name})
  set_target_properties(${name} PROPERTIES RUNTIME_OUTPUT_DIRECTORY ${BR_TEST_BIN_DIR})
  target_link_libraries(${name} PRIVATE ${A_LIBS} br_test_support GTest::gmock GTest::gtest_main)
  target_compile_definitions(${name} PRIVATE
    BR_BIN_DIR="${BR_BIN_DIR}" BR_TEST_BIN_DIR="${BR_TEST_BIN_DIR}"
    BR_SOURCE_DIR="${CMAKE_SOURCE_DIR}")
  if(A_DEPENDS)
    add_dependencies(${name} ${A_DEPENDS})
  endif()
  gtest_discover_tests(${name} DISCOVERY_TIMEOUT 60 TEST_LIST ${name}_TESTS PROPERTIES TIMEOUT 120)
  # Labels are set by a script that CTest reads after the discovered tests: gtest_discover_tests
  # flattens a list given in PROPERTIES, so a second label would be read as a property name.
  set(labels unit ${A_LABELS})
  set(label_script ${CMAKE_CURRENT_BINARY_DIR}/${name}_labels.cmake)
  file(WRITE ${label_script}
    "if(${name}_TESTS)\n  set_tests_properties(\${${name}_TESTS} PROPERTIES LABELS \"${labels}\")\nendif()\n")
  set_property(DIRECTORY APPEND PROPERTY TEST_INCLUDE_FILES ${label_script})
endfunction()

# br_test_helper(name SOURCES ... [LIBS ...]): a small program that tests start.
function(br_test_helper name)
  cmake_parse_arguments(A "" "" "SOURCES;LIBS" ${ARGN})
  add_executable(${name} ${A_SOURCES})
  br_warnings(${name})
  set_target_properties(${name} PROPERTIES RUNTIME_OUTPUT_DIRECTORY ${BR_TEST_BIN_DIR})
  target_link_libraries(${name} PRIVATE ${A_LIBS})
endfunction()

# br_fuzz(name SOURCES ... [LIBS ...] CORPUS dir)
# With BR_FUZZ the target is a libFuzzer program; otherwise it is linked with a driver that
# replays the committed corpus, and that replay is a test of the suite.
function(br_fuzz name)
  cmake_parse_arguments(A "" "CORPUS" "SOURCES;LIBS" ${ARGN})
  add_executable(${name} ${A_SOURCES})
  br_warnings(${name})
  set_target_properties(${name} PROPERTIES RUNTIME_OUTPUT_DIRECTORY ${CMAKE_BINARY_DIR}/fuzz-bin)
  target_link_libraries(${name} PRIVATE ${A_LIBS})
  if(BR_FUZZ)
    target_link_options(${name} PRIVATE -fsanitize=fuzzer)
  else()
    target_link_libraries(${name} PRIVATE br_fuzz_replay)
  endif()
  set(corpus ${CMAKE_SOURCE_DIR}/fuzz/${A_CORPUS})
  set_property(GLOBAL APPEND PROPERTY BR_FUZZ_TARGETS "${name}=${corpus}")
  if(NOT BR_FUZZ)
    add_test(NAME fuzz_replay.${name} COMMAND ${name} ${corpus})
    set_tests_properties(fuzz_replay.${name} PROPERTIES LABELS "fuzz" TIMEOUT 120)
  endif()
endfunction()

# br_bench(name SOURCES ... [LIBS ...]): a Google Benchmark program, run on demand.
function(br_bench name)
  cmake_parse_arguments(A "" "" "SOURCES;LIBS" ${ARGN})
  if(NOT benchmark_FOUND)
    return()
  endif()
  add_executable(${name} ${A_SOURCES})
  br_warnings(${name})
  set_target_properties(${name} PROPERTIES RUNTIME_OUTPUT_DIRECTORY ${CMAKE_BINARY_DIR}/bench-bin)
  target_link_libraries(${name} PRIVATE ${A_LIBS} benchmark::benchmark)
endfunction()
