# Run as a script at build time: cmake -DOUT_SOURCE=... -DOUT_HEADER=...
# -DPIECES=a.pieces,b.pieces,... -P EmbedSamples.cmake
#
# Writes the sample messages as C++ string literals, one literal per piece,
# so that the program joins the pieces as they are stored. A piece file has
# one piece per line, each ended by a '|' (which keeps a trailing blank
# visible); nothing in a piece needs escaping but '\' and '"'.
string(REPLACE "," ";" PIECES "${PIECES}")
set(body "")
set(count 0)
foreach(file ${PIECES})
  math(EXPR count "${count} + 1")
  file(STRINGS ${file} lines ENCODING UTF-8)
  set(literals "")
  foreach(line IN LISTS lines)
    if(NOT line MATCHES "\\|$")
      message(FATAL_ERROR "${file}: a piece line must end with '|': ${line}")
    endif()
    string(REGEX REPLACE "\\|$" "" piece "${line}")
    string(REPLACE "\\" "\\\\" piece "${piece}")
    string(REPLACE "\"" "\\\"" piece "${piece}")
    string(APPEND literals "    \"${piece}\",\n")
  endforeach()
  string(APPEND body "constexpr std::string_view kSample${count}[] = {\n${literals}};\n")
endforeach()
set(table "")
foreach(i RANGE 1 ${count})
  string(APPEND table "    {kSample${i}, std::size(kSample${i})},\n")
endforeach()
file(WRITE ${OUT_HEADER}.tmp "// Generated from resources/texts/*.pieces; do not edit.
#pragma once

#include <cstddef>
#include <string_view>

namespace resources {

struct SamplePieces {
    const std::string_view* pieces;
    std::size_t count;
};

inline constexpr int kSampleCount = ${count};
// The pieces of sample n (1 to kSampleCount).
SamplePieces Sample(int n);

}  // namespace resources
")
file(WRITE ${OUT_SOURCE}.tmp "// Generated from resources/texts/*.pieces; do not edit.
#include \"samples.h\"

#include <iterator>

namespace resources {
namespace {
${body}
constexpr SamplePieces kSamples[] = {
${table}};
}  // namespace

SamplePieces Sample(int n) {
    if (n < 1 || n > kSampleCount) return {nullptr, 0};
    return kSamples[n - 1];
}

}  // namespace resources
")
# Only touch the outputs when they change, so nothing rebuilds needlessly.
file(COPY_FILE ${OUT_HEADER}.tmp ${OUT_HEADER} ONLY_IF_DIFFERENT)
file(COPY_FILE ${OUT_SOURCE}.tmp ${OUT_SOURCE} ONLY_IF_DIFFERENT)
