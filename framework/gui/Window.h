// Windows of the framework.
//
// A Window is a top-level QWidget with an optional QMenuBar on top and a
// content widget of exactly Width x Height below it; controls are children
// of the content widget, placed by their Left/Top.
//
// The framework builds a window in Constructor(): it runs the class's
// registered hooks Layout (menu bar, then the window's own property set),
// CreateControls and AddMenuHandlers, orders the tab stops by TabIndex,
// registers an implicit instance under its class name, shows the window
// when Visible, and raises Open on the controls and then on the window,
// so Open always finds the controls with their design contents.
//
// Close raises the Close hook, drops the window from the registry of
// implicit instances (only if the entry is this very window) and from the
// window list, hides it and releases it once control is back in the event
// loop, so a handler of the window that called Close runs to its end.
#pragma once

#include "gui/Control.h"
#include "core/Object.h"
#include "core/PropertySet.h"

#include <functional>
#include <map>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

class QEventLoop;
class QMenuBar;
class QVBoxLayout;
class QWidget;

namespace fw {

class ClassInfo;
class MenuBar;
class MenuItem;
class WindowFrame;

// A menu command: no arguments, a Boolean for the framework.
using MenuCommand = std::function<bool()>;

class Window : public Object, public PropertyTarget {
public:
    Window();
    ~Window() override;
    Window(const Window&) = delete;
    Window& operator=(const Window&) = delete;

    // Builds the window (see above). Runs once; later calls do nothing.
    void Constructor();

    // The area below the menu bar, exactly Width x Height; controls are
    // children of it, placed by their Left/Top.
    QWidget* ContentWidget() const;
    // The top-level widget (menu bar and content).
    QWidget* FrameWidget() const;
    // The window's Qt menu bar, or nullptr when it has none.
    QMenuBar* QtMenuBar() const { return qtMenuBar_; }

    // Shows the window (not modal) and brings it forward. Nothing for a
    // closed window.
    void Show();
    // Shows the window modally and returns when it has closed (or the
    // application quits). Events are delivered as usual meanwhile.
    void ShowModal();
    void Hide();
    // Closes the window; a second call does nothing.
    void Close();
    bool IsConstructed() const { return constructed_; }
    bool IsClosed() const { return closed_; }
    bool IsModalRunning() const { return !modalLoops_.empty(); }

    // --- controls
    // Adds the control under the name; from then on ControlByName finds it.
    // Names, like the framework's strings, ignore letter case. A second
    // control of the same name replaces the first in the lookup.
    void AddControl(const String& name, const Ref<Control>& control);
    // The control of that name, or nil.
    Ref<Control> ControlByName(const String& name) const;
    // The control of that name cast with a type test (nil stays nil, another
    // class raises IllegalCastException).
    template <class T>
    Ref<T> ControlAs(const String& name) const {
        return Cast<T>(ControlByName(name));
    }
    // In the order they were added.
    const std::vector<Ref<Control>>& Controls() const { return controls_; }
    // A new object of the class, made for this window (its constructor is
    // the caller's to run).
    Ref<Object> New(const ClassInfo& cls);
    Ref<Object> New(std::string_view className);
    template <class T>
    Ref<T> NewControl(std::string_view className) {
        return Cast<T>(New(className));
    }
    // Orders the TabStop controls by TabIndex (ties keep creation order).
    void ApplyTabOrder();

    // --- menus
    // Installs the bar: the window builds its own QMenuBar from the model.
    void SetMenuBar(const Ref<fw::MenuBar>& bar);
    Ref<fw::MenuBar> MenuBar() const { return menuBar_; }
    // The item of that name anywhere in the window's bar, cast with a type
    // test; raises NilObjectException when the window has no bar.
    template <class T>
    Ref<T> MenuItemAs(const String& name) const;
    // Registers the command for this window under the item name (a later
    // registration under the same name replaces it).
    void AddMenuHandler(const String& itemName, MenuCommand command);
    bool HasMenuHandler(const String& itemName) const;
    // What choosing the item of that name does in this window: the window's
    // handler, else the application's, else the item's own action (Quit) or
    // the framework's Edit command on the focused text control. Returns
    // true when something took the command.
    bool DoMenuCommand(const String& itemName);

    // --- the window's own properties
    // Takes the keys of class Window, each with the setter of its row.
    bool SetProperty(std::string_view key, const PropertyValue& value) override;
    std::string PropertyClassName() const override { return "Window"; }

