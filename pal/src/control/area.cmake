# The control socket: drives and observes the process's desktop from another process
# (pal/control.h; the tool is tools/paldesk).
pal_area(control
  SOURCES
    control_readers.cpp
    control_requests.cpp
    control_server.cpp
    control_text.cpp
  TESTS
    test/control_requests_test.cpp
  MT_TESTS
    test/control_socket_mt_test.cpp
  HELPERS
    test/control_helper.cpp)
