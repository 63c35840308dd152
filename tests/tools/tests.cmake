# The window-definition compiler: the sample window goes through the same
# CMake function the program uses, and the tests run the compiler itself on
# the broken fixtures.
scrandle_window_definitions(TARGET scrandle_test_windows NAMESPACE testwindows
  FILES ${SCRANDLE_TESTDATA_DIR}/windows/Sample.window)
target_link_libraries(tools_tests PRIVATE scrandle_test_windows)
add_dependencies(tools_tests scrandle_windowc)
target_compile_definitions(tools_tests PRIVATE SCRANDLE_WINDOWC="$<TARGET_FILE:scrandle_windowc>")
