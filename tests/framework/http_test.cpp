// The HTTP client's framing: the URL split, the request head and the reply
// reader, fed in every way a connection may cut the bytes.
#include "core/Http.h"

#include <gtest/gtest.h>

#include <string>

namespace {

using fw::HttpError;
using fw::HttpReplyReader;
using State = HttpReplyReader::State;

TEST(HttpUrl, SplitAndHead) {
    struct Case {
        const char* url;
        const char* server;
        const char* host;
        int port;
        const char* path;
    };
    const Case cases[] = {
        {"http://www.tarnwick.example/Updates/scrandle.xml", "www.tarnwick.example", "www.tarnwick.example", 80,
         "/Updates/scrandle.xml"},
        {"http://127.0.0.1:8080/Updates/scrandle.xml", "127.0.0.1:8080", "127.0.0.1", 8080, "/Updates/scrandle.xml"},
        {"http://host", "host", "host", 80, "/"},
        {"http://host:0/a", "host:0", "host", 80, "/a"},
        {"host/a/b?c=d", "host", "host", 80, "/a/b?c=d"},
        {"http://host:65535/", "host:65535", "host", 65535, "/"},
    };
    for (const auto& c : cases) {
        const fw::HttpTarget t = fw::SplitHttpUrl(c.url);
        EXPECT_EQ(t.error, HttpError::None) << c.url;
        EXPECT_EQ(t.server, c.server) << c.url;
        EXPECT_EQ(t.host, c.host) << c.url;
        EXPECT_EQ(t.port, c.port) << c.url;
        EXPECT_EQ(t.path, c.path) << c.url;
    }
    // The Host header carries the server part, port included.
    EXPECT_EQ(fw::HttpRequestHead(fw::SplitHttpUrl("http://127.0.0.1:8080/Updates/scrandle.xml")),
              "GET /Updates/scrandle.xml HTTP/1.0\r\nHost: 127.0.0.1:8080\r\nAccept: */*\r\n"
              "Accept-Language: en\r\n\r\n");
}

TEST(HttpUrl, UrlsThatCannotBeSent) {
    for (const char* url : {"http://", "http:///path", "http://:80/", "http://host:port/", "http://host:65536/",
                            "http://host:-1/", "http://host:/", "http://host/a b", "http://host/a\r\nX-Evil: 1",
                            "http://ho\tst/"})
        EXPECT_EQ(fw::SplitHttpUrl(url).error, HttpError::BadAddress) << url;
}

struct Outcome {
    State state;
    HttpError error = HttpError::None;
    int32_t status = 0;
    std::string body;
    std::string headers;  // "name=value;" for each

