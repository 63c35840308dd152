// The runtime's table of plug-in entry points: functions that outside
// parts of the framework (the HTTP client) find by their signature text
// rather than by linking to them. InitPluginEntrypoints fills it at
// start-up; before that every lookup finds nothing.
#pragma once

#include "core/String.h"

#include <any>
#include <string>
#include <string_view>
#include <vector>

namespace fw {

// The MD5 digest of the string's UTF-8 bytes, as 32 lower-case hex digits.
using Md5Entry = String(const String& text);
// Base64 of the string's UTF-8 bytes, lines of lineWrap characters joined
// by CR LF (no line end after the last); lineWrap 0 or less: one line.
using Base64Entry = String(const String& text, int32_t lineWrap);

inline constexpr std::string_view kMd5Signature = "MD5(s As String) As String";
inline constexpr std::string_view kBase64Signature = "EncodeBase64(s As String, lineWrap As Integer = 76) As String";

// Fills the table; calling it again changes nothing.
void InitPluginEntrypoints();

// The entry of that signature, or nullptr when there is none or it is not
// of type Fn.
const std::any* FindPluginEntryAny(std::string_view signature);
template <class Fn>
Fn* FindPluginEntry(std::string_view signature) {
    const std::any* entry = FindPluginEntryAny(signature);
    if (!entry) return nullptr;
    Fn* const* fn = std::any_cast<Fn*>(entry);
    return fn ? *fn : nullptr;
}
// The signatures in the table, in the order they were added.
std::vector<std::string> PluginEntrySignatures();

// The functions behind the two entries.
String MD5(const String& text);
String EncodeBase64(const String& text, int32_t lineWrap = 76);

}  // namespace fw
