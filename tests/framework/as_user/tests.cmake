# The program's saves as an ordinary user: the core tests run this helper
# as nobody when they run as root.
add_executable(save_as ${CMAKE_CURRENT_LIST_DIR}/save_as.cpp)
target_link_libraries(save_as PRIVATE scrandle_framework_core)
add_dependencies(framework_core_tests save_as)
target_compile_definitions(framework_core_tests PRIVATE SCRANDLE_SAVE_AS_PROGRAM="$<TARGET_FILE:save_as>")
