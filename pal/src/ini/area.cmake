# INI files: the profile calls and the document behind them.
pal_area(ini
  SOURCES
    ini_document.cpp
    ini_file.cpp
    ini_profile.cpp
    ini_replace.cpp
  TESTS
    test/ini_concurrency_test.cpp
    test/ini_document_test.cpp
    test/ini_profile_test.cpp
  HELPERS
    test/ini_writer_helper.cpp)
