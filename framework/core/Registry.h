// The class registry: every framework and program class registers itself
// under its name, with its parent, its class attributes, its methods in
// order (name, signature text, attributes), its properties and its event
// hooks. Objects of a registered class are made by RuntimeNewObject, which
// also records the class on the object.
//
// Registration is explicit (a call per class, no static constructors) and
// idempotent: a class whose name is already registered is not registered
// again, so a class may register itself on first use and again from the
// program's start-up without harm.
#pragma once

#include "core/Exceptions.h"
#include "core/Object.h"

#include <deque>
#include <functional>
#include <map>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace fw {

// A class, method or property attribute. Some have no value ("Hidden").
struct Attribute {
    std::string name;
    std::optional<std::string> value;
    bool operator==(const Attribute&) const = default;
};
using Attributes = std::vector<Attribute>;

inline Attribute Scope(std::string scope) { return Attribute{"__Scope", std::move(scope)}; }
inline Attribute Flag(std::string name) { return Attribute{std::move(name), std::nullopt}; }

// Looks an attribute up by name (nullptr when absent).
const Attribute* FindAttribute(const Attributes& attributes, std::string_view name);

class ClassInfo;
Ref<Object> RuntimeNewObject(const ClassInfo& cls);

struct MethodInfo {
    std::string name;
    // Result and parameters as text, the object itself not counted:
    // "", "( PushButton )", "(  ) as Boolean", ...
    std::string signature;
    Attributes attributes;
    const ClassInfo* owner = nullptr;

    bool HasAttribute(std::string_view n) const { return FindAttribute(attributes, n) != nullptr; }
    std::optional<std::string> AttributeValue(std::string_view n) const;
};

struct PropertyInfo {
    std::string name;
    std::string type;  // "Int32", "String", "Window", ...
    Attributes attributes;
    const ClassInfo* owner = nullptr;
};

// A handler of one of the class's events ("Layout", "CreateControls",
// "AddMenuHandlers", "Open", "Close", ...): the method that serves it and
// the call, given the object that raised the event.
using HookFunction = std::function<void(Object& self)>;
struct HookInfo {
    std::string event;
    std::string method;
    HookFunction call;
};

using ObjectFactory = std::function<std::shared_ptr<Object>()>;

class ClassInfo {
public:
    const std::string& Name() const { return name_; }
    const ClassInfo* Parent() const { return parent_; }
    const Attributes& ClassAttributes() const { return attributes_; }
    const Attribute* FindClassAttribute(std::string_view n) const { return FindAttribute(attributes_, n); }

    // The class's own methods in registration order.
    const std::vector<MethodInfo>& OwnMethods() const { return methods_; }
    // The full method table: the parent's, with an own method of the same
    // name and signature in place of the inherited one, then the remaining
    // own methods in their order.
    std::vector<const MethodInfo*> Methods() const;
    // The most derived method of that name, or nullptr.
    const MethodInfo* FindMethod(std::string_view name) const;

    const std::vector<PropertyInfo>& OwnProperties() const { return properties_; }
    // Inherited properties first.
    std::vector<const PropertyInfo*> Properties() const;

    const std::vector<HookInfo>& OwnHooks() const { return hooks_; }
    // The class's own handler of the event, else the nearest ancestor's.
    const HookInfo* FindHook(std::string_view event) const;

    // True for this class and every class derived from it.
    bool IsA(const ClassInfo& other) const;
    bool CanCreate() const { return static_cast<bool>(factory_); }

private:
    friend class Registry;
    friend Ref<Object> RuntimeNewObject(const ClassInfo& cls);
    std::string name_;
    const ClassInfo* parent_ = nullptr;
    Attributes attributes_;
    std::vector<MethodInfo> methods_;
    std::vector<PropertyInfo> properties_;
    std::vector<HookInfo> hooks_;
    ObjectFactory factory_;
};

namespace detail {
template <class T>
T& CheckedSelf(Object& o, const char* event) {
    auto* t = dynamic_cast<T*>(&o);
    if (!t)
        throw IllegalCastException(std::string("The object that raised the event '") + event +
                                   "' is not of the class that handles it.");
    return *t;
}
}  // namespace detail

// What a class registers, collected before it is handed to the registry.
class ClassDef {
public:
    // parent: the registered name of the parent class; empty for a root.
    ClassDef(std::string name, std::string parent = {});

    ClassDef& Attr(Attribute a);
    ClassDef& Method(std::string name, std::string signature, Attributes attributes = {});
    ClassDef& Property(std::string name, std::string type, Attributes attributes = {});
    ClassDef& Hook(std::string event, std::string method, HookFunction call);

    // A hook served by a member function of T without parameters.
    template <class T>
    ClassDef& Hook(std::string event, std::string method, void (T::*m)()) {
        std::string ev = event;
        return Hook(std::move(event), std::move(method),
                    [m, ev](Object& o) { (detail::CheckedSelf<T>(o, ev.c_str()).*m)(); });
    }
    // A hook served by a member function of T that receives the object
    // itself as a reference of class P (AddMenuHandlers takes the window).
    template <class T, class P>
    ClassDef& Hook(std::string event, std::string method, void (T::*m)(const Ref<P>&)) {
        std::string ev = event;
        return Hook(std::move(event), std::move(method), [m, ev](Object& o) {
            T& self = detail::CheckedSelf<T>(o, ev.c_str());
            Ref<P> asParam(std::dynamic_pointer_cast<P>(o.shared_from_this()));
            (self.*m)(asParam);
        });
    }

    ClassDef& Factory(ObjectFactory f);
    template <class T>
    ClassDef& Creates() {
        return Factory([] { return std::static_pointer_cast<Object>(std::make_shared<T>()); });
    }

    const std::string& Name() const { return name_; }

private:
    friend class Registry;
    std::string name_;
    std::string parent_;
    Attributes attributes_;
    std::vector<MethodInfo> methods_;
    std::vector<PropertyInfo> properties_;
    std::vector<HookInfo> hooks_;
    ObjectFactory factory_;
};

class Registry {
public:
    // Registers the class unless a class of that name exists; returns the
    // registered class either way (the first registration wins). A parent
    // that is not registered raises RuntimeException naming both classes.
    const ClassInfo& Register(ClassDef def);
    bool IsRegistered(std::string_view name) const { return Find(name) != nullptr; }
    const ClassInfo* Find(std::string_view name) const;
    // Raises RuntimeException naming the class when it is not registered.
    const ClassInfo& Get(std::string_view name) const;
    // In registration order.
    std::vector<const ClassInfo*> Classes() const;

private:
    std::deque<ClassInfo> classes_;  // stable addresses: objects point at them
    std::map<std::string, const ClassInfo*, std::less<>> byName_;
};

// The process's registry.
Registry& TheRegistry();
inline const ClassInfo& RegisterClass(ClassDef&& def) { return TheRegistry().Register(std::move(def)); }
// A definition built by a chain of its setters comes as a reference to the
// temporary: it is taken over too rather than copied.
inline const ClassInfo& RegisterClass(ClassDef& def) { return TheRegistry().Register(std::move(def)); }

// A new object of the class, before its constructor runs, with its class
// recorded. Raises RuntimeException naming the class when it is not
// registered or cannot be instantiated.
Ref<Object> RuntimeNewObject(const ClassInfo& cls);
Ref<Object> RuntimeNewObject(std::string_view className);
template <class T>
Ref<T> RuntimeNewObjectAs(std::string_view className) {
    return Cast<T>(RuntimeNewObject(className));
}

}  // namespace fw
