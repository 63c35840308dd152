#include "core/String.h"

#include "core/Exceptions.h"
#include "core/Memory.h"

#include <QChar>
#include <QString>

#include <cmath>
#include <sys/mman.h>
#include <cstdlib>
#include <new>
#include <cstring>

namespace fw {

// ---- UTF-8 -----------------------------------------------------------------

namespace {

// Decodes one multi-byte sequence at p[i] (p[i] >= 0x80); gives the code
// point and its length, or length 0 when the bytes are not valid UTF-8.
inline char32_t DecodeSequence(const unsigned char* p, std::size_t n, std::size_t i, std::size_t& len) {
    const unsigned char b = p[i];
    char32_t cp = 0;
    char32_t min = 0;
    len = 0;
    if (b >= 0xC2 && b <= 0xDF) { len = 2; cp = b & 0x1F; min = 0x80; }
    else if (b >= 0xE0 && b <= 0xEF) { len = 3; cp = b & 0x0F; min = 0x800; }
    else if (b >= 0xF0 && b <= 0xF4) { len = 4; cp = b & 0x07; min = 0x10000; }
    bool ok = len != 0 && i + len <= n;
    for (std::size_t c = 1; ok && c < len; ++c) {
        const unsigned char cb = p[i + c];
        if ((cb & 0xC0) != 0x80) ok = false;
        else cp = (cp << 6) | (cb & 0x3F);
    }
    if (ok && (cp < min || cp > 0x10FFFF || (cp >= 0xD800 && cp <= 0xDFFF))) ok = false;
    if (!ok) len = 0;
    return cp;
}

inline bool AllAscii8(const unsigned char* p) {
    std::uint64_t w;
    std::memcpy(&w, p, 8);
    return (w & 0x8080808080808080ULL) == 0;
}

// The one UTF-8 decoding loop. Decodes the n bytes at p from p[i] into d, a
// character each, up to the end or, into one-byte characters, up to a code
// point past U+00FF. A byte that is not part of valid UTF-8 stands for
// itself as a Latin-1 character, or, when strict, ends the run. Leaves i
// where it stopped and gives the characters written.
template <bool kStrict, class Out>
std::size_t DecodeUtf8Run(const unsigned char* p, std::size_t n, std::size_t& i, Out* d) {
    std::size_t k = 0;
    while (i < n) {
        // A run of ASCII, most of any text, is measured sixteen bytes at a
        // time and copied in one go.
        std::size_t end = i;
        while (end + 16 <= n && AllAscii8(p + end) && AllAscii8(p + end + 8)) end += 16;
        if (end > i) {
            if constexpr (sizeof(Out) == 1) std::memcpy(d + k, p + i, end - i);
            else
                for (std::size_t b = i; b < end; ++b) d[k + b - i] = p[b];
            k += end - i;
            i = end;
            if (i == n) break;
        }
        const unsigned char b = p[i];
        if (b < 0x80) {
            d[k++] = b;
            ++i;
            continue;
        }
        std::size_t len;
        const char32_t cp = DecodeSequence(p, n, i, len);
        if (len == 0) {
            if constexpr (kStrict) break;
            d[k++] = b;
            ++i;
            continue;
        }
        if constexpr (sizeof(Out) == 1)
            if (cp > 0xFF) break;
        d[k++] = static_cast<Out>(cp);
        i += len;
    }
    return k;
}

// Appends the decoded bytes to out; gives where decoding stopped (the size
// of bytes unless strict decoding met a byte that is not UTF-8).
template <bool kStrict>
std::size_t DecodeUtf8Append(std::string_view bytes, String& out) {
    const auto* p = reinterpret_cast<const unsigned char*>(bytes.data());
    const std::size_t n = bytes.size();
    std::size_t i = 0;
    // Every byte gives at most one character, so the room is known up front
    // and a large text is neither zero-filled first nor reallocated.
    if (!out.IsWide() || out.IsEmpty()) {
        // One byte per character while the code points allow.
        const std::size_t base = out.Size();
        if (base == 0) out.ResizeLatin1(n);
        else out.Resize(base + n);
        const std::size_t k = DecodeUtf8Run<kStrict>(p, n, i, out.MutableLatin1() + base);
        out.Truncate(base + k);
        if (i == n) return n;
        if constexpr (kStrict) {
            // The run stopped at a wide character or at a byte that is not
            // UTF-8.
            std::size_t len = 0;
            DecodeSequence(p, n, i, len);
            if (len == 0) return i;
        }
        out.Widen(base + k + (n - i));
    }
    const std::size_t base = out.Size();
    out.Resize(base + (n - i));
    out.Truncate(base + DecodeUtf8Run<kStrict>(p, n, i, out.MutableUcs4() + base));
    return i;
}

}  // namespace

void DecodeUtf8Into(std::string_view bytes, String& out) { DecodeUtf8Append<false>(bytes, out); }

bool DecodeStrictUtf8Into(std::string_view bytes, String& out, std::size_t* invalidAt) {
    const std::size_t stop = DecodeUtf8Append<true>(bytes, out);
    if (invalidAt) *invalidAt = stop;
    return stop == bytes.size();
}

bool IsStrictUtf8(std::string_view bytes) {
    const auto* p = reinterpret_cast<const unsigned char*>(bytes.data());
    const std::size_t n = bytes.size();
    for (std::size_t i = 0; i < n;) {
        if (i + 8 <= n && AllAscii8(p + i)) {
            i += 8;
        } else if (p[i] < 0x80) {
            ++i;
        } else {
            std::size_t len;
            DecodeSequence(p, n, i, len);
            if (len == 0) return false;
            i += len;
        }
    }
    return true;
}

namespace {

void EncodeUcs4(const char32_t* p, std::size_t n, std::string& out) {
    out.reserve(out.size() + n + n / 4);
    constexpr std::size_t kChunk = 8192;
    char buf[kChunk + 8];
    std::size_t k = 0;
    for (std::size_t i = 0; i < n; ++i) {
        if (k >= kChunk) {
            out.append(buf, k);
            k = 0;
        }
        const char32_t c = p[i];
        if (c < 0x80) {
            // Plain ASCII runs: eight at a time.
            if (i + 8 <= n && ((p[i + 1] | p[i + 2] | p[i + 3] | p[i + 4] | p[i + 5] | p[i + 6] | p[i + 7]) < 0x80)) {
                for (int b = 0; b < 8; ++b) buf[k + b] = static_cast<char>(p[i + b]);
                k += 8;
                i += 7;
                continue;
            }
            buf[k++] = static_cast<char>(c);
        } else if (c < 0x800) {
            buf[k++] = static_cast<char>(0xC0 | (c >> 6));
            buf[k++] = static_cast<char>(0x80 | (c & 0x3F));
        } else if (c < 0x10000) {
            // A lone surrogate (from foreign UTF-16, such as the clipboard's
            // text) has no UTF-8 form: its three bytes would read back as
            // three other characters.
            const char32_t d = (c >= 0xD800 && c <= 0xDFFF) ? 0xFFFD : c;
            buf[k++] = static_cast<char>(0xE0 | (d >> 12));
            buf[k++] = static_cast<char>(0x80 | ((d >> 6) & 0x3F));
            buf[k++] = static_cast<char>(0x80 | (d & 0x3F));
        } else {
            const char32_t d = c > 0x10FFFF ? 0xFFFD : c;
            buf[k++] = static_cast<char>(0xF0 | (d >> 18));
            buf[k++] = static_cast<char>(0x80 | ((d >> 12) & 0x3F));
            buf[k++] = static_cast<char>(0x80 | ((d >> 6) & 0x3F));
            buf[k++] = static_cast<char>(0x80 | (d & 0x3F));
        }
    }
    out.append(buf, k);
}

void EncodeLatin1(const unsigned char* p, std::size_t n, std::string& out) {
    // Two bytes for each character past ASCII, one for the others: counted
    // first, so that no more memory is filled than the text takes.
    std::size_t high = 0;
    for (std::size_t i = 0; i < n; ++i) high += p[i] >> 7;
    const std::size_t base = out.size();
    out.resize(base + n + high);
    char* d = out.data() + base;
    std::size_t k = 0;
    for (std::size_t i = 0; i < n;) {
        if (i + 8 <= n && AllAscii8(p + i)) {
            std::memcpy(d + k, p + i, 8);
            k += 8;
            i += 8;
            continue;
        }
        const unsigned char c = p[i++];
        if (c < 0x80) {
            d[k++] = static_cast<char>(c);
        } else {
            d[k++] = static_cast<char>(0xC0 | (c >> 6));
            d[k++] = static_cast<char>(0x80 | (c & 0x3F));
        }
    }
    out.resize(base + k);
}

}  // namespace

void EncodeUtf8Into(const String& text, std::string& out) {
    if (text.IsWide()) EncodeUcs4(text.Ucs4(), text.Size(), out);
    else EncodeLatin1(text.Latin1(), text.Size(), out);
}

namespace {
// Lengths are 32-bit.
constexpr std::size_t kMaxLength = 0xFFFFFFF0u;
}  // namespace

void* AllocateBuffer(std::size_t& bytes) {
    constexpr std::size_t kHuge = std::size_t{2} << 20;
    if (bytes < kHuge / 2) return std::malloc(bytes);
    // The system grants more than it has and ends the process when the
    // pages are touched: a buffer larger than what is left fails here
    // instead, as the program can report.
    if (bytes >= (std::size_t{64} << 20) && bytes > MemoryLeft()) return nullptr;
    const std::size_t whole = (bytes + kHuge - 1) / kHuge * kHuge;
    void* p = std::aligned_alloc(kHuge, whole);
    if (!p) return nullptr;
    ::madvise(p, whole, MADV_HUGEPAGE);
    bytes = whole;
    return p;
}

void String::Grow(std::size_t atLeast, bool wide) {
    // A longer text is a failure the program can report and survive, like
    // any other of the framework.
    if (atLeast > kMaxLength)
        throw RuntimeException("The text is too long: " + std::to_string(atLeast) + " characters, at most " +
                               std::to_string(kMaxLength) + " fit in a string.");
    std::size_t cap = atLeast;
    if (wide == static_cast<bool>(wide_)) {
        cap = cap_ ? cap_ : (wide ? 4 : 16);
        while (cap < atLeast) cap += cap / 2 + 4;
    }
    if (cap > kMaxLength) cap = kMaxLength;
    const std::size_t unit = wide ? sizeof(char32_t) : 1;
    std::size_t bytes = cap * unit;
    void* p = AllocateBuffer(bytes);
    if (p) cap = std::min(bytes / unit, kMaxLength);
    if (!p)
        throw RuntimeException("The text is too long to hold in memory: " + std::to_string(atLeast) + " characters.");
    if (n_) {
        if (wide == static_cast<bool>(wide_)) {
            std::memcpy(p, p_, n_ * unit);
        } else {
            // One byte each to four (the other way is never asked).
            const auto* from = static_cast<const unsigned char*>(p_);
            auto* to = static_cast<char32_t*>(p);
            for (std::size_t i = 0; i < n_; ++i) to[i] = from[i];
        }
    }
    std::free(p_);
    p_ = p;
    cap_ = static_cast<std::uint32_t>(cap);
    wide_ = wide;
}

void String::GrowKeepingBytes(std::size_t atLeast, const void*& p) {
    const auto* base = static_cast<const char*>(p_);
    const auto* at = static_cast<const char*>(p);
    const std::size_t bytes = static_cast<std::size_t>(cap_) * (wide_ ? 4 : 1);
    const bool inside = p_ && !std::less<const char*>()(at, base) && std::less<const char*>()(at, base + bytes);
    const std::size_t offset = inside ? static_cast<std::size_t>(at - base) : 0;
    Grow(atLeast, wide_);
    if (inside) p = static_cast<const char*>(p_) + offset;
}

void String::Reform(bool wide) {
    if (wide == static_cast<bool>(wide_) || n_ != 0) return;
    cap_ = static_cast<std::uint32_t>(wide ? cap_ / 4 : std::min<std::size_t>(std::size_t{cap_} * 4, kMaxLength));
    wide_ = wide;
}

void String::Widen(std::size_t cap) {
    if (wide_) {
        Reserve(cap);
        return;
    }
    if (n_ == 0) Reform(true);
    if (!wide_ || cap > cap_) Grow(std::max<std::size_t>({cap, n_, 1}), true);
}

unsigned char* String::ResizeLatin1(std::size_t n) {
    n_ = 0;
    Reform(false);
    if (n > cap_) Grow(n, false);
    n_ = static_cast<std::uint32_t>(n);
    return MutableLatin1();
}

char32_t* String::ResizeUcs4(std::size_t n) {
    n_ = 0;
    Reform(true);
    if (n > cap_ || !p_) Grow(std::max<std::size_t>(n, 1), true);
    n_ = static_cast<std::uint32_t>(n);
    return MutableUcs4();
}

void String::Free() {
    std::free(p_);
    p_ = nullptr;
    n_ = cap_ = 0;
    wide_ = false;
}

String::String(const char* utf8) : String(std::string_view(utf8 ? utf8 : "")) {}
String::String(std::string_view utf8) {
    if (!utf8.empty()) DecodeUtf8Into(utf8, *this);
}
String String::FromUtf8(std::string_view utf8) { return String(utf8); }
std::string String::ToUtf8() const {
    std::string out;
    EncodeUtf8Into(*this, out);
    return out;
}

std::u32string String::ToUcs4() const {
    return Visit([](const auto* p, std::size_t n) { return std::u32string(p, p + n); });
}

bool String::Identical(const String& o) const {
    if (n_ != o.n_) return false;
    return Visit([&](const auto* a, std::size_t n) {
        return o.Visit([&](const auto* b, std::size_t) {
            for (std::size_t i = 0; i < n; ++i)
                if (static_cast<char32_t>(a[i]) != static_cast<char32_t>(b[i])) return false;
            return true;
        });
    });
}

String String::FromQString(const QString& q) {
    String out;
    const auto* d = reinterpret_cast<const char16_t*>(q.constData());
    const auto n = static_cast<std::size_t>(q.size());
    if (n == 0) return out;
    // One byte per character as long as the text is Latin-1, tested and
    // copied sixteen units at a time so that the compiler vectorises it.
    unsigned char* o = out.ResizeLatin1(n);
    std::size_t i = 0;
    for (; i + 16 <= n; i += 16) {
        unsigned any = 0;
        for (std::size_t k = 0; k < 16; ++k) any |= d[i + k];
        if (any > 0xFF) break;
        for (std::size_t k = 0; k < 16; ++k) o[i + k] = static_cast<unsigned char>(d[i + k]);
    }
    for (; i < n && d[i] <= 0xFF; ++i) o[i] = static_cast<unsigned char>(d[i]);
    if (i == n) return out;
    out.Truncate(i);
    out.Widen(n);
    for (; i < n; ++i) {
        const char16_t u = d[i];
        if (QChar::isHighSurrogate(u) && i + 1 < n && QChar::isLowSurrogate(d[i + 1])) {
            out.Append(QChar::surrogateToUcs4(u, d[i + 1]));
            ++i;
        } else {
            out.Append(static_cast<char32_t>(u));
        }
    }
    return out;
}

QString String::ToQString() const {
    if (!wide_) return QString::fromLatin1(reinterpret_cast<const char*>(Latin1()), static_cast<qsizetype>(Size()));
    return QString::fromUcs4(Ucs4(), static_cast<qsizetype>(Size()));
}

// ---- case --------------------------------------------------------------------

char32_t FoldSlow(char32_t c) {
    return c > 0x10FFFF ? c : QChar::toCaseFolded(c);
}

char32_t UpperChar(char32_t c) {
    if (c < 0x80) return (c >= U'a' && c <= U'z') ? c - 32 : c;
    return c > 0x10FFFF ? c : QChar::toUpper(c);
}

bool operator==(const String& a, const String& b) {
    if (a.Size() != b.Size()) return false;
    return a.Visit([&](const auto* p, std::size_t n) {
        return b.Visit([&](const auto* q, std::size_t m) { return EqualFolded(p, n, q, m); });
    });
}

String operator+(const String& a, const String& b) {
    String r;
    r.Reserve(a.Size() + b.Size());
    r.Append(a).Append(b);
    return r;
}

// ---- string functions ----------------------------------------------------------

int32_t Len(const String& s) { return static_cast<int32_t>(s.Size()); }

String String::Sub(std::size_t from, std::size_t n) const {
    from = std::min<std::size_t>(from, n_);
    n = std::min<std::size_t>(n, n_ - from);
    String r;
    Visit([&](const auto* p, std::size_t) { r.Append(p + from, n); });
    return r;
}

String Left(const String& s, int32_t n) {
    if (n <= 0) return {};
    return s.Sub(0, std::min<std::size_t>(s.Size(), static_cast<std::size_t>(n)));
}

String Right(const String& s, int32_t n) {
    if (n <= 0) return {};
    const std::size_t k = std::min<std::size_t>(s.Size(), static_cast<std::size_t>(n));
    return s.Sub(s.Size() - k, k);
}

String Mid(const String& s, int32_t start, int32_t n) {
    if (n <= 0) return {};
    if (start < 1) start = 1;
    const auto from = static_cast<std::size_t>(start - 1);
    if (from >= s.Size()) return {};
    const std::size_t k = std::min<std::size_t>(s.Size() - from, static_cast<std::size_t>(n));
    return s.Sub(from, k);
}

String Mid(const String& s, int32_t start) {
    if (start < 1) start = 1;
    const auto from = static_cast<std::size_t>(start - 1);
    if (from >= s.Size()) return {};
    return s.Sub(from, s.Size() - from);
}

int32_t Asc(const String& s) { return s.IsEmpty() ? -1 : static_cast<int32_t>(s.At(0)); }

int32_t InStr(int32_t start, const String& source, const String& find) {
    if (start < 1) start = 1;
    const std::size_t n = source.Size();
    const std::size_t m = find.Size();
    const auto from = static_cast<std::size_t>(start - 1);
    if (from > n) return 0;
    if (m == 0) return start;
    if (m > n - from) return 0;
    return source.Visit([&](const auto* s, std::size_t) {
        return find.Visit([&](const auto* f, std::size_t) -> int32_t {
            const char32_t f0 = Fold(f[0]);
            for (std::size_t i = from; i + m <= n; ++i) {
                if (Fold(s[i]) != f0) continue;
                if (EqualFolded(s + i + 1, m - 1, f + 1, m - 1)) return static_cast<int32_t>(i + 1);
            }
            return 0;
        });
    });
}

int32_t InStr(const String& source, const String& find) { return InStr(1, source, find); }

String Uppercase(const String& s) {
    String r(s);
    for (std::size_t i = 0; i < r.Size(); ++i) r.SetAt(i, UpperChar(r.At(i)));
    return r;
}

String Lowercase(const String& s) {
    String r(s);
    for (std::size_t i = 0; i < r.Size(); ++i) {
        const char32_t c = r.At(i);
        r.SetAt(i, c > 0x10FFFF ? c : QChar::toLower(c));
    }
    return r;
}

String Str(int64_t value) { return String(std::to_string(value)); }

double Val(const String& s) {
    // Decimal number at the start: optional blanks, sign, digits, fraction,
    // exponent. Anything after it is ignored; no number gives 0.
    const std::size_t n = s.Size();
    std::size_t i = 0;
    while (i < n && (s.At(i) == U' ' || s.At(i) == U'\t')) ++i;
    std::string num;
    if (i < n && (s.At(i) == U'+' || s.At(i) == U'-')) num.push_back(static_cast<char>(s.At(i++)));
    bool digits = false;
    while (i < n && s.At(i) >= U'0' && s.At(i) <= U'9') { num.push_back(static_cast<char>(s.At(i++))); digits = true; }
    if (i < n && s.At(i) == U'.') {
        num.push_back('.');
        ++i;
        while (i < n && s.At(i) >= U'0' && s.At(i) <= U'9') { num.push_back(static_cast<char>(s.At(i++))); digits = true; }
    }
    if (!digits) return 0.0;
    if (i < n && (s.At(i) == U'e' || s.At(i) == U'E')) {
        std::size_t j = i + 1;
        std::string ex = "e";
        if (j < n && (s.At(j) == U'+' || s.At(j) == U'-')) ex.push_back(static_cast<char>(s.At(j++)));
        bool exDigits = false;
        while (j < n && s.At(j) >= U'0' && s.At(j) <= U'9') { ex.push_back(static_cast<char>(s.At(j++))); exDigits = true; }
        if (exDigits) num += ex;
    }
    const double v = std::strtod(num.c_str(), nullptr);
    return std::isfinite(v) ? v : 0.0;
}

namespace {
// Calls f(begin, end) for each piece of s cut at sep; stops when f returns false.
template <class F>
void ForEachField(const String& s, const String& sep, F f) {
    const std::size_t n = s.Size();
    const std::size_t m = sep.Size();
    if (m == 0) { f(std::size_t{0}, n); return; }
    std::size_t begin = 0;
    while (true) {
        const int32_t hit = InStr(static_cast<int32_t>(begin + 1), s, sep);
        if (hit == 0) { f(begin, n); return; }
        const auto at = static_cast<std::size_t>(hit - 1);
        if (!f(begin, at)) return;
        begin = at + m;
    }
}
}  // namespace

String NthField(const String& s, const String& separator, int32_t n) {
    if (n < 1) return {};
    String result;
    int32_t k = 0;
    ForEachField(s, separator, [&](std::size_t b, std::size_t e) {
        if (++k == n) { result = s.Sub(b, e - b); return false; }
        return true;
    });
    return result;
}

int32_t CountFields(const String& s, const String& separator) {
    int32_t k = 0;
    ForEachField(s, separator, [&](std::size_t, std::size_t) { ++k; return true; });
    return k;
}

}  // namespace fw
