# Real-window tests: a small program opens a window with a menu bar under
# Xvfb and is ended by Ctrl+Q and by the window manager's close request.
if(SCRANDLE_GUI)
  add_executable(xvfb_window_app ${CMAKE_CURRENT_LIST_DIR}/window_app.cpp)
  target_link_libraries(xvfb_window_app PRIVATE scrandle_framework_gui)

  if(XCB_FOUND)
    add_executable(send_close_request ${CMAKE_CURRENT_LIST_DIR}/send_close_request.cpp)
    target_link_libraries(send_close_request PRIVATE PkgConfig::XCB)
  endif()

  scrandle_xvfb_tests(QUIT_TEST xvfb_window_quit_shortcut CLOSE_TEST xvfb_window_close_request
    SCRIPT ${CMAKE_CURRENT_LIST_DIR}/run_window_test.sh PROGRAM $<TARGET_FILE:xvfb_window_app>
    SCREEN 1024x768x24 TIMEOUT 60)
endif()
