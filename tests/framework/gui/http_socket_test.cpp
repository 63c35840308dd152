// The HTTP client against servers on 127.0.0.1 that behave well and badly:
// the request it sends, the one event each request ends in, the cap on the
// body, and requests that end with their control or window.
#include "../../wait_until.h"
#include "http_server.h"
#include "runtime_test_util.h"

#include "gui/controls/HTTPSocket.h"
#include "gui/Window.h"

#include <gtest/gtest.h>

#include <string>
#include <string_view>
#include <vector>

using http_test::Peer;
using http_test::Server;
using test_support::WaitUntil;

namespace {

// How long a test waits for an outcome that should come within
// milliseconds; generous for sanitizer builds.
constexpr int kDeadlineMs = 10000;

struct Event {
    std::string kind;  // "PageReceived" or "Error"
    int32_t status = 0;
    int32_t code = 0;
    std::string content;
    std::string url;
    std::vector<std::string> headers;  // "name: value"
};

class HttpSocketTest : public ::testing::Test, protected rt_test::RuntimeFixtureBase {
protected:
    void SetUp() override {
        StartRuntime();
        socket_ = fw::New<fw::HTTPSocket>();
        socket_->Constructor();
        Record(socket_, events_);
    }
    void TearDown() override {
        socket_ = nullptr;
        StopRuntime();
    }

    static void Record(const fw::Ref<fw::HTTPSocket>& s, std::vector<Event>& into) {
        fw::HTTPSocket* raw = s.Get();
        s->AddEventHandler("PageReceived", [raw, &into] {
            Event e{"PageReceived", raw->PageStatus(), 0, raw->PageContent().ToUtf8(), raw->PageURL().ToUtf8(), {}};
            const fw::InternetHeaders& h = raw->PageHeaders();
            for (int32_t i = 0; i < h.Count(); ++i) e.headers.push_back(h.Name(i).ToUtf8() + ": " + h.Value(i).ToUtf8());
            into.push_back(e);
        });
        s->AddEventHandler("Error", [raw, &into] { into.push_back({"Error", 0, raw->ErrorCode(), "", "", {}}); });
    }

    // Runs the event loop until the request has ended, then a little longer
    // so that a second event would show.
    void WaitForOutcome() {
        ASSERT_TRUE(WaitUntil([this] { return !events_.empty(); }, kDeadlineMs)) << "no event";
        WaitUntil([] { return false; }, 50);
        EXPECT_EQ(events_.size(), 1u) << "one event per request";
        EXPECT_FALSE(socket_->IsBusy());
    }

