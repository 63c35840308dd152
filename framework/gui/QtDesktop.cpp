#include "gui/QtDesktop.h"

#include "core/Exceptions.h"
#include "gui/PrintSupportModule.h"
#include "gui/Window.h"

#include <QApplication>
#include <QDesktopServices>
#include <QDir>
#include <QFileDialog>
#include <QFileIconProvider>
#include <QFileInfo>
#include <QLabel>
#include <QLineEdit>
#include <QMessageBox>
#include <QMimeDatabase>
#include <QPointer>
#include <QPushButton>
#include <QSettings>
#include <QStandardPaths>
#include <QUrl>

#include <cstdio>

namespace fw {

namespace {

// Which DialogButton a QMessageBox button stands for.
constexpr const char* kButtonProperty = "fwDialogButton";

// Widgets need a QApplication; without one (a tool, a core-only test) the
// desktop degrades to standard error instead of aborting the process.
bool HaveWidgets() { return qobject_cast<QApplication*>(QCoreApplication::instance()) != nullptr; }

QMessageBox::Icon IconOf(int32_t code) {
    switch (code) {
        case 0: return QMessageBox::Information;
        case 1: return QMessageBox::Warning;
        case 2: return QMessageBox::Critical;
        case 3: return QMessageBox::Question;
        default: return QMessageBox::NoIcon;
    }
}

std::unique_ptr<QMessageBox> NewBox(const DialogOwner& owner) {
    QWidget* parent = owner.window ? owner.window->FrameWidget() : nullptr;
    auto box = std::make_unique<QMessageBox>(parent);
    box->setWindowTitle(QtDesktop::DisplayText(owner.title));
    return box;
}

// Runs the box modally. Its owner window may close and so delete it while
// it is up (a timer's handler); the box then counts as closed without a
// button.
DialogButton RunBox(std::unique_ptr<QMessageBox> box) {
    QPointer<QMessageBox> shown(box.release());
    shown->exec();
    if (!shown) return DialogButton::Cancel;
    const DialogButton pressed = QtDesktop::PressedButton(*shown);
    delete shown.data();
    return pressed;
}

void MakePlain(QMessageBox& box) {
    box.setTextFormat(Qt::PlainText);
    // setTextFormat reaches only the main label; the informative label would
    // still guess rich text from a "<" in the explanation.
    for (QLabel* label : box.findChildren<QLabel*>()) {
        label->setTextFormat(Qt::PlainText);
        label->setOpenExternalLinks(false);
    }
}

QPushButton* AddButton(QMessageBox& box, const String& caption, QMessageBox::ButtonRole role,
                       DialogButton which) {
    QPushButton* b = box.addButton(QtDesktop::DisplayText(caption), role);
    b->setProperty(kButtonProperty, static_cast<int>(which));
    return b;
}

}  // namespace

QString QtDesktop::DisplayText(const String& text) {
    QString q = text.ToQString();
    q.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
    q.replace(QChar(u'\r'), QChar(u'\n'));
    return q;
}

QString QtDesktop::BoxText(const String& text) {
    const QString all = DisplayText(text);
    QString shown;
    int lines = 1, run = 0;
    qsizetype i = 0;
    for (; i < all.size() && shown.size() < kBoxCharacters; ++i) {
        const QChar c = all[i];
        if (c == u'\n') {
            if (++lines > kBoxLines) break;
            run = 0;
        } else if (c.isSpace() || c == u'-') {
            run = 0;
        } else if (++run > kBoxRun && !c.isLowSurrogate()) {
            shown += QChar(0x200B);
            run = 1;
        }
        shown += c;
    }
    if (i < all.size()) {
        if (!shown.isEmpty() && shown.back().isHighSurrogate()) shown.chop(1);
        while (!shown.isEmpty() && (shown.back().isSpace() || shown.back() == QChar(0x200B))) shown.chop(1);
        shown += QChar(0x2026);
    }
    return shown;
}

QString QtDesktop::StartFolder(const std::string& wanted) {
    if (!wanted.empty()) {
        const QString path = QString::fromStdString(wanted);
        if (QFileInfo(path).isDir()) return path;
    }
    const QString docs = QStandardPaths::writableLocation(QStandardPaths::DocumentsLocation);
    if (!docs.isEmpty() && QFileInfo(docs).isDir()) return docs;
    return QDir::homePath();
}

std::unique_ptr<QMessageBox> QtDesktop::BuildMsgBox(const String& text, const DialogOwner& owner) {
    auto box = NewBox(owner);
    box->setIcon(QMessageBox::NoIcon);
    box->setTextFormat(Qt::PlainText);
    box->setText(BoxText(text));
    QPushButton* ok = AddButton(*box, "OK", QMessageBox::AcceptRole, DialogButton::Action);
    box->setDefaultButton(ok);
    box->setEscapeButton(ok);
    MakePlain(*box);
    return box;
}

std::unique_ptr<QMessageBox> QtDesktop::BuildMessageBox(const MessageDialogSpec& spec, const DialogOwner& owner) {
    auto box = NewBox(owner);
    box->setIcon(IconOf(spec.icon));
    box->setTextFormat(Qt::PlainText);
    box->setText(BoxText(spec.message));
    if (!spec.explanation.IsEmpty()) box->setInformativeText(BoxText(spec.explanation));

    // A dialog without any button could not be dismissed: the action button
    // then shows even when it was hidden.
    const bool anyVisible = spec.actionVisible || spec.cancelVisible || spec.alternateVisible;
    QPushButton* action = nullptr;
    QPushButton* cancel = nullptr;
    if (spec.actionVisible || !anyVisible)
        action = AddButton(*box, spec.actionCaption, QMessageBox::AcceptRole, DialogButton::Action);
    if (spec.cancelVisible)
        cancel = AddButton(*box, spec.cancelCaption, QMessageBox::RejectRole, DialogButton::Cancel);
    if (spec.alternateVisible)
        AddButton(*box, spec.alternateCaption, QMessageBox::ActionRole, DialogButton::Alternate);
    if (action) box->setDefaultButton(action);
    if (cancel) box->setEscapeButton(cancel);
    else if (action && !spec.alternateVisible) box->setEscapeButton(action);
    MakePlain(*box);
    return box;
}

DialogButton QtDesktop::PressedButton(const QMessageBox& box) {
    const QAbstractButton* clicked = box.clickedButton();
    if (!clicked) return DialogButton::Cancel;
    const QVariant v = clicked->property(kButtonProperty);
    if (!v.isValid()) return DialogButton::Cancel;
    return static_cast<DialogButton>(v.toInt());
}

namespace {

// Tells a listed file's kind by its name alone. Qt's own provider reads a
// file whose name says nothing to guess its type, and a file whose reading
// never ends (/proc/kmsg) would freeze the dialog, and the program with it.
class NameOnlyIconProvider : public QFileIconProvider {
public:
    NameOnlyIconProvider() { setOptions(DontUseCustomDirectoryIcons); }
    using QFileIconProvider::icon;
    QIcon icon(const QFileInfo& info) const override {
        if (info.isDir()) return icon(Folder);
        return icon(File);
    }
    QString type(const QFileInfo& info) const override {
        if (!info.isFile()) return QFileIconProvider::type(info);
        const QMimeType mime = mimes_.mimeTypeForFile(info.fileName(), QMimeDatabase::MatchExtension);
        return mime.comment().isEmpty() ? mime.name() : mime.comment();
    }

private:
    QMimeDatabase mimes_;
};

// Shared by every dialog, and never deleted: a dialog's file model may ask
// it about a file until the model is gone.
QAbstractFileIconProvider* IconProvider() {
    static auto* provider = new NameOnlyIconProvider;
    return provider;
}

// Qt's file dialog keeps the folders visited and its looks in the user's
// settings (~/.config/QtProject.conf); the program keeps no settings. A
// settings file under /dev/null can never be made, so none is written or
// read.
void KeepNoSettings() {
    static const bool done = [] {
        for (const auto format : {QSettings::NativeFormat, QSettings::IniFormat})
            for (const auto scope : {QSettings::UserScope, QSettings::SystemScope})
                QSettings::setPath(format, scope, QStringLiteral("/dev/null"));
        return true;
    }();
    (void)done;
}

// Qt's dialog reads double quotes in the name box as a list of names
// ("a" "b"): "say "hi".txt" would save "hi" elsewhere. This one takes the
// text as one path, as it stands.
class NameBoxFileDialog : public QFileDialog {
public:
    using QFileDialog::QFileDialog;

