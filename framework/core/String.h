// The framework's string: a sequence of Unicode code points.
//
// Lengths and positions count code points (an emoji is one character) and
// positions start at 1, as every caller of Len/Mid/InStr expects. Equality
// (operator==) ignores letter case by simple Unicode case folding, because
// the text engine relies on a capitalised word matching its lower-case row;
// use Identical() where an exact comparison is meant.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

class QString;

namespace fw {

class String {
public:
    constexpr String() = default;
    // From UTF-8. Never fails: a byte that is not part of a valid UTF-8
    // sequence becomes the Latin-1 character of that byte.
    String(const char* utf8);
    String(std::string_view utf8);
    explicit String(std::u32string codePoints) : cp_(std::move(codePoints)) {}

    static String FromUtf8(std::string_view utf8);
    static String FromCodePoints(const char32_t* p, std::size_t n) { return String(std::u32string(p, n)); }
    static String FromChar(char32_t c) { return String(std::u32string(1, c)); }
    static String FromQString(const QString& q);

    std::string ToUtf8() const;
    QString ToQString() const;

    const std::u32string& CodePoints() const { return cp_; }
    std::u32string& CodePoints() { return cp_; }
    const char32_t* Data() const { return cp_.data(); }
    std::size_t Size() const { return cp_.size(); }
    bool IsEmpty() const { return cp_.empty(); }
    char32_t At(std::size_t zeroBased) const { return cp_[zeroBased]; }

    // Appending reuses capacity, so a driver that builds its output by
    // appending stays linear.
    String& Append(const String& s) { cp_.append(s.cp_); return *this; }
    String& Append(char32_t c) { cp_.push_back(c); return *this; }
    String& Append(const char32_t* p, std::size_t n) { cp_.append(p, n); return *this; }
    String& Assign(const char32_t* p, std::size_t n) { cp_.assign(p, n); return *this; }
    void Clear() { cp_.clear(); }
    void Reserve(std::size_t n) { cp_.reserve(n); }

    String& operator+=(const String& s) { return Append(s); }

    bool Identical(const String& o) const { return cp_ == o.cp_; }

private:
    std::u32string cp_;
};

// Simple Unicode case folding of one code point (Qt's tables; ASCII inline).
char32_t FoldSlow(char32_t c);
inline char32_t Fold(char32_t c) {
    if (c < 0x80) return (c >= U'A' && c <= U'Z') ? c + 32 : c;
    return FoldSlow(c);
}
char32_t UpperChar(char32_t c);

// Case-insensitive equality of two code-point ranges.
bool EqualFolded(const char32_t* a, std::size_t na, const char32_t* b, std::size_t nb);

bool operator==(const String& a, const String& b);
String operator+(const String& a, const String& b);

// The string functions, 1-based, counting code points.
int32_t Len(const String& s);
String Left(const String& s, int32_t n);
String Right(const String& s, int32_t n);
String Mid(const String& s, int32_t start, int32_t n);
String Mid(const String& s, int32_t start);
// Code point of the first character; -1 (no code point) for the empty string.
int32_t Asc(const String& s);
String Chr(int32_t code);
// Position of the first occurrence of find at or after start, letter case
// ignored; 0 when none. Start 0 counts as 1. An empty find is found at start.
int32_t InStr(int32_t start, const String& source, const String& find);
int32_t InStr(const String& source, const String& find);
String Uppercase(const String& s);
String Lowercase(const String& s);
String Str(int64_t value);
// The number at the start of the text (leading blanks skipped), 0 when none.
double Val(const String& s);
// The n-th piece of s cut at each separator, from 1; empty when there are
// fewer pieces (or n < 1). An empty separator gives s itself as piece 1.
String NthField(const String& s, const String& separator, int32_t n);
int32_t CountFields(const String& s, const String& separator);

// UTF-8 conversions on raw buffers (used by streams and benchmarks).
std::u32string DecodeUtf8(std::string_view bytes);
void DecodeUtf8Into(std::string_view bytes, std::u32string& out);
std::string EncodeUtf8(const std::u32string& cps);
void EncodeUtf8Into(const char32_t* p, std::size_t n, std::string& out);

}  // namespace fw
