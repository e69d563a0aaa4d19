# One movie request through the Flash call bridge to the real service and engine and back,
# beside the proxy's own GetPlayObject round trip.
br_bench(bridge_bench SOURCES ${CMAKE_CURRENT_SOURCE_DIR}/bridge_bench.cpp
  LIBS client_bridge BrServiceProxy pal br_processes_test_support)
if(TARGET bridge_bench)
  add_dependencies(bridge_bench PlayEngine)
  if(TARGET BrCoreService)
    add_dependencies(bridge_bench BrCoreService)
  endif()
endif()
