# The real program under Xvfb, ended by Ctrl+Q and by its close box; and
# with the Help window and the About box open, ended by Ctrl+Q.
if(SCRANDLE_GUI)
  scrandle_xvfb_tests(QUIT_TEST xvfb_scrandle_quit_shortcut CLOSE_TEST xvfb_scrandle_close_box
    SCRIPT ${CMAKE_CURRENT_LIST_DIR}/run_app_test.sh PROGRAM $<TARGET_FILE:scrandle>
    SCREEN 1280x1024x24 TIMEOUT 90)
  if(TEST xvfb_scrandle_quit_shortcut)
    add_test(NAME xvfb_scrandle_help_and_about
      COMMAND ${SCRANDLE_XVFB_RUN} -a -s "-screen 0 1280x1024x24"
              sh ${CMAKE_CURRENT_LIST_DIR}/run_app_test.sh $<TARGET_FILE:scrandle> windows)
    get_test_property(xvfb_scrandle_quit_shortcut ENVIRONMENT environment)
    set_tests_properties(xvfb_scrandle_help_and_about PROPERTIES TIMEOUT 90 ENVIRONMENT "${environment}")
  endif()
endif()
