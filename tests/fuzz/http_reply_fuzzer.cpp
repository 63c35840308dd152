// The HTTP client's reply reader on arbitrary bytes, cut into arbitrary
// pieces: it never reads out of bounds (ASan) or hits undefined behaviour
// (UBSan), its outcome does not depend on where the pieces were cut, it
// keeps no more than the cap, and the body it gives decodes as the client
// decodes it.
//
// Input: one byte of options (bit 0: the connection ends after the bytes),
// two bytes seeding the cuts, then the bytes the server sends.

#include "core/Http.h"
#include "core/String.h"

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <string_view>

namespace {

[[noreturn]] void Fault(const char* what) {
    std::fprintf(stderr, "http_reply fuzzer: %s\n", what);
    std::abort();
}

struct Outcome {
    fw::HttpReplyReader::State state;
    fw::HttpError error;
    int32_t status;
    std::string body;
    std::string headers;

    bool operator==(const Outcome&) const = default;
};

Outcome Take(const fw::HttpReplyReader& r) {
    Outcome o{r.GetState(), r.Error(), r.Status(), r.Body(), {}};
    for (const auto& h : r.Headers()) {
        o.headers += h.name;
        o.headers += '\0';
        o.headers += h.value;
        o.headers += '\0';
    }
    return o;
}

void Check(const fw::HttpReplyReader& r) {
    using State = fw::HttpReplyReader::State;
    if (r.Body().size() > fw::kMaxHttpBody) Fault("body past the cap");
    if ((r.GetState() == State::Failed) != (r.Error() != fw::HttpError::None)) Fault("error without failure");
    if (r.GetState() == State::Failed && !r.Body().empty()) Fault("a failed reply keeps its body");
    if (r.Status() < 0) Fault("negative status");
    if (r.GetState() == State::Done)
        if (const std::string* len = r.Header("Content-length");
            len && !len->empty() && len->find_first_not_of("0123456789") == std::string::npos &&
            len->size() < 8 && std::stoul(*len) != r.Body().size())
            Fault("body differs from its Content-length");
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    if (size < 3) return 0;
    const bool close = data[0] & 1;
    uint32_t seed = (uint32_t{data[1]} << 8) | data[2] | 1u;
    const std::string_view reply(reinterpret_cast<const char*>(data) + 3, size - 3);

    fw::HttpReplyReader whole;
    whole.Feed(reply);
    if (close) whole.Finish();
    Check(whole);

    fw::HttpReplyReader pieces;
    for (std::size_t at = 0; at < reply.size();) {
        // A small xorshift picks each piece's size, from 1 byte up.
        seed ^= seed << 13;
        seed ^= seed >> 17;
        seed ^= seed << 5;
        const std::size_t n = 1 + seed % ((seed >> 8) % 4 == 0 ? 64 : 4);
        pieces.Feed(reply.substr(at, n));
        Check(pieces);
        at += n;
    }
    if (close) pieces.Finish();
    Check(pieces);
    if (!(Take(whole) == Take(pieces))) Fault("the outcome depends on the cuts");

    // What the client hands to its PageReceived handler.
    if (whole.GetState() == fw::HttpReplyReader::State::Done) {
        const fw::String content = fw::String::FromUtf8(whole.Body());
        if (content.Size() > whole.Body().size()) Fault("more characters than bytes");
    }
    return 0;
}
