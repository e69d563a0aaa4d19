# OLE automation: wide text, BSTR, VARIANT, class ids, and component creation from the
# installation's component registry.
pal_area(ole
  SOURCES
    bstr.cpp
    co_create.cpp
    com_init.cpp
    component_registry.cpp
    guid.cpp
    variant.cpp
    wide_text.cpp
  TESTS
    test/bstr_test.cpp
    test/co_create_test.cpp
    test/guid_test.cpp
    test/variant_test.cpp
    test/wide_text_test.cpp
  TESTLIBS
    test/component_testlib.cpp
    test/nofactory_testlib.cpp)
