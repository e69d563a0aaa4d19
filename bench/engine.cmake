# The player engine beside gst-launch-1.0 playing the same tracks into the same sink: CPU time
# per second of playback, Open and Play to NotifyPlayStart, and seek latency.
br_bench(engine_bench SOURCES ${CMAKE_CURRENT_SOURCE_DIR}/engine_bench.cpp
  ${CMAKE_SOURCE_DIR}/outside/playengine/engine_test_support.cpp
  ${CMAKE_SOURCE_DIR}/outside/playengine/test/track_maker.cpp
  LIBS interfaces br_test_support playengine_pipeline_run playengine_sanitizer_options GTest::gtest Threads::Threads
       ${CMAKE_DL_LIBS})
if(TARGET engine_bench)
  add_dependencies(engine_bench PlayEngine)
  target_include_directories(engine_bench PRIVATE ${CMAKE_SOURCE_DIR}/outside/playengine
    ${CMAKE_SOURCE_DIR}/outside/playengine/test)
  target_compile_definitions(engine_bench PRIVATE BR_BIN_DIR="${BR_BIN_DIR}")
endif()
