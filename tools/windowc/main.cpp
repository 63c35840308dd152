// scrandle-windowc: compiles window-definition files into a C++ header and
// source holding each window's property sets as constant byte strings.
//
//   scrandle-windowc --header OUT.h --source OUT.cpp [--namespace NS]
//                    [--depfile OUT.d] [--input-dir DIR]... FILE.window...
//
// Any error in any file is reported as "FILE:LINE: message" on stderr, and
// the exit status is 1; nothing is written then.

#include "WindowFile.h"

#include <charconv>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <iostream>
#include <map>
#include <sstream>

namespace {

namespace fs = std::filesystem;

// A C++ string literal of arbitrary bytes, split into chunks so that huge
// values (the word list) stay quick for the compiler and the lines short.
void EmitBytes(std::ostream& out, const std::string& bytes) {
    if (bytes.empty()) {
        out << "    \"\"";
        return;
    }
    constexpr std::size_t kLine = 96;
    std::string line;
    bool first = true;
    auto flush = [&] {
        out << (first ? "" : "\n") << "    \"" << line << "\"";
        first = false;
        line.clear();
    };
    for (unsigned char c : bytes) {
        if (c == '"' || c == '\\') {
            line += '\\';
            line += static_cast<char>(c);
        } else if (c >= 0x20 && c < 0x7F && c != '?') {
            line += static_cast<char>(c);
        } else {
            // Three octal digits always, so a following digit is never taken
            // into the escape.
            char buf[5];
            std::snprintf(buf, sizeof buf, "\\%03o", c);
            line += buf;
        }
        if (line.size() >= kLine) flush();
    }
    if (!line.empty()) flush();
}

std::string Quoted(const std::string& s) {
    std::ostringstream out;
    EmitBytes(out, s);
    std::string t = out.str();
    return t.substr(4);  // drop the indentation of the single line
}

std::string Number(double v) {
    char buf[64];
    auto [end, ec] = std::to_chars(buf, buf + sizeof buf, v);
    std::string s(buf, end);
    if (s.find_first_of(".e") == std::string::npos) s += ".0";
    return s;
}

std::string DepEscape(const std::string& path) {
    std::string out;
    for (char c : path) {
        if (c == ' ' || c == '#') out += '\\';
        if (c == '$') out += '$';
        out += c;
    }
    return out;
}

bool WriteFile(const std::string& path, const std::string& content) {
    const std::string tmp = path + ".tmp";
    {
        std::ofstream out(tmp, std::ios::binary | std::ios::trunc);
        if (!out) return false;
        out << content;
        if (!out.flush()) return false;
    }
    std::error_code ec;
    fs::rename(tmp, path, ec);
    return !ec;
}

int Usage(const char* why) {
    std::cerr << "scrandle-windowc: " << why
              << "\nusage: scrandle-windowc --header OUT.h --source OUT.cpp [--namespace NS] "
                 "[--depfile OUT.d] [--input-dir DIR]... FILE.window...\n";
    return 2;
}

}  // namespace

