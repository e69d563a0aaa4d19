# Round trips of the message center between two processes, against a bare Unix-socket ping-pong.
br_bench(msgcenter_bench SOURCES ${CMAKE_CURRENT_SOURCE_DIR}/msgcenter_bench.cpp LIBS msgcenter relayhub_test_support)
