# Run as a script at build time:
#   cmake -DPNGS=a.png,b.png,... -DOUT_SOURCE=... -DOUT_HEADER=... -P EmbedIcon.cmake
#
# Writes the program icon's PNG images (made from resources/icon/scrandle.svg
# by the build) as byte arrays, so the program needs neither files beside
# it nor Qt's SVG support.
string(REPLACE "," ";" PNGS "${PNGS}")
set(arrays "")
set(table "")
set(count 0)
foreach(file ${PNGS})
  math(EXPR count "${count} + 1")
  file(READ ${file} hex HEX)
  string(REGEX REPLACE "([0-9a-f][0-9a-f])" "0x\\1," bytes "${hex}")
  string(REGEX REPLACE "((0x..,){24})" "\\1\n    " bytes "${bytes}")
  string(APPEND arrays "constexpr unsigned char kImage${count}[] = {\n    ${bytes}\n};\n")
  string(APPEND table "    {kImage${count}, sizeof kImage${count}},\n")
endforeach()
file(WRITE ${OUT_HEADER}.tmp "// Generated from resources/icon/scrandle.svg; do not edit.
#pragma once

#include <cstddef>

namespace resources {

struct IconImage {
    const unsigned char* data;
    std::size_t size;
};

inline constexpr int kIconImageCount = ${count};
// The icon's PNG images, smallest first.
const IconImage* IconImages();

}  // namespace resources
")
file(WRITE ${OUT_SOURCE}.tmp "// Generated from resources/icon/scrandle.svg; do not edit.
#include \"icon_images.h\"

namespace resources {
namespace {
${arrays}
constexpr IconImage kImages[] = {
${table}};
}  // namespace

const IconImage* IconImages() { return kImages; }

}  // namespace resources
")
file(COPY_FILE ${OUT_HEADER}.tmp ${OUT_HEADER} ONLY_IF_DIFFERENT)
file(COPY_FILE ${OUT_SOURCE}.tmp ${OUT_SOURCE} ONLY_IF_DIFFERENT)
