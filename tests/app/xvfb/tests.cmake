# The real program under Xvfb, ended by Ctrl+Q and by its close box.
if(SCRANDLE_GUI)
  scrandle_xvfb_tests(QUIT_TEST xvfb_scrandle_quit_shortcut CLOSE_TEST xvfb_scrandle_close_box
    SCRIPT ${CMAKE_CURRENT_LIST_DIR}/run_app_test.sh PROGRAM $<TARGET_FILE:scrandle>
    SCREEN 1280x1024x24 TIMEOUT 90)
endif()
