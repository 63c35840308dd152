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

# Busy work under Xvfb, driven as a user would: input made while the program
# works changes nothing afterwards, the wait cursor shows while it works
# (read from the server with xprobe), and no command-line argument changes
# what the program shows; and, without Xvfb, the program started with no
# display. scrandle_state_program is the program with a window onto its
# state (state_main.cpp).
if(SCRANDLE_GUI)
  add_executable(scrandle_state_program ${CMAKE_CURRENT_LIST_DIR}/state_main.cpp)
  target_link_libraries(scrandle_state_program PRIVATE scrandle_app)
  pkg_check_modules(XPROBE_X IMPORTED_TARGET x11 xfixes)
  set(environment "LC_ALL=C.UTF-8" ${SCRANDLE_LSAN_ENVIRONMENT} ${SCRANDLE_SANITIZER_ENVIRONMENT})
  if(XPROBE_X_FOUND AND SCRANDLE_XVFB_RUN AND SCRANDLE_XDOTOOL AND SCRANDLE_PYTHON3)
    add_executable(scrandle_xprobe ${CMAKE_CURRENT_LIST_DIR}/xprobe.cpp)
    target_link_libraries(scrandle_xprobe PRIVATE PkgConfig::XPROBE_X)
    foreach(mode scramble load cursor argv)
      add_test(NAME xvfb_scrandle_busy_${mode}
        COMMAND ${SCRANDLE_XVFB_RUN} -a -s "-screen 0 1280x1024x24"
                ${SCRANDLE_PYTHON3} ${CMAKE_CURRENT_LIST_DIR}/busy_test.py ${mode}
                $<TARGET_FILE:scrandle_state_program> $<TARGET_FILE:scrandle> $<TARGET_FILE:scrandle_xprobe>)
      # Texts of tens of megabytes: one such test at a time.
      set_tests_properties(xvfb_scrandle_busy_${mode} PROPERTIES TIMEOUT 180 ENVIRONMENT "${environment}"
        RESOURCE_LOCK scrandle_large_texts)
    endforeach()
  else()
    message(STATUS "the xvfb_scrandle_busy tests are skipped: X11 or XFixes headers, xvfb-run, xdotool or python3 is missing")
  endif()
  if(SCRANDLE_PYTHON3)
    add_test(NAME scrandle_without_a_display
      COMMAND ${SCRANDLE_PYTHON3} ${CMAKE_CURRENT_LIST_DIR}/busy_test.py nodisplay - $<TARGET_FILE:scrandle> -)
    set_tests_properties(scrandle_without_a_display PROPERTIES TIMEOUT 60 ENVIRONMENT "${environment}")
  endif()
endif()
