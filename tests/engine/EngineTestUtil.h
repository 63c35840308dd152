#pragma once

#include "Engine.h"

#include <fstream>
#include <ostream>
#include <sstream>
#include <string>
#include <vector>

namespace testutil {

// One call of the scanner: what it added to Book before the unit, the unit,
// EndUnit, and StartChar after the call.
struct Step {
    std::string separators;
    std::string unit;
    std::string endUnit;
    int32_t startChar;
    bool operator==(const Step&) const = default;
};

inline std::ostream& operator<<(std::ostream& os, const Step& s) {
    return os << "{sep='" << s.separators << "' unit='" << s.unit << "' end='" << s.endUnit << "' next=" << s.startChar << "}";
}

inline std::vector<Step> Scan(const std::string& text) {
    Module1::Reset();
    Module1::FullBook = fw::String(text);
    Module1::NoChar = fw::Len(Module1::FullBook);
    Module1::StartChar = 1;
    std::vector<Step> steps;
    while (Module1::StartChar <= Module1::NoChar) {
        const std::size_t before = Module1::Book.Size();
        engine::SearchWord();
        Step s;
        s.separators = fw::Mid(Module1::Book, static_cast<int32_t>(before) + 1).ToUtf8();
        s.unit = Module1::WordUnit.ToUtf8();
        s.endUnit = Module1::EndUnit.ToUtf8();
        s.startChar = Module1::StartChar;
        steps.push_back(s);
    }
    return steps;
}

inline std::string ReadFile(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    std::stringstream ss;
    ss << in.rdbuf();
    return ss.str();
}

// The shipped word list as rows, read once.
inline const fw::StringRows& ShippedRows() {
    static const fw::StringRows rows = [] {
        fw::StringRows r;
        std::string text = ReadFile(SCRANDLE_WORDLIST_FILE);
        while (!text.empty() && text.back() == '\n') text.pop_back();
        r.SetFromJoined(fw::String(text), U'\n');
        return r;
    }();
    return rows;
}

inline fw::StringRows RowsOf(std::initializer_list<const char*> words) {
    fw::StringRows r;
    for (const char* w : words) r.AddRow(fw::String(w));
    return r;
}

}  // namespace testutil
