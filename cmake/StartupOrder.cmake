# Start-up's code laid out together: each function in a section of its own,
# linked in the order of cmake/startup_order.txt (written by bench/startup_order),
# so that the pages start-up runs are few and the rest of the program's code
# is not read in at start-up. GCC and gold only; elsewhere a plain layout.
if(CMAKE_CXX_COMPILER_ID STREQUAL "GNU" AND NOT SCRANDLE_SANITIZE AND NOT SCRANDLE_FUZZ)
  set(SCRANDLE_STARTUP_ORDER ON)
  add_compile_options(-ffunction-sections)
else()
  set(SCRANDLE_STARTUP_ORDER OFF)
endif()

function(scrandle_startup_order target)
  if(SCRANDLE_STARTUP_ORDER)
    set(order ${PROJECT_SOURCE_DIR}/cmake/startup_order.txt)
    target_link_options(${target} PRIVATE -fuse-ld=gold "LINKER:--section-ordering-file=${order}")
    set_property(TARGET ${target} APPEND PROPERTY LINK_DEPENDS ${order})
  endif()
endfunction()
