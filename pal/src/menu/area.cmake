# Menus: the process's menus, system menus, and popup menus tracked in a window of their own.
pal_area(menu
  SOURCES
    control_reader.cpp
    menu_calls.cpp
    menu_table.cpp
    menu_template.cpp
    open_popups.cpp
    popup_layout.cpp
    popup_window.cpp
    system_menu.cpp
    track_popup.cpp
  TESTS
    test/menu_template_test.cpp
    test/menu_test.cpp
    test/track_popup_test.cpp
  MT_TESTS
    test/track_popup_mt_test.cpp)
