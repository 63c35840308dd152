# The program's tests: every tests/app/*_test.cpp drives the real main
# window headless through the scrandle_app library.
if(SCRANDLE_GUI)
  file(GLOB APP_TESTS CONFIGURE_DEPENDS ${CMAKE_CURRENT_LIST_DIR}/*_test.cpp)
  scrandle_test(app_tests SOURCES ${APP_TESTS} LIBS scrandle_app)
  # Key clicks that go through Qt's shortcut handling (Ctrl+Q).
  find_package(Qt6 REQUIRED COMPONENTS Test)
  target_link_libraries(app_tests PRIVATE Qt6::Test)
endif()