    void accept() override {
        auto* box = findChild<QLineEdit*>(QStringLiteral("fileNameEdit"));
        const QString typed = box ? box->text() : QString();
        // Nothing typed: a folder chosen in the list, which Qt opens.
        if (typed.isEmpty()) {
            QFileDialog::accept();
            return;
        }
        const QString path = QtDesktop::FileTypedIn(typed, directory().absolutePath());
        const QFileInfo info(path);
        if (info.isDir()) {
            setDirectory(path);
            box->clear();
            return;
        }
        if (acceptMode() == AcceptOpen && !info.exists()) {
            QMessageBox::warning(this, windowTitle(),
                                 QCoreApplication::translate("QFileDialog", "%1\nFile not found.\nPlease verify the "
                                                                            "correct file name was given.")
                                     .arg(info.fileName()));
            return;
        }
        // A folder that is not there (a trailing "/" names one): said now,
        // while the name can still be mended, rather than saved elsewhere.
        const QString folder = path.endsWith(u'/') ? path : info.path();
        if (acceptMode() == AcceptSave && !QFileInfo(folder).isDir()) {
            QMessageBox::warning(this, windowTitle(),
                                 QCoreApplication::translate("QFileDialog", "%1\nDirectory not found.\nPlease verify the "
                                                                            "correct directory name was given.")
                                     .arg(folder));
            return;
        }
        if (acceptMode() == AcceptSave && info.exists() &&
            QMessageBox::warning(this, windowTitle(),
                                 QCoreApplication::translate("QFileDialog", "%1 already exists.\nDo you want to replace it?")
                                     .arg(info.fileName()),
                                 QMessageBox::Yes | QMessageBox::No, QMessageBox::No) != QMessageBox::Yes)
            return;
        chosen_ = path;
        QDialog::accept();
    }

