# The player engine beside gst-launch-1.0 playing the same tracks into the same sink: CPU time
# per second of playback, Open and Play to NotifyPlayStart, and seek latency.
br_bench(engine_bench SOURCES ${CMAKE_CURRENT_SOURCE_DIR}/engine_bench.cpp
  LIBS playengine_test_support playengine_sanitizer_options)
if(TARGET engine_bench)
  add_dependencies(engine_bench PlayEngine)
  target_compile_definitions(engine_bench PRIVATE BR_BIN_DIR="${BR_BIN_DIR}")
endif()
