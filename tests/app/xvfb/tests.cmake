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

# The real program's file dialogs with a fresh home folder: /proc/ typed
# into the Load dialog, names with quotes, blanks and a leading dash typed
# into both, and nothing written under the home folder.
if(TEST xvfb_scrandle_quit_shortcut)
  add_test(NAME xvfb_scrandle_file_dialogs
    COMMAND ${SCRANDLE_XVFB_RUN} -a -s "-screen 0 1280x1024x24"
            sh ${CMAKE_CURRENT_LIST_DIR}/run_file_dialogs_test.sh $<TARGET_FILE:scrandle>)
  get_test_property(xvfb_scrandle_quit_shortcut ENVIRONMENT environment)
  set_tests_properties(xvfb_scrandle_file_dialogs PROPERTIES TIMEOUT 90 ENVIRONMENT "${environment}")
endif()

# The update check of the real program against a real local server: a copy
# of the program whose maker's host is the server's, given at start, so the
# server can take any free port.
if(SCRANDLE_GUI)
  add_executable(scrandle_update_check_program ${CMAKE_CURRENT_LIST_DIR}/update_check_main.cpp)
  target_link_libraries(scrandle_update_check_program PRIVATE scrandle_app)
  find_program(SCRANDLE_PYTHON3 python3)
  if(SCRANDLE_XVFB_RUN AND SCRANDLE_XDOTOOL AND SCRANDLE_PYTHON3)
    add_test(NAME xvfb_scrandle_update_check
      COMMAND ${SCRANDLE_XVFB_RUN} -a -s "-screen 0 1280x1024x24" sh ${CMAKE_CURRENT_LIST_DIR}/run_update_check_test.sh
              $<TARGET_FILE:scrandle_update_check_program> ${SCRANDLE_RESOURCES_DIR}/update/scrandle.xml
              ${SCRANDLE_PYTHON3})
    add_test(NAME xvfb_scrandle_update_long_description
      COMMAND ${SCRANDLE_XVFB_RUN} -a -s "-screen 0 1280x1024x24" sh ${CMAKE_CURRENT_LIST_DIR}/run_update_check_test.sh
              $<TARGET_FILE:scrandle_update_check_program> ${SCRANDLE_RESOURCES_DIR}/update/scrandle.xml
              ${SCRANDLE_PYTHON3} long)
    set(environment "LC_ALL=C.UTF-8" ${SCRANDLE_LSAN_ENVIRONMENT} ${SCRANDLE_SANITIZER_ENVIRONMENT})
    set_tests_properties(xvfb_scrandle_update_check xvfb_scrandle_update_long_description PROPERTIES
      TIMEOUT 90 ENVIRONMENT "${environment}")
  else()
    message(STATUS "xvfb_scrandle_update_check is skipped: xvfb-run, xdotool or python3 is missing")
  endif()
endif()
