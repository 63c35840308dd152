// The main window's scramble and unscramble: the exact restore of the kept
// plain message, the switch to the dictionary road once the right area had
// the focus, the pause after each scramble, the eleven Try Me samples, and
// the support button.
#include "app_test_util.h"

#include "samples.h"

#include "core/Yield.h"
#include "gui/BusyCursor.h"

#include <QFocusEvent>
#include <QPlainTextEdit>

#include <algorithm>
#include <cctype>
#include <string>

namespace {

using app_test::ProgramFixture;

// Every word of five or more letters here is the first (or only) row of its
// group in the shipped list, so the dictionary road gives it back exactly.
// "don't" scrambles to "dont" (its units "don" and "t" are too short to
// shuffle); rebuilt, "dont" is one four-letter unit whose middle pair is
// swapped, so the dictionary road gives "dnot": it can never bring the
// apostrophe back.
constexpr const char* kKnownSentence = "Scrambled letters don't trouble the clever brown foxes.";
constexpr const char* kRebuiltSentence = "Scrambled letters dnot trouble the clever brown foxes.";

std::string SampleText(int n) {
    std::string text;
    const resources::SamplePieces pieces = resources::Sample(n);
    for (std::size_t i = 0; i < pieces.count; ++i) text += std::string(pieces.pieces[i]);
    return text;
}

// The scrambled text is the plain one without apostrophes, every other
// character in place, each run of letters keeping its first and last letter
// and its letters.
void ExpectScrambledFormOf(const std::string& plain, const std::string& scrambled) {
    std::string s = plain;
    s.erase(std::remove(s.begin(), s.end(), '\''), s.end());
    ASSERT_EQ(scrambled.size(), s.size()) << scrambled;
    std::size_t i = 0;
    while (i < s.size()) {
        if (!std::isalpha(static_cast<unsigned char>(s[i]))) {
            EXPECT_EQ(scrambled[i], s[i]) << "at " << i;
            ++i;
            continue;
        }
        std::size_t end = i;
        while (end < s.size() && std::isalpha(static_cast<unsigned char>(s[end]))) ++end;
        std::string a = s.substr(i, end - i), b = scrambled.substr(i, end - i);
        EXPECT_EQ(b.front(), a.front()) << a << " -> " << b;
        EXPECT_EQ(b.back(), a.back()) << a << " -> " << b;
        std::sort(a.begin(), a.end());
        std::sort(b.begin(), b.end());
        EXPECT_EQ(b, a);
        i = end;
    }
}

using ScrambleTest = ProgramFixture;

TEST_F(ScrambleTest, UnscrambleRightAfterAScrambleRestoresTheExactPlainMessage) {
    const std::string plain = "Don't re-read it:\r\nScrambled letters\ttrouble nobody.";
    W().EditField1()->SetText(fw::String(plain));
    W().Scramble()->Push();

    EXPECT_EQ(W().EditField1()->Text().ToUtf8(), "");
    EXPECT_EQ(W().EditField3()->Text().ToUtf8(), plain);
    const std::string scrambled = W().EditField2()->Text().ToUtf8();
    EXPECT_EQ(scrambled.find('\''), std::string::npos);
    EXPECT_EQ(scrambled.find('-'), std::string::npos);
    EXPECT_TRUE(Module1::NewScrambledMessageFlag);
    EXPECT_FALSE(Module1::TryMeFlag);

    // Twice: Unscramble itself never leaves the exact road.
    for (int round = 0; round < 2; ++round) {
        W().Unscramble()->Push();
        EXPECT_EQ(W().EditField1()->Text().ToUtf8(), plain);
        EXPECT_EQ(W().EditField2()->Text().ToUtf8(), scrambled);
        EXPECT_EQ(W().Unscramble()->Caption().ToUtf8(), "<< Unscramble");
        EXPECT_TRUE(W().Unscramble()->Enabled());
    }
}

TEST_F(ScrambleTest, ScrambleWithTheLeftAreaEmptyKeepsTheMessageAndTheFlags) {
    // Pressed again after a scramble (with or without the right area's
    // focus since), and pressed on a left area the user emptied: the kept
    // message, both areas and the flags stay; the press beeps and starts the
    // pause as every press does.
    const std::string plain = "Keep this message, please.";
    const struct {
        const char* how;
        bool scrambleFirst, focusRight;
    } cases[] = {{"right after a scramble", true, false},
                 {"after the right area had the focus", true, true},
                 {"on an emptied left area", false, false}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.how);
        W().ThisWord()->SetFocus();  // the right area gains the focus anew below
        W().EditField1()->SetText(fw::String(plain));
        W().EditField3()->SetText("kept before");
        Module1::NewScrambledMessageFlag = false;
        if (c.scrambleFirst) W().Scramble()->Push();
        else W().EditField1()->SetText("");
        if (c.focusRight) W().EditField2()->SetFocus();
        const std::string right = W().EditField2()->Text().ToUtf8();
        const std::string kept = W().EditField3()->Text().ToUtf8();
        const bool newFlag = Module1::NewScrambledMessageFlag;
        desktop_.ClearCalls();

        W().Scramble()->Push();

        EXPECT_EQ(desktop_.Count(fw::ScriptedDesktop::Kind::Beep), 1u);
        EXPECT_EQ(W().EditField1()->Text().ToUtf8(), "");
        EXPECT_EQ(W().EditField2()->Text().ToUtf8(), right);
        EXPECT_EQ(W().EditField3()->Text().ToUtf8(), kept);
        EXPECT_EQ(Module1::NewScrambledMessageFlag, newFlag);
        EXPECT_FALSE(Module1::TryMeFlag);
        EXPECT_FALSE(W().Scramble()->Enabled());
        EXPECT_TRUE(W().Timer1()->IsRunning());
        if (c.scrambleFirst && !c.focusRight) {
            W().Unscramble()->Push();
            EXPECT_EQ(W().EditField1()->Text().ToUtf8(), plain);
        }
    }

