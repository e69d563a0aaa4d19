# The shell: ShellExecuteA, the notification area (Shell_NotifyIconA), message boxes,
# InitCommonControlsEx and OutputDebugStringA.
pal_area(shell
  SOURCES
    control_readers.cpp
    debug_output.cpp
    message_box.cpp
    message_box_record.cpp
    message_box_window.cpp
    notify_area.cpp
    notify_icon.cpp
    shell_execute.cpp
  TESTS
    test/debug_output_test.cpp
    test/message_box_test.cpp
    test/notify_icon_test.cpp
    test/shell_execute_test.cpp
  MT_TESTS
    test/message_box_mt_test.cpp
    test/notify_icon_mt_test.cpp)
