// The real file dialogs (Qt's widgets, offscreen), driven as a user would:
// names typed into the name box land exactly where the box says; listing a
// folder reads none of its files (a file whose reading never ends would
// freeze the program); and using the dialogs writes nothing under the home
// folder.
#include "controls_support.h"

#include "gui/QtDesktop.h"

#include <QAbstractButton>
#include <QApplication>
#include <QDir>
#include <QDirIterator>
#include <QElapsedTimer>
#include <QFileDialog>
#include <QFileInfo>
#include <QFileSystemModel>
#include <QKeyEvent>
#include <QLineEdit>
#include <QMessageBox>
#include <QPointer>
#include <QTemporaryDir>
#include <QTimer>
#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <functional>
#include <optional>
#include <ostream>
#include <string>
#include <thread>
#include <vector>

#include <spawn.h>
#include <sys/inotify.h>
#include <sys/wait.h>
#include <unistd.h>

extern char** environ;

// Test output shows a QString as its text.
inline void PrintTo(const QString& s, std::ostream* os) { *os << '"' << s.toStdString() << '"'; }

namespace {

using controls_test::EnsureApp;
using controls_test::WaitUntil;

// Types the text into the dialog's emptied name box key by key, then Return.
void TypeIntoNameBox(QFileDialog& dialog, const QString& text) {
    auto* box = dialog.findChild<QLineEdit*>(QStringLiteral("fileNameEdit"));
    ASSERT_TRUE(box);
    // As the user's keys reach it: in the active dialog, with the focus.
    if (!box->hasFocus()) {
        dialog.activateWindow();
        box->setFocus();
        EXPECT_TRUE(WaitUntil([&] { return box->hasFocus(); })) << "the name box never had the focus";
    }
    box->clear();
    for (const QChar ch : text) {
        QKeyEvent press(QEvent::KeyPress, 0, Qt::NoModifier, QString(ch));
        QCoreApplication::sendEvent(box, &press);
    }
    ASSERT_EQ(box->text(), text);
    QKeyEvent enter(QEvent::KeyPress, Qt::Key_Return, Qt::NoModifier);
    QCoreApplication::sendEvent(box, &enter);
}

// An answer to the modal dialog on top: for a file dialog or a message box.
struct Answer {
    bool toBox;
    std::function<void(QWidget*)> act;
};

// While run() shows its modal dialogs, gives each answer in turn to the
// first dialog of its kind on top; what run() returned. An answer runs in
// an event of its own, so the dialog it brings up (a nested modal loop) is
// answered too. A dialog left unanswered for five seconds is closed.
template <class Run>
auto Answering(std::vector<Answer> answers, Run run) {
    QTimer timer;
    std::size_t next = 0;
    QElapsedTimer idle;
    idle.start();
    QObject::connect(&timer, &QTimer::timeout, [&] {
        QWidget* top = QApplication::activeModalWidget();
        if (!top) return;
        const bool isBox = qobject_cast<QMessageBox*>(top) != nullptr;
        if (next < answers.size() && answers[next].toBox == isBox) {
            const auto act = answers[next++].act;
            idle.restart();
            QPointer<QWidget> target(top);
            QTimer::singleShot(0, top, [act, target] {
                if (target) act(target);
            });
        } else if (idle.elapsed() > 5000) {
            ADD_FAILURE() << "an unanswered dialog: " << top->metaObject()->className();
            idle.restart();
            top->close();
        }
    });
    timer.start(10);
    auto result = run();
    EXPECT_EQ(next, answers.size()) << "dialogs answered";
    return result;
}

Answer Type(const QString& text) {
    return {false, [text](QWidget* top) { TypeIntoNameBox(*qobject_cast<QFileDialog*>(top), text); }};
}

// A message box: its text goes to *seen, then the button is pressed.
Answer Press(QMessageBox::StandardButton button, QString* seen) {
    return {true, [button, seen](QWidget* top) {
                auto* box = qobject_cast<QMessageBox*>(top);
                if (seen) *seen = box->text();
                ASSERT_TRUE(box->button(button));
                box->button(button)->click();
            }};
}

Answer Cancel() {
    return {false, [](QWidget* top) { qobject_cast<QDialog*>(top)->reject(); }};
}

fw::FileDialogSpec In(const QString& folder) { return {"", folder.toStdString(), ""}; }

TEST(FileDialogs, ATypedNameLandsExactlyWhereTheNameBoxSays) {
    EnsureApp();
    QTemporaryDir start, other;
    ASSERT_TRUE(start.isValid() && other.isValid());
    const QString s = start.path(), o = other.path();
    std::ofstream((s + "/\"quoted\".txt").toStdString()) << "there";
    std::ofstream((o + "/say \"hi\".txt").toStdString()) << "there";
    fw::QtDesktop desk;
    const struct {
        const char* what;
        bool save;
        QString typed;
        std::vector<Answer> more;  // answers after the name is typed
        std::optional<QString> chosen;
    } cases[] = {
        {"quotes in another folder", true, o + "/new \"hi\".txt", {}, o + "/new \"hi\".txt"},
        {"quotes round the name", true, "\"fresh\".txt", {}, s + "/\"fresh\".txt"},
        {"a leading dash and a quote", true, "-rf '\"; echo x.txt", {}, s + "/-rf '\"; echo x.txt"},
        {"blanks inside and around", true, "  two  blanks .txt ", {}, s + "/  two  blanks .txt "},
        {"a tilde", true, "~/in home.txt", {}, QDir::homePath() + "/in home.txt"},
        {"an existing name, replaced", true, "\"quoted\".txt", {Press(QMessageBox::Yes, nullptr)},
         s + "/\"quoted\".txt"},
        {"an existing name, kept", true, "\"quoted\".txt", {Press(QMessageBox::No, nullptr), Cancel()}, std::nullopt},
        {"a folder that is not there", true, s + "/nowhere/x.txt", {Press(QMessageBox::Ok, nullptr), Cancel()},
         std::nullopt},
        {"a folder, then a name in it", true, o + "/", {Type("later.txt")}, o + "/later.txt"},
        {"opening a quoted name", false, o + "/say \"hi\".txt", {}, o + "/say \"hi\".txt"},
        {"opening a name that is not there", false, "\"missing\"", {Press(QMessageBox::Ok, nullptr), Cancel()},
         std::nullopt},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        std::vector<Answer> answers = {Type(c.typed)};
        answers.insert(answers.end(), c.more.begin(), c.more.end());
        const auto chosen = Answering(answers, [&] {
            return c.save ? desk.ChooseFileToSave(In(s)) : desk.ChooseFileToOpen(In(s));
        });
        if (c.chosen) EXPECT_EQ(chosen.value_or("<cancelled>"), c.chosen->toStdString());
        else EXPECT_EQ(chosen.value_or("<cancelled>"), "<cancelled>");
    }
    // Nothing was written anywhere, and the names that exist are untouched.
    EXPECT_EQ(QDir(s).entryList(QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot), QStringList{"\"quoted\".txt"});
    EXPECT_EQ(QDir(o).entryList(QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot), QStringList{"say \"hi\".txt"});
}

TEST(FileDialogs, TheToldReasonsNameTheFileOrFolder) {
    EnsureApp();
    QTemporaryDir start;
    const QString s = start.path();
    std::ofstream((s + "/kept.txt").toStdString()) << "there";
    fw::QtDesktop desk;
    QString replace, missingFolder, missingFile;
    Answering({Type("kept.txt"), Press(QMessageBox::No, &replace), Type(s + "/nowhere/x.txt"),
               Press(QMessageBox::Ok, &missingFolder), Cancel()},
              [&] { return desk.ChooseFileToSave(In(s)); });
    Answering({Type("gone.txt"), Press(QMessageBox::Ok, &missingFile), Cancel()},
              [&] { return desk.ChooseFileToOpen(In(s)); });
    EXPECT_EQ(replace, "kept.txt already exists.\nDo you want to replace it?");
    EXPECT_EQ(missingFolder, s + "/nowhere\nDirectory not found.\nPlease verify the correct directory name was given.");
    EXPECT_EQ(missingFile, "gone.txt\nFile not found.\nPlease verify the correct file name was given.");
}

// inotify tells of every open and read of a file in the folder.
class OpenWatch {
public:
    explicit OpenWatch(const QString& folder) : fd_(inotify_init1(IN_NONBLOCK | IN_CLOEXEC)) {
        EXPECT_GE(fd_, 0);
        EXPECT_GE(inotify_add_watch(fd_, QFile::encodeName(folder).constData(), IN_OPEN | IN_ACCESS), 0);
    }
    ~OpenWatch() { ::close(fd_); }
    // The names of the files opened or read since the last call (the
    // folder itself, which is listed, has no name here).
    QStringList Opened() {
        QStringList names;
        alignas(inotify_event) char buf[4096];
        ssize_t n;
        while ((n = ::read(fd_, buf, sizeof buf)) > 0) {
            for (char* p = buf; p < buf + n;) {
                const auto* e = reinterpret_cast<const inotify_event*>(p);
                if (e->len > 0 && !(e->mask & IN_ISDIR)) names << QString::fromUtf8(e->name);
                p += sizeof(inotify_event) + e->len;
            }
        }
        names.removeDuplicates();
        return names;
    }

private:
    int fd_;
};

// Ends the process when the test freezes, instead of hanging the run.
class Watchdog {
public:
    explicit Watchdog(int seconds) : thread_([this, seconds] {
        for (int i = 0; i < seconds * 10 && !done_; ++i) std::this_thread::sleep_for(std::chrono::milliseconds(100));
        if (!done_) {
            std::fprintf(stderr, "the file dialog froze\n");
            std::_Exit(1);
        }
    }) {}
    ~Watchdog() {
        done_ = true;
        thread_.join();
    }

private:
    std::atomic<bool> done_{false};
    std::thread thread_;
};

TEST(FileDialogs, AFolderIsListedWithoutReadingItsFiles) {
    EnsureApp();
    QTemporaryDir dir;
    const QString d = dir.path();
    // Names that say nothing of the kind: Qt's file model would read them.
    std::ofstream((d + "/notes").toStdString()) << "some text\n";
    std::ofstream((d + "/data").toStdString()) << std::string(100, '\x01');
    std::ofstream((d + "/plain.txt").toStdString()) << "text\n";
    ASSERT_TRUE(QDir(d).mkdir("folder"));
    OpenWatch watch(d);
    const Watchdog watchdog(60);
    for (const bool save : {false, true}) {
        SCOPED_TRACE(save ? "save" : "open");
        auto dialog = fw::QtDesktop::BuildFileDialog(In(d), save);
        dialog->setViewMode(QFileDialog::Detail);
        dialog->show();
        auto* model = dialog->findChild<QFileSystemModel*>();
        ASSERT_TRUE(model);
        // Listed, with each file's kind and icon asked for.
        ASSERT_TRUE(WaitUntil([&] { return model->rowCount(model->index(d)) == 4; }, 10000));
        for (int row = 0; row < 4; ++row) {
            const QModelIndex i = model->index(row, 0, model->index(d));
            (void)model->data(i, Qt::DecorationRole);
            (void)model->type(i);
        }
        WaitUntil([] { return false; }, 300);
        EXPECT_EQ(model->type(model->index(d + "/plain.txt")), "plain text document");
        EXPECT_EQ(model->type(model->index(d + "/folder")), "Folder");
        EXPECT_EQ(watch.Opened(), QStringList{});
        // Typing a folder into the name box lists it, /proc/ too, without
        // reading /proc/kmsg (whose reading never ends).
        TypeIntoNameBox(*dialog, "/proc/");
        EXPECT_EQ(dialog->directory().absolutePath(), "/proc");
        ASSERT_TRUE(WaitUntil([&] { return model->rowCount(model->index("/proc")) > 10; }, 10000));
        WaitUntil([] { return false; }, 300);
        dialog.reset();
    }
}

// A child of this test program opens and closes both dialogs with a fresh
// home folder; nothing may appear there.
TEST(FileDialogs, UsingThemWritesNothingUnderTheHomeFolder) {
    if (std::getenv("SCRANDLE_DIALOGS_CHILD")) {
        EnsureApp();
        fw::QtDesktop desk;
        const QString start = QDir::homePath();
        Answering({Type("/tmp/"), Cancel()}, [&] { return desk.ChooseFileToOpen(In(start)); });
        Answering({Type("/tmp/"), Cancel()}, [&] { return desk.ChooseFileToSave(In(start)); });
        return;
    }
    QTemporaryDir home;
    ASSERT_TRUE(home.isValid());
    std::vector<std::string> env = {"SCRANDLE_DIALOGS_CHILD=1", "HOME=" + home.path().toStdString()};
    for (char** e = environ; *e; ++e) {
        const std::string v = *e;
        if (v.rfind("HOME=", 0) == 0 || v.rfind("XDG_", 0) == 0) continue;
        env.push_back(v);
    }
    std::vector<char*> envp;
    for (auto& v : env) envp.push_back(v.data());
    envp.push_back(nullptr);
    std::string self = QCoreApplication::applicationFilePath().toStdString();
    if (self.empty()) self = "/proc/self/exe";
    std::string filter = "--gtest_filter=FileDialogs.UsingThemWritesNothingUnderTheHomeFolder";
    char* argv[] = {self.data(), filter.data(), nullptr};
    pid_t pid = 0;
    ASSERT_EQ(posix_spawn(&pid, "/proc/self/exe", nullptr, nullptr, argv, envp.data()), 0);
    int status = 0;
    ASSERT_EQ(::waitpid(pid, &status, 0), pid);
    EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0) << "status " << status;
    QStringList written;
    QDirIterator it(home.path(), QDir::AllEntries | QDir::Hidden | QDir::System | QDir::NoDotAndDotDot,
                    QDirIterator::Subdirectories);
    while (it.hasNext()) written << it.next();
    EXPECT_EQ(written, QStringList{});
}

}  // namespace
