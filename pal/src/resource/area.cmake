# Resources: the tables modules register, their lookup, strings, icons and dialogs by name.
pal_area(resource
  SOURCES
    dialog_resource.cpp
    find_resource.cpp
    load_icon.cpp
    load_string.cpp
    resource_table.cpp
  TESTS
    test/resource_test.cpp
  TESTLIBS
    test/resource_testlib.cpp)
