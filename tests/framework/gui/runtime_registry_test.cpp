// The class registry: methods in order with their signatures and
// attributes, inherited ones first, properties, hooks, objects made through
// it, and a class registered once only.
#include "core/Registry.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

class Base : public fw::Object {};
class Derived : public Base {};

// Registered once for the process: the registry is the process's.
const fw::ClassInfo& DerivedClass() {
    const fw::Attributes pub{fw::Scope("Public")};
    const fw::Attributes hidden{fw::Scope("Public"), fw::Flag("Hidden")};
    fw::RegisterClass(fw::ClassDef("RegistryTest.Base")
                          .Creates<Base>()
                          .Method("Close", "", pub)
                          .Method("Constructor", "", pub)
                          .Method("Show", "", pub)
                          .Property("Index", "Int32", pub));
    return fw::RegisterClass(fw::ClassDef("RegistryTest.Derived", "RegistryTest.Base")
                                 .Creates<Derived>()
                                 .Attr(fw::Scope("Private"))
                                 .Method("Layout", "", pub)
                                 .Method("_CreateControls0", "", hidden)
                                 .Method("Constructor", "", pub)  // in place of the inherited one
                                 .Method("Scramble_Action", "( PushButton )", pub)
                                 .Method("_HelpShow_Action", "(  ) as Boolean", pub)
                                 .Property("ownerWindow", "Window", {fw::Scope("Private")})
                                 .Hook("Open", "Event_Open", [](fw::Object&) {}));
}

TEST(Registry, ListsMethodsInOrderWithSignaturesAndAttributes) {
    const fw::ClassInfo& c = DerivedClass();
    struct Want {
        const char* name;
        const char* signature;
        const char* owner;
        bool hidden;
    };
    const Want want[] = {
        {"Close", "", "RegistryTest.Base", false},
        {"Constructor", "", "RegistryTest.Derived", false},
        {"Show", "", "RegistryTest.Base", false},
        {"Layout", "", "RegistryTest.Derived", false},
        {"_CreateControls0", "", "RegistryTest.Derived", true},
        {"Scramble_Action", "( PushButton )", "RegistryTest.Derived", false},
        {"_HelpShow_Action", "(  ) as Boolean", "RegistryTest.Derived", false},
    };
    const auto methods = c.Methods();
    ASSERT_EQ(methods.size(), std::size(want));
    for (std::size_t i = 0; i < methods.size(); ++i) {
        EXPECT_EQ(methods[i]->name, want[i].name) << i;
        EXPECT_EQ(methods[i]->signature, want[i].signature) << i;
        EXPECT_EQ(methods[i]->owner->Name(), want[i].owner) << i;
        EXPECT_EQ(methods[i]->AttributeValue("__Scope"), std::optional<std::string>("Public")) << i;
        EXPECT_EQ(methods[i]->HasAttribute("Hidden"), want[i].hidden) << i;
    }
    // Hidden carries no value.
    const fw::Attribute* hidden = fw::FindAttribute(methods[4]->attributes, "Hidden");
    ASSERT_NE(hidden, nullptr);
    EXPECT_FALSE(hidden->value.has_value());
    EXPECT_EQ(c.FindClassAttribute("__Scope")->value, std::optional<std::string>("Private"));

    const auto props = c.Properties();
    ASSERT_EQ(props.size(), 2u);
    EXPECT_EQ(props[0]->name, "Index");
    EXPECT_EQ(props[1]->name, "ownerWindow");
    EXPECT_EQ(props[1]->type, "Window");
    ASSERT_NE(c.FindHook("Open"), nullptr);
    EXPECT_EQ(c.FindHook("Open")->method, "Event_Open");
    EXPECT_EQ(c.FindHook("Close"), nullptr);
}

TEST(Registry, RegistersAClassOnceAndMakesObjectsThatKnowTheirClass) {
    const fw::ClassInfo& first = DerivedClass();
    // A second registration of the name changes nothing.
    const fw::ClassInfo& again = fw::RegisterClass(fw::ClassDef("RegistryTest.Derived").Method("Extra", ""));
    EXPECT_EQ(&again, &first);
    EXPECT_EQ(first.FindMethod("Extra"), nullptr);

    fw::Ref<fw::Object> o = fw::RuntimeNewObject("RegistryTest.Derived");
    EXPECT_EQ(o->Class(), &first);
    EXPECT_TRUE(fw::Cast<Derived>(o));
    EXPECT_TRUE(first.IsA(fw::TheRegistry().Get("RegistryTest.Base")));
    EXPECT_FALSE(fw::TheRegistry().Get("RegistryTest.Base").IsA(first));
}

TEST(Registry, ErrorsNameTheClass) {
    auto message = [](auto&& f) {
        try {
            f();
        } catch (const fw::RuntimeException& e) {
            return std::string(e.what());
        }
        return std::string("(nothing raised)");
    };
    EXPECT_NE(message([] { fw::RuntimeNewObject("RegistryTest.Missing"); }).find("'RegistryTest.Missing'"), std::string::npos);
    EXPECT_NE(message([] { fw::RegisterClass(fw::ClassDef("RegistryTest.Orphan", "RegistryTest.NoParent")); })
                  .find("'RegistryTest.NoParent'"),
              std::string::npos);
    EXPECT_FALSE(fw::TheRegistry().IsRegistered("RegistryTest.Orphan"));
    fw::RegisterClass(fw::ClassDef("RegistryTest.Abstract"));
    EXPECT_NE(message([] { fw::RuntimeNewObject("RegistryTest.Abstract"); }).find("'RegistryTest.Abstract'"),
              std::string::npos);
}

}  // namespace
