// The update check end to end in the real program on a scripted desktop:
// Check Now, the version window, "Check for Updates", the update window's
// request to a server of the test's own on 127.0.0.1, and what the user is
// told. After every outcome nothing but the main window is left, and no
// handler of a closed update window runs.
#include "../../app/app_test_util.h"
#include "../../framework/gui/http_server.h"

#include "Build.h"
#include "core/Registry.h"
#include "gui/Application.h"
#include "gui/QtDesktop.h"
#include "update/Addresses.h"
#include "update/selfTest.h"
#include "update/updateWindow.h"

#include <QApplication>
#include <QKeyEvent>
#include <QMessageBox>
#include <QPushButton>
#include <QScreen>
#include <QTimer>
#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <cstdlib>
#include <functional>
#include <string>
#include <thread>
#include <vector>

namespace {

using app_test::MessageBoxTexts;
using app_test::ProgramFixture;
using app_test::ReleaseClosedWindows;
using app_test::WaitUntil;
using http_test::Peer;
using http_test::Server;
using Call = fw::ScriptedDesktop::Call;
using Kind = fw::ScriptedDesktop::Kind;

// Outcomes come within milliseconds; generous for sanitizer builds.
constexpr int kDeadlineMs = 10000;

const char* const kCurrentMessage = "You are using the current version. No update is available.";

std::string Page(const std::string& body, const std::string& status = "200 OK") {
    return "HTTP/1.0 " + status + "\r\nContent-Type: text/xml\r\nContent-Length: " + std::to_string(body.size()) +
           "\r\n\r\n" + body;
}

// Sends the reply and waits for the client to let go of the connection.
http_test::Script Answer(std::string reply) {
    return [reply](Peer& p, Server& s) {
        p.Send(reply);
        s.clientClosed = p.WaitForClientClose(kDeadlineMs);
    };
}

fw::Ref<selfTest> VersionWindow() { return fw::Cast<selfTest>(fw::GetImplicitWindow("selfTest.selfTest")); }
fw::Ref<updateWindow> UpdateWindow() {
    return fw::Cast<updateWindow>(fw::GetImplicitWindow("updateWindow.updateWindow"));
}

std::string ShortVersion() { return fw::TheApplication()->ShortVersion().ToUtf8(); }

class UpdateFlowTest : public ProgramFixture {
protected:
    // The version information start-up hands the runtime.
    void SetUp() override {
        fw::RuntimeSetVersionInfo(fw::VersionInfo{build::kMajorVersion, build::kMinorVersion, build::kBugVersion,
                                                  fw::String(build::kShortVersion), fw::String(build::kLongVersion)});
        ProgramFixture::SetUp();
    }
    void TearDown() override {
        desktop_.onCall = nullptr;
        update::SetWebHost(fw::String());
        ProgramFixture::TearDown();
    }

    std::string Host(const Server& server) const { return "127.0.0.1:" + std::to_string(server.Port()); }
    void UseServer(const Server& server) { update::SetWebHost(fw::String(Host(server))); }

    // Check Now, then "Check for Updates"; returns when the version window's
    // handler has (the update window has closed). inLoop runs from the update
    // window's modal loop. A check still running at the deadline is ended by
    // closing its window, and fails the test.
    void RunCheck(const std::function<void()>& inLoop = {}) {
        W().DoMenuCommand("CheckForUpdateCheckNow");
        const fw::Ref<selfTest> version = VersionWindow();
        ASSERT_TRUE(version) << "Check Now opened no version window";
        bool timedOut = false;
        QTimer guard;
        guard.setSingleShot(true);
        QObject::connect(&guard, &QTimer::timeout, [&] {
            timedOut = true;
            if (auto w = UpdateWindow()) w->Close();
        });
        guard.start(kDeadlineMs);
        if (inLoop) QTimer::singleShot(0, inLoop);
        version->PushButton1()->Push();
        EXPECT_FALSE(timedOut) << "the check did not end";
        ReleaseClosedWindows();
    }

    void ExpectOnlyTheMainWindow() {
        EXPECT_FALSE(VersionWindow()) << "a version window is left";
        EXPECT_FALSE(UpdateWindow()) << "an update window is left";
        const auto open = fw::RuntimeOpenWindows();
        ASSERT_EQ(open.size(), 1u);
        EXPECT_EQ(open[0].Get(), static_cast<fw::Window*>(window_.Get()));
    }

