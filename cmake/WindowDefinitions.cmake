# scrandle_window_definitions(TARGET <lib> FILES <a.window>...
#                             [NAMESPACE <ns>] [HEADER <name.h>]
#                             [INPUTS <made files>...])
#
# Runs the window-definition compiler (tools/windowc) at build time on the
# given files and compiles its output into the static library <lib>. The
# library's users include <name.h> (default: <lib>.h), which declares one
# `const fw::WindowDefinition <Window>` per file in namespace <ns> (default:
# windowdefs), plus AllWindowDefinitions() and FindWindowDefinition(name).
# The output is regenerated when a definition file, a file it names with
# @file, or the compiler itself changes. INPUTS are @file inputs the build
# makes: they are made first, and @file names are looked up in their folders
# after the definition's own.
#
# For each <Name>.window the compiler also writes the C++ of the window's
# class, <Name>.window.h and <Name>.window.cpp, which a program adds with
#
# scrandle_window(TARGET <program lib> DEFINITIONS <lib> NAME <Name>
#                 SOURCES <handlers>...)
#
# the one line in the build a window needs: the program then holds <Name>.h,
# which declares class <Name> with FW_WINDOW_MEMBERS(<Name>), and the
# sources of its handlers and other methods.
include_guard(GLOBAL)

function(scrandle_window_definitions)
  cmake_parse_arguments(W "" "TARGET;NAMESPACE;HEADER" "FILES;INPUTS" ${ARGN})
  if(NOT W_TARGET)
    message(FATAL_ERROR "scrandle_window_definitions: TARGET is required")
  endif()
  if(NOT W_FILES)
    message(FATAL_ERROR "scrandle_window_definitions(${W_TARGET}): FILES is empty")
  endif()
  if(W_UNPARSED_ARGUMENTS)
    message(FATAL_ERROR "scrandle_window_definitions(${W_TARGET}): unknown arguments ${W_UNPARSED_ARGUMENTS}")
  endif()
  if(NOT W_NAMESPACE)
    set(W_NAMESPACE windowdefs)
  endif()
  if(NOT W_HEADER)
    set(W_HEADER ${W_TARGET}.h)
  endif()

  set(outdir ${CMAKE_CURRENT_BINARY_DIR}/${W_TARGET}.generated)
  get_filename_component(stem ${W_HEADER} NAME_WE)
  set(header ${outdir}/${W_HEADER})
  set(source ${outdir}/${stem}.cpp)
  set(depfile ${outdir}/${stem}.d)
  set(files)
  set(windowOutputs)
  foreach(f ${W_FILES})
    get_filename_component(abs ${f} ABSOLUTE BASE_DIR ${CMAKE_CURRENT_SOURCE_DIR})
    list(APPEND files ${abs})
    get_filename_component(windowStem ${f} NAME_WE)
    list(APPEND windowOutputs ${outdir}/${windowStem}.window.h ${outdir}/${windowStem}.window.cpp)
  endforeach()

  set(inputDirs)
  foreach(i ${W_INPUTS})
    get_filename_component(dir ${i} DIRECTORY)
    list(APPEND inputDirs --input-dir ${dir})
  endforeach()

  file(MAKE_DIRECTORY ${outdir})
  # The depfile adds the @file inputs, which only the compiler knows.
  add_custom_command(
    OUTPUT ${source} ${header} ${windowOutputs}
    COMMAND scrandle_windowc --header ${header} --source ${source} --window-dir ${outdir}
            --namespace ${W_NAMESPACE} --depfile ${depfile} ${inputDirs} ${files}
    DEPENDS scrandle_windowc ${files} ${W_INPUTS}
    DEPFILE ${depfile}
    COMMENT "Compiling window definitions for ${W_TARGET}"
    VERBATIM)
  add_library(${W_TARGET} STATIC ${source} ${header})
  target_include_directories(${W_TARGET} PUBLIC ${outdir})
  target_link_libraries(${W_TARGET} PUBLIC scrandle_framework_core)
  set_target_properties(${W_TARGET} PROPERTIES SCRANDLE_WINDOW_DIR ${outdir})
endfunction()

function(scrandle_window)
  cmake_parse_arguments(W "" "TARGET;DEFINITIONS;NAME" "SOURCES" ${ARGN})
  if(NOT (W_TARGET AND W_DEFINITIONS AND W_NAME))
    message(FATAL_ERROR "scrandle_window: TARGET, DEFINITIONS and NAME are required")
  endif()
  get_target_property(dir ${W_DEFINITIONS} SCRANDLE_WINDOW_DIR)
  target_sources(${W_TARGET} PRIVATE ${dir}/${W_NAME}.window.cpp ${W_SOURCES})
  # The generated class source includes the class's header beside its handlers.
  set_property(SOURCE ${dir}/${W_NAME}.window.cpp APPEND PROPERTY INCLUDE_DIRECTORIES ${CMAKE_CURRENT_SOURCE_DIR})
  target_link_libraries(${W_TARGET} PUBLIC ${W_DEFINITIONS})
  add_dependencies(${W_TARGET} ${W_DEFINITIONS})
endfunction()
