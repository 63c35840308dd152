// Message files on arbitrary bytes: every byte sequence loads, saving what
// was loaded with its own encoding gives the same bytes back, and the text
// written as UTF-8 (the fallback of every save) reads back as the same text.

#include "core/String.h"
#include "core/TextCodec.h"

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <string_view>

namespace {

[[noreturn]] void Fault(const char* what) {
    std::fprintf(stderr, "message_file fuzzer: %s\n", what);
    std::abort();
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const std::string_view bytes(reinterpret_cast<const char*>(data), size);
    const fw::DecodedText loaded = fw::DecodeText(bytes);

    std::string saved;
    if (!fw::EncodeText(loaded.text, loaded.encoding, saved)) Fault("the loaded text cannot be saved as it came in");
    if (saved != bytes) Fault("load then save changed the bytes");

    std::string utf8;
    if (!fw::EncodeText(loaded.text, fw::TextEncoding::Utf8, utf8)) Fault("UTF-8 refused a text");
    if (!fw::DecodeText(utf8).text.Identical(loaded.text)) Fault("a text saved as UTF-8 reads back otherwise");
    return 0;
}
