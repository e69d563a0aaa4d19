# Text: code-page conversion and names compared as the ANSI code page compares them.
pal_area(text
  SOURCES
    gbk_name.cpp
    text.cpp
  TESTS
    test/gbk_name_test.cpp
    test/text_test.cpp)
