// Menus: a model of items (MenuBar, MenuItem, QuitMenuItem, AppleMenuItem)
// that a program builds once, and the Qt menu bars built from it.
//
// One bar object may serve several windows (the application and its main
// window share one): each window builds its own QMenuBar from the shared
// model. Choosing an item goes to the window's handler registered under the
// item's Name; items without one fall back to the framework's own commands
// (Quit, and the Edit commands on the focused text control).
#pragma once

#include "core/Object.h"
#include "core/String.h"

#include <functional>
#include <memory>
#include <vector>

class QKeySequence;
class QMenuBar;
class QWidget;

namespace fw {

class MenuItem : public Object {
public:
    void Constructor() {}

    const String& Name() const { return name_; }
    void SetName(const String& name) { name_ = name; }
    // The caption: "&" marks the mnemonic, "-" makes a separator.
    const String& Text() const { return text_; }
    void SetText(const String& text) { text_ = text; }
    // "Cmd+" and a capital letter, or empty for none.
    const String& KeyboardShortcut() const { return shortcut_; }
    void SetKeyboardShortcut(const String& shortcut) { shortcut_ = shortcut; }
    bool AutoEnable() const { return autoEnable_; }
    void SetAutoEnable(bool b) { autoEnable_ = b; }
    bool Enabled() const { return enabled_; }
    void SetEnabled(bool b) { enabled_ = b; }
    bool Checked() const { return checked_; }
    void SetChecked(bool b) { checked_ = b; }
    bool Visible() const { return visible_; }
    void SetVisible(bool b) { visible_ = b; }

    bool IsSeparator() const;

    // Adds the item as the last child (taking it from a former parent).
    // Raises NilObjectException for nil, RuntimeException when the item is
    // this one or one of its ancestors.
    void Append(const Ref<MenuItem>& item);
    // The direct child of that Name (letter case ignored, as everywhere in
    // the framework's strings), or nil.
    Ref<MenuItem> Child(const String& name) const;
    // The item of that Name anywhere below this one (depth first, in
    // order), or nil.
    Ref<MenuItem> Lookup(const String& name) const;
    int32_t Count() const { return static_cast<int32_t>(children_.size()); }
    // Child by 0-based index; nil out of range.
    Ref<MenuItem> Item(int32_t index) const;
    Ref<MenuItem> Parent() const;

    // What choosing the item does when no handler took the command; true
    // when it did something. MenuItem: nothing.
    virtual bool PerformOwnAction();

private:
    String name_, text_, shortcut_;
    bool autoEnable_ = true;
    bool enabled_ = true;
    bool checked_ = false;
    bool visible_ = true;
    std::vector<Ref<MenuItem>> children_;
    std::weak_ptr<Object> parent_;
};

// Its own action is the framework's quit.
class QuitMenuItem : public MenuItem {
public:
    bool PerformOwnAction() override;
};

// The About item; nothing beyond a MenuItem.
class AppleMenuItem : public MenuItem {};

// The bar: an item whose children are the top-level menus.
class MenuBar : public MenuItem {};

// "Cmd+X" (any case, also "Ctrl+X", "Cmd+Shift+X") becomes the platform's
// Ctrl+X; empty or unreadable text gives no shortcut.
QKeySequence ShortcutFromText(const String& text);

// The Edit commands the framework performs itself, by item name.
bool IsEditCommand(const String& itemName);
// Performs the Edit command on a QPlainTextEdit, QTextEdit or QLineEdit;
// false when the name is no Edit command or the widget is none of those.
bool PerformEditCommand(const String& itemName, QWidget* target);

// Gives the widget (a window without a bar of its own) hidden actions for
// the shortcuts of the model's items, so that they work there too.
void AddShortcutActions(QWidget* target, const Ref<MenuBar>& model,
                        std::function<void(const Ref<MenuItem>&)> onChosen);

// Builds a QMenuBar showing the model; choosing an item calls onChosen with
// it (on the user-interface thread, from the event loop).
QMenuBar* BuildQMenuBar(const Ref<MenuBar>& model, std::function<void(const Ref<MenuItem>&)> onChosen,
                        QWidget* parent);

}  // namespace fw
