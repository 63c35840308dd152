# Real printing: a private cupsd with a cups-pdf queue as the default
# printer; the real program prints its help through Qt's print dialog under
# Xvfb (Ctrl+P, accepted with Return) and the PDF the queue wrote is checked
# with poppler's tools. Needs root (cupsd runs its filters as lp; cups-pdf
# reads its settings from /etc/cups).
if(SCRANDLE_GUI)
  find_program(SCRANDLE_CUPSD cupsd PATHS /usr/sbin /sbin)
  find_program(SCRANDLE_PDFTOTEXT pdftotext)
  find_program(SCRANDLE_PYTHON3 python3)
  if(SCRANDLE_XVFB_RUN AND SCRANDLE_XDOTOOL AND SCRANDLE_CUPSD AND SCRANDLE_PDFTOTEXT AND SCRANDLE_PYTHON3
     AND EXISTS /usr/lib/cups/backend/cups-pdf)
    foreach(text help three empty rejected)
      add_test(NAME print_cups_pdf_${text}
        COMMAND ${SCRANDLE_XVFB_RUN} -a -s "-screen 0 1280x1024x24"
                sh ${CMAKE_CURRENT_LIST_DIR}/run_print_test.sh ${text} $<TARGET_FILE:scrandle>)
      set(environment "LC_ALL=C.UTF-8" "TZ=UTC" ${SCRANDLE_LSAN_ENVIRONMENT} ${SCRANDLE_SANITIZER_ENVIRONMENT})
      if(SCRANDLE_SANITIZE)
        # LeakSanitizer's exit-time tracer now and then crashes (signal 11)
        # while it stops the threads that libcups and the print dialog leave
        # behind; the in-process printing tests check leaks of the same code.
        list(TRANSFORM environment REPLACE "^ASAN_OPTIONS=detect_leaks=1" "ASAN_OPTIONS=detect_leaks=0")
      endif()
      set_tests_properties(print_cups_pdf_${text} PROPERTIES
        TIMEOUT 150
        SKIP_RETURN_CODE 77
        ENVIRONMENT "${environment}")
    endforeach()
  else()
    message(STATUS "The real printing tests are skipped: xvfb-run, xdotool, cupsd, cups-pdf, pdftotext or python3 is missing")
  endif()
endif()

# In-process beside a real print service: a queue that refuses jobs must be
# told to the user, a queue that takes them must not (a HelpPrinting test of
# app_tests, which skips without this service); the print dialog with the
# service's queue among its printers offers no pages, copies or order.
if(SCRANDLE_GUI AND SCRANDLE_CUPSD AND EXISTS /usr/lib/cups/backend/cups-pdf)
  add_test(NAME print_cups_service_answer
    COMMAND sh ${CMAKE_CURRENT_LIST_DIR}/run_with_cupsd.sh $<TARGET_FILE:app_tests>
            --gtest_filter=HelpPrinting.ThePrintServicesAnswer*)
  add_test(NAME print_cups_dialog_choices
    COMMAND sh ${CMAKE_CURRENT_LIST_DIR}/run_with_cupsd.sh $<TARGET_FILE:framework_gui_tests>
            --gtest_filter=PrintDialog.*)
  set(environment ${SCRANDLE_TEST_ENVIRONMENT})
  if(SCRANDLE_SANITIZE)
    # As above: libcups's threads and LeakSanitizer's exit-time tracer.
    list(TRANSFORM environment REPLACE "^ASAN_OPTIONS=detect_leaks=1" "ASAN_OPTIONS=detect_leaks=0")
  endif()
  set_tests_properties(print_cups_service_answer print_cups_dialog_choices PROPERTIES
    TIMEOUT 120
    SKIP_RETURN_CODE 77
    ENVIRONMENT "${environment}")
endif()
