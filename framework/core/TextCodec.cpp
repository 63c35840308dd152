#include "core/TextCodec.h"

#include <algorithm>
#include <cstddef>

namespace fw {

namespace {

constexpr std::string_view kUtf8Mark = "\xEF\xBB\xBF";
constexpr std::string_view kUtf16LEMark = "\xFF\xFE";
constexpr std::string_view kUtf16BEMark = "\xFE\xFF";

// Windows-1252 from 0x80 to 0x9F; the five unassigned bytes stand for
// themselves as C1 characters.
constexpr char16_t kCp1252High[32] = {
    0x20AC, 0x0081, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021, 0x02C6, 0x2030, 0x0160,
    0x2039, 0x0152, 0x008D, 0x017D, 0x008F, 0x0090, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022,
    0x2013, 0x2014, 0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0x009D, 0x017E, 0x0178,
};

bool StartsWith(std::string_view s, std::string_view prefix) { return s.substr(0, prefix.size()) == prefix; }

// Decodes bytes into out when they are valid UTF-8; false (out left
// empty) otherwise.
bool TakeUtf8(std::string_view bytes, String& out) {
    if (DecodeStrictUtf8Into(bytes, out)) return true;
    out.Clear();
    return false;
}

// The body after a UTF-16 mark; false unless every unit pairs up.
bool DecodeUtf16(std::string_view body, bool bigEndian, String& out) {
    if (body.size() % 2 != 0) return false;
    const auto* p = reinterpret_cast<const unsigned char*>(body.data());
    const std::size_t units = body.size() / 2;
    const auto unit = [&](std::size_t k) -> char32_t {
        const unsigned a = p[2 * k], b = p[2 * k + 1];
        return bigEndian ? (a << 8 | b) : (b << 8 | a);
    };
    out.Reserve(units);
    for (std::size_t k = 0; k < units; ++k) {
        const char32_t u = unit(k);
        // Widened once, with room for every unit, rather than grown a
        // half at a time as the characters come.
        if (u > 0xFF && !out.IsWide()) out.Widen(units);
        if (u >= 0xDC00 && u <= 0xDFFF) return false;
        if (u >= 0xD800 && u <= 0xDBFF) {
            if (k + 1 >= units) return false;
            const char32_t v = unit(k + 1);
            if (v < 0xDC00 || v > 0xDFFF) return false;
            out.Append(0x10000 + ((u - 0xD800) << 10) + (v - 0xDC00));
            ++k;
        } else {
            out.Append(u);
        }
    }
    return true;
}

// Whether DecodeText would take the bytes for UTF-16: a mark, and a body
// of whole units whose surrogates pair up.
bool IsUtf16(std::string_view bytes) {
    const bool le = StartsWith(bytes, kUtf16LEMark), be = StartsWith(bytes, kUtf16BEMark);
    if ((!le && !be) || bytes.size() % 2 != 0) return false;
    const auto* p = reinterpret_cast<const unsigned char*>(bytes.data());
    const std::size_t units = bytes.size() / 2;
    for (std::size_t k = 1; k < units; ++k) {
        const unsigned a = p[2 * k], b = p[2 * k + 1];
        const unsigned u = be ? (a << 8 | b) : (b << 8 | a);
        if (u >= 0xDC00 && u <= 0xDFFF) return false;
        if (u >= 0xD800 && u <= 0xDBFF) {
            if (k + 1 >= units) return false;
            const unsigned c = p[2 * k + 2], d = p[2 * k + 3];
            const unsigned v = be ? (c << 8 | d) : (d << 8 | c);
            if (v < 0xDC00 || v > 0xDFFF) return false;
            ++k;
        }
    }
    return true;
}

String DecodeCp1252(std::string_view bytes) {
    const auto* p = reinterpret_cast<const unsigned char*>(bytes.data());
    const std::size_t n = bytes.size();
    const auto decode = [](unsigned char b) -> char32_t { return (b >= 0x80 && b < 0xA0) ? kCp1252High[b - 0x80] : b; };
    String out;
    // One byte per character until a byte stands for a character past
    // Latin-1 (curly quotes, the euro sign).
    unsigned char* d = out.ResizeLatin1(n);
    std::size_t i = 0;
    for (; i < n; ++i) {
        const char32_t c = decode(p[i]);
        if (c > 0xFF) break;
        d[i] = static_cast<unsigned char>(c);
    }
    if (i == n) return out;
    out.Truncate(i);
    out.Widen(n);
    for (; i < n; ++i) out.Append(decode(p[i]));
    return out;
}

// The byte of a character in Windows-1252, or -1.
int Cp1252Byte(char32_t c) {
    if (c < 0x80 || (c >= 0xA0 && c <= 0xFF)) return static_cast<int>(c);
    for (int k = 0; k < 32; ++k)
        if (kCp1252High[k] == c) return 0x80 + k;
    return -1;
}

void AppendUtf16(char16_t u, bool bigEndian, std::string& out) {
    const char hi = static_cast<char>(u >> 8), lo = static_cast<char>(u & 0xFF);
    out.push_back(bigEndian ? hi : lo);
    out.push_back(bigEndian ? lo : hi);
}

bool EncodeUtf16(const String& text, bool bigEndian, std::string& out) {
    out.reserve(out.size() + 2 * text.Size());
    for (std::size_t i = 0; i < text.Size(); ++i) {
        const char32_t c = text.At(i);
        if ((c >= 0xD800 && c <= 0xDFFF) || c > 0x10FFFF) return false;
        if (c < 0x10000) {
            AppendUtf16(static_cast<char16_t>(c), bigEndian, out);
        } else {
            AppendUtf16(static_cast<char16_t>(0xD800 + ((c - 0x10000) >> 10)), bigEndian, out);
            AppendUtf16(static_cast<char16_t>(0xDC00 + ((c - 0x10000) & 0x3FF)), bigEndian, out);
        }
    }
    return true;
}

}  // namespace

DecodedText DecodeText(std::string_view bytes) {
    DecodedText result{String(), TextEncoding::Utf8};
    if (StartsWith(bytes, kUtf8Mark) && TakeUtf8(bytes.substr(kUtf8Mark.size()), result.text)) {
        result.encoding = TextEncoding::Utf8Bom;
        return result;
    }
    for (const bool bigEndian : {false, true}) {
        if (!StartsWith(bytes, bigEndian ? kUtf16BEMark : kUtf16LEMark)) continue;
        if (DecodeUtf16(bytes.substr(2), bigEndian, result.text)) {
            result.encoding = bigEndian ? TextEncoding::Utf16BE : TextEncoding::Utf16LE;
            return result;
        }
        result.text.Clear();
    }
    if (TakeUtf8(bytes, result.text)) return result;
    result.text = DecodeCp1252(bytes);
    result.encoding = TextEncoding::Windows1252;
    return result;
}

bool EncodeText(const String& text, TextEncoding enc, std::string& out) {
    out.clear();
    switch (enc) {
        case TextEncoding::Utf8:
        case TextEncoding::Utf8Bom:
            // Without a mark a leading U+FEFF would read back as the mark.
            if (enc == TextEncoding::Utf8Bom || (!text.IsEmpty() && text.At(0) == 0xFEFF)) out = kUtf8Mark;
            EncodeUtf8Into(text, out);
            return true;
        case TextEncoding::Utf16LE:
        case TextEncoding::Utf16BE: {
            const bool bigEndian = enc == TextEncoding::Utf16BE;
            out = bigEndian ? kUtf16BEMark : kUtf16LEMark;
            return EncodeUtf16(text, bigEndian, out);
        }
        case TextEncoding::Windows1252: {
            out.resize(text.Size());
            int high = 0;
            for (std::size_t i = 0; i < text.Size(); ++i) {
                const int b = Cp1252Byte(text.At(i));
                if (b < 0) return false;
                out[i] = static_cast<char>(b);
                high |= b;
            }
            // An edited text may come out as bytes that read as UTF-8 or
            // UTF-16 ("Ã©" is the UTF-8 of "é"): then it is no longer
            // Windows-1252 on the next load, and reads back as another text
            // unless it is all ASCII. Otherwise DecodeText gives back each
            // byte's character. Looked at without decoding the bytes, which
            // would hold the text a second time.
            return !IsUtf16(out) && !(high >= 0x80 && IsStrictUtf8(out));
        }
    }
    return false;
}

std::size_t EncodedSizeAtMost(const String& text, TextEncoding enc) {
    std::size_t utf8 = 3, astral = 0;
    text.Visit([&](const auto* p, std::size_t n) {
        utf8 += n;
        for (std::size_t i = 0; i < n; ++i) {
            const char32_t c = p[i];
            utf8 += (c >= 0x80) + (c >= 0x800) + (c >= 0x10000 && c <= 0x10FFFF);
            astral += c >= 0x10000;
        }
    });
    switch (enc) {
        case TextEncoding::Utf8:
        case TextEncoding::Utf8Bom: return utf8;
        case TextEncoding::Utf16LE:
        case TextEncoding::Utf16BE: return std::max(utf8, 2 + 2 * (text.Size() + astral));
        case TextEncoding::Windows1252: return std::max(utf8, text.Size());
    }
    return utf8;
}

}  // namespace fw
