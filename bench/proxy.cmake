# Player commands through the proxy library's exports to the real service and engine, beside the
# bare message-center round trip; the engine's notification rate at the host's receiver, beside
# the bare acknowledged-message rate; and the service's recovery after its death.
br_bench(proxy_bench SOURCES ${CMAKE_CURRENT_SOURCE_DIR}/proxy_bench.cpp
  LIBS BrServiceProxy msgcenter pal br_processes_test_support)
if(TARGET proxy_bench)
  add_dependencies(proxy_bench PlayEngine)
  if(TARGET BrCoreService)
    add_dependencies(proxy_bench BrCoreService)
  endif()
endif()
