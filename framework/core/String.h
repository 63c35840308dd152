// The framework's string: a sequence of Unicode code points.
//
// Lengths and positions count code points (an emoji is one character) and
// positions start at 1, as every caller of Len/Mid/InStr expects. Equality
// (operator==) ignores letter case by simple Unicode case folding, because
// the text engine relies on a capitalised word matching its lower-case row;
// use Identical() where an exact comparison is meant. A string holds fewer
// than 2^32 characters: growing past that raises RuntimeException.
#pragma once

#include <array>
#include <cstdint>
#include <cstring>
#include <functional>
#include <string>
#include <string_view>

class QString;

namespace fw {

// Memory for a buffer of at least bytes bytes, freed with std::free; a large
// one in whole 2 MB pages where the system offers them (faulting in 4 KB
// pages one by one costs more than reading the text). bytes becomes the
// size given; nullptr when there is no memory, or a large buffer would take
// more than MemoryLeft (Memory.h).
void* AllocateBuffer(std::size_t& bytes);

// Copies n bytes; most copies of text are a word or less, done inline
// without a call.
inline void CopyBytes(unsigned char* d, const unsigned char* s, std::size_t n) {
    if (n > 16) {
        std::memcpy(d, s, n);
    } else if (n >= 8) {
        std::uint64_t a, b;
        std::memcpy(&a, s, 8);
        std::memcpy(&b, s + n - 8, 8);
        std::memcpy(d, &a, 8);
        std::memcpy(d + n - 8, &b, 8);
    } else if (n >= 4) {
        std::uint32_t a, b;
        std::memcpy(&a, s, 4);
        std::memcpy(&b, s + n - 4, 4);
        std::memcpy(d, &a, 4);
        std::memcpy(d + n - 4, &b, 4);
    } else if (n > 0) {
        d[0] = s[0];
        d[n / 2] = s[n / 2];
        d[n - 1] = s[n - 1];
    }
}

class String {
public:
    constexpr String() = default;
    // From UTF-8. Never fails: a byte that is not part of a valid UTF-8
    // sequence becomes the Latin-1 character of that byte.
    String(const char* utf8);
    String(std::string_view utf8);
    explicit String(std::u32string_view codePoints) { Append(codePoints.data(), codePoints.size()); }
    explicit String(const std::u32string& codePoints) : String(std::u32string_view(codePoints)) {}