    std::vector<Kind> CallKinds() const {
        std::vector<Kind> kinds;
        for (const Call& c : desktop_.Calls()) kinds.push_back(c.kind);
        return kinds;
    }
};

TEST_F(UpdateFlowTest, CheckNowShowsOneVersionWindowWithTheRunningVersion) {
    W().DoMenuCommand("CheckForUpdateCheckNow");
    const fw::Ref<selfTest> first = VersionWindow();
    ASSERT_TRUE(first);
    W().DoMenuCommand("CheckForUpdateCheckNow");
    EXPECT_EQ(VersionWindow().Get(), first.Get()) << "Check Now twice gives one version window";
    EXPECT_EQ(fw::RuntimeOpenWindows().size(), 2u);
    EXPECT_EQ(first->StaticText2()->Text().ToUtf8(), fw::TheApplication()->LongVersion().ToUtf8());

    // Its close box starts no check; the next Check Now makes a fresh window.
    first->FrameWidget()->close();
    ReleaseClosedWindows();
    EXPECT_FALSE(UpdateWindow());
    ExpectOnlyTheMainWindow();
    W().DoMenuCommand("CheckForUpdateCheckNow");
    ASSERT_TRUE(VersionWindow());
    EXPECT_NE(VersionWindow().Get(), first.Get());
    EXPECT_TRUE(desktop_.Calls().empty());
}

// The update file this build publishes names the running version.
TEST_F(UpdateFlowTest, TheCurrentVersionIsReportedAndEverythingCloses) {
    Server server(Answer(Page(app_test::ResourceFile("update/scrandle.xml"))));
    UseServer(server);
    std::string label;
    bool barVisible = true;
    fw::Window* owner = nullptr;
    fw::Window* update = nullptr;
    desktop_.onCall = [&](const Call& c) {
        if (c.kind != Kind::MsgBox) return;
        const auto w = UpdateWindow();
        if (!w) return;
        update = w.Get();
        owner = c.owner.window;
        label = w->StaticText1()->Text().ToUtf8();
        barVisible = w->ProgressBar1()->Visible();
    };
    RunCheck([] {
        // While waiting: the bar is a busy indicator and the version window
        // has gone.
        const auto w = UpdateWindow();
        ASSERT_TRUE(w);
        EXPECT_EQ(w->ProgressBar1()->Maximum(), 0);
        EXPECT_TRUE(w->IsModalRunning());
        EXPECT_FALSE(VersionWindow());
    });
    EXPECT_EQ(MessageBoxTexts(desktop_), std::vector<std::string>{kCurrentMessage});
    EXPECT_EQ(label, "This version is current.");
    EXPECT_FALSE(barVisible);
    EXPECT_EQ(owner, update) << "the message box opens over the update window";
    EXPECT_EQ(server.Request(), "GET /Updates/scrandle.xml HTTP/1.0\r\n"
                                "Host: " + Host(server) + "\r\n"
                                "Accept: */*\r\n"
                                "Accept-Language: en\r\n"
                                "\r\n");
    ExpectOnlyTheMainWindow();
}

// A reply naming the running version: the window closes, with the message
// box only where it belongs.
TEST_F(UpdateFlowTest, RepliesNamingTheRunningVersionCloseTheWindow) {
    const std::string current = "<CurrentVersion>" + ShortVersion() + "</CurrentVersion>";
    struct Case {
        const char* what;
        std::string reply;
        bool automatic;
        std::vector<std::string> messages;
    };
    const Case cases[] = {
        {"current version", Page(current), false, {kCurrentMessage}},
        {"current version, automatic check", Page(current), true, {}},
        // Blanks and line ends around the value do not count.
        {"the version on lines of its own", Page("<CurrentVersion>\n  " + ShortVersion() + "\r\n</CurrentVersion>"),
         false, {kCurrentMessage}},
        // A body that is no UTF-8 is read as Windows-1252.
        {"not UTF-8", Page("\xe9t\xe9 " + current + " \xc3"), false, {kCurrentMessage}},
        {"another 2xx status", Page(current, "203 Non-Authoritative Information"), false, {kCurrentMessage}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        desktop_.ClearCalls();
        // The reply waits until the test has set automaticCheck.
        std::atomic<bool> go{false};
        Server server([&](Peer& p, Server& s) {
            for (int i = 0; i < kDeadlineMs && !go; ++i) std::this_thread::sleep_for(std::chrono::milliseconds(1));
            p.Send(c.reply);
            p.Close();
            s.clientClosed = true;
        });
        UseServer(server);
        RunCheck([&] {
            if (auto w = UpdateWindow()) w->automaticCheck = c.automatic;
            go = true;
        });
        EXPECT_EQ(MessageBoxTexts(desktop_), c.messages);
        EXPECT_EQ(desktop_.Count(Kind::MessageDialog), 0u);
        EXPECT_EQ(desktop_.Count(Kind::Beep), 0u);
        ExpectOnlyTheMainWindow();
    }
}

// Another version: the upgrade dialog, its texts as plain text, and what
// each of its buttons does.
TEST_F(UpdateFlowTest, AnotherVersionOpensTheUpgradeDialog) {
    const std::string description = "  Faster scrambling.\r\n<b>Bold</b> & <a href=\"http://evil.example\">a link</a>  ";
    const std::string freeTail =
        "This is a free upgrade. Would you like to automatically download this update (using your web browser)?";
    const std::string paidTail =
        "This is a paid upgrade. Would you like to automatically download the trial version (using your web "
        "browser)?";
    auto message = [](const std::string& version, const std::string& tail) {
        return "Version " + version + " is now available. (You are using version " + ShortVersion() + ".) " + tail;
    };
    struct Case {
        const char* what;
        std::string reply;
        fw::DialogButton answer;
        std::string message;
        std::string explanation;
        bool download;  // the download address handed to the browser
    };
    const Case cases[] = {
        {"free, Cancel",
         Page("<CurrentVersion>2.3.0</CurrentVersion>\n<Description>" + description +
              "</Description>\n<Free>Yes</Free>"),
         fw::DialogButton::Cancel, message("2.3.0", freeTail), description, false},
        {"paid, a lower version, download",
         Page("<currentversion>1.0.0</currentversion><free>No</free>"), fw::DialogButton::Action,
         message("1.0.0", paidTail), "", true},
        // The maker's text as written: Windows-1252 quotes, dash, ellipsis
        // and euro sign.
        {"a Windows-1252 description",
         Page("<CurrentVersion>2.3.0</CurrentVersion><Description>\x93New\x94 \x96 faster\x85 \x80" "5</Description>"),
         fw::DialogButton::Cancel, message("2.3.0", paidTail), "\u201cNew\u201d \u2013 faster\u2026 \u20ac" "5", false},
        {"the version on lines of its own",
         Page("<CurrentVersion>\n  2.3.0\n</CurrentVersion><Free>Yes</Free>"), fw::DialogButton::Cancel,
         message("2.3.0", freeTail), "", false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        desktop_.ClearCalls();
        desktop_.QueueButton(c.answer);
        Server server(Answer(c.reply));
        UseServer(server);
        RunCheck();
        ASSERT_EQ(desktop_.Count(Kind::MessageDialog), 1u);
        const Call dialog = desktop_.CallsOf(Kind::MessageDialog)[0];
        EXPECT_EQ(dialog.owner.title.ToUtf8(), "New version available!");
        EXPECT_EQ(dialog.dialog.message.ToUtf8(), c.message);
        EXPECT_TRUE(dialog.dialog.explanation.Identical(fw::String::FromUtf8(c.explanation)));
        EXPECT_EQ(dialog.dialog.icon, 3);
        EXPECT_TRUE(dialog.dialog.actionVisible);
        EXPECT_TRUE(dialog.dialog.cancelVisible);
        EXPECT_TRUE(dialog.dialog.alternateVisible);
        EXPECT_EQ(dialog.dialog.alternateCaption.ToUtf8(), "Go to Website");
        std::vector<std::string> urls;
        for (const Call& u : desktop_.CallsOf(Kind::ShowURL)) urls.push_back(u.text.ToUtf8());
        // On the web host the check was pointed at, unless set apart.
        EXPECT_EQ(urls, c.download ? std::vector<std::string>{update::DownloadUrl().ToUtf8()} : std::vector<std::string>{});
        EXPECT_EQ(desktop_.Count(Kind::MsgBox), 0u);
        ExpectOnlyTheMainWindow();
    }
}

TEST_F(UpdateFlowTest, GoToWebsiteKeepsTheUpdateWindowOpenUntilCancel) {
    Server server(Answer(Page("<CurrentVersion>2.2.1</CurrentVersion><Free>Yes</Free>")));
    UseServer(server);
    desktop_.QueueButton(fw::DialogButton::Alternate);
    bool openAfterDialog = false;
    std::string label;
    desktop_.onCall = [&](const Call& c) {
        if (c.kind != Kind::ShowURL) return;
        // Once the dialog has returned, the window is still up and modal;
        // its Cancel ends it.
        QTimer::singleShot(0, [&] {
            const auto w = UpdateWindow();
            if (!w) return;
            openAfterDialog = w->IsModalRunning() && !w->ProgressBar1()->Visible();
            label = w->StaticText1()->Text().ToUtf8();
            w->PushButton1()->Push();
        });
    };
    RunCheck();
    EXPECT_TRUE(openAfterDialog);
    EXPECT_EQ(label, "Checking for updates...");
    const auto urls = desktop_.CallsOf(Kind::ShowURL);
    ASSERT_EQ(urls.size(), 1u);
    EXPECT_EQ(urls[0].text.ToUtf8(), "http://" + Host(server));
    EXPECT_EQ(desktop_.Count(Kind::MsgBox), 0u);
    ExpectOnlyTheMainWindow();
}

// No connection, one that breaks, or a reply that is no update file (code
// 9): a beep, then the message with the code, and the window closes.
TEST_F(UpdateFlowTest, CommunicationErrorsAreReportedWithTheirCode) {
    struct Case {
        const char* what;
        http_test::Script script;  // nullptr: nothing listens
        int code;
    };
    const Case cases[] = {
        {"404 page", Answer(Page("<html><body>Not Found</body></html>", "404 Not Found")), 9},
        {"404 page that holds a version", Answer(Page("<CurrentVersion>2.3.0</CurrentVersion>", "404 Not Found")), 9},
        {"301 redirect",
         Answer("HTTP/1.0 301 Moved Permanently\r\nLocation: http://elsewhere.example/\r\nContent-Length: 0\r\n\r\n"),
         9},
        {"500, empty body", Answer(Page("", "500 Internal Server Error")), 9},
        {"200, no version", Answer(Page("<Description>Fixes.</Description><Free>Yes</Free>")), 9},
        {"200, an empty version", Answer(Page("<CurrentVersion> \r\n </CurrentVersion>")), 9},
        {"200, empty body", Answer(Page("")), 9},
        {"200, head only, then close", [](Peer& p, Server&) { p.Send("HTTP/1.0 200 OK\r\n\r\n"); p.Close(); }, 9},
        {"refused", nullptr, 2},
        {"reset before any byte", [](Peer& p, Server&) { p.Reset(); }, 5},
        {"reset mid-body",
         [](Peer& p, Server&) {
             p.Send("HTTP/1.0 200 OK\r\nContent-Length: 100\r\n\r\n<CurrentVersion>2.");
             p.WaitUntilDelivered();
             p.Reset();
         },
         5},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        desktop_.ClearCalls();
        std::unique_ptr<Server> server;
        if (c.script) {
            server = std::make_unique<Server>(c.script);
            UseServer(*server);
        } else {
            update::SetWebHost(fw::String("127.0.0.1:" + std::to_string(Server::ClosedPort())));
        }
        RunCheck();
        EXPECT_EQ(CallKinds(), (std::vector<Kind>{Kind::Beep, Kind::MsgBox}));
        EXPECT_EQ(MessageBoxTexts(desktop_),
                  std::vector<std::string>{"There was a communication error with the website. Please try again "
                                           "later. (Code: " + std::to_string(c.code) + ")"});
        ExpectOnlyTheMainWindow();
    }
}

// A description of a megabyte (within the reply's cap), shown by the real
// desktop: the upgrade dialog opens within a second of the reply's last
// byte and fits the screen, buttons and all.
TEST_F(UpdateFlowTest, AMegabyteDescriptionOpensAFittingDialogAtOnce) {
    std::string description;
    while (description.size() < 1000 * 1000) description += "Faster scrambling.\n";
    std::atomic<std::chrono::steady_clock::time_point::rep> sent{0};
    Server server([&](Peer& p, Server& s) {
        p.Send(Page("<CurrentVersion>2.3.0</CurrentVersion><Description>" + description + "</Description>"));
        sent = std::chrono::steady_clock::now().time_since_epoch().count();
        s.clientClosed = p.WaitForClientClose(kDeadlineMs);
    });
    UseServer(server);

    // The upgrade dialog on the real desktop; the first pass of its modal
    // loop measures it and presses Cancel.
    struct RealDialogs : fw::ScriptedDesktop {
        long long shownAfterMs = -1;
        QRect frame, screen;
        bool buttonsInside = false;
        const std::atomic<std::chrono::steady_clock::time_point::rep>* sent = nullptr;
        fw::DialogButton ShowMessageDialog(const fw::MessageDialogSpec& spec, const fw::DialogOwner& owner) override {
            ScriptedDesktop::ShowMessageDialog(spec, owner);
            QTimer::singleShot(0, [this] {
                auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
                if (!box) return;
                const auto now = std::chrono::steady_clock::now().time_since_epoch().count();
                shownAfterMs = std::chrono::duration_cast<std::chrono::milliseconds>(
                                   std::chrono::steady_clock::duration(now - *sent))
                                   .count();
                frame = box->frameGeometry();
                screen = box->screen()->availableGeometry();
                buttonsInside = !box->buttons().isEmpty();
                for (QAbstractButton* b : box->buttons()) buttonsInside &= box->rect().contains(b->geometry());
                box->reject();
            });
            return fw::QtDesktop().ShowMessageDialog(spec, owner);
        }
    } real;
    real.sent = &sent;
    fw::ScopedDesktop scoped(real);
    RunCheck();
    ASSERT_EQ(real.Count(Kind::MessageDialog), 1u);
    EXPECT_EQ(real.CallsOf(Kind::MessageDialog)[0].dialog.explanation.Size(), description.size());
    EXPECT_GE(real.shownAfterMs, 0) << "the dialog did not open";
    EXPECT_LT(real.shownAfterMs, 1000);
    EXPECT_LE(real.frame.width(), std::min(real.screen.width(), 1280));
    EXPECT_LE(real.frame.height(), std::min(real.screen.height(), 1024));
    EXPECT_TRUE(real.buttonsInside);
    ExpectOnlyTheMainWindow();
}

// With the network module missing (tests/update/run_without_network_module.sh
// hides it from this process), Get raises nothing: the Error event comes
// from the event loop with a code of its own, and the windows close as
// after any communication error.
TEST_F(UpdateFlowTest, AMissingNetworkModuleIsACommunicationError) {
    if (!std::getenv("SCRANDLE_TEST_NO_NETWORK_MODULE"))
        GTEST_SKIP() << "needs tests/update/run_without_network_module.sh";
    Server server(Answer(Page("<CurrentVersion>2.3.0</CurrentVersion>")));
    UseServer(server);
    RunCheck();
    EXPECT_EQ(CallKinds(), (std::vector<Kind>{Kind::Beep, Kind::MsgBox}));
    EXPECT_EQ(MessageBoxTexts(desktop_),
              std::vector<std::string>{"There was a communication error with the website. Please try again later. "
                                       "(Code: 10)"});
    EXPECT_TRUE(server.Request().empty()) << "a request went out after all";
    ExpectOnlyTheMainWindow();
}

// A server that accepts and never answers: each way of ending the window
// ends the request at once, without a word, and the reply the server sends
// afterwards reaches no handler.
TEST_F(UpdateFlowTest, EachWayOfEndingASilentCheckEndsTheRequest) {
    struct Way {
        const char* what;
        std::function<void(updateWindow&)> end;
    };
    auto key = [](int k) {
        return [k](updateWindow& w) {
            // Return and Escape answer the window's default and cancel
            // button wherever the focus is.
            QKeyEvent press(QEvent::KeyPress, k, Qt::NoModifier);
            QApplication::sendEvent(w.PushButton1()->Button(), &press);
        };
    };
    const Way ways[] = {
        {"Cancel", [](updateWindow& w) { w.PushButton1()->Push(); }},
        {"Return", key(Qt::Key_Return)},
        {"Escape", key(Qt::Key_Escape)},
        {"close box", [](updateWindow& w) { w.FrameWidget()->close(); }},
    };
    for (const Way& way : ways) {
        SCOPED_TRACE(way.what);
        desktop_.ClearCalls();
        Server server([](Peer& p, Server& s) {
            s.clientClosed = p.WaitForClientClose(kDeadlineMs);
            p.Send(Page("<CurrentVersion>9.9.9</CurrentVersion>"));
        });
        UseServer(server);
        bool active = false;
        RunCheck([&] {
            // Once the request has reached the server and the window is the
            // active one (keys go to the active window).
            ASSERT_TRUE(WaitUntil([&] { return !server.Request().empty(); }, kDeadlineMs));
            const auto w = UpdateWindow();
            ASSERT_TRUE(w);
            active = WaitUntil([&] { return QApplication::activeWindow() == w->FrameWidget(); }, 1000);
            way.end(*w);
        });
        EXPECT_TRUE(active);
        EXPECT_TRUE(WaitUntil([&] { return server.ScriptDone(); }, kDeadlineMs));
        EXPECT_TRUE(server.clientClosed) << "the request ended with its window";
        WaitUntil([] { return false; }, 50);
        EXPECT_TRUE(desktop_.Calls().empty());
        ExpectOnlyTheMainWindow();
    }
}

// The classes as start-up registers them, between MenuBar1 and MenuBar2.
TEST_F(UpdateFlowTest, ClassesAreRegisteredInOrderWithTheirMethods) {
    const auto classes = fw::TheRegistry().Classes();
    auto index = [&](const std::string& name) {
        for (std::size_t i = 0; i < classes.size(); ++i)
            if (classes[i]->Name() == name) return i;
        ADD_FAILURE() << name << " is not registered";
        return classes.size();
    };
    EXPECT_LT(index("MenuBar1.MenuBar1"), index("updateWindow.updateWindow"));
    EXPECT_LT(index("updateWindow.updateWindow"), index("updateWindow.hp"));
    EXPECT_LT(index("updateWindow.hp"), index("selfTest.selfTest"));
    EXPECT_LT(index("selfTest.selfTest"), index("MenuBar2.MenuBar2"));

    auto methods = [](const fw::ClassInfo& cls) {
        std::vector<std::string> rows;
        for (const auto& m : cls.OwnMethods()) {
            EXPECT_EQ(m.AttributeValue("__Scope"), "Public") << m.name;
            EXPECT_EQ(m.HasAttribute("Hidden"), m.name == "_CreateControls0") << m.name;
            rows.push_back(m.name + " " + m.signature);
        }
        return rows;
    };
    const fw::ClassInfo& version = fw::TheRegistry().Get("selfTest.selfTest");
    EXPECT_EQ(methods(version),
              (std::vector<std::string>{"Layout ", "CreateControls ", "_CreateControls0 ", "StaticText1 (  ) as Label",
                                        "StaticText2 (  ) as Label", "PushButton1 (  ) as PushButton",
                                        "StaticText2_Open ( Label )", "PushButton1_Action ( PushButton )"}));
    EXPECT_EQ(version.FindHook("Open"), nullptr) << "the version window has no Open handler";

    const fw::ClassInfo& update = fw::TheRegistry().Get("updateWindow.updateWindow");
    EXPECT_EQ(methods(update),
              (std::vector<std::string>{
                  "Layout ", "CreateControls ", "_CreateControls0 ", "StaticText1 (  ) as Label",
                  "ProgressBar1 (  ) as ProgressBar", "hp (  ) as HTTPSocket", "PushButton1 (  ) as PushButton",
                  "hp_PageReceived ( HTTPSocket, String, Int32, InternetHeaders, String )",
                  "hp_Error ( HTTPSocket, Int32 )", "PushButton1_Action ( PushButton )", "Event_Open ",
                  "startTag ( String ) as String", "endTag ( String ) as String",
                  "askUpgrade ( String, String, String, Boolean )", "returnValue ( String, String ) as String"}));
    ASSERT_EQ(update.OwnProperties().size(), 1u);
    EXPECT_EQ(update.OwnProperties()[0].name, "automaticCheck");
    EXPECT_EQ(update.OwnProperties()[0].type, "Boolean");
    ASSERT_NE(update.FindHook("Open"), nullptr);
    EXPECT_EQ(update.FindHook("Open")->method, "Event_Open");
    ASSERT_NE(fw::TheRegistry().Get("updateWindow.hp").Parent(), nullptr);
    EXPECT_EQ(fw::TheRegistry().Get("updateWindow.hp").Parent()->Name(), "HTTPSocket");
}

// A window's own properties as its set makes them, then its controls in
// creation order.
std::string Shape(const fw::Window& w) {
    std::string s = "\"" + w.Title().ToUtf8() + "\" " + std::to_string(w.Width()) + "x" + std::to_string(w.Height()) +
                    " frame " + std::to_string(w.Frame());
    for (const auto& [on, name] : {std::pair{w.Resizeable(), " resizeable"}, {w.CloseButton(), " close"},
                                   {w.MaximizeButton(), " maximize"}, {w.MinimizeButton(), " minimize"}})
        if (on) s += name;
    s += ":";
    for (const auto& c : w.Controls()) s += " " + c->Name().ToUtf8();
    return s;
}

std::vector<int> Bounds(const fw::RectControl& c) { return {c.Left(), c.Top(), c.Width(), c.Height()}; }

// The two windows as their definitions make them.
TEST_F(UpdateFlowTest, TheWindowsAreBuiltAsDefined) {
    W().DoMenuCommand("CheckForUpdateCheckNow");
    const fw::Ref<selfTest> v = VersionWindow();
    ASSERT_TRUE(v);
    EXPECT_EQ(Shape(*v), "\"Self Test\" 231x92 frame 0 close: StaticText1 StaticText2 PushButton1");
    EXPECT_FALSE(v->MenuBar()) << "the version window sets no menu bar";
    const auto label = v->StaticText1();
    EXPECT_EQ(label->Text().ToUtf8(), "Version:");
    EXPECT_EQ(Bounds(*label), (std::vector<int>{45, 19, 53, 20}));
    EXPECT_TRUE(label->Bold());
    EXPECT_EQ(v->StaticText2()->TextAlign(), 2);
    EXPECT_EQ(v->StaticText2()->Left() + v->StaticText2()->Width(), 185);
    const auto button = v->PushButton1();
    EXPECT_EQ(button->Caption().ToUtf8(), "Check for Updates");
    EXPECT_EQ(button->Left() + button->Width(), 185);
    EXPECT_TRUE(button->Default());
    EXPECT_FALSE(button->Cancel());

    // The update window, seen while it waits for a silent server.
    Server server([](Peer& p, Server& s) { s.clientClosed = p.WaitForClientClose(kDeadlineMs); });
    UseServer(server);
    RunCheck([] {
        const auto w = UpdateWindow();
        ASSERT_TRUE(w);
        EXPECT_EQ(Shape(*w), "\"Update\" 300x120 frame 1 close minimize: StaticText1 ProgressBar1 hp PushButton1");
        EXPECT_EQ(w->StaticText1()->Text().ToUtf8(), "Checking for updates...");
        EXPECT_EQ(w->hp()->Class()->Name(), "updateWindow.hp");
        EXPECT_TRUE(w->hp()->IsBusy());
        EXPECT_FALSE(w->automaticCheck);
        const auto cancel = w->PushButton1();
        EXPECT_EQ(cancel->Caption().ToUtf8(), "Cancel");
        EXPECT_TRUE(cancel->Default());
        EXPECT_TRUE(cancel->Cancel());
        EXPECT_EQ(Bounds(*cancel), (std::vector<int>{208, 80, 72, 20}));
        w->PushButton1()->Push();
    });
    EXPECT_TRUE(desktop_.Calls().empty());
    ExpectOnlyTheMainWindow();
}

}  // namespace
