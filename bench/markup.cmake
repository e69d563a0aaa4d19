# The markup parser beside TinyXML and pugixml on the call bridge's texts: parse and read a
# six-argument open request and a query without arguments, and build a number reply. Each of
# the two other libraries takes part only when it is installed.
find_path(BR_TINYXML_INCLUDE tinyxml.h)
find_library(BR_TINYXML_LIBRARY tinyxml)
find_path(BR_PUGIXML_INCLUDE pugixml.hpp)
find_library(BR_PUGIXML_LIBRARY pugixml)

set(markup_bench_libs markup)
set(markup_bench_definitions)
set(markup_bench_includes)
if(BR_TINYXML_INCLUDE AND BR_TINYXML_LIBRARY)
  # Debian builds the library with its STL option; the header must be read the same way.
  list(APPEND markup_bench_libs ${BR_TINYXML_LIBRARY})
  list(APPEND markup_bench_definitions BR_HAVE_TINYXML TIXML_USE_STL)
  list(APPEND markup_bench_includes ${BR_TINYXML_INCLUDE})
endif()
if(BR_PUGIXML_INCLUDE AND BR_PUGIXML_LIBRARY)
  list(APPEND markup_bench_libs ${BR_PUGIXML_LIBRARY})
  list(APPEND markup_bench_definitions BR_HAVE_PUGIXML)
  list(APPEND markup_bench_includes ${BR_PUGIXML_INCLUDE})
endif()

br_bench(markup_bench SOURCES ${CMAKE_CURRENT_LIST_DIR}/markup_bench.cpp LIBS ${markup_bench_libs})
if(TARGET markup_bench)
  target_compile_definitions(markup_bench PRIVATE ${markup_bench_definitions})
  target_include_directories(markup_bench SYSTEM PRIVATE ${markup_bench_includes})
endif()