    fw::Ref<fw::HTTPSocket> socket_;
    std::vector<Event> events_;
};

TEST_F(HttpSocketTest, SendsTheRequestHeadByteForByteAndReportsThePage) {
    Server server([](Peer& p, Server&) {
        p.Send("HTTP/1.0 200 OK\r\nContent-Type: text/xml\r\nContent-Length: 11\r\n\r\n<Free>Yes</Free>");
        p.WaitForClientClose(kDeadlineMs);
    });
    socket_->Get(fw::String(server.Url()));
    EXPECT_TRUE(events_.empty()) << "Get returns before any event";
    WaitForOutcome();
    EXPECT_EQ(server.Request(), "GET /Updates/scrandle.xml HTTP/1.0\r\n"
                                "Host: 127.0.0.1:" + std::to_string(server.Port()) + "\r\n"
                                "Accept: */*\r\n"
                                "Accept-Language: en\r\n"
                                "\r\n");
    ASSERT_EQ(events_[0].kind, "PageReceived");
    EXPECT_EQ(events_[0].status, 200);
    EXPECT_EQ(events_[0].content, "<Free>Yes</");
    EXPECT_EQ(events_[0].url, server.Url());
    EXPECT_EQ(events_[0].headers, (std::vector<std::string>{"Content-Type: text/xml", "Content-Length: 11"}));
    EXPECT_EQ(socket_->Address().ToUtf8(), "127.0.0.1");
    EXPECT_EQ(socket_->Port(), server.Port());
}

// What each server does, and the one event the request ends in.
TEST_F(HttpSocketTest, RepliesGoodAndBad) {
    struct Case {
        const char* what;
        http_test::Script script;
        struct {
            std::string kind;
            int32_t status;
            int32_t code;
            std::string content;
        } want;
    };
    const std::string lf = "HTTP/1.0 200 OK\nContent-length: 7\n\nLF only";
    const std::string cr = "HTTP/1.0 200 OK\rcontent-LENGTH: 7\r\rCR only";
    const std::string page404 = "HTTP/1.0 404 Not Found\r\nContent-Type: text/html\r\n\r\n<h1>Not Found</h1>";
    const std::string badUtf8 = "HTTP/1.0 200 OK\r\n\r\n<Description>\x93\xff\xc3(\xed\xa0\x80\x94</Description>";
    const std::string utf8 = "HTTP/1.0 200 OK\r\n\r\n<Description>\u201c\u00dcberall\u201d \U0001F600</Description>";
    const Case cases[] = {
        {"no Content-length, then close",
         [](Peer& p, Server&) {
             p.Send("HTTP/1.0 200 OK\r\n\r\n<CurrentVersion>2.2.0</CurrentVersion>\n");
             p.Close();
         },
         {"PageReceived", 200, 0, "<CurrentVersion>2.2.0</CurrentVersion>\n"}},
        {"head, no body, close",
         [](Peer& p, Server&) {
             p.Send("HTTP/1.0 200 OK\r\n\r\n");
             p.Close();
         },
         {"PageReceived", 200, 0, ""}},
        {"LF-only head", [lf](Peer& p, Server&) { p.Send(lf); p.WaitForClientClose(kDeadlineMs); },
         {"PageReceived", 200, 0, "LF only"}},
        {"CR-only head", [cr](Peer& p, Server&) { p.Send(cr); p.WaitForClientClose(kDeadlineMs); },
         {"PageReceived", 200, 0, "CR only"}},
        {"a 404 page", [page404](Peer& p, Server&) { p.Send(page404); p.Close(); },
         {"PageReceived", 404, 0, "<h1>Not Found</h1>"}},
        {"one byte per packet",
         [](Peer& p, Server&) {
             p.SendByteByByte("HTTP/1.0 200 OK\r\nContent-length: 10\r\n\r\n0123456789");
             p.WaitForClientClose(kDeadlineMs);
         },
         {"PageReceived", 200, 0, "0123456789"}},
        // The body is read as a text file is: UTF-8, else Windows-1252.
        {"UTF-8", [utf8](Peer& p, Server&) { p.Send(utf8); p.Close(); },
         {"PageReceived", 200, 0, "<Description>\u201c\u00dcberall\u201d \U0001F600</Description>"}},
        {"not UTF-8", [badUtf8](Peer& p, Server&) { p.Send(badUtf8); p.Close(); },
         {"PageReceived", 200, 0, "<Description>\u201c\u00ff\u00c3(\u00ed\u00a0\u20ac\u201d</Description>"}},
        {"reset before any byte", [](Peer& p, Server&) { p.Reset(); }, {"Error", 0, 5, ""}},
        {"close before any byte", [](Peer& p, Server&) { p.Close(); }, {"Error", 0, 5, ""}},
        {"reset mid-body",
         [](Peer& p, Server&) {
             p.Send("HTTP/1.0 200 OK\r\nContent-length: 100\r\n\r\n<CurrentVersion>2.");
             p.WaitUntilDelivered();
             p.Reset();
         },
         {"Error", 0, 5, ""}},
        {"Content-length larger than what arrives",
         [](Peer& p, Server&) {
             p.Send("HTTP/1.0 200 OK\r\nContent-length: 100\r\n\r\nshort");
             p.Close();
         },
         {"Error", 0, 5, ""}},
        {"Content-length past the cap",
         [](Peer& p, Server&) {
             p.Send("HTTP/1.0 200 OK\r\nContent-length: 104857600\r\n\r\n");
             p.WaitForClientClose(kDeadlineMs);
         },
         {"Error", 0, 6, ""}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        events_.clear();
        Server server(c.script);
        socket_->Get(fw::String(server.Url()));
        WaitForOutcome();
        ASSERT_EQ(events_.size(), 1u);
        EXPECT_EQ(events_[0].kind, c.want.kind);
        EXPECT_EQ(events_[0].status, c.want.status);
        EXPECT_EQ(events_[0].code, c.want.code);
        EXPECT_EQ(events_[0].content, c.want.content);
    }
}

TEST_F(HttpSocketTest, NoConnectionIsAnError) {
    socket_->Get(fw::String("http://127.0.0.1:" + std::to_string(Server::ClosedPort()) + "/Updates/scrandle.xml"));
    WaitForOutcome();
    EXPECT_EQ(events_[0].kind, "Error");
    EXPECT_EQ(events_[0].code, static_cast<int32_t>(fw::HttpError::ConnectionRefused));

    // A URL that cannot be sent fails the same way, from the event loop.
    events_.clear();
    socket_->Get("http://127.0.0.1:99999/");
    EXPECT_TRUE(events_.empty());
    WaitForOutcome();
    EXPECT_EQ(events_[0].kind, "Error");
    EXPECT_EQ(events_[0].code, static_cast<int32_t>(fw::HttpError::BadAddress));
}

// A body without end: the request fails once the cap is passed and the
// client lets go of the connection rather than reading 100 MB.
TEST_F(HttpSocketTest, EndlessBodyIsCutAtTheCap) {
    Server server([](Peer& p, Server& s) {
        p.Send("HTTP/1.0 200 OK\r\n\r\n");
        const std::string chunk(64 * 1024, 'x');
        while (s.bytesSent < 100ull * 1024 * 1024 && p.Send(chunk)) s.bytesSent += chunk.size();
        s.clientClosed = true;
    });
    socket_->Get(fw::String(server.Url()));
    WaitForOutcome();
    EXPECT_EQ(events_[0].kind, "Error");
    EXPECT_EQ(events_[0].code, static_cast<int32_t>(fw::HttpError::ReplyTooLarge));
    EXPECT_TRUE(WaitUntil([&] { return server.clientClosed.load(); }, kDeadlineMs));
    EXPECT_LT(server.bytesSent, 100ull * 1024 * 1024);
}

// A server that accepts and never answers: the request waits without end,
// and each way of ending it lets go of the connection at once and raises
// nothing, also when the server answers afterwards.
TEST_F(HttpSocketTest, SilentServerWaitsUntilTheRequestIsEnded) {
    enum class End { Close, NewGet, Destroy };
    for (End how : {End::Close, End::NewGet, End::Destroy}) {
        SCOPED_TRACE(static_cast<int>(how));
        events_.clear();
        Server server([](Peer& p, Server& s) {
            s.clientClosed = p.WaitForClientClose(kDeadlineMs);
            p.Send("HTTP/1.0 200 OK\r\n\r\nlate");
        });
        auto s = fw::New<fw::HTTPSocket>();
        Record(s, events_);
        s->Get(fw::String(server.Url()));
        ASSERT_TRUE(WaitUntil([&] { return s->IsConnected(); }, kDeadlineMs));
        WaitUntil([] { return false; }, 100);
        EXPECT_TRUE(events_.empty());
        EXPECT_TRUE(s->IsBusy());

        if (how == End::Close) s->Close();
        else if (how == End::NewGet) s->Get(fw::String("http://127.0.0.1:" + std::to_string(Server::ClosedPort()) + "/"));
        else s = nullptr;
        EXPECT_TRUE(WaitUntil([&] { return server.clientClosed.load(); }, kDeadlineMs));
        WaitUntil([&] { return server.ScriptDone(); }, kDeadlineMs);
        WaitUntil([] { return false; }, 50);
        if (how == End::NewGet) {
            // Only the new request's own outcome.
            ASSERT_EQ(events_.size(), 1u);
            EXPECT_EQ(events_[0].code, static_cast<int32_t>(fw::HttpError::ConnectionRefused));
        } else {
            EXPECT_TRUE(events_.empty());
        }
    }
}

// The socket as a window's control: closing the window ends the request
// under way, and no handler of the closed window runs, whatever arrives.
class SocketWindow : public fw::Window {
public:
    void hp_PageReceived(fw::HTTPSocket&, const fw::String& url, int32_t status, const fw::InternetHeaders& headers,
                         const fw::String& content) {
        log.push_back("page " + url.ToUtf8() + " " + std::to_string(status) + " " + headers.Value("x-TAG").ToUtf8() +
                      " " + content.ToUtf8());
    }
    void hp_Error(fw::HTTPSocket&, int32_t code) { log.push_back("error " + std::to_string(code)); }
    std::vector<std::string> log;
};

fw::Ref<SocketWindow> OpenSocketWindow() {
    auto w = fw::New<SocketWindow>();
    w->Constructor();
    auto hp = fw::New<fw::HTTPSocket>();
    hp->Constructor();
    w->AddControl("hp", hp);
    fw::RuntimeAddEventHandler(hp, "PageReceived",
                               fw::RuntimeCreateDelegate(*w, &SocketWindow::hp_PageReceived,
                                                         "( HTTPSocket, String, Int32, InternetHeaders, String )"));
    fw::RuntimeAddEventHandler(hp, "Error",
                               fw::RuntimeCreateDelegate(*w, &SocketWindow::hp_Error, "( HTTPSocket, Int32 )"));
    return w;
}

TEST_F(HttpSocketTest, WindowHandlersReceiveTheEventArguments) {
    Server server([](Peer& p, Server&) { p.Send("HTTP/1.0 201 Made\r\nX-Tag: t1\r\n\r\nbody"); p.Close(); });
    auto w = OpenSocketWindow();
    w->ControlAs<fw::HTTPSocket>("hp")->Get(fw::String(server.Url("/a")));
    ASSERT_TRUE(WaitUntil([&] { return !w->log.empty(); }, kDeadlineMs));
    EXPECT_EQ(w->log, (std::vector<std::string>{"page " + server.Url("/a") + " 201 t1 body"}));

    w->ControlAs<fw::HTTPSocket>("hp")->Get(fw::String("http://127.0.0.1:" + std::to_string(Server::ClosedPort())));
    ASSERT_TRUE(WaitUntil([&] { return w->log.size() == 2; }, kDeadlineMs));
    EXPECT_EQ(w->log[1], "error 2");
    w->Close();
}

TEST_F(HttpSocketTest, ClosingTheWindowEndsTheRequestAndNoHandlerRuns) {
    static constexpr std::string_view kBegun = "HTTP/1.0 200 OK\r\nContent-length: 40\r\n\r\n<Curr";
    Server server([](Peer& p, Server& s) {
        p.SendByteByByte(kBegun, &s.bytesSent);
        s.clientClosed = p.WaitForClientClose(kDeadlineMs);
        p.Send("entVersion>2.2.0</CurrentVersion>.....");
    });
    std::weak_ptr<fw::Object> gone;
    {
        auto w = OpenSocketWindow();
        auto hp = w->ControlAs<fw::HTTPSocket>("hp");
        gone = hp.Shared();
        hp->Get(fw::String(server.Url()));
        // Closed once the head and the body's first bytes have been sent.
        ASSERT_TRUE(WaitUntil([&] { return server.bytesSent == kBegun.size(); }, kDeadlineMs));
        w->Close();
        EXPECT_FALSE(hp->IsBusy());
        EXPECT_TRUE(WaitUntil([&] { return server.clientClosed.load(); }, kDeadlineMs));
        WaitUntil([&] { return server.ScriptDone(); }, kDeadlineMs);
        WaitUntil([] { return false; }, 50);
        EXPECT_TRUE(w->log.empty());
    }
    rt_test::ReleaseClosedWindows();
    EXPECT_TRUE(gone.expired()) << "the socket goes with its window";
}

// A handler may start the next request on the same socket.
TEST_F(HttpSocketTest, HandlerMayStartAnotherRequest) {
    Server first([](Peer& p, Server&) { p.Send("HTTP/1.0 200 OK\r\nContent-length: 5\r\n\r\nfirst"); p.Close(); });
    Server second([](Peer& p, Server&) { p.Send("HTTP/1.0 200 OK\r\n\r\nsecond"); p.Close(); });
    auto s = fw::New<fw::HTTPSocket>();
    std::vector<std::string> pages;
    fw::HTTPSocket* raw = s.Get();
    s->AddEventHandler("PageReceived", [&] {
        pages.push_back(raw->PageContent().ToUtf8());
        if (pages.size() == 1) raw->Get(fw::String(second.Url()));
    });
    s->AddEventHandler("Error", [&] { pages.push_back("error " + std::to_string(raw->ErrorCode())); });
    s->Get(fw::String(first.Url()));
    ASSERT_TRUE(WaitUntil([&] { return pages.size() == 2; }, kDeadlineMs));
    WaitUntil([] { return false; }, 50);
    EXPECT_EQ(pages, (std::vector<std::string>{"first", "second"}));
}

// A handler may drop the last reference to the socket that raised the event
// (as closing its window and letting it go does).
TEST_F(HttpSocketTest, HandlerMayReleaseTheSocket) {
    Server server([](Peer& p, Server&) { p.Send("HTTP/1.0 200 OK\r\nContent-length: 2\r\n\r\nok"); p.WaitForClientClose(kDeadlineMs); });
    auto s = fw::New<fw::HTTPSocket>();
    std::weak_ptr<fw::Object> weak = s.Shared();
    int pages = 0;
    s->AddEventHandler("PageReceived", [&] {
        ++pages;
        s = nullptr;
    });
    s->Get(fw::String(server.Url()));
    ASSERT_TRUE(WaitUntil([&] { return pages == 1; }, kDeadlineMs));
    WaitUntil([] { return false; }, 50);
    EXPECT_TRUE(weak.expired());
    EXPECT_EQ(pages, 1);
}

}  // namespace
