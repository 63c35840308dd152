// The framework's string: a sequence of Unicode code points.
//
// Lengths and positions count code points (an emoji is one character) and
// positions start at 1, as every caller of Len/Mid/InStr expects. Equality
// (operator==) ignores letter case by simple Unicode case folding, because
// the text engine relies on a capitalised word matching its lower-case row;
// use Identical() where an exact comparison is meant. A string holds fewer
// than 2^32 characters: growing past that raises RuntimeException.
#pragma once

#include <cstdint>
#include <functional>
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
    explicit String(std::u32string_view codePoints) { Append(codePoints.data(), codePoints.size()); }
    explicit String(const std::u32string& codePoints) : String(std::u32string_view(codePoints)) {}

    String(const String& o) { Append(o.p_, o.n_); }
    String(String&& o) noexcept : p_(o.p_), n_(o.n_), cap_(o.cap_) { o.p_ = nullptr; o.n_ = o.cap_ = 0; }
    String& operator=(const String& o) {
        if (this != &o) Assign(o.p_, o.n_);
        return *this;
    }
    String& operator=(String&& o) noexcept {
        if (this != &o) {
            Free();
            p_ = o.p_;
            n_ = o.n_;
            cap_ = o.cap_;
            o.p_ = nullptr;
            o.n_ = o.cap_ = 0;
        }
        return *this;
    }
    ~String() { Free(); }

    static String FromUtf8(std::string_view utf8);
    static String FromCodePoints(const char32_t* p, std::size_t n) { String s; s.Append(p, n); return s; }
    static String FromChar(char32_t c) { String s; s.Append(c); return s; }
    static String FromQString(const QString& q);

    std::string ToUtf8() const;
    QString ToQString() const;

    std::u32string_view CodePoints() const { return {Data(), n_}; }
    const char32_t* Data() const { return p_ ? p_ : U""; }
    char32_t* MutableData() { return p_; }
    std::size_t Size() const { return n_; }
    std::size_t Capacity() const { return cap_; }
    bool IsEmpty() const { return n_ == 0; }
    char32_t At(std::size_t zeroBased) const { return p_[zeroBased]; }
    void SetAt(std::size_t zeroBased, char32_t c) { p_[zeroBased] = c; }

    // The operations below stay inline and reuse the capacity: the scanner
    // and the drivers call them several times per word, and a driver that
    // builds its output by appending stays linear.
    String& Append(const char32_t* p, std::size_t n) {
        if (n_ + n > cap_) {
            // Appending (part of) the string to itself survives the move.
            const bool inside = p_ && !std::less<const char32_t*>()(p, p_) && std::less<const char32_t*>()(p, p_ + cap_);
            const std::size_t at = inside ? static_cast<std::size_t>(p - p_) : 0;
            Grow(n_ + n);
            if (inside) p = p_ + at;
        }
        char32_t* d = p_ + n_;
        for (std::size_t i = 0; i < n; ++i) d[i] = p[i];
        n_ += static_cast<std::uint32_t>(n);
        return *this;
    }
    String& Append(const String& s) { return Append(s.p_, s.n_); }
    String& Append(char32_t c) {
        if (n_ + 1 > cap_) Grow(n_ + 1);
        p_[n_++] = c;
        return *this;
    }
    // p must not point into this string.
    String& Assign(const char32_t* p, std::size_t n) {
        n_ = 0;
        return Append(p, n);
    }
    // New characters are left unset; the caller fills them.
    void Resize(std::size_t n) {
        if (n > cap_) Grow(n);
        n_ = static_cast<std::uint32_t>(n);
    }
    void Clear() { n_ = 0; }
    void Reserve(std::size_t n) {
        if (n > cap_) Grow(n);
    }

    String& operator+=(const String& s) { return Append(s); }

    bool Identical(const String& o) const { return CodePoints() == o.CodePoints(); }

private:
    void Grow(std::size_t atLeast);
    void Free();

    char32_t* p_ = nullptr;
    std::uint32_t n_ = 0;
    std::uint32_t cap_ = 0;
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
// Appends the decoded bytes to out. Encoding writes a lone surrogate as
// U+FFFD.
void DecodeUtf8Into(std::string_view bytes, String& out);
void EncodeUtf8Into(const char32_t* p, std::size_t n, std::string& out);

}  // namespace fw
