#include "gui/QtDesktop.h"

#include "core/Exceptions.h"
#include "gui/PrintSupportModule.h"
#include "gui/Window.h"

#include <QApplication>
#include <QDesktopServices>
#include <QDir>
#include <QFileDialog>
#include <QFileInfo>
#include <QLabel>
#include <QMessageBox>
#include <QPointer>
#include <QPushButton>
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

std::unique_ptr<QFileDialog> QtDesktop::BuildFileDialog(const FileDialogSpec& spec, bool save) {
    auto dialog = std::make_unique<QFileDialog>(nullptr, DisplayText(spec.title), StartFolder(spec.initialFolder));
    dialog->setAcceptMode(save ? QFileDialog::AcceptSave : QFileDialog::AcceptOpen);
    dialog->setFileMode(save ? QFileDialog::AnyFile : QFileDialog::ExistingFile);
    if (save && !spec.suggestedName.IsEmpty()) dialog->selectFile(spec.suggestedName.ToQString());
    return dialog;
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
    const QStringList chosen = dialog->selectedFiles();
    if (chosen.isEmpty()) return std::nullopt;
    return QFile::encodeName(QDir::toNativeSeparators(chosen.first())).toStdString();
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
