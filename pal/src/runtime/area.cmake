# The runtime root that scopes named objects, windows and processes, and socket addresses under it.
pal_area(runtime
  SOURCES
    runtime_root.cpp
    unix_address.cpp
  TESTS
    test/runtime_root_test.cpp)
