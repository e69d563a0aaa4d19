# The main window's skin repainted through the skin classes and the platform layer, beside the
# same pictures composited with cairo directly.
find_package(PkgConfig REQUIRED)
pkg_check_modules(BR_BENCH_SKIN_CAIRO IMPORTED_TARGET cairo)
if(BR_BENCH_SKIN_CAIRO_FOUND)
  br_bench(main_window_bench SOURCES ${CMAKE_CURRENT_LIST_DIR}/main_window_bench.cpp
    ${CMAKE_CURRENT_LIST_DIR}/runtime_root_main.cpp
    LIBS client_skin PkgConfig::BR_BENCH_SKIN_CAIRO)
  if(TARGET main_window_bench)
    add_dependencies(main_window_bench brdj_skin)
    target_compile_definitions(main_window_bench PRIVATE BRDJ_SKIN_DIR="${BRDJ_SKIN_DIR}")
  endif()
endif()