    bool operator==(const Outcome&) const = default;
};

std::ostream& operator<<(std::ostream& os, const Outcome& o) {
    return os << "state " << static_cast<int>(o.state) << " error " << static_cast<int>(o.error) << " status "
              << o.status << " headers [" << o.headers << "] body [" << o.body << "]";
}

Outcome Take(const HttpReplyReader& r) {
    Outcome o{r.GetState(), r.Error(), r.Status(), r.Body(), ""};
    for (const auto& h : r.Headers()) o.headers += h.name + "=" + h.value + ";";
    return o;
}

// Feeds the bytes in pieces of the given size (0: all at once), then ends
// the connection when asked to.
Outcome Read(const std::string& bytes, std::size_t piece, bool close) {
    HttpReplyReader r;
    if (piece == 0) r.Feed(bytes);
    else
        for (std::size_t i = 0; i < bytes.size(); i += piece) r.Feed(std::string_view(bytes).substr(i, piece));
    if (close) r.Finish();
    return Take(r);
}

// Every case is read whole, one byte at a time and cut at every place in
// two; all must agree with the expected outcome.
void ExpectRead(const char* what, const std::string& bytes, bool close, const Outcome& want) {
    EXPECT_EQ(Read(bytes, 0, close), want) << what << " (whole)";
    EXPECT_EQ(Read(bytes, 1, close), want) << what << " (byte by byte)";
    for (std::size_t cut = 1; cut < bytes.size(); ++cut) {
        HttpReplyReader r;
        r.Feed(std::string_view(bytes).substr(0, cut));
        r.Feed(std::string_view(bytes).substr(cut));
        if (close) r.Finish();
        ASSERT_EQ(Take(r), want) << what << " (cut at " << cut << ")";
    }
}

TEST(HttpReply, Framing) {
    struct Case {
        const char* what;
        std::string bytes;
        bool close;
        Outcome want;
    };
    const Case cases[] = {
        {"CR LF head, Content-length", "HTTP/1.0 200 OK\r\nContent-Length: 5\r\nServer: x\r\n\r\nhello", false,
         {State::Done, HttpError::None, 200, "hello", "Content-Length=5;Server=x;"}},
        {"LF-only head", "HTTP/1.0 200 OK\nContent-length: 3\n\nabc", false,
         {State::Done, HttpError::None, 200, "abc", "Content-length=3;"}},
        {"CR-only head", "HTTP/1.0 200 OK\rCONTENT-LENGTH: 3\r\rabc", false,
         {State::Done, HttpError::None, 200, "abc", "CONTENT-LENGTH=3;"}},
        {"mixed line ends", "HTTP/1.1 301 Moved\nLocation: /x\r\nA:b\r\n\nbody", true,
         {State::Done, HttpError::None, 301, "body", "Location=/x;A=b;"}},
        {"bytes after Content-length ignored", "HTTP/1.0 200 OK\r\nContent-length: 2\r\n\r\nabcdef", false,
         {State::Done, HttpError::None, 200, "ab", "Content-length=2;"}},
        {"Content-length 0 ends at the head", "HTTP/1.0 204 No\r\nContent-length: 0\r\n\r\n", false,
         {State::Done, HttpError::None, 204, "", "Content-length=0;"}},
        {"no Content-length: body ends with the connection", "HTTP/1.0 200 OK\r\n\r\nline1\r\nline2\r\n", true,
         {State::Done, HttpError::None, 200, "line1\r\nline2\r\n", ""}},
        {"no Content-length, connection still open", "HTTP/1.0 200 OK\r\n\r\nabc", false,
         {State::Body, HttpError::None, 200, "abc", ""}},
        {"head and no body, then close", "HTTP/1.0 200 OK\r\nA: 1\r\n\r\n", true,
         {State::Done, HttpError::None, 200, "", "A=1;"}},
        {"a 404 page is a page", "HTTP/1.0 404 Not Found\r\n\r\n<html>404</html>", true,
         {State::Done, HttpError::None, 404, "<html>404</html>", ""}},
        {"Content-length not a number: read to the end", "HTTP/1.0 200 OK\r\nContent-length: 1x\r\n\r\nabc", true,
         {State::Done, HttpError::None, 200, "abc", "Content-length=1x;"}},
        {"first Content-length wins", "HTTP/1.0 200 OK\r\nContent-length: 1\r\ncontent-length: 3\r\n\r\nabc", false,
         {State::Done, HttpError::None, 200, "a", "Content-length=1;content-length=3;"}},
        {"status not a number", "HTTP/1.0 OK\r\n\r\nx", true, {State::Done, HttpError::None, 0, "x", ""}},
        {"blanks around fields", "  HTTP/1.0   302\t \r\n  Name :  v a  \r\nnocolon\r\n\r\n", true,
         {State::Done, HttpError::None, 302, "", "Name=v a;"}},
        {"huge status clamped", "HTTP/1.0 99999999999999 X\r\n\r\n", true,
         {State::Done, HttpError::None, 2147483647, "", ""}},
        {"empty first line ends the head", "\r\nHTTP/1.0 200 OK\r\n", true,
         {State::Done, HttpError::None, 0, "HTTP/1.0 200 OK\r\n", ""}},
        {"invalid UTF-8 passes as bytes", "HTTP/1.0 200 \xff\xfe\r\nX\xc3: \xc0\xaf\r\n\r\n\xed\xa0\x80\xf8", true,
         {State::Done, HttpError::None, 200, "\xed\xa0\x80\xf8", "X\xc3=\xc0\xaf;"}},
        // Failures.
        {"nothing before the close", "", true, {State::Failed, HttpError::ConnectionLost, 0, "", ""}},
        {"close inside the head", "HTTP/1.0 200 OK\r\nContent-le", true,
         {State::Failed, HttpError::ConnectionLost, 200, "", ""}},
        {"close before Content-length bytes", "HTTP/1.0 200 OK\r\nContent-length: 10\r\n\r\nabc", true,
         {State::Failed, HttpError::ConnectionLost, 200, "", "Content-length=10;"}},
        {"Content-length past the cap", "HTTP/1.0 200 OK\r\nContent-length: 1048577\r\n\r\n", false,
         {State::Failed, HttpError::ReplyTooLarge, 200, "", "Content-length=1048577;"}},
        {"Content-length far past any size", "HTTP/1.0 200 OK\r\nContent-length: 999999999999999999999\r\n\r\nab",
         true, {State::Failed, HttpError::ReplyTooLarge, 200, "", "Content-length=999999999999999999999;"}},
    };
    for (const auto& c : cases) ExpectRead(c.what, c.bytes, c.close, c.want);
}

// A CR ending the empty line takes a LF that follows as its own, in
// whichever piece that LF arrives.
TEST(HttpReply, CrLfAcrossPieces) {
    HttpReplyReader r;
    r.Feed("HTTP/1.0 200 OK\r\r");
    EXPECT_EQ(r.GetState(), State::Body);
    r.Feed("\nabc");
    r.Finish();
    EXPECT_EQ(r.Body(), "abc");
}

TEST(HttpReply, BodyCap) {
    const std::string head = "HTTP/1.0 200 OK\r\n\r\n";
    // Exactly at the cap is a page.
    HttpReplyReader atCap;
    atCap.Feed(head);
    atCap.Feed(std::string(fw::kMaxHttpBody, 'a'));
    EXPECT_EQ(atCap.Finish(), State::Done);
    EXPECT_EQ(atCap.Body().size(), fw::kMaxHttpBody);
    // One byte past it, arriving in pieces, is an error at once; later bytes
    // change nothing and nothing of the body is kept.
    HttpReplyReader past;
    past.Feed(head);
    for (int i = 0; i < 16; ++i) past.Feed(std::string(fw::kMaxHttpBody / 16, 'a'));
    EXPECT_EQ(past.GetState(), State::Body);
    EXPECT_EQ(past.Feed("b"), State::Failed);
    EXPECT_EQ(past.Error(), HttpError::ReplyTooLarge);
    EXPECT_EQ(past.Feed("more"), State::Failed);
    EXPECT_EQ(past.Finish(), State::Failed);
    EXPECT_TRUE(past.Body().empty());
    // A head that never ends is cut too.
    HttpReplyReader longHead;
    longHead.Feed("HTTP/1.0 200 OK\r\n");
    for (int i = 0; i < 100 && !longHead.Ended(); ++i) longHead.Feed("X-Filler: " + std::string(1000, 'x') + "\r\n");
    EXPECT_EQ(longHead.Error(), HttpError::ReplyTooLarge);
}

TEST(HttpReply, HeaderLookupIgnoresCase) {
    HttpReplyReader r;
    r.Feed("HTTP/1.0 200 OK\r\nContent-Type: text/plain\r\n\r\n");
    ASSERT_NE(r.Header("content-type"), nullptr);
    EXPECT_EQ(*r.Header("CONTENT-TYPE"), "text/plain");
    EXPECT_EQ(r.Header("Content-Typ"), nullptr);
}

}  // namespace
