#pragma once

#include "engine/Engine.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <fstream>
#include <unordered_map>
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

// Cuts a text into its pieces by the character kinds alone, independently
// of the engine's scanner: each separator is passed on by itself, each unit
// (a run of unit characters, or one character of the one-character kind)
// whole; apostrophes and hyphens end a unit and vanish.
template <class OnSeparator, class OnUnit>
void ForEachPiece(std::u32string_view text, OnSeparator separator, OnUnit unit) {
    auto kind = [](char32_t c) {
        switch (c) {
            case U'\'': case U'-': return 'd';
            case U' ': case U'\r': case U'\n': case U'"': case U'.': case U'?': case U',': case U':': case U';': return 's';
            case U'!': case U'(': case U')': case U'#': case U'&': return '1';
            default: return 'u';
        }
    };
    std::size_t i = 0;
    while (i < text.size()) {
        const char k = kind(text[i]);
        if (k == 'd') {
            ++i;
        } else if (k == 's') {
            separator(text[i++]);
        } else if (k == '1') {
            unit(text.substr(i++, 1));
        } else {
            std::size_t end = i;
            while (end < text.size() && kind(text[end]) == 'u') ++end;
            unit(text.substr(i, end - i));
            i = end;
        }
    }
}

// The scrambled text is the plain one without apostrophes and hyphens, every
// separator in its place, every unit of four or more characters with its
// first and last character and its characters, the shorter ones unchanged.
inline void ExpectScrambledFrom(const fw::String& plain, const fw::String& scrambled) {
    const std::u32string out = scrambled.ToUcs4();
    const std::u32string in = plain.ToUcs4();
    std::size_t at = 0;
    bool good = true;
    auto fail = [&](const char* what) {
        if (good) ADD_FAILURE() << what << " at character " << at << " of " << plain.ToUtf8().substr(0, 200);
        good = false;
    };
    ForEachPiece(
        in,
        [&](char32_t c) {
            if (at >= out.size() || out[at] != c) fail("separator moved or changed");
            ++at;
        },
        [&](std::u32string_view unit) {
            const std::u32string_view got = std::u32string_view(out).substr(std::min(at, out.size()), unit.size());
            if (got.size() != unit.size()) return fail("output too short");
            if (unit.size() <= 3 && got != unit) fail("short unit changed");
            if (got.front() != unit.front() || got.back() != unit.back()) fail("first or last character moved");
            std::u32string a(got), b(unit);
            std::sort(a.begin(), a.end());
            std::sort(b.begin(), b.end());
            if (a != b) fail("characters not conserved");
            at += unit.size();
        });
    if (at != out.size()) fail("output too long");
}

// What the dictionary road must give for a text: units of up to three
// characters as they are, four-character ones with the middle pair swapped,
// longer ones as the first passing row of the walk (their own first
// character kept) or in upper case.
inline fw::String ExpectedRebuild(const fw::String& text, const fw::StringRows& rows) {
    std::u32string out;
    std::unordered_map<std::u32string_view, std::u32string> known;
    const std::u32string in = text.ToUcs4();
    ForEachPiece(
        in, [&](char32_t c) { out += c; },
        [&](std::u32string_view unit) {
            if (unit.size() < 4) {
                out += unit;
            } else if (unit.size() == 4) {
                out += {unit[0], unit[2], unit[1], unit[3]};
            } else {
                auto it = known.find(unit);
                if (it == known.end()) {
                    const fw::String u(unit);
                    const int32_t row = engine::WalkFirstMatch(rows, u, fw::Left(u, 1), fw::Right(u, 1));
                    std::u32string r(unit);
                    for (std::size_t k = row >= 0 ? 1 : 0; k < r.size(); ++k)
                        r[k] = row >= 0 ? rows.Cell(row).At(k) : fw::UpperChar(r[k]);
                    it = known.emplace(unit, std::move(r)).first;
                }
                out += it->second;
            }
        });
    return fw::String(out);
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
