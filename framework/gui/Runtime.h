// The framework's runtime on Qt Widgets: the QApplication's lifetime, the
// framework's classes, start-up, the event loop, Quit, the unhandled-
// exception report, the background-task yield's repaint, and binding the
// program's handlers to control events.
//
// The program's life, in order:
//   RuntimeInit; register classes (RegisterFrameworkClasses first);
//   RuntimeSetExceptionHelper; RuntimeInitExternalClasses;
//   InitPluginEntrypoints; create and register the application object;
//   RunFrameworkInitialization(lateStartup); RuntimeRun;
//   release the program's state; return RuntimeExit().
#pragma once

#include "gui/Control.h"
#include "core/Object.h"
#include "core/PluginEntries.h"
#include "core/RuntimeCore.h"
#include "gui/Window.h"

#include <functional>
#include <string>
#include <tuple>
#include <type_traits>

namespace fw {

// Starts the runtime: creates the QApplication unless one exists (the
// runtime then owns it), installs the unhandled-exception report and the
// yield hook, and resets the quit state. Nothing else of the framework
// may be used before it. When no display can be reached, it says so in one
// line on standard error and ends the process with the status 1.
void RuntimeInit(int& argc, char** argv);
void RuntimeInit();

// Registers the framework's own classes (Object, Application, Window, the
// menu classes, the controls) in the framework's order; again: nothing.
void RegisterFrameworkClasses();
// The framework's classes that live outside the program are ready.
void RuntimeInitExternalClasses();
// Fills the table of plug-in entry points (MD5, Base64).
// (InitPluginEntrypoints, which fills the plug-in entry points, is in
// PluginEntries.h.)

// Completes the framework's initialisation and calls the callback, once
// per run of the runtime, before it returns. An exception of the callback
// passes on to the caller, who skips the rest of its start-up.
void RunFrameworkInitialization(const std::function<void()>& lateStartup);
bool RuntimeLateStartupDone();

// Runs the event loop until the application quits, then closes the windows
// still open (their Close handlers run). Returns at once when the
// application has already quit.
void RuntimeRun();

// Ends every event loop (modal ones too) and so the application; the first
// call's code becomes the exit status. Further calls do nothing.
void Quit(int32_t exitCode = 0);
bool RuntimeIsQuitting();

// Hands an exception that no handler took to the report.
void UnhandledException(const RuntimeException& e);

// The framework's part of the program's shutdown: drops the list of windows
// and the registry of implicit instances (no Close handler runs).
void RuntimeReleaseModuleState();

// Releases the framework's module state (window list, implicit windows,
// the application object), stops the runtime (destroying the QApplication
// it created) and returns the exit status.
int32_t RuntimeExit();

// The yield hook the runtime installs (BusyYield): the wait cursor for a
// long handler and, at a bounded rate, the visible top-level windows
// repainted; it processes no events, so no handler runs.
void RuntimeYieldRepaint();

// --- binding handlers to control events

// A callable made from a method and the object it is called on. The
// delegate reaches its object through a weak reference: it never keeps a
// window alive.
class Delegate : public Object {
public:
    using Call = std::function<bool(Object& target, Control* sender, const EventArgs* args)>;
    Delegate(std::weak_ptr<Object> target, Call call, std::string signature)
        : target_(std::move(target)), call_(std::move(call)), signature_(std::move(signature)) {}

    const std::string& Signature() const { return signature_; }
    Ref<Object> Target() const { return Ref<Object>(target_.lock()); }

