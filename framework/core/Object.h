// Objects of the framework and checked references to them.
//
// Every framework and program class derives from Object. References are
// shared (reference-counted) and checked: using an empty one raises
// NilObjectException instead of undefined behaviour.
#pragma once

#include "core/Exceptions.h"

#include <memory>
#include <string>

namespace fw {

class ClassInfo;

class Object : public std::enable_shared_from_this<Object> {
public:
    virtual ~Object() = default;
    // The registered class of this object (the most derived one). Set by the
    // registry when the object is created through it; may be null for an
    // object made directly in C++.
    const ClassInfo* Class() const { return class_; }
    void SetClass(const ClassInfo* c) { class_ = c; }

private:
    const ClassInfo* class_ = nullptr;
};

template <class T>
class Ref {
public:
    Ref() = default;
    Ref(std::nullptr_t) {}
    Ref(std::shared_ptr<T> p) : p_(std::move(p)) {}
    template <class U, class = std::enable_if_t<std::is_convertible_v<U*, T*>>>
    Ref(const Ref<U>& o) : p_(o.Shared()) {}

    T* operator->() const { return &Deref(); }
    T& operator*() const { return Deref(); }
    T* Get() const { return p_.get(); }
    const std::shared_ptr<T>& Shared() const { return p_; }
    explicit operator bool() const { return p_ != nullptr; }
    bool IsNil() const { return p_ == nullptr; }
    bool operator==(const Ref& o) const { return p_ == o.p_; }

private:
    T& Deref() const {
        if (!p_) throw NilObjectException();
        return *p_;
    }
    std::shared_ptr<T> p_;
};

// A cast with a type test: nil stays nil; an object of another class raises
// IllegalCastException.
template <class T, class U>
Ref<T> Cast(const Ref<U>& from) {
    if (!from) return Ref<T>();
    auto to = std::dynamic_pointer_cast<T>(from.Shared());
    if (!to) throw IllegalCastException("The object is not of the class it was cast to.");
    return Ref<T>(to);
}

template <class T, class... Args>
Ref<T> New(Args&&... args) {
    return Ref<T>(std::make_shared<T>(std::forward<Args>(args)...));
}

}  // namespace fw
