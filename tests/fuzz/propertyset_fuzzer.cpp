// The property-set reader on arbitrary bytes: it either reads a set or
// throws PropertySetException, never anything else, and never reads out of
// bounds (ASan) or hits undefined behaviour (UBSan). A set it reads writes
// back and reads again to the same entries, and to the same bytes when its
// strings were UTF-8 already.

#include "core/PropertySet.h"

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string_view>
#include <utility>
#include <vector>

namespace {

[[noreturn]] void Fault(const char* what) {
    std::fprintf(stderr, "propertyset fuzzer: %s\n", what);
    std::abort();
}

bool SameValue(const fw::PropertyValue& a, const fw::PropertyValue& b) {
    if (a.form != b.form) return false;
    switch (a.form) {
        case fw::PropertyForm::Boolean: return a.boolean == b.boolean;
        case fw::PropertyForm::Colour: return a.colour == b.colour;
        case fw::PropertyForm::Integer: return a.integer == b.integer;
        case fw::PropertyForm::String: return a.TextValue().Identical(b.TextValue());
    }
    return false;
}

bool SameEntries(const std::vector<fw::PropertyEntry>& a, const std::vector<fw::PropertyEntry>& b) {
    if (a.size() != b.size()) return false;
    for (std::size_t i = 0; i < a.size(); ++i)
        if (a[i].key != b[i].key || !SameValue(a[i].value, b[i].value)) return false;
    return true;
}

// Reads with the given reader; false when the set is refused.
template <typename Reader>
bool Read(Reader reader, std::string_view bytes, std::vector<fw::PropertyEntry>& entries) {
    try {
        entries = reader(bytes);
        return true;
    } catch (const fw::PropertySetException& e) {
        if (e.Offset > bytes.size()) Fault("an error names an offset past the end of the set");
        return false;
    }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string_view bytes(reinterpret_cast<const char*>(data), size);

    std::vector<fw::PropertyEntry> entries, deferred;
    const bool read = Read(fw::ReadPropertySet, bytes, entries);
    const auto readDeferred = [](std::string_view b) { return fw::ReadPropertySetDeferred(b, fw::SetBytes::Passing); };
    if (Read(readDeferred, bytes, deferred) != read) Fault("the two readers disagree on refusing");
    if (!read) return 0;
    if (!SameEntries(entries, deferred)) Fault("the two readers read different entries");

    // Every entry names a key of the table with its form, once, at its own
    // offset; and whether every string came in as UTF-8.
    bool canonical = true;
    std::size_t last = 0;
    std::vector<std::pair<std::string, fw::PropertyValue>> toWrite;
    for (std::size_t i = 0; i < entries.size(); ++i) {
        const auto& e = entries[i];
        if (fw::FormOfKey(e.key) != e.value.form) Fault("an entry's form is not its key's");
        if (fw::KeyNumber(e.key) != e.number) Fault("an entry's number is not its key's");
        if (bytes.substr(e.offset, e.key.size()) != e.key) Fault("an entry's offset does not point at its key");
        if (i > 0 && e.offset <= last) Fault("offsets do not ascend");
        last = e.offset;
        if (e.value.form == fw::PropertyForm::String) {
            const std::size_t at = e.offset + e.key.size() + 1;
            const auto* p = reinterpret_cast<const unsigned char*>(bytes.data() + at);
            const std::size_t count = (std::size_t{p[0]} << 24) | (std::size_t{p[1]} << 16) |
                                      (std::size_t{p[2]} << 8) | p[3];
            if (bytes.substr(at + 4, count) != e.value.text.ToUtf8()) canonical = false;
        }
        toWrite.emplace_back(e.key, e.value);
    }

    std::string written;
    try {
        written = fw::WritePropertySet(toWrite);
    } catch (const fw::PropertySetException&) {
        Fault("the writer refuses a set the reader took");
    }
    std::vector<fw::PropertyEntry> reread;
    if (!Read(fw::ReadPropertySet, written, reread)) Fault("a written set does not read back");
    if (!SameEntries(entries, reread)) Fault("a written set reads back different");
    if (canonical && written != bytes) Fault("a set in UTF-8 does not write back the same bytes");
    return 0;
}