    // Any text at all scrambles, a lone blank too.
    W().EditField1()->SetText(" ");
    desktop_.ClearCalls();
    W().Scramble()->Push();
    EXPECT_EQ(desktop_.Count(fw::ScriptedDesktop::Kind::Beep), 0u);
    EXPECT_EQ(W().EditField3()->Text().ToUtf8(), " ");
    EXPECT_EQ(W().EditField2()->Text().ToUtf8(), " ");
    EXPECT_TRUE(Module1::NewScrambledMessageFlag);
}

TEST_F(ScrambleTest, FocusIntoTheRightAreaByClickOrSetFocusSwitchesToTheDictionaryRoad) {
    const struct {
        const char* how;
        bool click;
    } cases[] = {{"a click", true}, {"SetFocus", false}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.how);
        W().ThisWord()->SetFocus();  // the right area gains the focus anew below
        W().EditField1()->SetText(kKnownSentence);
        W().Scramble()->Push();
        ASSERT_TRUE(Module1::NewScrambledMessageFlag);

        if (c.click) {
            QFocusEvent click(QEvent::FocusIn, Qt::MouseFocusReason);
            QCoreApplication::sendEvent(W().EditField2()->Editor(), &click);
        } else {
            W().EditField2()->SetFocus();
        }
        EXPECT_FALSE(Module1::NewScrambledMessageFlag);

        W().Unscramble()->Push();
        EXPECT_EQ(W().EditField1()->Text().ToUtf8(), kRebuiltSentence);
        EXPECT_EQ(W().EditField3()->Text().ToUtf8(), kKnownSentence);
    }
}

