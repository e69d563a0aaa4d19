# The desktop: child windows, z-order, placement, visibility, activation and focus, texts, longs
# and icons, system commands and metrics (desktop_model.h is the shared model).
pal_area(desktop
  SOURCES
    activation.cpp
    desktop_default.cpp
    desktop_model.cpp
    geometry.cpp
    input_default.cpp
    input_entry.cpp
    input_source.cpp
    pointer_state.cpp
    relatives.cpp
    show_window.cpp
    system_metrics.cpp
    translate_message.cpp
    window_long.cpp
    window_texts.cpp
  TESTS
    test/activation_test.cpp
    test/geometry_test.cpp
    test/input_test.cpp
    test/show_window_test.cpp
    test/window_data_test.cpp
  MT_TESTS
    test/desktop_mt_test.cpp
    test/input_mt_test.cpp)