    const std::optional<QString>& Chosen() const { return chosen_; }

private:
    std::optional<QString> chosen_;
};

}  // namespace

QString QtDesktop::FileTypedIn(const QString& typed, const QString& folder) {
    const QString inFolder = folder.endsWith(u'/') ? folder + typed : folder + u'/' + typed;
    if (typed.startsWith(u'/')) return typed;
    if ((typed == u"~" || typed.startsWith(u"~/")) && !QFileInfo::exists(folder + QStringLiteral("/~")))
        return QDir::homePath() + typed.mid(1);
    return inFolder;
}

std::unique_ptr<QFileDialog> QtDesktop::BuildFileDialog(const FileDialogSpec& spec, bool save) {
    KeepNoSettings();
    std::unique_ptr<QFileDialog> dialog =
        std::make_unique<NameBoxFileDialog>(nullptr, DisplayText(spec.title), StartFolder(spec.initialFolder));
    // The platform's dialog would do none of that (and may log the file
    // chosen under the home folder).
    dialog->setOption(QFileDialog::DontUseNativeDialog);
    dialog->setOption(QFileDialog::DontUseCustomDirectoryIcons);
    dialog->setIconProvider(IconProvider());
    dialog->setAcceptMode(save ? QFileDialog::AcceptSave : QFileDialog::AcceptOpen);
    dialog->setFileMode(save ? QFileDialog::AnyFile : QFileDialog::ExistingFile);
    if (save && !spec.suggestedName.IsEmpty()) dialog->selectFile(spec.suggestedName.ToQString());
    return dialog;
}

std::optional<std::string> QtDesktop::ChosenFile(const QFileDialog& dialog) {
    QString path;
    const auto* named = dynamic_cast<const NameBoxFileDialog*>(&dialog);
    if (named && named->Chosen()) {
        path = *named->Chosen();
    } else {
        const QStringList chosen = dialog.selectedFiles();
        if (chosen.isEmpty()) return std::nullopt;
        path = chosen.first();
    }
    return QFile::encodeName(QDir::toNativeSeparators(path)).toStdString();
}

void QtDesktop::MsgBox(const String& text, const DialogOwner& owner) {
    if (!HaveWidgets()) {
        std::fprintf(stderr, "%s\n", text.ToUtf8().c_str());
        return;
    }
    RunBox(BuildMsgBox(text, owner));
}

DialogButton QtDesktop::ShowMessageDialog(const MessageDialogSpec& spec, const DialogOwner& owner) {
    if (!HaveWidgets()) {
        std::fprintf(stderr, "%s\n%s\n", spec.message.ToUtf8().c_str(), spec.explanation.ToUtf8().c_str());
        return DialogButton::Cancel;
    }
    return RunBox(BuildMessageBox(spec, owner));
}

namespace {
std::optional<std::string> RunFileDialog(const FileDialogSpec& spec, bool save) {
    if (!HaveWidgets()) return std::nullopt;
    auto dialog = QtDesktop::BuildFileDialog(spec, save);
    if (dialog->exec() != QDialog::Accepted) return std::nullopt;
    return QtDesktop::ChosenFile(*dialog);
}
}  // namespace

std::optional<std::string> QtDesktop::ChooseFileToOpen(const FileDialogSpec& spec) { return RunFileDialog(spec, false); }

std::optional<std::string> QtDesktop::ChooseFileToSave(const FileDialogSpec& spec) { return RunFileDialog(spec, true); }

bool QtDesktop::ChoosePrinter(QPrinter* printer) {
    if (!printer) throw NilObjectException("ChoosePrinter was given no printer.");
    if (!HaveWidgets()) return false;
    return PrintSupport().ChoosePrinter(printer);
}

void QtDesktop::ShowURL(const String& url) {
    if (!HaveWidgets()) return;
    QDesktopServices::openUrl(QUrl(url.ToQString(), QUrl::TolerantMode));
}

void QtDesktop::Beep() {
    if (HaveWidgets()) QApplication::beep();
}

}  // namespace fw
