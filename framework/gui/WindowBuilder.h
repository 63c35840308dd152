// Building a window from its definition, for every window class of the
// program.
//
// A window's definition file (tools/windowc/FORMAT.md) is compiled into its
// WindowDefinition (the sets, the controls in creation order, their presets
// and event bindings) and into the C++ that only the program's class can
// hold: the typed control and menu-item accessors (FW_WINDOW_MEMBERS), the
// binders of its handlers and its WindowClass. From the WindowClass the
// builder registers the class's rows and hooks and, when the framework
// constructs a window of the class, runs them:
//
//   Layout: installs the window's menu bar, if it has one, then applies the
//   window's own set.
//   CreateControls: for each control in creation order, in chunks of 30 (the
//   methods _CreateControls0, _CreateControls1, ...), all steps for one
//   control before the next: a new object of its class for the window, its
//   constructor, adding it under its name, its presets and its set (one
//   property batch), and the binding of each of its events to its handler.
//   Each step looks the control up again by its name.
#pragma once

#include "gui/Control.h"
#include "gui/Menu.h"
#include "core/PropertySet.h"
#include "core/Registry.h"
#include "gui/Runtime.h"
#include "gui/Window.h"

#include <memory>
#include <span>
#include <string_view>

namespace fw {

// Binds one event of the control to the window's handler (generated, one per
// binding of the definition).
using HandlerBinder = void (*)(Window& window, const Ref<Control>& control, const EventDefinition& event);

// A control class the definition gives one control of the window
// ("Window1.Timer1" of Timer, "updateWindow.hp" of HTTPSocket).
struct ControlClass {
    std::string_view name;
    std::string_view parent;
    std::shared_ptr<Object> (*make)();
};

struct WindowClass {
    const WindowDefinition& definition;
    std::string_view registeredName;  // "Window1.Window1": also its implicit instance's key
    std::shared_ptr<Object> (*make)();
    Ref<MenuBar> (*menuBar)();  // nullptr: the window installs none
    // One per event binding, in the order of the controls and their events.
    std::span<const HandlerBinder> binders;
    std::span<const ControlClass> controlClasses;
};

// The class definition of a window class made from its definition: its
// registered name, parent Window, attribute __Scope Public, then its own
// methods so far: Layout, CreateControls, _CreateControls0.. (Hidden), the
// control accessors, the bound handlers and the menu-item accessors, in the
// definition's order; and the hooks Layout and CreateControls. The program
// appends the rows and hooks of its own methods and registers it.
ClassDef WindowClassDef(const WindowClass& window);
// Registers the control classes of the definition (after the window's own
// class, which they belong to).
void RegisterControlClasses(const WindowClass& window);

// The hooks, as the builder runs them.
void BuildWindowLayout(Window& window, const WindowClass& cls);
void CreateWindowControls(Window& window, const WindowClass& cls);

// The open window of the class or a new one (the implicit instance).
template <class W>
Ref<W> ImplicitWindowOf() {
    return ImplicitWindow<W>(W::Definition().registeredName);
}

template <class T>
std::shared_ptr<Object> MakeObject() {
    return std::make_shared<T>();
}

// The class of a control that a window definition gives the control as its
// own: the framework class with the control's owner window and index added
// (what the framework tells a non-visual control through _SetWindow and
// _SetIndex). It holds its window without keeping it alive.
template <class Base>
class WindowControl : public Base {
public:
    void AttachTo(fw::Window* window) override {
        ownerWindow_ = window;
        Base::AttachTo(window);
    }
    void SetWindow(fw::Window* window) { AttachTo(window); }
    int32_t GetIndex() const { return this->Index(); }
    void SetIndexValue(int32_t index) { this->SetIndex(index); }
    // The window holding the control (its method "Window").
    fw::Window* Window() const { return ownerWindow_; }

private:
    fw::Window* ownerWindow_ = nullptr;
};

namespace detail {
template <class M>
struct MethodClass;
template <class W, class R, class... A>
struct MethodClass<R (W::*)(A...)> {
    using type = W;
};
}  // namespace detail

// The binder of a handler method: binds the event to the method of the
// window, with the definition's signature text.
template <auto Method>
void BindHandler(Window& window, const Ref<Control>& control, const EventDefinition& event) {
    using W = typename detail::MethodClass<decltype(Method)>::type;
    auto* w = dynamic_cast<W*>(&window);
    if (!w) throw IllegalCastException("A handler was bound to a window of another class.");
    RuntimeAddEventHandler(control, std::string(event.event), RuntimeCreateDelegate(*w, Method, std::string(event.signature)));
}

}  // namespace fw

// The members a window's definition gives its class, generated by windowc
// into <Window>.window.h; the program's class declares them with
// FW_WINDOW_MEMBERS(Window1) in its body.
#define FW_WINDOW_MEMBERS(Name) FW_WINDOW_MEMBERS_##Name
