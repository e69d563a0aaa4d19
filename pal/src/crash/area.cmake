# Crashes: the exception filter, exception records, the crash stack, the debugger and error mode.
pal_area(crash
  SOURCES
    crash_stack.cpp
    debugger.cpp
    error_mode.cpp
    exception_filter.cpp
    exception_record.cpp
  TESTS
    test/crash_test.cpp
    test/debugger_test.cpp
    test/error_mode_test.cpp
    test/exception_filter_test.cpp
    test/exception_record_test.cpp
  HELPERS
    test/crash_helper.cpp)
