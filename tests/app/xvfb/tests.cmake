# The real program under Xvfb: one test quits it with Ctrl+Q, the other
# closes its main window with the window manager's close request. Both
# expect exit status 0.
if(SCRANDLE_GUI)
  find_program(SCRANDLE_XVFB_RUN xvfb-run)
  find_program(SCRANDLE_XDOTOOL xdotool)
  pkg_check_modules(APP_XCB IMPORTED_TARGET xcb)

  if(SCRANDLE_XVFB_RUN AND SCRANDLE_XDOTOOL AND APP_XCB_FOUND)
    # The close request is sent by the framework's real-window tests' sender
    # (target send_close_request, tests/framework/xvfb).
    set(_app_xvfb_script ${CMAKE_CURRENT_LIST_DIR}/run_app_test.sh)
    add_test(NAME xvfb_scrandle_quit_shortcut
      COMMAND ${SCRANDLE_XVFB_RUN} -a -s "-screen 0 1280x1024x24"
              sh ${_app_xvfb_script} $<TARGET_FILE:scrandle> quit)
    add_test(NAME xvfb_scrandle_close_box
      COMMAND ${SCRANDLE_XVFB_RUN} -a -s "-screen 0 1280x1024x24"
              sh ${_app_xvfb_script} $<TARGET_FILE:scrandle> close $<TARGET_FILE:send_close_request>)
    set_tests_properties(xvfb_scrandle_quit_shortcut xvfb_scrandle_close_box PROPERTIES
      TIMEOUT 90
      ENVIRONMENT "LC_ALL=C.UTF-8;LSAN_OPTIONS=suppressions=${CMAKE_CURRENT_LIST_DIR}/../../lsan.supp:print_suppressions=0")
  else()
    message(STATUS "The program's real-window tests are skipped: xvfb-run, xdotool or xcb is missing")
  endif()
endif()