    const String& Title() const { return title_; }
    void SetTitle(const String& title);
    int32_t Width() const { return width_; }
    int32_t Height() const { return height_; }
    void SetSize(int32_t width, int32_t height);
    void SetWidth(int32_t width) { SetSize(width, height_); }
    void SetHeight(int32_t height) { SetSize(width_, height); }
    // The limits of a resizeable window's content size.
    void SetMinWidth(int32_t v);
    void SetMinHeight(int32_t v);
    void SetMaxWidth(int32_t v);
    void SetMaxHeight(int32_t v);
    // 0 document window, 1, 2 and 8 modal dialogs, 11 a dialog, 3 and 7
    // floating palettes, 4 and 5 plain boxes.
    int32_t Frame() const { return frameKind_; }
    void SetFrame(int32_t kind);
    bool Visible() const { return visible_; }
    void SetVisible(bool visible);
    bool Resizeable() const { return resizeable_; }
    void SetResizeable(bool b);
    bool CloseButton() const { return closeButton_; }
    void SetCloseButton(bool b);
    bool MinimizeButton() const { return minimizeButton_; }
    void SetMinimizeButton(bool b);
    bool MaximizeButton() const { return maximizeButton_; }
    void SetMaximizeButton(bool b);
    bool MenuBarVisible() const { return menuBarVisible_; }
    void SetMenuBarVisible(bool b);
    // Shown full screen when shown.
    void SetFullScreen(bool b) { fullScreen_ = b; }
    // The content area fills with BackColor only when HasBackColor is on.
    void SetHasBackColor(bool b);
    void SetBackColor(const Colour& c);
    // Kept, without effect here: where the system places a new window, the
    // platform's window kind code, compositing and live resizing are Qt's.
    void SetPlacement(int32_t v) { placement_ = v; }
    void SetMacProcID(int32_t v) { macProcID_ = v; }
    void SetComposite(bool b) { composite_ = b; }
    void SetLiveResize(bool b) { liveResize_ = b; }

    // The key this window is registered under as an implicit instance
    // (empty when it is none). Set by the accessor before Constructor.
    const std::string& ImplicitKey() const { return implicitKey_; }
    void SetImplicitKey(std::string key) { implicitKey_ = std::move(key); }

    // Called by the frame when the user asks to close the window.
    void CloseRequested();

private:
    void PaintBackground();
    void RunHook(const char* event);
    void UpdateGeometry();
    void UpdateFlags();
    void RebuildQtMenuBar();
    void Release();

    WindowFrame* frame_ = nullptr;
    QWidget* content_ = nullptr;
    QVBoxLayout* layout_ = nullptr;
    QMenuBar* qtMenuBar_ = nullptr;

    std::vector<Ref<Control>> controls_;
    std::map<std::string, Ref<Control>> controlsByName_;
    Ref<fw::MenuBar> menuBar_;
    std::map<std::string, MenuCommand> menuHandlers_;
    std::vector<QEventLoop*> modalLoops_;
    std::string implicitKey_;

    String title_;
    int32_t placement_ = 0;
    int32_t width_ = 300, height_ = 300;
    int32_t minWidth_ = 64, minHeight_ = 64, maxWidth_ = 32000, maxHeight_ = 32000;
    int32_t frameKind_ = 0;
    int32_t macProcID_ = 0;
    bool composite_ = false, hasBackColor_ = false, fullScreen_ = false, liveResize_ = false;
    Colour backColor_{255, 255, 255};
    bool visible_ = true;
    bool menuBarVisible_ = true;
    bool closeButton_ = true, resizeable_ = true, maximizeButton_ = true, minimizeButton_ = true;

    bool constructing_ = false;
    bool constructed_ = false;
    bool closing_ = false;
    bool closed_ = false;
};

// --- the registry of implicit instances, keyed by registered class name
// ("Window1.Window1")

// The open window registered under the key, or nil.
Ref<Window> GetImplicitWindow(std::string_view key);
void RuntimeRegisterImplicitWindow(std::string_view key, const Ref<Window>& window);
// Removes the entry only when it is that very window.
void RuntimeRemoveImplicitWindow(std::string_view key, const Window* window);
// The open window of the class, or a new one created through the registry,
// built and (when Visible) shown.
Ref<Window> RuntimeImplicitWindow(std::string_view className);
template <class T>
Ref<T> ImplicitWindow(std::string_view className) {
    return Cast<T>(RuntimeImplicitWindow(className));
}

// Every constructed window that is not closed, oldest first.
std::vector<Ref<Window>> RuntimeOpenWindows();
// Closes every open window, newest first (as at quit).
void RuntimeCloseAllWindows();
// Drops the framework's window list and implicit registry and releases
// closed windows still waiting for the event loop (shutdown).
void RuntimeReleaseWindows();

}  // namespace fw

#include "gui/Menu.h"

template <class T>
fw::Ref<T> fw::Window::MenuItemAs(const String& name) const {
    if (!menuBar_) throw NilObjectException("The window '" + title_.ToUtf8() + "' has no menu bar to find the item '" +
                                            name.ToUtf8() + "' in.");
    return Cast<T>(menuBar_->Lookup(name));
}