// A long message: both roads still give what they give for a short one.
TEST_F(ScrambleTest, ALongMessageTakesBothRoadsLikeAShortOne) {
    std::string plain, rebuilt;
    while (plain.size() < 400000) {
        plain += std::string(kKnownSentence) + "\r\n";
        rebuilt += std::string(kRebuiltSentence) + "\r\n";
    }
    W().EditField1()->SetText(fw::String(plain));
    W().Scramble()->Push();
    EXPECT_EQ(W().EditField1()->Text().ToUtf8(), "");
    EXPECT_EQ(W().EditField3()->Text().ToUtf8(), plain);
    const std::string scrambled = W().EditField2()->Text().ToUtf8();
    ExpectScrambledFormOf(plain, scrambled);
    EXPECT_TRUE(Module1::NewScrambledMessageFlag);

    W().Unscramble()->Push();
    EXPECT_EQ(W().EditField1()->Text().ToUtf8(), plain);
    W().EditField2()->SetFocus();
    W().Unscramble()->Push();
    EXPECT_EQ(W().EditField1()->Text().ToUtf8(), rebuilt);
    EXPECT_EQ(W().EditField2()->Text().ToUtf8(), scrambled);
    EXPECT_EQ(W().Unscramble()->Caption().ToUtf8(), "<< Unscramble");
}

namespace {

// What the background-task yield does while a pass runs: the paints it
// makes and whether the wait cursor shows meanwhile.
struct YieldWatch {
    static inline fw::YieldHook runtimeHook = nullptr;
    static inline bool inHook = false;
    static inline int paints = 0;
    static inline bool cursorShown = false;
    static void Hook() {
        inHook = true;
        runtimeHook();
        inHook = false;
        cursorShown = cursorShown || fw::BusyCursorShown();
    }
};

class PaintsInYields : public QObject {
protected:
    bool eventFilter(QObject*, QEvent* e) override {
        if (e->type() == QEvent::Paint && YieldWatch::inHook) ++YieldWatch::paints;
        return false;
    }
};

}  // namespace

// A long scramble runs on this thread, and its yields keep the window
// alive: they repaint it while the pass runs, and the wait cursor shows.
TEST_F(ScrambleTest, ALongScrambleRepaintsTheWindowAndShowsTheWaitCursor) {
    std::string plain;
    while (plain.size() < 16'000'000) plain += std::string(kKnownSentence) + "\r\n";
    W().EditField1()->SetText(fw::String(plain));
    // Shown as the event loop shows it: a window not yet on the screen
    // takes no paint.
    app_test::TestApp().processEvents();
    PaintsInYields filter;
    app_test::TestApp().installEventFilter(&filter);
    YieldWatch::paints = 0;
    YieldWatch::cursorShown = false;
    YieldWatch::runtimeHook = fw::SetYieldHook(&YieldWatch::Hook);
    ASSERT_NE(YieldWatch::runtimeHook, nullptr);
    W().Scramble()->Push();
    fw::SetYieldHook(YieldWatch::runtimeHook);
    app_test::TestApp().removeEventFilter(&filter);
    EXPECT_GE(YieldWatch::paints, 1);
    EXPECT_TRUE(YieldWatch::cursorShown);
    // It stays until the window has painted what the step left.
    EXPECT_TRUE(app_test::WaitUntil([] { return !fw::BusyCursorShown(); }, 5000));
    // The whole output, less the apostrophes the scramble drops.
    EXPECT_EQ(W().EditField2()->Text().Size(), plain.size() - std::count(plain.begin(), plain.end(), '\''));
}

