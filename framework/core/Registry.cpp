#include "core/Registry.h"

#include <algorithm>

namespace fw {

const Attribute* FindAttribute(const Attributes& attributes, std::string_view name) {
    for (const auto& a : attributes)
        if (a.name == name) return &a;
    return nullptr;
}

std::optional<std::string> MethodInfo::AttributeValue(std::string_view n) const {
    const Attribute* a = FindAttribute(attributes, n);
    return a ? a->value : std::nullopt;
}

std::vector<const MethodInfo*> ClassInfo::Methods() const {
    std::vector<const MethodInfo*> table = parent_ ? parent_->Methods() : std::vector<const MethodInfo*>{};
    for (const auto& m : methods_) {
        auto same = std::find_if(table.begin(), table.end(), [&](const MethodInfo* t) {
            return t->name == m.name && t->signature == m.signature;
        });
        if (same != table.end()) *same = &m;
        else table.push_back(&m);
    }
    return table;
}

const MethodInfo* ClassInfo::FindMethod(std::string_view name) const {
    for (const ClassInfo* c = this; c; c = c->parent_)
        for (const auto& m : c->methods_)
            if (m.name == name) return &m;
    return nullptr;
}

std::vector<const PropertyInfo*> ClassInfo::Properties() const {
    std::vector<const PropertyInfo*> all = parent_ ? parent_->Properties() : std::vector<const PropertyInfo*>{};
    for (const auto& p : properties_) all.push_back(&p);
    return all;
}

const HookInfo* ClassInfo::FindHook(std::string_view event) const {
    for (const ClassInfo* c = this; c; c = c->parent_)
        for (const auto& h : c->hooks_)
            if (h.event == event) return &h;
    return nullptr;
}

bool ClassInfo::IsA(const ClassInfo& other) const {
    for (const ClassInfo* c = this; c; c = c->parent_)
        if (c == &other) return true;
    return false;
}

ClassDef::ClassDef(std::string name, std::string parent) : name_(std::move(name)), parent_(std::move(parent)) {}

ClassDef& ClassDef::Attr(Attribute a) {
    attributes_.push_back(std::move(a));
    return *this;
}

ClassDef& ClassDef::Method(std::string name, std::string signature, Attributes attributes) {
    methods_.push_back(MethodInfo{std::move(name), std::move(signature), std::move(attributes), nullptr});
    return *this;
}

ClassDef& ClassDef::Property(std::string name, std::string type, Attributes attributes) {
    properties_.push_back(PropertyInfo{std::move(name), std::move(type), std::move(attributes), nullptr});
    return *this;
}

ClassDef& ClassDef::Hook(std::string event, std::string method, HookFunction call) {
    // A second handler of the same event replaces the first: an event has
    // one handler per class.
    for (auto& h : hooks_)
        if (h.event == event) {
            h.method = std::move(method);
            h.call = std::move(call);
            return *this;
        }
    hooks_.push_back(HookInfo{std::move(event), std::move(method), std::move(call)});
    return *this;
}

ClassDef& ClassDef::Factory(ObjectFactory f) {
    factory_ = std::move(f);
    return *this;
}

const ClassInfo& Registry::Register(ClassDef def) {
    if (def.name_.empty()) throw RuntimeException("A class cannot be registered without a name.");
    if (const ClassInfo* existing = Find(def.name_)) return *existing;
    const ClassInfo* parent = nullptr;
    if (!def.parent_.empty()) {
        parent = Find(def.parent_);
        if (!parent)
            throw RuntimeException("The class '" + def.name_ + "' names the parent class '" + def.parent_ +
                                   "', which is not registered.");
    }
    ClassInfo& c = classes_.emplace_back();
    c.name_ = std::move(def.name_);
    c.parent_ = parent;
    c.attributes_ = std::move(def.attributes_);
    c.methods_ = std::move(def.methods_);
    c.properties_ = std::move(def.properties_);
    c.hooks_ = std::move(def.hooks_);
    c.factory_ = std::move(def.factory_);
    for (auto& m : c.methods_) m.owner = &c;
    for (auto& p : c.properties_) p.owner = &c;
    byName_.emplace(c.name_, &c);
    return c;
}

const ClassInfo* Registry::Find(std::string_view name) const {
    auto it = byName_.find(name);
    return it == byName_.end() ? nullptr : it->second;
}

const ClassInfo& Registry::Get(std::string_view name) const {
    if (const ClassInfo* c = Find(name)) return *c;
    throw RuntimeException("The class '" + std::string(name) + "' is not registered.");
}

std::vector<const ClassInfo*> Registry::Classes() const {
    std::vector<const ClassInfo*> all;
    all.reserve(classes_.size());
    for (const auto& c : classes_) all.push_back(&c);
    return all;
}

Registry& TheRegistry() {
    static Registry registry;
    return registry;
}

Ref<Object> RuntimeNewObject(const ClassInfo& cls) {
    if (!cls.factory_)
        throw RuntimeException("The class '" + cls.Name() + "' cannot be instantiated: no constructor is registered for it.");
    std::shared_ptr<Object> o = cls.factory_();
    if (!o) throw NilObjectException("The constructor of the class '" + cls.Name() + "' gave no object.");
    o->SetClass(&cls);
    return Ref<Object>(std::move(o));
}

Ref<Object> RuntimeNewObject(std::string_view className) { return RuntimeNewObject(TheRegistry().Get(className)); }

}  // namespace fw