    // Calls the method with the sender and the event's arguments. Raises
    // NilObjectException, without calling it, when the object is gone; does
    // nothing when the object is a window that has closed. Returns the
    // method's Boolean (false for a method without result).
    bool Invoke(Control* sender, const EventArgs* args = nullptr) const;

private:
    std::weak_ptr<Object> target_;
    Call call_;
    std::string signature_;
};

namespace detail {
template <class A>
struct SenderArg;
template <class C>
struct SenderArg<C&> {
    static C& From(Control* sender) {
        if (!sender) throw NilObjectException("An event handler that takes a control was called without one.");
        auto* c = dynamic_cast<C*>(sender);
        if (!c)
            throw IllegalCastException("The control '" + sender->Name().ToUtf8() +
                                       "' is not of the class its event handler takes.");
        return *c;
    }
};
template <class C>
struct SenderArg<Ref<C>> {
    static Ref<C> From(Control* sender) {
        if (!sender) return nullptr;
        return Cast<C>(Ref<Control>(std::static_pointer_cast<Control>(sender->shared_from_this())));
    }
};
template <class C>
struct SenderArg<const Ref<C>&> : SenderArg<Ref<C>> {};

// The arguments an event handed over, as the handler's parameters take them.
template <class... A>
const std::tuple<A...>& EventValues(const EventArgs* args) {
    const auto* typed = dynamic_cast<const EventArgsOf<A...>*>(args);
    if (!typed) throw IllegalCastException("An event handed its handler other arguments than the handler takes.");
    return typed->values;
}

template <class W>
std::weak_ptr<Object> WeakOf(W& target) {
    return std::weak_ptr<Object>(static_cast<Object&>(target).shared_from_this());
}
template <class W>
W& TargetAs(Object& o) {
    auto* w = dynamic_cast<W*>(&o);
    if (!w) throw IllegalCastException("A delegate's object is not of the class of its method.");
    return *w;
}
}  // namespace detail

// A delegate for a control-event handler: a method of the window that
// takes the control that raised the event (as C&, Ref<C> or const Ref<C>&)
// and then whatever the event hands over (a socket's reply), with its
// signature text ("( PushButton )").
template <class W, class Arg, class... Extra>
Ref<Delegate> RuntimeCreateDelegate(W& target, void (W::*method)(Arg, Extra...), std::string signature) {
    return New<Delegate>(detail::WeakOf(target),
                         [method](Object& o, Control* sender, const EventArgs* args) {
                             W& w = detail::TargetAs<W>(o);
                             if constexpr (sizeof...(Extra) == 0) {
                                 (w.*method)(detail::SenderArg<Arg>::From(sender));
                             } else {
                                 const auto& values = detail::EventValues<std::decay_t<Extra>...>(args);
                                 std::apply([&](const auto&... v) { (w.*method)(detail::SenderArg<Arg>::From(sender), v...); },
                                            values);
                             }
                             return false;
                         },
                         std::move(signature));
}
// A method without parameters, without result ("") or with a Boolean one
// ("(  ) as Boolean", menu commands).
template <class W>
Ref<Delegate> RuntimeCreateDelegate(W& target, void (W::*method)(), std::string signature) {
    return New<Delegate>(detail::WeakOf(target),
                         [method](Object& o, Control*, const EventArgs*) {
                             (detail::TargetAs<W>(o).*method)();
                             return false;
                         },
                         std::move(signature));
}
template <class W>
Ref<Delegate> RuntimeCreateDelegate(W& target, bool (W::*method)(), std::string signature) {
    return New<Delegate>(detail::WeakOf(target),
                         [method](Object& o, Control*, const EventArgs*) { return (detail::TargetAs<W>(o).*method)(); },
                         std::move(signature));
}
template <class W, class M>
Ref<Delegate> RuntimeCreateDelegate(const Ref<W>& target, M method, std::string signature) {
    return RuntimeCreateDelegate(*target, method, std::move(signature));
}

// Attaches the delegate to the control's event: from then on each time the
// control raises the event the delegate's method is called with the window
// and the control. Raises NilObjectException for a nil control or delegate.
void RuntimeAddEventHandler(const Ref<Control>& control, const std::string& eventName, const Ref<Delegate>& delegate);

// Registers a menu command delegate (a Boolean method without parameters)
// for the window under the item name.
void RuntimeAddMenuHandler(Window& window, const String& itemName, const Ref<Delegate>& delegate);

}  // namespace fw
