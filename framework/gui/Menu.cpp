#include "gui/Menu.h"

#include "gui/Runtime.h"

#include <QAction>
#include <QKeySequence>
#include <QLineEdit>
#include <QMenu>
#include <QMenuBar>
#include <QPlainTextEdit>
#include <QStringList>
#include <QTextEdit>

namespace fw {

bool MenuItem::IsSeparator() const { return text_.Identical(String("-")); }

void MenuItem::Append(const Ref<MenuItem>& item) {
    if (!item) throw NilObjectException("MenuItem.Append was given a nil item (appending to '" + name_.ToUtf8() + "').");
    for (const MenuItem* a = this; a; a = a->Parent().Get())
        if (a == item.Get())
            throw RuntimeException("The menu item '" + item->Name().ToUtf8() + "' cannot be appended below itself.");
    if (Ref<MenuItem> old = item->Parent()) {
        auto& siblings = old->children_;
        for (auto it = siblings.begin(); it != siblings.end(); ++it)
            if (it->Get() == item.Get()) {
                siblings.erase(it);
                break;
            }
    }
    item->parent_ = weak_from_this();
    children_.push_back(item);
}

Ref<MenuItem> MenuItem::Child(const String& name) const {
    for (const auto& c : children_)
        if (c->Name() == name) return c;
    return nullptr;
}

Ref<MenuItem> MenuItem::Lookup(const String& name) const {
    for (const auto& c : children_) {
        if (c->Name() == name) return c;
        if (Ref<MenuItem> below = c->Lookup(name)) return below;
    }
    return nullptr;
}

Ref<MenuItem> MenuItem::Item(int32_t index) const {
    if (index < 0 || index >= Count()) return nullptr;
    return children_[static_cast<std::size_t>(index)];
}

Ref<MenuItem> MenuItem::Parent() const {
    return Ref<MenuItem>(std::dynamic_pointer_cast<MenuItem>(parent_.lock()));
}

bool MenuItem::PerformOwnAction() { return false; }

bool QuitMenuItem::PerformOwnAction() {
    Quit(0);
    return true;
}

QKeySequence ShortcutFromText(const String& text) {
    const QStringList parts = text.ToQString().trimmed().split(QLatin1Char('+'), Qt::KeepEmptyParts);
    if (parts.isEmpty() || parts.last().trimmed().isEmpty()) return QKeySequence();
    QStringList portable;
    for (qsizetype i = 0; i + 1 < parts.size(); ++i) {
        const QString m = parts[i].trimmed().toLower();
        // The platform's command modifier here is Ctrl.
        if (m == u"cmd" || m == u"command" || m == u"ctrl" || m == u"control") portable << QStringLiteral("Ctrl");
        else if (m == u"shift") portable << QStringLiteral("Shift");
        else if (m == u"option" || m == u"alt") portable << QStringLiteral("Alt");
        else return QKeySequence();
    }
    QString key = parts.last().trimmed();
    if (key.size() == 1) key = key.toUpper();
    portable << key;
    QKeySequence seq = QKeySequence::fromString(portable.join(QLatin1Char('+')), QKeySequence::PortableText);
    // A key Qt cannot read comes back as Qt::Key_unknown.
    if (seq.isEmpty() || seq[0].key() == Qt::Key_unknown) return QKeySequence();
    return seq;
}

namespace {
enum class EditCommand { None, Undo, Cut, Copy, Paste, Clear, SelectAll };

EditCommand EditCommandOf(const String& name) {
    const std::string n = name.ToUtf8();
    if (n == "EditUndo") return EditCommand::Undo;
    if (n == "EditCut") return EditCommand::Cut;
    if (n == "EditCopy") return EditCommand::Copy;
    if (n == "EditPaste") return EditCommand::Paste;
    if (n == "EditClear") return EditCommand::Clear;
    if (n == "EditSelectAll") return EditCommand::SelectAll;
    return EditCommand::None;
}

// Clear removes the selection, leaving the clipboard alone.
template <class Edit>
void RemoveSelection(Edit* e) {
    QTextCursor cursor = e->textCursor();
    if (cursor.hasSelection()) {
        cursor.removeSelectedText();
        e->setTextCursor(cursor);
    }
}
void RemoveSelection(QLineEdit* e) {
    if (e->hasSelectedText()) e->del();
}

// The Edit commands on a text control (QPlainTextEdit, QTextEdit or
// QLineEdit); a read-only one only copies and selects.
template <class Edit>
bool PerformOnTextEdit(EditCommand c, Edit* e) {
    const bool editable = !e->isReadOnly();
    switch (c) {
    case EditCommand::Undo: if (editable) e->undo(); return true;
    case EditCommand::Cut: if (editable) e->cut(); else e->copy(); return true;
    case EditCommand::Copy: e->copy(); return true;
    case EditCommand::Paste: if (editable) e->paste(); return true;
    case EditCommand::Clear: if (editable) RemoveSelection(e); return true;
    case EditCommand::SelectAll: e->selectAll(); return true;
    case EditCommand::None: break;
    }
    return false;
}

template <class Container>
void AddItems(Container* container, const MenuItem& parent,
              const std::function<void(const Ref<MenuItem>&)>& onChosen, QWidget* owner) {
    for (int32_t i = 0; i < parent.Count(); ++i) {
        Ref<MenuItem> item = parent.Item(i);
        if (item->IsSeparator()) {
            QAction* sep = container->addSeparator();
            sep->setVisible(item->Visible());
            continue;
        }
        const bool enabled = item->AutoEnable() || item->Enabled();
        if (item->Count() > 0) {
            QMenu* menu = new QMenu(item->Text().ToQString(), owner);
            AddItems(menu, *item, onChosen, owner);
            QAction* a = container->addMenu(menu);
            a->setEnabled(enabled);
            a->setVisible(item->Visible());
            continue;
        }
        QAction* a = new QAction(item->Text().ToQString(), container);
        a->setShortcut(ShortcutFromText(item->KeyboardShortcut()));
        a->setEnabled(enabled);
        a->setVisible(item->Visible());
        if (item->Checked()) {
            a->setCheckable(true);
            a->setChecked(true);
        }
        if (dynamic_cast<QuitMenuItem*>(item.Get())) a->setMenuRole(QAction::QuitRole);
        else if (dynamic_cast<AppleMenuItem*>(item.Get())) a->setMenuRole(QAction::AboutRole);
        else a->setMenuRole(QAction::NoRole);
        QObject::connect(a, &QAction::triggered, a, [onChosen, item] { onChosen(item); });
        container->addAction(a);
    }
}
}  // namespace

bool IsEditCommand(const String& itemName) { return EditCommandOf(itemName) != EditCommand::None; }

bool PerformEditCommand(const String& itemName, QWidget* target) {
    const EditCommand c = EditCommandOf(itemName);
    if (c == EditCommand::None || !target) return false;
    if (auto* p = qobject_cast<QPlainTextEdit*>(target)) return PerformOnTextEdit(c, p);
    if (auto* t = qobject_cast<QTextEdit*>(target)) return PerformOnTextEdit(c, t);
    if (auto* l = qobject_cast<QLineEdit*>(target)) return PerformOnTextEdit(c, l);
    return false;
}

namespace {
void AddShortcutsOf(QWidget* target, const MenuItem& parent,
                    const std::function<void(const Ref<MenuItem>&)>& onChosen) {
    for (int32_t i = 0; i < parent.Count(); ++i) {
        Ref<MenuItem> item = parent.Item(i);
        if (item->Count() > 0) {
            AddShortcutsOf(target, *item, onChosen);
            continue;
        }
        const QKeySequence seq = ShortcutFromText(item->KeyboardShortcut());
        if (seq.isEmpty() || item->IsSeparator()) continue;
        auto* a = new QAction(item->Text().ToQString(), target);
        a->setShortcut(seq);
        a->setShortcutContext(Qt::WindowShortcut);
        a->setEnabled(item->AutoEnable() || item->Enabled());
        QObject::connect(a, &QAction::triggered, a, [onChosen, item] { onChosen(item); });
        target->addAction(a);
    }
}
}  // namespace

void AddShortcutActions(QWidget* target, const Ref<MenuBar>& model,
                        std::function<void(const Ref<MenuItem>&)> onChosen) {
    if (target && model) AddShortcutsOf(target, *model, onChosen);
}

QMenuBar* BuildQMenuBar(const Ref<MenuBar>& model, std::function<void(const Ref<MenuItem>&)> onChosen,
                        QWidget* parent) {
    auto* bar = new QMenuBar(parent);
    // Each window shows its bar inside the window, also on desktops with a
    // global menu, so that its shortcuts belong to that window.
    bar->setNativeMenuBar(false);
    if (model) AddItems(bar, *model, onChosen, bar);
    return bar;
}

}  // namespace fw
