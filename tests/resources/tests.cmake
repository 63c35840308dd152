# The program's compiled window definitions, read back through the
# framework's reader.
scrandle_test(resources_tests
  SOURCES ${CMAKE_CURRENT_LIST_DIR}/window1_definition_test.cpp
          ${CMAKE_CURRENT_LIST_DIR}/help_about_definition_test.cpp
  LIBS scrandle_resources)
