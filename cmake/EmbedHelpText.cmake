# Run as a script at build time:
#   cmake -DSOURCE=help.txt -DOUT_SOURCE=... -DOUT_HEADER=... -P EmbedHelpText.cmake
#
# Writes the help text as one C++ string literal. The file keeps its
# paragraphs apart with LF line ends so that it reads well in an editor;
# the program's text has CRs in their place. A CR in the file, or a line
# end after its last paragraph, is an editing slip and stops the build.
file(READ ${SOURCE} text)
string(FIND "${text}" "\r" cr)
if(NOT cr EQUAL -1)
  message(FATAL_ERROR "${SOURCE}: holds a CR; paragraphs are separated by LF line ends in the file")
endif()
if(text MATCHES "\n$")
  message(FATAL_ERROR "${SOURCE}: ends with a line end; the text ends with its last full stop")
endif()
string(REPLACE "\\" "\\\\" text "${text}")
string(REPLACE "\"" "\\\"" text "${text}")
string(REPLACE "\n" "\\r" text "${text}")
file(WRITE ${OUT_HEADER}.tmp "// Generated from resources/texts/help.txt; do not edit.
#pragma once

#include <string_view>

namespace resources {

// The Help window's text: paragraphs separated by two CRs.
std::string_view HelpText();

}  // namespace resources
")
file(WRITE ${OUT_SOURCE}.tmp "// Generated from resources/texts/help.txt; do not edit.
#include \"help_text.h\"

namespace resources {

std::string_view HelpText() {
    static constexpr char kText[] = \"${text}\";
    return {kText, sizeof kText - 1};
}

}  // namespace resources
")
file(COPY_FILE ${OUT_HEADER}.tmp ${OUT_HEADER} ONLY_IF_DIFFERENT)
file(COPY_FILE ${OUT_SOURCE}.tmp ${OUT_SOURCE} ONLY_IF_DIFFERENT)
