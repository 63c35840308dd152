// "<< Unscramble" shows "Working" while it works, on both of its roads: the
// caption is painted before the work on a long text starts, whether the kept
// plain message comes back or the text is rebuilt through the word list, and
// afterwards the button reads "<< Unscramble" again.
#include "app_test_util.h"

#include <QEvent>
#include <QPushButton>

#include <string>
#include <vector>

namespace {

// Notes the caption of a button each time it is painted.
class CaptionsPainted : public QObject {
public:
    explicit CaptionsPainted(QPushButton* button) : button_(button) { button->installEventFilter(this); }
    std::vector<QString> captions;

protected:
    bool eventFilter(QObject* o, QEvent* e) override {
        if (o == button_ && e->type() == QEvent::Paint) captions.push_back(button_->text());
        return false;
    }

private:
    QPushButton* button_;
};

// About 400,000 characters of words: long enough to count as long work.
std::string LongText() {
    const std::string sentence = "The quick brown fox jumps over the lazy dog near the river bank. ";
    std::string text;
    while (text.size() < 400000) text += sentence;
    return text;
}

class WorkingCaptionTest : public app_test::ProgramFixture {};

TEST_F(WorkingCaptionTest, IsPaintedOnBothRoadsBeforeTheWork) {
    // On screen, with its first paint done.
    W().FrameWidget()->show();
    app_test::WaitUntil([] { return false; }, 50);
    CaptionsPainted painted(W().Unscramble()->Button());
    W().EditField1()->SetText(fw::String(LongText()));
    W().Scramble()->Push();
    ASSERT_TRUE(Module1::NewScrambledMessageFlag);

    struct Road {
        const char* name;
        bool exact;
    };
    for (const Road road : {Road{"the kept plain message", true}, Road{"the word list", false}}) {
        if (!road.exact) W().EditField2()->SetFocus();
        ASSERT_EQ(Module1::NewScrambledMessageFlag, road.exact) << road.name;
        painted.captions.clear();
        W().Unscramble()->Push();
        EXPECT_NE(std::find(painted.captions.begin(), painted.captions.end(), QString("Working")), painted.captions.end())
            << "\"Working\" was never painted on the road of " << road.name;
        EXPECT_EQ(W().Unscramble()->Caption().ToUtf8(), "<< Unscramble") << road.name;
        EXPECT_TRUE(W().Unscramble()->Enabled()) << road.name;
        if (road.exact) EXPECT_EQ(W().EditField1()->Text().ToUtf8(), LongText());
        else EXPECT_GT(W().EditField1()->Text().Size(), 0u);
    }
}

}  // namespace
