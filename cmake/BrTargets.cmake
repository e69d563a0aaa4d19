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

# br_test_support(name [STATIC|INTERFACE] [SOURCES ...] [LIBS ...] [PUBLIC_LIBS ...] [INCLUDE dir])
# Test support (fakes, fixtures, test libraries, fuzz support): a library that only tests, test
# programs and fuzz targets link. Its name ends in _test_support, and br_check_product_links
# fails the configure when anything installed into the install folder links it.
function(br_test_support name)
  cmake_parse_arguments(A "INTERFACE" "" "SOURCES;LIBS;PUBLIC_LIBS;INCLUDE" ${ARGN})
  if(NOT name MATCHES "_test_support$")
    message(FATAL_ERROR "test-support target ${name}: its name must end in _test_support")
  endif()
  if(A_INTERFACE)
    add_library(${name} INTERFACE)
    target_include_directories(${name} INTERFACE ${A_INCLUDE})
    target_link_libraries(${name} INTERFACE ${A_PUBLIC_LIBS})
  else()
    br_library(${name} STATIC SOURCES ${A_SOURCES} LIBS ${A_LIBS} PUBLIC_LIBS ${A_PUBLIC_LIBS}
      INCLUDE ${A_INCLUDE})
    # The folders the tests know, as br_test gives them.
    target_compile_definitions(${name} PRIVATE
      BR_BIN_DIR="${BR_BIN_DIR}" BR_TEST_BIN_DIR="${BR_TEST_BIN_DIR}"
      BR_SOURCE_DIR="${CMAKE_SOURCE_DIR}")
  endif()
  set_target_properties(${name} PROPERTIES BR_TEST_SUPPORT TRUE)
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
  # One label per program: the discovered tests' properties cannot carry a list.
  set(label unit)
  if(A_LABELS)
    set(label ${A_LABELS})
  endif()
  # The environment reaches the programs a test starts too (the service, the client). The
  # desktop is headless even where the machine has a display; the X11 tests choose their own.
  # (A second variable goes through ENVIRONMENT_MODIFICATION: the properties pass as a list, so
  # a ";" inside ENVIRONMENT would split it.)
  gtest_discover_tests(${name} DISCOVERY_TIMEOUT 60 PROPERTIES LABELS ${label} TIMEOUT 120
    ENVIRONMENT "LSAN_OPTIONS=suppressions=${CMAKE_SOURCE_DIR}/tests/support/lsan.supp"
    ENVIRONMENT_MODIFICATION "PAL_DISPLAY=set:headless")
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
    target_link_libraries(${name} PRIVATE br_fuzz_replay_test_support)
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
