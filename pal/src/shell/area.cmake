# The shell: ShellExecuteA.
pal_area(shell
  SOURCES
    shell_execute.cpp
  TESTS
    test/shell_execute_test.cpp)