    String(const String& o) { Append(o); }
    String(String&& o) noexcept : p_(o.p_), n_(o.n_), cap_(o.cap_), wide_(o.wide_) {
        o.p_ = nullptr;
        o.n_ = o.cap_ = 0;
        o.wide_ = false;
    }
    String& operator=(const String& o) {
        if (this != &o) {
            n_ = 0;
            Append(o);
        }
        return *this;
    }
    String& operator=(String&& o) noexcept {
        if (this != &o) {
            Free();
            p_ = o.p_;
            n_ = o.n_;
            cap_ = o.cap_;
            wide_ = o.wide_;
            o.p_ = nullptr;
            o.n_ = o.cap_ = 0;
            o.wide_ = false;
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
    std::u32string ToUcs4() const;

    // The characters are kept one byte each (Latin-1) while every one of
    // them fits, and four bytes each (UTF-32) once one does not: most text
    // is Latin-1, and a large one then takes a quarter of the memory. Code
    // that walks the characters itself asks which form it has, or lets
    // Visit call it with a pointer of the right type.
    bool IsWide() const { return wide_; }
    const unsigned char* Latin1() const { return p_ ? static_cast<const unsigned char*>(p_) : kNoLatin1; }
    const char32_t* Ucs4() const { return p_ ? static_cast<const char32_t*>(p_) : U""; }
    template <class F>
    decltype(auto) Visit(F&& f) const {
        return wide_ ? f(Ucs4(), std::size_t{n_}) : f(Latin1(), std::size_t{n_});
    }

    // The n characters from the zero-based from (cut to the string), in
    // the form they have.
    String Sub(std::size_t from, std::size_t n) const;
    std::size_t Size() const { return n_; }
    // Characters of the present form it holds without allocating.
    std::size_t Capacity() const { return cap_; }
    bool IsEmpty() const { return n_ == 0; }
    char32_t At(std::size_t zeroBased) const {
        return wide_ ? static_cast<const char32_t*>(p_)[zeroBased] : static_cast<const unsigned char*>(p_)[zeroBased];
    }
    void SetAt(std::size_t zeroBased, char32_t c) {
        if (!wide_) {
            if (c <= 0xFF) {
                static_cast<unsigned char*>(p_)[zeroBased] = static_cast<unsigned char>(c);
                return;
            }
            Widen(n_);
        }
        static_cast<char32_t*>(p_)[zeroBased] = c;
    }

    // The operations below stay inline and reuse the capacity: the scanner
    // and the drivers call them several times per word, and a driver that
    // builds its output by appending stays linear.
    String& Append(const unsigned char* p, std::size_t n) {
        // An empty string takes the form of what comes: a buffer reused for
        // unit after unit keeps one byte per character while they fit.
        if (wide_ && n_ == 0) Reform(false);
        if (n_ + n > cap_) GrowKeeping(n_ + n, p);
        if (!wide_) {
            fw::CopyBytes(static_cast<unsigned char*>(p_) + n_, p, n);
        } else {
            char32_t* d = static_cast<char32_t*>(p_) + n_;
            for (std::size_t i = 0; i < n; ++i) d[i] = p[i];
        }
        n_ += static_cast<std::uint32_t>(n);
        return *this;
    }
    String& Append(const char32_t* p, std::size_t n) {
        // Room first: a length past the limit fails before p is read.
        if (n_ + n > cap_) GrowKeeping(n_ + n, p);
        if (!wide_) {
            char32_t any = 0;
            for (std::size_t i = 0; i < n; ++i) any |= p[i];
            if (any <= 0xFF) {
                unsigned char* d = static_cast<unsigned char*>(p_) + n_;
                for (std::size_t i = 0; i < n; ++i) d[i] = static_cast<unsigned char>(p[i]);
                n_ += static_cast<std::uint32_t>(n);
                return *this;
            }
            // p cannot point into a one-byte buffer: widening may move it.
            Widen(n_ + n);
        }
        char32_t* d = static_cast<char32_t*>(p_) + n_;
        for (std::size_t i = 0; i < n; ++i) d[i] = p[i];
        n_ += static_cast<std::uint32_t>(n);
        return *this;
    }
    String& Append(const String& s) { return s.wide_ ? Append(s.Ucs4(), s.n_) : Append(s.Latin1(), s.n_); }
    String& Append(char32_t c) {
        if (n_ + 1 > cap_) Grow(n_ + 1, wide_);
        if (!wide_) {
            if (c <= 0xFF) {
                static_cast<unsigned char*>(p_)[n_++] = static_cast<unsigned char>(c);
                return *this;
            }
            Widen(n_ + 1);
        }
        static_cast<char32_t*>(p_)[n_++] = c;
        return *this;
    }
    // p must not point into this string.
    String& Assign(const unsigned char* p, std::size_t n) {
        n_ = 0;
        return Append(p, n);
    }
    String& Assign(const char32_t* p, std::size_t n) {
        n_ = 0;
        return Append(p, n);
    }
    // Replaces the text by n characters of the given form, left unset for
    // the caller to fill; Truncate then gives the count written.
    unsigned char* ResizeLatin1(std::size_t n);
    char32_t* ResizeUcs4(std::size_t n);
    void Truncate(std::size_t n) {
        if (n < n_) n_ = static_cast<std::uint32_t>(n);
    }
    // Keeps the form; new characters are left unset for the caller to fill.
    void Resize(std::size_t n) {
        if (n > cap_) Grow(n, wide_);
        n_ = static_cast<std::uint32_t>(n);
    }
    void Clear() { n_ = 0; }
    // Room for n characters in the present form.
    void Reserve(std::size_t n) {
        if (n > cap_) Grow(n, wide_);
    }
    // Four bytes per character from now on, with room for cap characters
    // (for a writer that knows wide characters are coming).
    void Widen(std::size_t cap);
    // The characters, for filling after ResizeLatin1/ResizeUcs4 or Resize.
    unsigned char* MutableLatin1() { return static_cast<unsigned char*>(p_); }
    char32_t* MutableUcs4() { return static_cast<char32_t*>(p_); }

    String& operator+=(const String& s) { return Append(s); }

    bool Identical(const String& o) const;

private:
    static constexpr unsigned char kNoLatin1[1] = {0};
    // Grows to hold atLeast characters; p, which may point into this
    // string (appending a string to itself), follows the move.
    template <class Ch>
    void GrowKeeping(std::size_t atLeast, const Ch*& p) {
        const void* v = p;
        GrowKeepingBytes(atLeast, v);
        p = static_cast<const Ch*>(v);
    }
    void GrowKeepingBytes(std::size_t atLeast, const void*& p);
    void Grow(std::size_t atLeast, bool wide);
    // Switches an empty string's buffer to the other form, keeping its bytes.
    void Reform(bool wide);
    void Free();

    void* p_ = nullptr;
    std::uint32_t n_ = 0;
    std::uint32_t cap_ = 0;
    bool wide_ = false;
};

// Simple Unicode case folding of one code point (Qt's tables; ASCII inline).
char32_t FoldSlow(char32_t c);
inline char32_t Fold(char32_t c) {
    if (c < 0x80) return (c >= U'A' && c <= U'Z') ? c + 32 : c;
    return FoldSlow(c);
}

namespace detail {
// Simple case folding of Latin-1, as a table: capitals to small letters
// (but the multiplication sign), the micro sign to the Greek small mu.
constexpr auto kFoldLatin1 = [] {
    std::array<char32_t, 256> t{};
    for (char32_t c = 0; c < 256; ++c)
        t[c] = ((c >= 0x41 && c <= 0x5A) || (c >= 0xC0 && c <= 0xDE && c != 0xD7)) ? c + 0x20 : c;
    t[0xB5] = 0x3BC;
    return t;
}();
}  // namespace detail

// The same for a character kept in one byte.
inline char32_t Fold(unsigned char c) { return detail::kFoldLatin1[c]; }
char32_t UpperChar(char32_t c);

// Case-insensitive equality of two code-point ranges, of either form.
template <class A, class B>
bool EqualFolded(const A* a, std::size_t na, const B* b, std::size_t nb) {
    if (na != nb) return false;
    for (std::size_t i = 0; i < na; ++i) {
        const char32_t x = a[i], y = b[i];
        if (x != y && Fold(x) != Fold(y)) return false;
    }
    return true;
}

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
// Appends the decoded bytes to out; a byte that is not part of valid UTF-8
// becomes the Latin-1 character of that byte. Encoding writes a lone
// surrogate as U+FFFD.
void DecodeUtf8Into(std::string_view bytes, String& out);
void EncodeUtf8Into(const String& text, std::string& out);
// The same for bytes that must be UTF-8 (no overlong forms, no surrogates,
// nothing past U+10FFFF): false at the first byte that is not, whose offset
// invalidAt receives; out then holds what came before it.
bool DecodeStrictUtf8Into(std::string_view bytes, String& out, std::size_t* invalidAt = nullptr);
// Whether DecodeStrictUtf8Into would take all of the bytes, without
// decoding them.
bool IsStrictUtf8(std::string_view bytes);

}  // namespace fw
