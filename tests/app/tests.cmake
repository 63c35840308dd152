# The program's tests: every tests/app/*_test.cpp drives the real main
# window headless through the scrandle_app library.
if(SCRANDLE_GUI)
  file(GLOB APP_TESTS CONFIGURE_DEPENDS ${CMAKE_CURRENT_LIST_DIR}/*_test.cpp)
  scrandle_test(app_tests SOURCES ${APP_TESTS} LIBS scrandle_app)
  # Key clicks that go through Qt's shortcut handling (Ctrl+Q); Print
  # Support for the printers the tests set up.
  find_package(Qt6 REQUIRED COMPONENTS Test)
  target_link_libraries(app_tests PRIVATE Qt6::Test Qt6::PrintSupport)
  # The program as memory_limit_test runs it under a memory limit.
  add_executable(scrandle_memory_limit_program ${CMAKE_CURRENT_LIST_DIR}/memory_limit_main.cpp)
  target_link_libraries(scrandle_memory_limit_program PRIVATE scrandle_app)
  add_dependencies(app_tests scrandle_memory_limit_program)
  target_compile_definitions(app_tests PRIVATE
    SCRANDLE_MEMORY_LIMIT_PROGRAM="$<TARGET_FILE:scrandle_memory_limit_program>")
  # The address options, to check what the buttons hand on.
  include(${PROJECT_SOURCE_DIR}/cmake/Addresses.cmake)
  scrandle_address_definitions(app_tests PRIVATE)

  # The program itself links neither Print Support, Qt Network nor
  # Hunspell: each is loaded on first use.
  add_test(NAME program_links_no_print_support_network_or_hunspell
    COMMAND sh -c "! ${CMAKE_OBJDUMP} -p \"$1\" | grep -E 'NEEDED.*(PrintSupport|Network|hunspell)'" sh $<TARGET_FILE:scrandle>)
endif()
