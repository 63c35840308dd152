# The window builder's tests: a window made from BuiltWindow.window, one line
# for its class and the source of its handlers, as a program's window is.
if(SCRANDLE_GUI)
  scrandle_window_definitions(TARGET scrandle_built_window NAMESPACE builtwindow
    HEADER built_window_definitions.h FILES ${CMAKE_CURRENT_LIST_DIR}/builder/BuiltWindow.window)
  add_library(scrandle_built_window_class STATIC)
  target_include_directories(scrandle_built_window_class PUBLIC ${CMAKE_CURRENT_LIST_DIR}/builder ${CMAKE_CURRENT_LIST_DIR})
  target_link_libraries(scrandle_built_window_class PUBLIC scrandle_framework_gui)
  scrandle_window(TARGET scrandle_built_window_class DEFINITIONS scrandle_built_window NAME BuiltWindow
    SOURCES ${CMAKE_CURRENT_LIST_DIR}/builder/BuiltWindow.cpp)
  scrandle_test(window_builder_tests SOURCES ${CMAKE_CURRENT_LIST_DIR}/builder/window_builder_test.cpp
    LIBS scrandle_built_window_class)
endif()

# The busy tests hand input over as the window system does (spontaneous
# events), with QtTest's helper for that.
if(SCRANDLE_GUI AND TARGET framework_gui_tests)
  find_package(Qt6 REQUIRED COMPONENTS Test)
  target_link_libraries(framework_gui_tests PRIVATE Qt6::Test)
endif()