TEST_F(ScrambleTest, ThePauseLasts2000MsAfterAScramble100AfterATryMeAnd2000AgainAfterThat) {
    auto timer = W().Timer1();
    EXPECT_EQ(timer->Mode(), 0);
    EXPECT_EQ(timer->Period(), 2000);
    EXPECT_TRUE(W().Scramble()->Enabled());

    W().EditField1()->SetText("Some words to scramble");
    W().Scramble()->Push();
    EXPECT_FALSE(W().Scramble()->Enabled());
    EXPECT_EQ(timer->Mode(), 1);
    EXPECT_EQ(timer->Period(), 2000);
    EXPECT_TRUE(timer->IsRunning());

    // A Try Me pushes Scramble even while it is disabled, with the short period.
    W().TryMe1()->Push();
    EXPECT_FALSE(W().Scramble()->Enabled());
    EXPECT_EQ(timer->Mode(), 1);
    EXPECT_EQ(timer->Period(), 100);
    EXPECT_TRUE(timer->IsRunning());
    ASSERT_TRUE(app_test::WaitUntil([&] { return W().Scramble()->Enabled(); }, 1500))
        << "the timer's Action never enabled Scramble again";
    EXPECT_EQ(timer->Period(), 2000);
    EXPECT_EQ(timer->Mode(), 0);
    EXPECT_FALSE(timer->IsRunning());

    W().Scramble()->Push();
    EXPECT_FALSE(W().Scramble()->Enabled());
    EXPECT_EQ(timer->Mode(), 1);
    EXPECT_EQ(timer->Period(), 2000);
    EXPECT_TRUE(timer->IsRunning());
}

TEST_F(ScrambleTest, EveryTryMeButtonScramblesItsOwnSampleAndUnscrambleGivesItBackExactly) {
    bool sawApostrophe = false;
    for (int n = 1; n <= resources::kSampleCount; ++n) {
        SCOPED_TRACE("TryMe" + std::to_string(n));
        const std::string sample = SampleText(n);
        sawApostrophe = sawApostrophe || sample.find('\'') != std::string::npos;
        W().ThisWord()->SetFocus();
        W().EditField1()->SetText("A message the user typed");
        W().EditField3()->SetText("An earlier kept message");

        W().ControlAs<fw::PushButton>(fw::String("TryMe" + std::to_string(n)))->Push();

        EXPECT_EQ(W().EditField3()->Text().ToUtf8(), sample);
        EXPECT_EQ(W().EditField1()->Text().ToUtf8(), "");
        EXPECT_TRUE(W().EditField1()->HasFocus());
        ExpectScrambledFormOf(sample, W().EditField2()->Text().ToUtf8());
        EXPECT_FALSE(Module1::TryMeFlag);
        EXPECT_TRUE(Module1::NewScrambledMessageFlag);
        EXPECT_EQ(W().Timer1()->Period(), 100);

        W().Unscramble()->Push();
        EXPECT_EQ(W().EditField1()->Text().ToUtf8(), sample);
    }
    EXPECT_TRUE(sawApostrophe) << "no sample holds an apostrophe, so the exact restore of one is not shown";
}

TEST_F(ScrambleTest, TheSupportButtonOpensTheSupportPageAndChangesNothingElse) {
    W().EditField1()->SetText("left");
    W().EditField2()->SetText("right");
    W().EditField3()->SetText("kept");
    Module1::NewScrambledMessageFlag = true;

    W().SupportButton()->Push();

    const std::string expected = std::string("http://") + SCRANDLE_ORDER_HOST + "/?" + SCRANDLE_PRODUCT_CODE + "&lang=en";
    const auto urls = desktop_.CallsOf(fw::ScriptedDesktop::Kind::ShowURL);
    ASSERT_EQ(urls.size(), 1u);
    EXPECT_EQ(urls[0].text.ToUtf8(), expected);
    EXPECT_EQ(desktop_.Calls().size(), 1u);
    EXPECT_EQ(W().EditField1()->Text().ToUtf8(), "left");
    EXPECT_EQ(W().EditField2()->Text().ToUtf8(), "right");
    EXPECT_EQ(W().EditField3()->Text().ToUtf8(), "kept");
    EXPECT_TRUE(Module1::NewScrambledMessageFlag);
    EXPECT_FALSE(Module1::TryMeFlag);
    EXPECT_TRUE(W().Scramble()->Enabled());
    EXPECT_TRUE(W().SupportButton()->Enabled());
    EXPECT_EQ(W().Timer1()->Mode(), 0);
}

}  // namespace
