# The update check through the real program: Check Now, the version window,
# the update window against a server of the test's own on 127.0.0.1, the
# messages and the upgrade dialog on a scripted desktop.
if(SCRANDLE_GUI)
  file(GLOB UPDATE_FLOW_TESTS CONFIGURE_DEPENDS ${CMAKE_CURRENT_LIST_DIR}/flow/*_test.cpp)
  scrandle_test(update_flow_tests SOURCES ${UPDATE_FLOW_TESTS} LIBS scrandle_app)
endif()

# The update check with the network module missing: the program must tell
# the user and close its windows. The module is hidden in a mount namespace
# of the test's own (root only; skipped otherwise).
if(SCRANDLE_GUI)
  find_program(SCRANDLE_UNSHARE unshare)
  if(SCRANDLE_UNSHARE)
    add_test(NAME update_check_without_network_module
      COMMAND sh ${CMAKE_CURRENT_LIST_DIR}/run_without_network_module.sh $<TARGET_FILE:scrandle_network>
              $<TARGET_FILE:update_flow_tests> --gtest_filter=UpdateFlowTest.AMissingNetworkModuleIsACommunicationError)
    set_tests_properties(update_check_without_network_module PROPERTIES
      TIMEOUT 60
      SKIP_RETURN_CODE 77
      ENVIRONMENT "${SCRANDLE_TEST_ENVIRONMENT}")
  endif()
endif()
