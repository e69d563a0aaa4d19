# The runtime root that scopes named objects, windows and processes: its private folders and the
# socket addresses under it.
pal_area(runtime
  SOURCES
    private_folder.cpp
    runtime_root.cpp
    socket_send.cpp
    unix_address.cpp
  TESTS
    test/private_folder_test.cpp
    test/runtime_root_test.cpp)
