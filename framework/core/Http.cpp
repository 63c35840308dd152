#include "core/Http.h"

#include <algorithm>
#include <limits>

namespace fw {

namespace {

bool IsBlank(char c) { return c == ' ' || c == '\t'; }
bool IsDigit(char c) { return c >= '0' && c <= '9'; }

std::string_view Trim(std::string_view s) {
    while (!s.empty() && IsBlank(s.front())) s.remove_prefix(1);
    while (!s.empty() && IsBlank(s.back())) s.remove_suffix(1);
    return s;
}

char LowerAscii(char c) { return (c >= 'A' && c <= 'Z') ? static_cast<char>(c + 32) : c; }

// The number the digits spell, saturated far above any size the client
// takes; false for anything but digits (empty, a sign, a blank).
bool ParseDigits(std::string_view s, std::size_t& out) {
    if (s.empty()) return false;
    std::size_t v = 0;
    for (char c : s) {
        if (!IsDigit(c)) return false;
        v = std::min<std::size_t>(v * 10 + static_cast<std::size_t>(c - '0'), std::size_t{1} << 40);
    }
    out = v;
    return true;
}

}  // namespace

bool HttpNamesEqual(std::string_view a, std::string_view b) {
    return a.size() == b.size() &&
           std::equal(a.begin(), a.end(), b.begin(), [](char x, char y) { return LowerAscii(x) == LowerAscii(y); });
}

HttpTarget SplitHttpUrl(std::string_view url) {
    HttpTarget t;
    // The URL goes into the request line as it stands, so anything that
    // would end or split that line is refused rather than sent.
    if (std::any_of(url.begin(), url.end(), [](char c) { return static_cast<unsigned char>(c) <= 0x20 || c == 0x7F; })) {
        t.error = HttpError::BadAddress;
        return t;
    }
    if (const auto scheme = url.find("://"); scheme != std::string_view::npos) url.remove_prefix(scheme + 3);
    const auto slash = url.find('/');
    t.server = std::string(url.substr(0, slash));
    if (slash != std::string_view::npos) t.path = std::string(url.substr(slash));
    const auto colon = t.server.find(':');
    t.host = t.server.substr(0, colon);
    if (colon != std::string::npos) {
        std::size_t port = 0;
        if (!ParseDigits(std::string_view(t.server).substr(colon + 1), port) || port > 65535) {
            t.error = HttpError::BadAddress;
            return t;
        }
        t.port = port == 0 ? 80 : static_cast<uint16_t>(port);
    }
    if (t.host.empty()) t.error = HttpError::BadAddress;
    return t;
}

std::string HttpRequestHead(const HttpTarget& target) {
    return "GET " + target.path + " HTTP/1.0\r\n" +
           "Host: " + target.server + "\r\n"
           "Accept: */*\r\n"
           "Accept-Language: en\r\n"
           "\r\n";
}

const std::string* HttpReplyReader::Header(std::string_view name) const {
    for (const auto& h : headers_)
        if (HttpNamesEqual(h.name, name)) return &h.value;
    return nullptr;
}

HttpReplyReader::State HttpReplyReader::Feed(std::string_view bytes) {
    if (state_ == State::Head) FeedHead(bytes);
    if (state_ == State::Body) FeedBody(bytes);
    return state_;
}

HttpReplyReader::State HttpReplyReader::Finish() {
    if (state_ == State::Head) Fail(HttpError::ConnectionLost);
    else if (state_ == State::Body) {
        if (hasLength_ && body_.size() < length_) Fail(HttpError::ConnectionLost);
        else state_ = State::Done;
    }
    return state_;
}

void HttpReplyReader::Fail(HttpError e) {
    state_ = State::Failed;
    error_ = e;
    body_.clear();
    body_.shrink_to_fit();
}

// Consumes head bytes up to the end of the head; what follows stays in bytes.
void HttpReplyReader::FeedHead(std::string_view& bytes) {
    while (!bytes.empty() && state_ == State::Head) {
        const char c = bytes.front();
        bytes.remove_prefix(1);
        if (++headBytes_ > kMaxHttpHead) {
            Fail(HttpError::ReplyTooLarge);
            return;
        }
        if (afterCR_) {
            afterCR_ = false;
            if (c == '\n') continue;  // the LF of a CR LF
        }
        if (c == '\r' || c == '\n') {
            afterCR_ = c == '\r';
            EndLine();
        } else {
            line_ += c;
        }
    }
}

void HttpReplyReader::EndLine() {
    if (line_.empty()) {
        EndHead();
        return;
    }
    std::string_view line(line_);
    if (!seenStatusLine_) {
        seenStatusLine_ = true;
        // The second blank-separated field.
        auto p = line.find_first_not_of(" \t");
        p = line.find_first_of(" \t", p);
        p = line.find_first_not_of(" \t", p);
        if (p != std::string_view::npos) {
            int64_t v = 0;
            for (; p < line.size() && IsDigit(line[p]); ++p)
                v = std::min<int64_t>(v * 10 + (line[p] - '0'), std::numeric_limits<int32_t>::max());
            status_ = static_cast<int32_t>(v);
        }
    } else if (const auto colon = line.find(':'); colon != std::string_view::npos) {
        headers_.push_back({std::string(Trim(line.substr(0, colon))), std::string(Trim(line.substr(colon + 1)))});
    }
    line_.clear();
}

void HttpReplyReader::EndHead() {
    line_.clear();
    line_.shrink_to_fit();
    state_ = State::Body;
    // A Content-length that is no plain number is taken as missing: the body
    // then ends with the connection.
    if (const std::string* v = Header("Content-length"); v && ParseDigits(*v, length_)) {
        hasLength_ = true;
        if (length_ > kMaxHttpBody) Fail(HttpError::ReplyTooLarge);
        else if (length_ == 0) state_ = State::Done;
    }
}

void HttpReplyReader::FeedBody(std::string_view bytes) {
    if (afterCR_ && !bytes.empty()) {
        afterCR_ = false;
        if (bytes.front() == '\n') bytes.remove_prefix(1);
    }
    if (hasLength_) bytes = bytes.substr(0, length_ - body_.size());
    if (body_.size() + bytes.size() > kMaxHttpBody) {
        Fail(HttpError::ReplyTooLarge);
        return;
    }
    body_.append(bytes);
    if (hasLength_ && body_.size() == length_) state_ = State::Done;
}

}  // namespace fw
