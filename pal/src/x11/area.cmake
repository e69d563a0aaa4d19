# The display backends under the desktop model: the presenter that the model and the drawing
# tell what changed, headless or X11 (Xlib, its shape extension). The X11 tests are a program of
# their own (pal_x11_test), since the backend is chosen once per process: it starts Xvfb first.
pal_area(x11
  SOURCES
    presenter.cpp
    window_look.cpp
    x11_backend.cpp
    x11_cursor.cpp
    x11_input.cpp
    x11_overlay.cpp
    x11_tray.cpp
    x11_window.cpp
  HELPERS
    test/x11_helper.cpp
    test/x11_shot_helper.cpp)
set(pal_x11_TESTS
  ${CMAKE_CURRENT_SOURCE_DIR}/src/x11/test/tray_manager.cpp
  ${CMAKE_CURRENT_SOURCE_DIR}/src/x11/test/window_manager.cpp
  ${CMAKE_CURRENT_SOURCE_DIR}/src/x11/test/xvfb_fixture.cpp
  ${CMAKE_CURRENT_SOURCE_DIR}/src/x11/test/x11_input_test.cpp
  ${CMAKE_CURRENT_SOURCE_DIR}/src/x11/test/x11_lost_display_test.cpp
  ${CMAKE_CURRENT_SOURCE_DIR}/src/x11/test/x11_message_box_test.cpp
  ${CMAKE_CURRENT_SOURCE_DIR}/src/x11/test/x11_overlay_test.cpp
  ${CMAKE_CURRENT_SOURCE_DIR}/src/x11/test/x11_present_test.cpp
  ${CMAKE_CURRENT_SOURCE_DIR}/src/x11/test/x11_tray_test.cpp
  ${CMAKE_CURRENT_SOURCE_DIR}/src/x11/test/x11_window_test.cpp)
