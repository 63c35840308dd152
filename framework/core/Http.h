// The HTTP/1.0 framing of the framework's HTTP client, without any network
// code: the URL split, the request head, the error codes and an incremental
// reader of the reply. Qt's own client speaks HTTP/1.1 with headers of its
// own, so the client frames its requests itself; everything that touches the
// bytes lives here, where it can be tested and fuzzed alone.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

namespace fw {

// The codes the client's Error event carries. The program shows them to
// the user unchanged, so they stay fixed once published.
//
//   1  HostNotFound       the host's name could not be resolved
//   2  ConnectionRefused  the host refused the connection
//   3  HostUnreachable    no route to the host or its network
//   4  TimedOut           the connection could not be made in time
//   5  ConnectionLost     the connection ended (closed or reset) before the
//                         reply was complete: before the end of its head, or
//                         before as many body bytes as its Content-length
//   6  ReplyTooLarge      the reply's body passed kMaxHttpBody bytes, or its
//                         head kMaxHttpHead bytes
//   7  BadAddress         the URL names no host, or a port that is no number
//                         from 1 to 65535, or holds blanks or control bytes
//   8  SocketFailure      any other failure of the socket
//   9  UnusableReply      a reply came, but not the one asked for: a status
//                         other than 2xx, or without what the caller reads
//                         from it. The client delivers every reply as it
//                         comes; its caller tells this one (the update
//                         check: no update file)
//  10  NetworkUnavailable the network module could not be loaded
enum class HttpError : int32_t {
    None = 0,
    HostNotFound = 1,
    ConnectionRefused = 2,
    HostUnreachable = 3,
    TimedOut = 4,
    ConnectionLost = 5,
    ReplyTooLarge = 6,
    BadAddress = 7,
    SocketFailure = 8,
    UnusableReply = 9,
    NetworkUnavailable = 10,
};

// The update file is a few hundred bytes; anything near these sizes is not a
// reply the program asked for, and must not grow memory without bound.
inline constexpr std::size_t kMaxHttpBody = 1024 * 1024;
inline constexpr std::size_t kMaxHttpHead = 64 * 1024;

// A URL cut as the client uses it: the text after "://" up to its first "/"
// is the server ("host" or "host:port"), the rest the path ("/" when none).
// The port is 80 when the server names none or 0.
struct HttpTarget {
    std::string server;
    std::string host;
    uint16_t port = 80;
    std::string path = "/";
    HttpError error = HttpError::None;  // BadAddress for a URL that cannot be sent
};
HttpTarget SplitHttpUrl(std::string_view url);

// The request head for a GET of the target: the request line with HTTP/1.0,
// the headers Host, Accept and Accept-Language, and the empty line. No body.
std::string HttpRequestHead(const HttpTarget& target);

struct HttpHeader {
    std::string name;
    std::string value;
};

// Reads a reply from its bytes as they arrive, in pieces of any size; the
// outcome does not depend on how the bytes were split.
//
// The head (status line and header lines) ends at the first empty line; a
// line ends with CR LF, LF or CR. The status is the second blank-separated
// field of the status line (0 when it is no number). The body ends once as
// many bytes as the Content-length header names (letter case ignored) have
// arrived, or else when the connection ends.
class HttpReplyReader {
public:
    enum class State { Head, Body, Done, Failed };

    // Takes the next bytes; bytes after the end of the reply are ignored.
    State Feed(std::string_view bytes);
    // The connection has ended (closed or reset by the server).
    State Finish();

    State GetState() const { return state_; }
    bool Ended() const { return state_ == State::Done || state_ == State::Failed; }
    int32_t Status() const { return status_; }
    const std::vector<HttpHeader>& Headers() const { return headers_; }
    // The body read so far; the whole body once Done.
    const std::string& Body() const { return body_; }
    HttpError Error() const { return error_; }

    // The value of the first header of that name, letter case ignored, or
    // nullptr.
    const std::string* Header(std::string_view name) const;

private:
    void FeedHead(std::string_view& bytes);
    void FeedBody(std::string_view bytes);
    void EndLine();
    void EndHead();
    void Fail(HttpError e);

    State state_ = State::Head;
    std::string line_;
    bool seenStatusLine_ = false;
    bool afterCR_ = false;  // the last head byte was a CR: a LF next belongs to it
    std::size_t headBytes_ = 0;
    int32_t status_ = 0;
    std::vector<HttpHeader> headers_;
    bool hasLength_ = false;
    std::size_t length_ = 0;
    std::string body_;
    HttpError error_ = HttpError::None;
};

// Whether two names are equal with ASCII letter case ignored.
bool HttpNamesEqual(std::string_view a, std::string_view b);

}  // namespace fw
