// Text files to text and back without losing a byte.
//
// DecodeText takes any bytes: valid UTF-8 (with or without a byte-order
// mark) is UTF-8; a UTF-16 mark with a body that decodes losslessly is
// UTF-16; anything else is Windows-1252, whose five unassigned bytes (0x81,
// 0x8D, 0x8F, 0x90, 0x9D) become the C1 characters of the same value, so
// every byte has a character. EncodeText of what DecodeText gave writes the
// same bytes back, mark included.
#pragma once

#include "core/String.h"

#include <string>
#include <string_view>

namespace fw {

enum class TextEncoding { Utf8, Utf8Bom, Utf16LE, Utf16BE, Windows1252 };

struct DecodedText {
    String text;
    TextEncoding encoding;
};

DecodedText DecodeText(std::string_view bytes);

// Replaces out with the text in that encoding, its mark first. False when
// some character cannot be written so, or the bytes would read back as
// another text; callers then write UTF-8. UTF-8 always succeeds: a lone
// surrogate is written as U+FFFD.
bool EncodeText(const String& text, TextEncoding enc, std::string& out);

// The most bytes saving the text in that encoding takes: what EncodeText
// gives, or UTF-8's bytes where they are more (a text the encoding cannot
// hold is written in UTF-8). One pass, without encoding.
std::size_t EncodedSizeAtMost(const String& text, TextEncoding enc);

}  // namespace fw
