#include "core/String.h"

#include "core/Exceptions.h"

#include <QChar>
#include <QString>

#include <cmath>
#include <sys/mman.h>
#include <cstdlib>
#include <new>
#include <cstring>

namespace fw {

// ---- UTF-8 -----------------------------------------------------------------

void DecodeUtf8Into(std::string_view bytes, String& out) {
    const auto* p = reinterpret_cast<const unsigned char*>(bytes.data());
    const std::size_t n = bytes.size();
    // Every byte gives at most one code point. Decode through a small buffer
    // and append, so that a large text is neither zero-filled first nor
    // reallocated on the way.
    out.Reserve(out.Size() + n);
    constexpr std::size_t kChunk = 2048;
    char32_t buf[kChunk + 8];
    std::size_t k = 0;
    std::size_t i = 0;
    while (i < n) {
        if (k >= kChunk) {
            out.Append(buf, k);
            k = 0;
        }
        // ASCII runs are the common case: eight bytes at a time.
        if (i + 8 <= n) {
            std::uint64_t w;
            std::memcpy(&w, p + i, 8);
            if ((w & 0x8080808080808080ULL) == 0) {
                for (int b = 0; b < 8; ++b) buf[k + b] = p[i + b];
                k += 8;
                i += 8;
                continue;
            }
        }
        const unsigned char b = p[i];
        if (b < 0x80) {
            buf[k++] = b;
            ++i;
            continue;
        }
        char32_t cp = 0;
        std::size_t len = 0;
        char32_t min = 0;
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
        if (ok) {
            buf[k++] = cp;
            i += len;
        } else {
            // Not valid UTF-8: keep the byte as its Latin-1 character.
            buf[k++] = b;
            ++i;
        }
    }
    out.Append(buf, k);
}

void EncodeUtf8Into(const char32_t* p, std::size_t n, std::string& out) {
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

namespace {
constexpr std::size_t kMaxLength = 0xFFFFFFF0u;
}  // namespace

void String::Grow(std::size_t atLeast) {
    // Lengths are 32-bit; a longer text is a failure the program can
    // report and survive, like any other of the framework.
    if (atLeast > kMaxLength)
        throw RuntimeException("The text is too long: " + std::to_string(atLeast) + " characters, at most " +
                               std::to_string(kMaxLength) + " fit in a string.");
    std::size_t cap = cap_ ? cap_ : 4;
    while (cap < atLeast) cap += cap / 2 + 4;
    if (cap > kMaxLength) cap = kMaxLength;
    char32_t* p = nullptr;
    constexpr std::size_t kHuge = std::size_t{2} << 20;
    if (cap * sizeof(char32_t) >= kHuge / 2) {
        // A large text goes into whole 2 MB pages where the system offers
        // them: faulting in 4 KB pages one by one costs more than reading
        // the text.
        const std::size_t bytes = (cap * sizeof(char32_t) + kHuge - 1) / kHuge * kHuge;
        p = static_cast<char32_t*>(std::aligned_alloc(kHuge, bytes));
        if (p) {
            ::madvise(p, bytes, MADV_HUGEPAGE);
            cap = bytes / sizeof(char32_t);
            if (cap > kMaxLength) cap = kMaxLength;
        }
    } else {
        p = static_cast<char32_t*>(std::malloc(cap * sizeof(char32_t)));
    }
    if (!p)
        throw RuntimeException("The text is too long to hold in memory: " + std::to_string(atLeast) + " characters.");
    if (n_) std::memcpy(p, p_, n_ * sizeof(char32_t));
    std::free(p_);
    p_ = p;
    cap_ = static_cast<std::uint32_t>(cap);
}

void String::Free() {
    std::free(p_);
    p_ = nullptr;
    n_ = cap_ = 0;
}

String::String(const char* utf8) : String(std::string_view(utf8 ? utf8 : "")) {}
String::String(std::string_view utf8) { DecodeUtf8Into(utf8, *this); }
String String::FromUtf8(std::string_view utf8) { return String(utf8); }
std::string String::ToUtf8() const {
    std::string out;
    EncodeUtf8Into(Data(), Size(), out);
    return out;
}

String String::FromQString(const QString& q) {
    String out;
    out.Reserve(static_cast<std::size_t>(q.size()));
    const QChar* d = q.constData();
    const qsizetype n = q.size();
    for (qsizetype i = 0; i < n; ++i) {
        const char16_t u = d[i].unicode();
        if (QChar::isHighSurrogate(u) && i + 1 < n && QChar::isLowSurrogate(d[i + 1].unicode())) {
            out.Append(QChar::surrogateToUcs4(u, d[i + 1].unicode()));
            ++i;
        } else {
            out.Append(static_cast<char32_t>(u));
        }
    }
    return out;
}

QString String::ToQString() const {
    return QString::fromUcs4(Data(), static_cast<qsizetype>(Size()));
}

// ---- case --------------------------------------------------------------------

char32_t FoldSlow(char32_t c) {
    return c > 0x10FFFF ? c : QChar::toCaseFolded(c);
}

char32_t UpperChar(char32_t c) {
    if (c < 0x80) return (c >= U'a' && c <= U'z') ? c - 32 : c;
    return c > 0x10FFFF ? c : QChar::toUpper(c);
}

bool EqualFolded(const char32_t* a, std::size_t na, const char32_t* b, std::size_t nb) {
    if (na != nb) return false;
    for (std::size_t i = 0; i < na; ++i)
        if (a[i] != b[i] && Fold(a[i]) != Fold(b[i])) return false;
    return true;
}

bool operator==(const String& a, const String& b) {
    return EqualFolded(a.Data(), a.Size(), b.Data(), b.Size());
}

String operator+(const String& a, const String& b) {
    String r;
    r.Reserve(a.Size() + b.Size());
    r.Append(a).Append(b);
    return r;
}

// ---- string functions ----------------------------------------------------------

int32_t Len(const String& s) { return static_cast<int32_t>(s.Size()); }

String Left(const String& s, int32_t n) {
    if (n <= 0) return {};
    return String::FromCodePoints(s.Data(), std::min<std::size_t>(s.Size(), static_cast<std::size_t>(n)));
}

String Right(const String& s, int32_t n) {
    if (n <= 0) return {};
    const std::size_t k = std::min<std::size_t>(s.Size(), static_cast<std::size_t>(n));
    return String::FromCodePoints(s.Data() + (s.Size() - k), k);
}

String Mid(const String& s, int32_t start, int32_t n) {
    if (n <= 0) return {};
    if (start < 1) start = 1;
    const auto from = static_cast<std::size_t>(start - 1);
    if (from >= s.Size()) return {};
    const std::size_t k = std::min<std::size_t>(s.Size() - from, static_cast<std::size_t>(n));
    return String::FromCodePoints(s.Data() + from, k);
}

String Mid(const String& s, int32_t start) {
    if (start < 1) start = 1;
    const auto from = static_cast<std::size_t>(start - 1);
    if (from >= s.Size()) return {};
    return String::FromCodePoints(s.Data() + from, s.Size() - from);
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
    const char32_t* s = source.Data();
    const char32_t* f = find.Data();
    const char32_t f0 = Fold(f[0]);
    for (std::size_t i = from; i + m <= n; ++i) {
        if (Fold(s[i]) != f0) continue;
        if (EqualFolded(s + i + 1, m - 1, f + 1, m - 1)) return static_cast<int32_t>(i + 1);
    }
    return 0;
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
    const char32_t* p = s.Data();
    const std::size_t n = s.Size();
    std::size_t i = 0;
    while (i < n && (p[i] == U' ' || p[i] == U'\t')) ++i;
    std::string num;
    if (i < n && (p[i] == U'+' || p[i] == U'-')) num.push_back(static_cast<char>(p[i++]));
    bool digits = false;
    while (i < n && p[i] >= U'0' && p[i] <= U'9') { num.push_back(static_cast<char>(p[i++])); digits = true; }
    if (i < n && p[i] == U'.') {
        num.push_back('.');
        ++i;
        while (i < n && p[i] >= U'0' && p[i] <= U'9') { num.push_back(static_cast<char>(p[i++])); digits = true; }
    }
    if (!digits) return 0.0;
    if (i < n && (p[i] == U'e' || p[i] == U'E')) {
        std::size_t j = i + 1;
        std::string ex = "e";
        if (j < n && (p[j] == U'+' || p[j] == U'-')) ex.push_back(static_cast<char>(p[j++]));
        bool exDigits = false;
        while (j < n && p[j] >= U'0' && p[j] <= U'9') { ex.push_back(static_cast<char>(p[j++])); exDigits = true; }
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
        if (++k == n) { result = String::FromCodePoints(s.Data() + b, e - b); return false; }
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
