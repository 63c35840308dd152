# The update check through the real program: Check Now, the version window,
# the update window against a server of the test's own on 127.0.0.1, the
# messages and the upgrade dialog on a scripted desktop.
if(SCRANDLE_GUI)
  file(GLOB UPDATE_FLOW_TESTS CONFIGURE_DEPENDS ${CMAKE_CURRENT_LIST_DIR}/flow/*_test.cpp)
  scrandle_test(update_flow_tests SOURCES ${UPDATE_FLOW_TESTS} LIBS scrandle_app)
endif()