int main(int argc, char** argv) {
    std::string header, source, depfile, ns = "windowdefs";
    std::vector<std::string> inputDirs;
    std::vector<std::string> files;
    for (int i = 1; i < argc; ++i) {
        const std::string a = argv[i];
        auto next = [&](std::string& into) {
            if (i + 1 >= argc) return false;
            into = argv[++i];
            return true;
        };
        if (a == "--header") { if (!next(header)) return Usage("--header needs a path"); }
        else if (a == "--source") { if (!next(source)) return Usage("--source needs a path"); }
        else if (a == "--depfile") { if (!next(depfile)) return Usage("--depfile needs a path"); }
        else if (a == "--namespace") { if (!next(ns)) return Usage("--namespace needs a name"); }
        else if (a == "--input-dir") {
            std::string dir;
            if (!next(dir)) return Usage("--input-dir needs a folder");
            inputDirs.push_back(dir);
        }
        else if (a.starts_with("--")) return Usage(("unknown option " + a).c_str());
        else files.push_back(a);
    }
    if (header.empty() || source.empty()) return Usage("--header and --source are required");
    if (files.empty()) return Usage("no definition files given");
    windowc::SetInputDirs(inputDirs);

    std::vector<windowc::WindowDef> windows;
    std::vector<std::string> inputs;
    std::map<std::string, std::string> windowAt;  // name -> FILE:LINE
    int errors = 0;
    for (const auto& f : files) {
        auto r = windowc::ParseWindowFile(f);
        for (const auto& e : r.errors) std::cerr << e.Text() << "\n";
        errors += static_cast<int>(r.errors.size());
        inputs.push_back(fs::absolute(f).lexically_normal().string());
        inputs.insert(inputs.end(), r.inputs.begin(), r.inputs.end());
        if (!r.errors.empty()) continue;
        const std::string here = f + ":" + std::to_string(r.window.line);
        auto [it, fresh] = windowAt.emplace(r.window.name, here);
        if (!fresh) {
            std::cerr << here << ": window '" << r.window.name << "' is defined twice (first at " << it->second
                      << ")\n";
            ++errors;
            continue;
        }
        windows.push_back(std::move(r.window));
    }
    if (errors) {
        std::cerr << "scrandle-windowc: " << errors << (errors == 1 ? " error" : " errors") << "\n";
        return 1;
    }

    std::ostringstream h;
    h << "// Generated by scrandle-windowc from the window definitions; do not edit.\n"
      << "#pragma once\n\n#include \"PropertySet.h\"\n\n#include <span>\n#include <string_view>\n\n"
      << "namespace " << ns << " {\n\n";
    for (const auto& w : windows) h << "extern const fw::WindowDefinition " << w.name << ";\n";
    h << "\n// Every window above, in the order of the definition files.\n"
      << "std::span<const fw::WindowDefinition* const> AllWindowDefinitions();\n"
      << "// The window of that name, or nullptr.\n"
      << "const fw::WindowDefinition* FindWindowDefinition(std::string_view name);\n\n"
      << "}  // namespace " << ns << "\n";

    std::ostringstream s;
    s << "// Generated by scrandle-windowc from the window definitions; do not edit.\n"
      << "#include \"" << fs::path(header).filename().string() << "\"\n\n"
      << "namespace " << ns << " {\n\nnamespace {\n\n";
    for (std::size_t wi = 0; wi < windows.size(); ++wi) {
        const auto& w = windows[wi];
        const std::string wp = "kW" + std::to_string(wi);
        s << "// " << w.name << "\n";
        s << "constexpr char " << wp << "Set[] =\n";
        EmitBytes(s, w.set);
        s << ";\n";
        for (std::size_t ci = 0; ci < w.controls.size(); ++ci) {
            const auto& c = w.controls[ci];
            const std::string cp = wp + "C" + std::to_string(ci);
            s << "// " << w.name << "." << c.name << " (" << c.frameworkClass << ")\n";
            s << "constexpr char " << cp << "Set[] =\n";
            EmitBytes(s, c.set);
            s << ";\n";
            if (!c.presets.empty()) {
                s << "constexpr fw::PresetProperty " << cp << "Presets[] = {";
                for (const auto& p : c.presets) s << "{\"" << p.key << "\", " << Number(p.value) << "}, ";
                s << "};\n";
            }
        }
        if (!w.controls.empty()) {
            s << "constexpr fw::ControlDefinition " << wp << "Controls[] = {\n";
            for (std::size_t ci = 0; ci < w.controls.size(); ++ci) {
                const auto& c = w.controls[ci];
                const std::string cp = wp + "C" + std::to_string(ci);
                s << "    {" << Quoted(c.frameworkClass) << ", " << Quoted(c.name) << ", std::string_view("
                  << cp << "Set, sizeof " << cp << "Set - 1), "
                  << (c.presets.empty() ? "{}" : "std::span<const fw::PresetProperty>(" + cp + "Presets)")
                  << "},\n";
            }
            s << "};\n";
        }
        s << "\n";
    }
    s << "}  // namespace\n\n";
    for (std::size_t wi = 0; wi < windows.size(); ++wi) {
        const auto& w = windows[wi];
        const std::string wp = "kW" + std::to_string(wi);
        s << "constinit const fw::WindowDefinition " << w.name << "{" << Quoted(w.name)
          << ", std::string_view(" << wp << "Set, sizeof " << wp << "Set - 1), "
          << (w.controls.empty() ? "{}" : "std::span<const fw::ControlDefinition>(" + wp + "Controls)") << "};\n";
    }
    s << "\nnamespace {\nconstexpr const fw::WindowDefinition* kAll[] = {";
    for (const auto& w : windows) s << "&" << w.name << ", ";
    s << "};\n}  // namespace\n\n"
      << "std::span<const fw::WindowDefinition* const> AllWindowDefinitions() { return kAll; }\n\n"
      << "const fw::WindowDefinition* FindWindowDefinition(std::string_view name) {\n"
      << "    for (const auto* w : kAll)\n        if (w->name == name) return w;\n    return nullptr;\n}\n\n"
      << "}  // namespace " << ns << "\n";

    if (!WriteFile(header, h.str()) || !WriteFile(source, s.str())) {
        std::cerr << "scrandle-windowc: cannot write " << header << " or " << source << "\n";
        return 1;
    }
    if (!depfile.empty()) {
        std::ostringstream d;
        d << DepEscape(source) << ":";
        for (const auto& in : inputs) d << " \\\n  " << DepEscape(in);
        d << "\n";
        if (!WriteFile(depfile, d.str())) {
            std::cerr << "scrandle-windowc: cannot write " << depfile << "\n";
            return 1;
        }
    }
    return 0;
}
