#include "core/Memory.h"

#include "core/String.h"

#include <algorithm>
#include <cstdio>
#include <fstream>
#include <limits>
#include <sstream>
#include <vector>

#include <sys/resource.h>
#include <unistd.h>

namespace fw {

// ---- sizes -----------------------------------------------------------------------

namespace {

// Qt's document: two bytes a unit, and for each line its block and
// fragment records (measured, beyond the two bytes a unit: 107 bytes a line
// for a text of empty lines, 160 to 180 for one of lines of ten bytes, and
// 110 for prose with a line end every 400 characters).
constexpr std::uint64_t kLineBytes = 200;
// A line Qt shows is laid out whole, its glyphs and their positions some
// 38 bytes a unit (measured: a load of a file of one line of 20 MB took
// 42.5 bytes a byte, one of the same size in lines of 400 characters 4.3).
constexpr std::uint64_t kLayoutBytes = 40;

template <class Ch>
void CountLines(const Ch* p, std::size_t n, TextMeasure& size) {
    std::size_t lineStart = 0, astral = 0;
    const auto endLine = [&](std::size_t at) {
        size.longest = std::max<std::uint64_t>(size.longest, at - lineStart + astral);
        ++size.lines;
        astral = 0;
    };
    for (std::size_t i = 0; i < n; ++i) {
        const char32_t c = p[i];
        if (c == U'\n') {
            endLine(i);
            lineStart = i + 1;
        } else if (c == U'\r') {
            endLine(i);
            if (i + 1 < n && p[i + 1] == Ch('\n')) {
                ++i;
                --size.units;
            }
            lineStart = i + 1;
        } else if constexpr (sizeof(Ch) > 1) {
            // The other characters Qt takes for a line end.
            if (c == 0x2029 || c == 0xFDD0 || c == 0xFDD1) {
                endLine(i);
                lineStart = i + 1;
            } else if (c > 0xFFFF) {
                ++size.units;
                ++astral;
            }
        }
    }
    size.longest = std::max<std::uint64_t>(size.longest, n - lineStart + astral);
}

}  // namespace

TextMeasure SizeOf(const String& text) {
    TextMeasure size;
    size.chars = size.units = text.Size();
    size.wide = text.IsWide();
    text.Visit([&](const auto* p, std::size_t n) { CountLines(p, n, size); });
    return size;
}

TextMeasure SizeOfBytes(std::uint64_t bytes) {
    TextMeasure size;
    size.chars = size.units = bytes;
    return size;
}

std::uint64_t StringBytes(const TextMeasure& text) { return text.chars * (text.wide ? 4 : 1); }

std::uint64_t DocumentBytes(const TextMeasure& text) { return 2 * text.units + kLineBytes * text.lines; }

std::uint64_t LayoutBytes(const TextMeasure& text) { return kLayoutBytes * text.longest; }

bool FitsADocument(const TextMeasure& text) { return text.units < kMostDocumentUnits; }

// ---- the steps -----------------------------------------------------------------

namespace {

// The highest the memory taken since the start rises while a step takes
// and gives back buffers in its order.
class Peak {
public:
    void Take(std::uint64_t bytes) {
        now_ += static_cast<std::int64_t>(bytes);
        peak_ = std::max(peak_, now_);
    }
    void Give(std::uint64_t bytes) { now_ -= static_cast<std::int64_t>(bytes); }
    // A buffer of room bytes that must now hold bytes: used again when
    // large enough, else a new one is made before the old one goes.
    void Fill(std::uint64_t bytes, std::uint64_t room) {
        if (bytes <= room) return;
        Take(bytes);
        Give(room);
    }
    std::uint64_t Need() const { return static_cast<std::uint64_t>(std::max<std::int64_t>(peak_, 0)); }

private:
    std::int64_t now_ = 0;
    std::int64_t peak_ = 0;
};

// The text handed to Qt's document while it is set: two bytes a unit.
std::uint64_t Handed(const TextMeasure& text) { return 2 * text.units; }

// A text area's text read out into a String of room bytes (TextArea::
// TextInto): one byte a character first, then, for a wide text, four.
void ReadOut(Peak& p, const TextMeasure& text, std::uint64_t room) {
    // Each line is copied out of the document on the way.
    const auto line = [&] {
        p.Take(2 * text.longest);
        p.Give(2 * text.longest);
    };
    p.Fill(text.chars, room);
    line();
    if (text.wide) {
        p.Fill(StringBytes(text), std::max(room, text.chars));
        line();
    }
}

// A String's text set into an area already emptied: converted, then the
// document made from the conversion.
void SetIntoArea(Peak& p, const TextMeasure& text) {
    p.Take(Handed(text));
    p.Take(DocumentBytes(text));
    p.Give(Handed(text));
}

void SetTextSteps(Peak& p, const TextMeasure& text, std::uint64_t areaBytes) {
    p.Give(areaBytes);
    p.Take(Handed(text));
    p.Give(StringBytes(text));
    p.Take(DocumentBytes(text));
    p.Give(Handed(text));
}

void ReadSteps(Peak& p, std::uint64_t fileBytes, const TextMeasure& text) {
    p.Take(fileBytes);
    if (text.wide) {
        // Decoded at one byte a character up to the first wide one, then
        // widened while the narrow start is still there.
        p.Take(text.chars);
        p.Take(StringBytes(text));
        p.Give(text.chars);
    } else {
        p.Take(StringBytes(text));
    }
    p.Give(fileBytes);
}

}  // namespace

std::uint64_t LoadNeed(std::uint64_t fileBytes, const TextMeasure& text, std::uint64_t areaBytes) {
    Peak p;
    ReadSteps(p, fileBytes, text);
    SetTextSteps(p, text, areaBytes);
    p.Take(LayoutBytes(text));
    return p.Need();
}

std::uint64_t ReadNeed(std::uint64_t fileBytes) {
    Peak p;
    ReadSteps(p, fileBytes, SizeOfBytes(fileBytes));
    return p.Need();
}

std::uint64_t SetTextNeed(const TextMeasure& text, std::uint64_t areaBytes) {
    Peak p;
    SetTextSteps(p, text, areaBytes);
    p.Take(LayoutBytes(text));
    return p.Need();
}

std::uint64_t EncodedBytes(const TextMeasure& text, TextEncoding encoding) {
    // UTF-8: two bytes at most for a character of Latin-1, three for a unit
    // (a character past U+FFFF takes four, for its two units).
    const std::uint64_t utf8 = 3 + (text.wide ? 3 * text.units : 2 * text.chars);
    switch (encoding) {
        case TextEncoding::Utf8:
        case TextEncoding::Utf8Bom: return utf8;
        case TextEncoding::Utf16LE:
        case TextEncoding::Utf16BE: return std::max(utf8, 2 + 2 * text.units);
        case TextEncoding::Windows1252: return std::max(utf8, text.chars);
    }
    return utf8;
}

std::uint64_t SaveNeed(const TextMeasure& text, std::uint64_t encodedBytes, std::uint64_t keptBytes) {
    // The text read out and encoded; the text goes before the file is
    // opened, which may keep the old content.
    Peak p;
    ReadOut(p, text, 0);
    p.Take(encodedBytes);
    p.Give(StringBytes(text));
    p.Take(keptBytes);
    // The area, focused and redrawn, may lay its line out anew.
    p.Take(LayoutBytes(text));
    return p.Need();
}

std::uint64_t ScrambleNeed(const TextMeasure& input, bool keptCopy, const EngineHeld& held) {
    Peak p;
    ReadOut(p, input, held.inputRoom);
    if (keptCopy) {
        // The plain area's document goes across to the kept area as it is,
        // which lets its old text go before the new one is made.
        p.Take(Handed(input));
        p.Give(held.kept);
        p.Take(DocumentBytes(input));
        p.Give(Handed(input));
    }
    // Both visible areas emptied; the output, never longer than the input,
    // built in room for the whole and set on the right.
    p.Give(held.scrambled);
    p.Give(held.plain);
    p.Fill(StringBytes(input), held.outputRoom);
    SetIntoArea(p, input);
    p.Take(LayoutBytes(input));
    return p.Need();
}

std::uint64_t RestoreNeed(const TextMeasure& kept, const EngineHeld& held) {
    Peak p;
    p.Take(Handed(kept));
    p.Give(held.plain);
    p.Take(DocumentBytes(kept));
    p.Give(Handed(kept));
    p.Take(LayoutBytes(kept));
    return p.Need();
}

std::uint64_t RebuildNeed(const TextMeasure& scrambled, const EngineHeld& held) {
    Peak p;
    ReadOut(p, scrambled, held.inputRoom);
    p.Give(held.plain);
    p.Fill(StringBytes(scrambled), held.outputRoom);
    SetIntoArea(p, scrambled);
    p.Take(LayoutBytes(scrambled));
    return p.Need();
}

std::uint64_t WithMargin(std::uint64_t need) { return need + need / 20 + (std::uint64_t{32} << 20); }

// ---- what is left ----------------------------------------------------------------

namespace {

constexpr std::uint64_t kUnlimited = std::numeric_limits<std::uint64_t>::max();
// cgroup v1 writes "no limit" as a number near 2^63.
constexpr std::uint64_t kNoLimitFrom = std::uint64_t{1} << 60;

std::optional<std::uint64_t>& Override() {
    static std::optional<std::uint64_t> bytes;
    return bytes;
}

// The number a file starts with; nothing for "max", or a file that cannot
// be read.
std::optional<std::uint64_t> ReadNumber(const std::string& path) {
    std::ifstream in(path);
    unsigned long long v = 0;
    if (!(in >> v)) return std::nullopt;
    return static_cast<std::uint64_t>(v);
}

// The value of "name value" in a stat file; 0 when it is not there.
std::uint64_t StatField(const std::string& path, const std::string& name) {
    std::ifstream in(path);
    std::string key;
    unsigned long long v = 0;
    while (in >> key >> v)
        if (key == name) return static_cast<std::uint64_t>(v);
    return 0;
}

std::uint64_t MemAvailable(const std::string& root) {
    std::ifstream in(root + "/proc/meminfo");
    for (std::string line; std::getline(in, line);) {
        unsigned long long kib = 0;
        if (std::sscanf(line.c_str(), "MemAvailable: %llu kB", &kib) == 1) return static_cast<std::uint64_t>(kib) * 1024;
    }
    return kUnlimited;
}

std::vector<std::string> Fields(const std::string& line) {
    std::vector<std::string> fields;
    std::istringstream in(line);
    for (std::string f; in >> f;) fields.push_back(std::move(f));
    return fields;
}

bool HasOption(const std::string& options, const std::string& option) {
    std::istringstream in(options);
    for (std::string o; std::getline(in, o, ',');)
        if (o == option) return true;
    return false;
}

// The folder of the process's memory cgroup and the mount it lies under,
// and whether that is cgroup v2; false when there is none to be seen.
bool FindCgroup(const std::string& root, std::string& folder, std::string& mount, bool& v2) {
    // "id:controllers:path": v1 names the memory controller, v2 has id 0
    // and no controllers.
    std::string v1Path, v2Path;
    {
        std::ifstream in(root + "/proc/self/cgroup");
        for (std::string line; std::getline(in, line);) {
            const auto a = line.find(':'), b = a == std::string::npos ? a : line.find(':', a + 1);
            if (b == std::string::npos) continue;
            const std::string controllers = line.substr(a + 1, b - a - 1), path = line.substr(b + 1);
            if (HasOption(controllers, "memory")) v1Path = path;
            else if (line.compare(0, a, "0") == 0 && controllers.empty()) v2Path = path;
        }
    }
    // "id parent dev root mountpoint options ... - type source superoptions".
    std::string v1Root, v1Mount, v2Root, v2Mount;
    {
        std::ifstream in(root + "/proc/self/mountinfo");
        for (std::string line; std::getline(in, line);) {
            const std::vector<std::string> f = Fields(line);
            const auto dash = std::find(f.begin(), f.end(), "-");
            if (f.size() < 5 || dash == f.end() || dash + 1 == f.end()) continue;
            const std::string& type = *(dash + 1);
            const std::string super = dash + 3 < f.end() ? *(dash + 3) : std::string();
            if (type == "cgroup" && HasOption(super, "memory")) v1Root = f[3], v1Mount = f[4];
            else if (type == "cgroup2") v2Root = f[3], v2Mount = f[4];
        }
    }
    const auto place = [&](const std::string& path, const std::string& mountRoot, const std::string& at) {
        if (path.empty() || at.empty()) return false;
        std::string rel;
        if (mountRoot == "/") rel = path;
        else if (path.compare(0, mountRoot.size(), mountRoot) == 0) rel = path.substr(mountRoot.size());
        else return false;
        mount = root + at;
        folder = mount + (rel == "/" ? std::string() : rel);
        return true;
    };
    if (place(v1Path, v1Root, v1Mount)) {
        v2 = false;
        return true;
    }
    if (place(v2Path, v2Root, v2Mount)) {
        v2 = true;
        return true;
    }
    return false;
}

// What one cgroup level still allows.
std::uint64_t LeftAtLevel(const std::string& folder, bool v2) {
    const auto limit = ReadNumber(folder + (v2 ? "/memory.max" : "/memory.limit_in_bytes"));
    if (!limit || *limit >= kNoLimitFrom) return kUnlimited;
    const std::uint64_t usage = ReadNumber(folder + (v2 ? "/memory.current" : "/memory.usage_in_bytes")).value_or(0);
    // Inactive page cache is what the kernel drops first when the group
    // reaches its limit.
    const std::uint64_t dropped = StatField(folder + "/memory.stat", v2 ? "inactive_file" : "total_inactive_file");
    const std::uint64_t used = usage > dropped ? usage - dropped : 0;
    return *limit > used ? *limit - used : 0;
}

std::uint64_t AddressSpaceLeft() {
    rlimit limit{};
    if (::getrlimit(RLIMIT_AS, &limit) != 0 || limit.rlim_cur == RLIM_INFINITY) return kUnlimited;
    const auto pages = ReadNumber("/proc/self/statm");
    if (!pages) return kUnlimited;
    const std::uint64_t used = *pages * static_cast<std::uint64_t>(::sysconf(_SC_PAGESIZE));
    return limit.rlim_cur > used ? limit.rlim_cur - used : 0;
}

}  // namespace

namespace detail {

bool MemoryCgroup(const std::string& root, std::string& folder, bool& v2) {
    std::string mount;
    return FindCgroup(root, folder, mount, v2);
}

std::uint64_t MemoryLeftUnder(const std::string& root) {
    std::uint64_t left = MemAvailable(root);
    std::string folder, mount;
    bool v2 = false;
    if (FindCgroup(root, folder, mount, v2)) {
        // A limit anywhere above the process's own group holds it too.
        for (;;) {
            left = std::min(left, LeftAtLevel(folder, v2));
            if (folder.size() <= mount.size()) break;
            folder = folder.substr(0, folder.rfind('/'));
        }
    }
    return left;
}

}  // namespace detail

std::uint64_t MemoryLeft() {
    if (Override()) return *Override();
    return std::min(detail::MemoryLeftUnder(""), AddressSpaceLeft());
}

void OverrideMemoryLeft(std::optional<std::uint64_t> bytes) { Override() = bytes; }

// ---- in words ----------------------------------------------------------------------

std::string BytesInWords(std::uint64_t bytes) {
    static constexpr const char* kUnits[] = {"KB", "MB", "GB", "TB"};
    if (bytes < 1000) return std::to_string(bytes) + (bytes == 1 ? " byte" : " bytes");
    double value = static_cast<double>(bytes) / 1000;
    std::size_t unit = 0;
    while (value >= 999.5 && unit + 1 < std::size(kUnits)) {
        value /= 1000;
        ++unit;
    }
    char text[32];
    std::snprintf(text, sizeof text, value < 9.95 ? "%.1f %s" : "%.0f %s", value, kUnits[unit]);
    return text;
}

std::string CountInWords(std::uint64_t count) {
    std::string digits = std::to_string(count), out;
    for (std::size_t i = 0; i < digits.size(); ++i) {
        if (i > 0 && (digits.size() - i) % 3 == 0) out += ',';
        out += digits[i];
    }
    return out;
}

}  // namespace fw
