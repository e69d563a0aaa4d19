# Dialogs: templates and their builder, modal and modeless dialogs, the dialog manager's keys,
# dialog units, and the built-in controls "STATIC" and "BUTTON".
pal_area(dialog
  SOURCES
    builtin_classes.cpp
    button_control.cpp
    control_data.cpp
    create_dialog.cpp
    def_dlg_proc.cpp
    dialog_box.cpp
    dialog_message.cpp
    dialog_state.cpp
    dialog_template.cpp
    dialog_units.cpp
    static_control.cpp
    template_builder.cpp
  TESTS
    test/dialog_test.cpp
    test/dialog_template_test.cpp
  MT_TESTS
    test/dialog_mt_test.cpp)
