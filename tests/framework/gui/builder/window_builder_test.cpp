// The framework's window builder on a window made from its definition file
// alone: the class's rows and hooks, its own control class, the controls
// with their sets and presets, and each event reaching its handler, with
// the arguments the event hands over.
#include "../runtime_test_util.h"

#include "BuiltWindow.h"
#include "core/Registry.h"

#include <gtest/gtest.h>

#include <tuple>

namespace {

class WindowBuilderTest : public ::testing::Test, protected rt_test::RuntimeFixtureBase {
protected:
    void SetUp() override {
        StartRuntime();
        fw::ClassDef def = fw::WindowClassDef(BuiltWindow::Definition());
        def.Method("calls", "", {fw::Scope("Public")});
        fw::RegisterClass(std::move(def));
        fw::RegisterControlClasses(BuiltWindow::Definition());
    }
    void TearDown() override { StopRuntime(); }
};

TEST_F(WindowBuilderTest, TheClassRegistersTheRowsItsDefinitionGivesThenItsOwn) {
    const fw::ClassInfo& cls = fw::TheRegistry().Get("BuiltWindow.BuiltWindow");
    EXPECT_EQ(cls.Parent()->Name(), "Window");
    EXPECT_EQ(cls.ClassAttributes(), fw::Attributes{fw::Scope("Public")});
    const fw::Attributes pub{fw::Scope("Public")}, hidden{fw::Scope("Public"), fw::Flag("Hidden")};
    const std::vector<std::tuple<std::string, std::string, fw::Attributes>> want = {
        {"Layout", "", pub},
        {"CreateControls", "", pub},
        {"_CreateControls0", "", hidden},
        {"OkButton", "(  ) as PushButton", pub},
        {"Note", "(  ) as Label", pub},
        {"Ticker", "(  ) as Timer", pub},
        {"Entry", "(  ) as TextField", pub},
        {"OkButton_Action", "( PushButton )", pub},
        {"Note_Open", "( Label )", pub},
        {"Ticker_Action", "( Timer )", pub},
        {"Ticker_Reply", "( Timer, String, Int32 )", pub},
        {"calls", "", pub},
    };
    ASSERT_EQ(cls.OwnMethods().size(), want.size());
    for (std::size_t i = 0; i < want.size(); ++i) {
        EXPECT_EQ(cls.OwnMethods()[i].name, std::get<0>(want[i]));
        EXPECT_EQ(cls.OwnMethods()[i].signature, std::get<1>(want[i])) << std::get<0>(want[i]);
        EXPECT_EQ(cls.OwnMethods()[i].attributes, std::get<2>(want[i])) << std::get<0>(want[i]);
    }
    std::vector<std::string> hooks;
    for (const auto& h : cls.OwnHooks()) hooks.push_back(h.event);
    EXPECT_EQ(hooks, (std::vector<std::string>{"Layout", "CreateControls"}));

    const fw::ClassInfo& ticker = fw::TheRegistry().Get("BuiltWindow.Ticker");
    EXPECT_EQ(ticker.Parent()->Name(), "Timer");
    EXPECT_EQ(ticker.ClassAttributes(), fw::Attributes{fw::Scope("Private")});
}

TEST_F(WindowBuilderTest, BuildsTheControlsInOrderAndBindsEachEventToItsHandler) {
    fw::Ref<BuiltWindow> w = fw::ImplicitWindowOf<BuiltWindow>();
    ASSERT_TRUE(w);
    EXPECT_EQ(w.Get(), fw::ImplicitWindowOf<BuiltWindow>().Get());
    EXPECT_EQ(w->Title().ToUtf8(), "Built");
    EXPECT_EQ(w->Width(), 240);
    EXPECT_TRUE(w->Resizeable()) << "a key left out takes the class's default";

    std::vector<std::string> made;
    for (const auto& c : w->Controls()) made.push_back(c->Name().ToUtf8() + " " + c->Class()->Name());
    EXPECT_EQ(made, (std::vector<std::string>{"OkButton PushButton", "Note Label", "Ticker BuiltWindow.Ticker",
                                              "Entry TextField"}));
    EXPECT_EQ(w->OkButton()->Caption().ToUtf8(), "OK");
    EXPECT_EQ(w->OkButton()->TextSize(), 12.0);
    EXPECT_EQ(w->Entry()->TabIndex(), 3);
    EXPECT_EQ(w->Ticker()->Period(), 50);
    auto* ticker = dynamic_cast<BuiltWindow_Ticker*>(w->Ticker().Get());
    ASSERT_NE(ticker, nullptr);
    EXPECT_EQ(ticker->Window(), w.Get());
    EXPECT_EQ(ticker->GetIndex(), INT32_MIN);

    // The label's Open ran as the window opened; the rest as raised.
    EXPECT_EQ(w->calls, (std::vector<std::string>{"Note_Open note"}));
    w->OkButton()->Push();
    w->Ticker()->RaiseEvent("Action");
    w->Ticker()->RaiseEventWith("Reply", fw::String("done"), int32_t{200});
    EXPECT_EQ(w->calls, (std::vector<std::string>{"Note_Open note", "OkButton_Action OK", "Ticker_Action 50",
                                                  "Ticker_Reply done 200"}));
    EXPECT_FALSE(w->Entry()->HasEventHandler("TextChange"));

    // Arguments of other types than the handler takes are an error, reported
    // like any other; the handler does not run.
    w->Ticker()->RaiseEventWith("Reply", int32_t{1});
    EXPECT_EQ(w->calls.size(), 4u);
    EXPECT_EQ(desktop_.CallsOf(fw::ScriptedDesktop::Kind::MsgBox).size(), 1u);
}

}  // namespace
