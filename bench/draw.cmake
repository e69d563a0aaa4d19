# The main window's repaint through the platform layer's drawing beside the same images
# composited with cairo directly.
find_package(PkgConfig REQUIRED)
pkg_check_modules(BR_BENCH_CAIRO IMPORTED_TARGET cairo)
if(BR_BENCH_CAIRO_FOUND)
  br_bench(draw_bench SOURCES ${CMAKE_CURRENT_LIST_DIR}/draw_bench.cpp
    ${CMAKE_CURRENT_LIST_DIR}/runtime_root_main.cpp
    LIBS pal PkgConfig::BR_BENCH_CAIRO)
endif()
