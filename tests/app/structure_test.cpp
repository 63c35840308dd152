// The main window as start-up leaves it: the registrations of Window1,
// Window1.Timer1 and App, the 35 controls with their design contents, their
// tab order (walked with the Tab key) and event bindings, and the window's
// fixed size and title.
#include "app_test_util.h"

#include "core/Registry.h"

#include <QKeyEvent>
#include <QWidget>
#include <QWindow>
#include <gtest/gtest.h>

#include <cstdio>
#include <functional>
#include <set>
#include <sstream>
#include <string>
#include <tuple>
#include <utility>
#include <vector>

namespace {

using app_test::ProgramFixture;

std::vector<std::string> Names(const std::vector<fw::MethodInfo>& methods) {
    std::vector<std::string> out;
    for (const auto& m : methods) out.push_back(m.name);
    return out;
}

// Window1's own methods as the class's method table gives them, group by
// group, each group's members in order ("TryMe1..11" spelled out in number
// order) with its signature; where the members differ in their class, a
// member names it after a colon and the signature takes it for "%".
struct MethodGroup {
    const char* members;
    const char* signature;
};
const MethodGroup kWindow1MethodTable[] = {
    {"Layout CreateControls _CreateControls0 _CreateControls1", ""},
    {"EditField1:TextArea EditField2:TextArea Scramble:PushButton LoadFile1:PushButton LoadFile2:PushButton "
     "SaveFile1:PushButton SaveFile2:PushButton Clear1:PushButton Clear2:PushButton TryMe1..11:PushButton "
     "Unscramble:PushButton EditField3:TextArea Wordwell:Listbox DevTest:PushButton StaticText1:Label "
     "NoWords:Label SaveDict:PushButton AlternateWords:PopupMenu FindWords:PushButton ThisWord:TextField "
     "UseWord:PushButton StaticText2:Label StaticText3:Label Timer1:Timer SupportButton:PushButton",
     "(  ) as %"},
    {"EditField2_GotFocus:TextArea Scramble_Action:PushButton LoadFile1_Action:PushButton "
     "LoadFile2_Action:PushButton SaveFile1_Action:PushButton SaveFile2_Action:PushButton Clear1_Action:PushButton "
     "Clear2_Action:PushButton TryMe1..11_Action:PushButton Unscramble_Action:PushButton DevTest_Action:PushButton "
     "SaveDict_Action:PushButton FindWords_Action:PushButton UseWord_Action:PushButton Timer1_Action:Timer "
     "SupportButton_Action:PushButton",
     "( % )"},
    {"HelpMenu:MenuItem HelpAbout:AppleMenuItem HelpShow:MenuItem CheckForUpdateMenu:MenuItem "
     "CheckForUpdateCheckNow:MenuItem EditMenu:MenuItem EditSelectAll:MenuItem UntitledMenu0:MenuItem "
     "EditClear:MenuItem EditPaste:MenuItem EditCopy:MenuItem EditCut:MenuItem UntitledMenu1:MenuItem "
     "EditUndo:MenuItem FileMenu:MenuItem FileQuit:QuitMenuItem FilePrintHelp:MenuItem",
     "(  ) as %"},
    {"AddMenuHandlers", "( Window )"},
    {"Event_Open Event_Close", ""},
    {"_CheckForUpdateCheckNow_Action _HelpShow_Action _HelpAbout_Action _FilePrintHelp_Action", "(  ) as Boolean"},
    {"getFile1 saveFile1 getFile2 saveFile2 ScrambleWord SearchWord saveDictionary doUnscramble checkDictionary",
     ""},
};

// The table spelled out: (name, signature) in order.
std::vector<std::pair<std::string, std::string>> Window1Methods() {
    std::vector<std::pair<std::string, std::string>> out;
    for (const auto& g : kWindow1MethodTable) {
        std::istringstream words(g.members);
        for (std::string w; words >> w;) {
            std::string cls;
            if (const auto colon = w.find(':'); colon != std::string::npos) {
                cls = w.substr(colon + 1);
                w.erase(colon);
            }
            std::string sig = g.signature;
            if (const auto pct = sig.find('%'); pct != std::string::npos) sig.replace(pct, 1, cls);
            if (const auto run = w.find("1..11"); run != std::string::npos) {
                for (int n = 1; n <= 11; ++n)
                    out.emplace_back(w.substr(0, run) + std::to_string(n) + w.substr(run + 5), sig);
            } else {
                out.emplace_back(w, sig);
            }
        }
    }
    return out;
}

class StructureTest : public ProgramFixture {};

TEST_F(StructureTest, Window1RegistersExactlyItsNinetyEightMethodsInOrderAndNoProperty) {
    const fw::ClassInfo& cls = fw::TheRegistry().Get("Window1.Window1");
    ASSERT_NE(cls.Parent(), nullptr);
    EXPECT_EQ(cls.Parent()->Name(), "Window");
    ASSERT_EQ(cls.ClassAttributes().size(), 1u);
    EXPECT_EQ(cls.ClassAttributes()[0], fw::Scope("Public"));
    EXPECT_TRUE(cls.OwnProperties().empty());

    const auto expected = Window1Methods();
    ASSERT_EQ(expected.size(), 98u);
    const auto& own = cls.OwnMethods();
    ASSERT_EQ(own.size(), 98u);
    for (std::size_t i = 0; i < own.size(); ++i) {
        SCOPED_TRACE(own[i].name);
        EXPECT_EQ(own[i].name, expected[i].first) << "at " << i;
        EXPECT_EQ(own[i].signature, expected[i].second);
        const bool hidden = own[i].name == "_CreateControls0" || own[i].name == "_CreateControls1";
        fw::Attributes want{fw::Scope("Public")};
        if (hidden) want.push_back(fw::Flag("Hidden"));
        EXPECT_EQ(own[i].attributes, want);
    }

    // Nothing of Window is overridden: its methods come first, unchanged.
    const auto all = cls.Methods();
    const auto& inherited = cls.Parent()->OwnMethods();
    ASSERT_EQ(all.size(), inherited.size() + 98);
    for (std::size_t i = 0; i < inherited.size(); ++i) EXPECT_EQ(all[i]->owner, cls.Parent()) << all[i]->name;

    std::vector<std::pair<std::string, std::string>> hooks;
    for (const auto& h : cls.OwnHooks()) hooks.emplace_back(h.event, h.method);
    EXPECT_EQ(hooks, (std::vector<std::pair<std::string, std::string>>{{"Layout", "Layout"},
                                                                        {"CreateControls", "CreateControls"},
                                                                        {"AddMenuHandlers", "AddMenuHandlers"},
                                                                        {"Open", "Event_Open"},
                                                                        {"Close", "Event_Close"}}));
}

TEST_F(StructureTest, TimerAndAppClassesRegisterTheirOwnPartsOnly) {
    const fw::ClassInfo& timer = fw::TheRegistry().Get("Window1.Timer1");
    ASSERT_NE(timer.Parent(), nullptr);
    EXPECT_EQ(timer.Parent()->Name(), "Timer");
    EXPECT_EQ(Names(timer.Parent()->OwnMethods()),
              (std::vector<std::string>{"addActionNotificationReceiver", "removeActionNotificationReceiver", "Reset",
                                        "_CallAction"}));
    EXPECT_EQ(timer.ClassAttributes(), fw::Attributes{fw::Scope("Private")});
    ASSERT_EQ(timer.OwnProperties().size(), 2u);
    EXPECT_EQ(timer.OwnProperties()[0].name, "Index");
    EXPECT_EQ(timer.OwnProperties()[0].type, "Int32");
    EXPECT_EQ(timer.OwnProperties()[0].attributes, fw::Attributes{fw::Scope("Public")});
    EXPECT_EQ(timer.OwnProperties()[1].name, "ownerWindow");
    EXPECT_EQ(timer.OwnProperties()[1].type, "Window");
    EXPECT_EQ(timer.OwnProperties()[1].attributes, fw::Attributes{fw::Scope("Private")});
    const fw::Attributes pub{fw::Scope("Public")}, hidden{fw::Scope("Public"), fw::Flag("Hidden")};
    const std::vector<std::tuple<std::string, std::string, fw::Attributes>> methods = {
        {"_SetWindow", "( Window )", hidden}, {"Window", "(  ) as Window", pub}, {"_Index", "(  ) as Int32", hidden},
        {"_SetIndex", "( Int32 )", hidden},   {"Constructor", "", pub},
    };
    ASSERT_EQ(timer.OwnMethods().size(), methods.size());
    for (std::size_t i = 0; i < methods.size(); ++i) {
        EXPECT_EQ(timer.OwnMethods()[i].name, std::get<0>(methods[i]));
        EXPECT_EQ(timer.OwnMethods()[i].signature, std::get<1>(methods[i]));
        EXPECT_EQ(timer.OwnMethods()[i].attributes, std::get<2>(methods[i]));
    }

    // The control itself: a Window1.Timer1 that knows its window, reached
    // as a plain Timer.
    fw::Ref<fw::Timer> t = W().Timer1();
    ASSERT_TRUE(t);
    ASSERT_NE(t->Class(), nullptr);
    EXPECT_EQ(t->Class()->Name(), "Window1.Timer1");
    auto own = fw::Cast<Window1_Timer1>(t);
    EXPECT_EQ(own->Window(), &W());
    EXPECT_EQ(own->GetIndex(), INT32_MIN);

    const fw::ClassInfo& app = fw::TheRegistry().Get("App");
    ASSERT_NE(app.Parent(), nullptr);
    EXPECT_EQ(app.Parent()->Name(), "Application");
    EXPECT_TRUE(app.ClassAttributes().empty());
    EXPECT_TRUE(app.OwnProperties().empty());
    ASSERT_EQ(app.OwnMethods().size(), 1u);
    EXPECT_EQ(app.OwnMethods()[0].name, "Constructor");
    EXPECT_EQ(app.OwnMethods()[0].attributes, pub);
    EXPECT_EQ(app.Methods().size(), app.Parent()->OwnMethods().size() + 1);
    EXPECT_EQ(app.Methods().back()->name, "Constructor");
    EXPECT_EQ(AppObject().Get(), fw::GetAppObject().Get());
}

// The 35 controls in creation order.
struct ControlRow {
    const char* name;
    std::function<fw::Ref<fw::Control>(Window1&)> accessor;
    const char* cls;   // the class the control was made of
    int tabIndex;      // -1: none (the timer)
    bool visible;
};

#define ROW(n, cls, tab, visible) \
    ControlRow { #n, [](Window1& w) { return fw::Ref<fw::Control>(w.n()); }, cls, tab, visible }
const std::vector<ControlRow>& Controls() {
    static const std::vector<ControlRow> rows = {
        ROW(EditField1, "TextArea", 0, true),        ROW(EditField2, "TextArea", 1, true),
        ROW(Scramble, "PushButton", 2, true),        ROW(LoadFile1, "PushButton", 3, true),
        ROW(LoadFile2, "PushButton", 4, true),       ROW(SaveFile1, "PushButton", 5, true),
        ROW(SaveFile2, "PushButton", 6, true),       ROW(Clear1, "PushButton", 7, true),
        ROW(Clear2, "PushButton", 8, true),          ROW(TryMe1, "PushButton", 9, true),
        ROW(TryMe2, "PushButton", 10, true),         ROW(TryMe3, "PushButton", 11, true),
        ROW(TryMe4, "PushButton", 12, true),         ROW(TryMe5, "PushButton", 13, true),
        ROW(TryMe6, "PushButton", 14, true),         ROW(TryMe7, "PushButton", 15, true),
        ROW(TryMe8, "PushButton", 16, true),         ROW(TryMe9, "PushButton", 17, true),
        ROW(TryMe10, "PushButton", 18, true),        ROW(TryMe11, "PushButton", 19, true),
        ROW(Unscramble, "PushButton", 20, true),     ROW(EditField3, "TextArea", 21, true),
        ROW(Wordwell, "Listbox", 22, true),          ROW(DevTest, "PushButton", 23, true),
        ROW(StaticText1, "Label", 24, true),         ROW(NoWords, "Label", 25, true),
        ROW(SaveDict, "PushButton", 26, true),       ROW(AlternateWords, "PopupMenu", 27, false),
        ROW(FindWords, "PushButton", 28, true),      ROW(ThisWord, "TextField", 29, true),
        ROW(UseWord, "PushButton", 30, false),       ROW(StaticText2, "Label", 31, true),
        ROW(StaticText3, "Label", 32, true),         ROW(Timer1, "Window1.Timer1", -1, false),
        ROW(SupportButton, "PushButton", 34, true),
    };
    return rows;
}
#undef ROW

TEST_F(StructureTest, EveryAccessorGivesItsOwnControlEachTimeInCreationOrder) {
    const auto& rows = Controls();
    ASSERT_EQ(W().Controls().size(), rows.size());
    for (std::size_t i = 0; i < rows.size(); ++i) {
        const ControlRow& r = rows[i];
        SCOPED_TRACE(r.name);
        fw::Ref<fw::Control> a = r.accessor(W()), b = r.accessor(W());
        ASSERT_TRUE(a);
        EXPECT_EQ(a.Get(), b.Get());
        EXPECT_EQ(a.Get(), W().Controls()[i].Get()) << "created at another place";
        EXPECT_EQ(a->Name().ToUtf8(), r.name);
        ASSERT_NE(a->Class(), nullptr);
        EXPECT_EQ(a->Class()->Name(), r.cls);
        EXPECT_EQ(a->OwnerWindow(), &W());
        if (auto* rc = dynamic_cast<fw::RectControl*>(a.Get())) {
            EXPECT_EQ(rc->TabIndex(), r.tabIndex);
            EXPECT_EQ(rc->Visible(), r.visible);
            EXPECT_TRUE(rc->Enabled());
        }
    }
}

std::vector<std::string> FileLines(const std::string& text) {
    std::vector<std::string> lines;
    std::istringstream in(text);
    for (std::string line; std::getline(in, line);) lines.push_back(line);
    return lines;
}

TEST_F(StructureTest, StartsWithTheDesignContentsAndOpenKeepsTheInitialText) {
    const std::string initial = app_test::ResourceFile("texts/initial.txt");
    ASSERT_EQ(initial.size(), 550u);
    EXPECT_EQ(W().EditField1()->Text().ToUtf8(), initial);
    EXPECT_EQ(fw::Len(W().EditField1()->Text()), 550);
    EXPECT_EQ(W().EditField2()->Text().ToUtf8(), "");
    EXPECT_EQ(W().EditField3()->Text().ToUtf8(), initial) << "Open keeps the initial text as the plain message";
    EXPECT_FALSE(Module1::NewScrambledMessageFlag);
    EXPECT_FALSE(Module1::TryMeFlag);
    EXPECT_EQ(W().ThisWord()->Text().ToUtf8(), "");
    EXPECT_EQ(W().NoWords()->Text().ToUtf8(), "");
    EXPECT_FALSE(W().AlternateWords()->Visible());
    EXPECT_EQ(W().AlternateWords()->ListCount(), 0);
    EXPECT_FALSE(W().UseWord()->Visible());

    const std::vector<std::string> words = FileLines(app_test::WordListFile());
    ASSERT_EQ(words.size(), 68928u);
    ASSERT_EQ(W().Wordwell()->ListCount(), 68928);
    EXPECT_EQ(W().Wordwell()->ColumnCount(), 1);
    int mismatches = 0;
    for (int32_t i = 0; i < W().Wordwell()->ListCount() && mismatches < 5; ++i)
        if (W().Wordwell()->Cell(i, 0).ToUtf8() != words[static_cast<std::size_t>(i)]) {
            ADD_FAILURE() << "row " << i << " is '" << W().Wordwell()->Cell(i, 0).ToUtf8() << "', not '"
                          << words[static_cast<std::size_t>(i)] << "'";
            ++mismatches;
        }

    EXPECT_EQ(W().Timer1()->Mode(), 0);
    EXPECT_EQ(W().Timer1()->Period(), 2000);
    EXPECT_FALSE(W().Timer1()->IsRunning());
}

// Presses Tab where the window's focus is, as often as asked, and names the
// control that has the focus after each press.
std::vector<std::string> TabWalk(Window1& w, int presses) {
    std::vector<std::string> seen;
    for (int i = 0; i < presses; ++i) {
        QWidget* at = w.FrameWidget()->focusWidget();
        if (!at) break;
        QKeyEvent tab(QEvent::KeyPress, Qt::Key_Tab, Qt::NoModifier);
        QCoreApplication::sendEvent(at, &tab);
        const fw::RectControl* c = fw::RectControl::FromWidget(w.FrameWidget()->focusWidget());
        seen.push_back(c ? c->Name().ToUtf8() : "(none)");
    }
    return seen;
}

TEST_F(StructureTest, TheTabKeyVisitsTheStopsInTabIndexOrderOffWindowOnesIncluded) {
    std::vector<std::string> stops = {"EditField2", "Scramble", "LoadFile1", "LoadFile2", "SaveFile1",
                                      "SaveFile2",  "Clear1",   "Clear2"};
    for (int i = 1; i <= 11; ++i) stops.push_back("TryMe" + std::to_string(i));
    stops.insert(stops.end(), {"Unscramble", "EditField3", "Wordwell", "DevTest", "SaveDict", "FindWords",
                               "ThisWord", "SupportButton", "EditField1"});

    W().EditField1()->SetFocus();
    ASSERT_TRUE(W().EditField1()->HasFocus());
    EXPECT_EQ(TabWalk(W(), static_cast<int>(stops.size())), stops) << "labels and hidden controls are skipped";

    // Once shown (as Find Possible Words shows them) the pop-up and Use
    // Selected Word take their places.
    W().AlternateWords()->SetVisible(true);
    W().UseWord()->SetVisible(true);
    W().SaveDict()->SetFocus();
    EXPECT_EQ(TabWalk(W(), 5),
              (std::vector<std::string>{"AlternateWords", "FindWords", "ThisWord", "UseWord", "SupportButton"}));
}

TEST_F(StructureTest, EventsAreBoundOnlyWhereTheDesignSaysAndEachTryMeToItsOwnHandler) {
    const std::set<std::string> withAction = {
        "Scramble", "LoadFile1", "LoadFile2", "SaveFile1", "SaveFile2", "Clear1",  "Clear2",   "TryMe1",
        "TryMe2",   "TryMe3",    "TryMe4",    "TryMe5",    "TryMe6",    "TryMe7",  "TryMe8",   "TryMe9",
        "TryMe10",  "TryMe11",   "Unscramble", "DevTest",  "SaveDict",  "FindWords", "UseWord", "Timer1",
        "SupportButton"};
    for (const auto& c : W().Controls()) {
        const std::string name = c->Name().ToUtf8();
        SCOPED_TRACE(name);
        EXPECT_EQ(c->HasEventHandler("Action"), withAction.count(name) == 1);
        EXPECT_EQ(c->HasEventHandler("GotFocus"), name == "EditField2");
        for (const char* other : {"LostFocus", "TextChange", "Change", "Open", "KeyDown"})
            EXPECT_FALSE(c->HasEventHandler(other)) << other;
    }

    const fw::Ref<fw::PushButton> tryMe[] = {W().TryMe1(), W().TryMe2(), W().TryMe3(), W().TryMe4(),
                                             W().TryMe5(), W().TryMe6(), W().TryMe7(), W().TryMe8(),
                                             W().TryMe9(), W().TryMe10(), W().TryMe11()};
    for (int n = 1; n <= 11; ++n) {
        char file[32];
        std::snprintf(file, sizeof file, "texts/sample%02d.txt", n);
        tryMe[n - 1]->Push();
        EXPECT_EQ(W().EditField3()->Text().ToUtf8(), app_test::ResourceFile(file)) << "TryMe" << n;
    }
}

TEST_F(StructureTest, TheWindowIsSevenHundredByFiveHundredFixedAndTitledScrandle) {
    QWidget* frame = W().FrameWidget();
    ASSERT_TRUE(frame->isVisible());
    EXPECT_EQ(W().Title().ToUtf8(), "Scrandle?");
    ASSERT_NE(frame->windowHandle(), nullptr);
    EXPECT_EQ(frame->windowHandle()->title(), "Scrandle?");
    EXPECT_EQ(W().ContentWidget()->size(), QSize(700, 500));
    EXPECT_FALSE(W().Resizeable());

    const Qt::WindowFlags flags = frame->windowFlags();
    EXPECT_TRUE(flags & Qt::WindowCloseButtonHint);
    EXPECT_TRUE(flags & Qt::WindowMinimizeButtonHint);
    EXPECT_FALSE(flags & Qt::WindowMaximizeButtonHint);
    EXPECT_EQ(frame->minimumSize(), frame->maximumSize()) << "the user cannot change the size";
    const QSize before = frame->size();
    frame->resize(before.width() + 200, before.height() + 150);
    app_test::WaitUntil([] { return false; }, 20);
    EXPECT_EQ(frame->size(), before);
    EXPECT_EQ(W().ContentWidget()->size(), QSize(700, 500));

    // The column beyond the right edge is there and shown, just never seen.
    for (const fw::Ref<fw::RectControl>& c :
         {fw::Ref<fw::RectControl>(W().EditField3()), fw::Ref<fw::RectControl>(W().Wordwell()),
          fw::Ref<fw::RectControl>(W().ThisWord()), fw::Ref<fw::RectControl>(W().SaveDict())}) {
        EXPECT_GE(c->Left(), 700) << c->Name().ToUtf8();
        EXPECT_TRUE(c->Widget()->isVisible()) << c->Name().ToUtf8();
        EXPECT_GE(c->Widget()->geometry().left(), W().ContentWidget()->width()) << c->Name().ToUtf8();
    }
}

}  // namespace
