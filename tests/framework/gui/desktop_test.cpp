#include "gui/Clipboard.h"
#include "gui/Dialogs.h"
#include "gui/PrintSupportModule.h"
#include "gui/QtDesktop.h"
#include "gui/ScriptedDesktop.h"

#include <QApplication>
#include <QClipboard>
#include <QElapsedTimer>
#include <QScreen>
#include <QFileDialog>
#include <QLabel>
#include <QMessageBox>
#include <QPrinter>
#include <QPushButton>
#include <QTemporaryDir>
#include <gtest/gtest.h>

#include <dlfcn.h>

using fw::DialogButton;
using fw::ScriptedDesktop;
using fw::String;
using Kind = fw::ScriptedDesktop::Kind;

namespace {

QApplication* g_app = nullptr;

// Deletes the application before main returns: left to static destruction,
// Qt (with QtNetwork linked) leaves its font caches behind and the leak
// checker reports them.
class DeleteApp : public ::testing::Environment {
public:
    void TearDown() override {
        delete g_app;
        g_app = nullptr;
    }
};

// One QApplication for the whole test program, whichever test needs it first.
void EnsureApp() {
    if (qobject_cast<QApplication*>(QCoreApplication::instance())) return;
    static int argc = 1;
    static char name[] = "framework_gui_tests";
    static char* argv[] = {name, nullptr};
    g_app = new QApplication(argc, argv);
    ::testing::AddGlobalTestEnvironment(new DeleteApp);
}

QPushButton* ButtonCaptioned(QMessageBox& box, const QString& caption) {
    for (QAbstractButton* b : box.buttons())
        if (b->text() == caption) return qobject_cast<QPushButton*>(b);
    return nullptr;
}

TEST(ScriptedDesktop, RecordsEveryCallAndAnswersFromItsQueues) {
    EnsureApp();
    ScriptedDesktop desk;
    desk.QueueFileToOpen("/tmp/a.txt");
    desk.QueueOpenCancel();
    desk.QueueSavePath("/tmp/b.txt");
    desk.QueueButton(DialogButton::Alternate);
    desk.QueuePrinterAnswer(true);

    desk.MsgBox("hello", {});
    EXPECT_EQ(desk.ChooseFileToOpen({"Select a Text file", "/Documents", ""}), std::optional<std::string>("/tmp/a.txt"));
    EXPECT_EQ(desk.ChooseFileToOpen({}), std::nullopt);
    EXPECT_EQ(desk.ChooseFileToOpen({}), std::nullopt);  // queue empty: cancelled
    EXPECT_EQ(desk.ChooseFileToSave({}), std::optional<std::string>("/tmp/b.txt"));
    EXPECT_EQ(desk.ChooseFileToSave({}), std::nullopt);
    fw::MessageDialogSpec spec;
    spec.message = "Version 3 is now available.";
    EXPECT_EQ(desk.ShowMessageDialog(spec, {}), DialogButton::Alternate);
    EXPECT_EQ(desk.ShowMessageDialog(spec, {}), DialogButton::Cancel);
    QPrinter printer;
    EXPECT_TRUE(desk.ChoosePrinter(&printer));
    EXPECT_FALSE(desk.ChoosePrinter(&printer));
    EXPECT_THROW(desk.ChoosePrinter(nullptr), fw::NilObjectException);
    desk.ShowURL("mailto:someone@example.org");
    desk.Beep();

    const auto& calls = desk.Calls();
    ASSERT_EQ(calls.size(), 12u);
    EXPECT_EQ(calls[0].kind, Kind::MsgBox);
    EXPECT_TRUE(calls[0].text.Identical("hello"));
    EXPECT_EQ(calls[1].kind, Kind::OpenFile);
    EXPECT_TRUE(calls[1].file.title.Identical("Select a Text file"));
    EXPECT_EQ(calls[1].file.initialFolder, "/Documents");
    EXPECT_TRUE(calls[6].dialog.message.Identical("Version 3 is now available."));
    EXPECT_EQ(desk.Count(Kind::ChoosePrinter), 2u);
    EXPECT_TRUE(desk.CallsOf(Kind::ShowURL).at(0).text.Identical("mailto:someone@example.org"));
    EXPECT_EQ(calls.back().kind, Kind::Beep);
    EXPECT_EQ(desk.PendingAnswers(), 0u);
}

TEST(ScriptedDesktop, IsTheDesktopWhileInstalledAndTheHookSeesTheOpenDialog) {
    fw::Desktop* before = &fw::TheDesktop();
    ScriptedDesktop desk;
    std::vector<std::string> seen;
    desk.onCall = [&](const ScriptedDesktop::Call& c) { seen.push_back(c.text.ToUtf8()); };
    {
        fw::ScopedDesktop use(desk);
        EXPECT_EQ(&fw::TheDesktop(), &desk);
        fw::MsgBox("This feature is restricted to words with five or more letters.");
        fw::ShowURL("http://example.org");
        fw::Beep();
    }
    EXPECT_EQ(&fw::TheDesktop(), before);
    EXPECT_EQ(seen, (std::vector<std::string>{"This feature is restricted to words with five or more letters.",
                                              "http://example.org", ""}));
}

TEST(Dialogs, FileDialogsPassTheirSettingsAndReturnAnItemOrNil) {
    ScriptedDesktop desk;
    fw::ScopedDesktop use(desk);
    desk.QueueFileToOpen("/tmp/chosen.txt");
    desk.QueueSaveCancel();

    auto open = fw::New<fw::OpenDialog>();
    open->SetInitialDirectory(fw::Volume(0)->Child("Documents"));
    open->SetTitle("Select a Text file");
    auto chosen = open->ShowModal();
    ASSERT_TRUE(chosen);
    EXPECT_EQ(chosen->NativePath(), "/tmp/chosen.txt");

    auto save = fw::New<fw::SaveAsDialog>();
    save->SetInitialDirectory(fw::Volume(0)->Child("Documents"));
    EXPECT_FALSE(save->ShowModal());

    ASSERT_EQ(desk.Calls().size(), 2u);
    EXPECT_EQ(desk.Calls()[0].file.initialFolder, "/Documents");
    EXPECT_TRUE(desk.Calls()[0].file.title.Identical("Select a Text file"));
    EXPECT_EQ(desk.Calls()[1].kind, Kind::SaveFile);
    EXPECT_EQ(desk.Calls()[1].file.initialFolder, "/Documents");
    EXPECT_TRUE(desk.Calls()[1].file.title.IsEmpty());
}

TEST(Dialogs, MessageDialogShowsItsButtonsAndReturnsThePressedOne) {
    ScriptedDesktop desk;
    fw::ScopedDesktop use(desk);
    auto d = fw::New<fw::MessageDialog>();
    d->SetTitle("New version available!");
    d->SetMessage("Version 2.3.0 is now available.");
    d->SetExplanation("Fixes.\r");
    d->CancelButton()->SetVisible(true);
    d->AlternateActionButton()->SetCaption("Go to Website");
    d->AlternateActionButton()->SetVisible(true);
    d->SetIcon(3);

    const std::pair<DialogButton, fw::Ref<fw::MessageDialogButton>> answers[] = {
        {DialogButton::Action, d->ActionButton()},
        {DialogButton::Cancel, d->CancelButton()},
        {DialogButton::Alternate, d->AlternateActionButton()},
    };
    for (const auto& [answer, button] : answers) {
        desk.QueueButton(answer);
        EXPECT_EQ(d->ShowModal(), button);
    }
    EXPECT_EQ(d->ShowModal(), d->CancelButton());  // closed without a button

    EXPECT_TRUE(desk.Calls().at(0).owner.title.Identical("New version available!"));
    const fw::MessageDialogSpec& s = desk.Calls().at(0).dialog;
    EXPECT_TRUE(s.explanation.Identical("Fixes.\r"));
    EXPECT_EQ(s.icon, 3);
    EXPECT_TRUE(s.actionCaption.Identical("OK"));
    EXPECT_TRUE(s.actionVisible);
    EXPECT_TRUE(s.cancelCaption.Identical("Cancel"));
    EXPECT_TRUE(s.cancelVisible);
    EXPECT_TRUE(s.alternateCaption.Identical("Go to Website"));
    EXPECT_TRUE(s.alternateVisible);
}

TEST(QtDesktop, MessageBoxesShowTheirTextsAsPlainText) {
    EnsureApp();
    const String markup = "<b>bold</b> & <a href=\"http://x\">link</a>";
    auto msg = fw::QtDesktop::BuildMsgBox(markup + "\rsecond line", {});
    EXPECT_EQ(msg->textFormat(), Qt::PlainText);
    EXPECT_EQ(msg->text(), QString("<b>bold</b> & <a href=\"http://x\">link</a>\nsecond line"));
    EXPECT_EQ(msg->buttons().size(), 1);

    fw::MessageDialogSpec spec;
    spec.message = markup;
    spec.explanation = markup;
    spec.icon = 3;
    spec.cancelVisible = true;
    spec.alternateCaption = "Go to Website";
    spec.alternateVisible = true;
    auto box = fw::QtDesktop::BuildMessageBox(spec, {nullptr, "New version available!"});
    EXPECT_EQ(box->windowTitle(), "New version available!");
    EXPECT_EQ(box->icon(), QMessageBox::Question);
    EXPECT_EQ(box->informativeText(), markup.ToQString());
    for (QLabel* label : box->findChildren<QLabel*>())
        EXPECT_EQ(label->textFormat(), Qt::PlainText) << label->objectName().toStdString();
    EXPECT_EQ(box->buttons().size(), 3);
    EXPECT_EQ(box->escapeButton(), ButtonCaptioned(*box, "Cancel"));
    EXPECT_EQ(box->defaultButton(), ButtonCaptioned(*box, "OK"));
}

TEST(QtDesktop, TheClickedButtonIsTheOneReported) {
    EnsureApp();
    fw::MessageDialogSpec spec;
    spec.cancelVisible = true;
    spec.alternateCaption = "Go to Website";
    spec.alternateVisible = true;
    const std::pair<const char*, DialogButton> cases[] = {
        {"OK", DialogButton::Action}, {"Cancel", DialogButton::Cancel}, {"Go to Website", DialogButton::Alternate}};
    for (const auto& [caption, want] : cases) {
        auto box = fw::QtDesktop::BuildMessageBox(spec, {});
        EXPECT_EQ(fw::QtDesktop::PressedButton(*box), DialogButton::Cancel);  // nothing pressed yet
        ASSERT_NE(ButtonCaptioned(*box, caption), nullptr) << caption;
        ButtonCaptioned(*box, caption)->click();
        EXPECT_EQ(fw::QtDesktop::PressedButton(*box), want) << caption;
    }

    // Hidden buttons are left out; a dialog with every button hidden still
    // gets one, or it could not be dismissed.
    spec.cancelVisible = spec.alternateVisible = false;
    EXPECT_EQ(fw::QtDesktop::BuildMessageBox(spec, {})->buttons().size(), 1);
    spec.actionVisible = false;
    EXPECT_EQ(fw::QtDesktop::BuildMessageBox(spec, {})->buttons().size(), 1);
}

TEST(QtDesktop, FileDialogsStartInTheGivenFolder) {
    EnsureApp();
    QTemporaryDir dir;
    auto open = fw::QtDesktop::BuildFileDialog({"Select a Text file", dir.path().toStdString(), ""}, false);
    EXPECT_EQ(open->directory().absolutePath(), QDir(dir.path()).absolutePath());
    EXPECT_EQ(open->windowTitle(), "Select a Text file");
    EXPECT_EQ(open->acceptMode(), QFileDialog::AcceptOpen);
    EXPECT_EQ(open->fileMode(), QFileDialog::ExistingFile);
    EXPECT_TRUE(open->nameFilters().isEmpty() || open->nameFilters() == QStringList{"All Files (*)"});

    auto save = fw::QtDesktop::BuildFileDialog({"", dir.path().toStdString(), ""}, true);
    EXPECT_EQ(save->acceptMode(), QFileDialog::AcceptSave);

    // A start folder that does not exist falls back to a real folder.
    EXPECT_TRUE(QFileInfo(fw::QtDesktop::StartFolder("/no/such/folder")).isDir());
}

TEST(Clipboard, SetTextIsWhatTheNextReadFinds) {
    EnsureApp();
    const String text = "Bread\r\nw\u00f6rld \U0001F600";
    fw::New<fw::Clipboard>()->SetText(text);
    // A new object sees the same system clipboard.
    auto clip = fw::New<fw::Clipboard>();
    EXPECT_TRUE(clip->TextAvailable());
    EXPECT_TRUE(clip->Text().Identical(text));
    EXPECT_EQ(QGuiApplication::clipboard()->text(), text.ToQString());
}

}  // namespace

