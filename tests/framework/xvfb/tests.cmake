# Real-window tests: a small program opens a window with a menu bar under
# Xvfb; one test quits it with Ctrl+Q, the other closes it with the window
# manager's close request. Both expect exit status 0.
if(SCRANDLE_GUI)
  find_program(SCRANDLE_XVFB_RUN xvfb-run)
  find_program(SCRANDLE_XDOTOOL xdotool)
  pkg_check_modules(XCB IMPORTED_TARGET xcb)

  add_executable(xvfb_window_app ${CMAKE_CURRENT_LIST_DIR}/window_app.cpp)
  target_link_libraries(xvfb_window_app PRIVATE scrandle_framework_gui)

  if(XCB_FOUND)
    add_executable(send_close_request ${CMAKE_CURRENT_LIST_DIR}/send_close_request.cpp)
    target_link_libraries(send_close_request PRIVATE PkgConfig::XCB)
  endif()

  if(SCRANDLE_XVFB_RUN AND SCRANDLE_XDOTOOL AND XCB_FOUND)
    set(_xvfb_script ${CMAKE_CURRENT_LIST_DIR}/run_window_test.sh)
    add_test(NAME xvfb_window_quit_shortcut
      COMMAND ${SCRANDLE_XVFB_RUN} -a -s "-screen 0 1024x768x24"
              sh ${_xvfb_script} $<TARGET_FILE:xvfb_window_app> quit)
    add_test(NAME xvfb_window_close_request
      COMMAND ${SCRANDLE_XVFB_RUN} -a -s "-screen 0 1024x768x24"
              sh ${_xvfb_script} $<TARGET_FILE:xvfb_window_app> close $<TARGET_FILE:send_close_request>)
    set_tests_properties(xvfb_window_quit_shortcut xvfb_window_close_request PROPERTIES
      TIMEOUT 60
      ENVIRONMENT "LC_ALL=C.UTF-8;LSAN_OPTIONS=suppressions=${CMAKE_CURRENT_LIST_DIR}/../../lsan.supp:print_suppressions=0")
  else()
    message(STATUS "Real-window tests skipped: xvfb-run, xdotool or xcb is missing")
  endif()
endif()