TEST(PrintSupport, TheModuleLoadsOnFirstUseFromTheBuild) {
    // None lies beside this test program: the one the build made is found.
    EXPECT_EQ(dlopen(SCRANDLE_PRINTSUPPORT_PATH, RTLD_NOW | RTLD_NOLOAD), nullptr);
    fw::PrintSupportModule& module = fw::PrintSupport();
    EXPECT_EQ(&fw::PrintSupport(), &module);
    EXPECT_NE(dlopen(SCRANDLE_PRINTSUPPORT_PATH, RTLD_NOW | RTLD_NOLOAD), nullptr);
}

namespace {

// However long its texts (an update file's description may hold a
// megabyte), a message box opens at once and fits the screen, with its
// buttons on it: a long text is cut with an ellipsis, and a run without a
// break wraps.
TEST(QtDesktop, AMessageBoxFitsTheScreenAndOpensAtOnceWhateverItsTexts) {
    EnsureApp();
    auto lines = [](int n, int width) {
        std::string s;
        for (int i = 0; i < n; ++i) s += std::string(width, 'x') + "\r";
        return s;
    };
    std::string words;
    while (words.size() < 1000000) words += "scrambled words ";
    const std::pair<const char*, std::string> cases[] = {
        {"200 short lines", lines(200, 10)},
        {"1 MB of words", words},
        {"1 MB without a break", std::string(1000000, 'x')},
        {"1 MB of lines of 100 characters", lines(10000, 100)},
    };
    for (const auto& [what, text] : cases) {
        SCOPED_TRACE(what);
        QElapsedTimer clock;
        clock.start();
        fw::MessageDialogSpec spec;
        spec.message = "Version 2.3.0 is now available.";
        spec.explanation = String(text);
        spec.cancelVisible = true;
        auto box = fw::QtDesktop::BuildMessageBox(spec, {});
        box->show();
        QCoreApplication::processEvents();
        EXPECT_LT(clock.elapsed(), 1000);
        const QRect frame = box->frameGeometry();
        const QRect screen = box->screen()->availableGeometry();
        EXPECT_LE(frame.width(), std::min(screen.width(), 1280));
        EXPECT_LE(frame.height(), std::min(screen.height(), 1024));
        // The beginning of the text, then the ellipsis.
        QString shown = box->informativeText();
        EXPECT_TRUE(shown.endsWith(QChar(0x2026)));
        EXPECT_LE(shown.count(u'\n'), fw::QtDesktop::kBoxLines - 1);
        shown.chop(1);
        EXPECT_TRUE(fw::QtDesktop::DisplayText(String(text)).startsWith(shown.remove(QChar(0x200B))));
        for (QPushButton* b : box->findChildren<QPushButton*>())
            EXPECT_TRUE(box->rect().contains(b->geometry())) << b->text().toStdString();
    }
    // A short text is shown whole, as it stands.
    EXPECT_EQ(fw::QtDesktop::BoxText("Fixes.\rMore words."), QString("Fixes.\nMore words."));
    std::string fifteen = "1";
    for (int i = 2; i <= 15; ++i) fifteen += "\r" + std::to_string(i);
    EXPECT_EQ(fw::QtDesktop::BoxText(String(fifteen)), QString::fromStdString(fifteen).replace('\r', '\n'));
    EXPECT_EQ(fw::QtDesktop::BoxText(String(fifteen + "\r16")), QString::fromStdString(fifteen).replace('\r', '\n') + QChar(0x2026));
}

}  // namespace
