#include "gui/WindowBuilder.h"

#include <string>

namespace fw {

namespace {

// _CreateControls0 creates the first 30 controls, _CreateControls1 the next
// 30, and so on; a window without controls still has _CreateControls0.
constexpr std::size_t kControlsPerMethod = 30;

std::size_t CreateMethods(const WindowDefinition& d) {
    return d.controls.empty() ? 1 : (d.controls.size() + kControlsPerMethod - 1) / kControlsPerMethod;
}

Window& AsWindow(Object& o) {
    auto* w = dynamic_cast<Window*>(&o);
    if (!w) throw IllegalCastException("A window hook was raised by an object that is not a window.");
    return *w;
}

void CreateControl(Window& w, const WindowClass& cls, const ControlDefinition& def, std::size_t& nextBinder) {
    const String name(def.name);
    Ref<Control> made = Cast<Control>(w.New(def.ownClass.empty() ? def.frameworkClass : def.ownClass));
    made->Constructor();
    w.AddControl(name, made);
    {
        // The presets and the set take effect together.
        const PropertyBatch batch(*w.ControlByName(name));
        for (const auto& preset : def.presets) w.ControlByName(name)->SetPresetProperty(preset.key, preset.value);
        SetProperties(*w.ControlByName(name), def.set, SetBytes::Constant);
    }
    for (const auto& event : def.events) {
        if (nextBinder >= cls.binders.size())
            throw RuntimeException("The window '" + std::string(cls.definition.name) + "' has no handler for the event '" +
                                   std::string(event.event) + "' of its control '" + std::string(def.name) + "'.");
        cls.binders[nextBinder++](w, w.ControlByName(name), event);
    }
}

}  // namespace

void BuildWindowLayout(Window& window, const WindowClass& cls) {
    if (cls.menuBar) window.SetMenuBar(cls.menuBar());
    SetProperties(window, cls.definition.set, SetBytes::Constant);
}

void CreateWindowControls(Window& window, const WindowClass& cls) {
    std::size_t nextBinder = 0;
    for (const auto& c : cls.definition.controls) CreateControl(window, cls, c, nextBinder);
}

ClassDef WindowClassDef(const WindowClass& window) {
    const Attributes pub{Scope("Public")};
    const Attributes hidden{Scope("Public"), Flag("Hidden")};
    const WindowDefinition& d = window.definition;
    ClassDef def(std::string(window.registeredName), "Window");
    def.Factory(window.make).Attr(Scope("Public"));
    def.Method("Layout", "", pub).Method("CreateControls", "", pub);
    for (std::size_t i = 0; i < CreateMethods(d); ++i) def.Method("_CreateControls" + std::to_string(i), "", hidden);
    for (const auto& c : d.controls) def.Method(std::string(c.name), "(  ) as " + std::string(c.frameworkClass), pub);
    for (const auto& c : d.controls)
        for (const auto& e : c.events) def.Method(std::string(e.handler), std::string(e.signature), pub);
    for (const auto& item : d.menuItems)
        def.Method(std::string(item.name), "(  ) as " + std::string(item.itemClass), pub);
    const WindowClass* cls = &window;
    def.Hook("Layout", "Layout", [cls](Object& o) { BuildWindowLayout(AsWindow(o), *cls); });
    def.Hook("CreateControls", "CreateControls", [cls](Object& o) { CreateWindowControls(AsWindow(o), *cls); });
    return def;
}

void RegisterControlClasses(const WindowClass& window) {
    const Attributes pub{Scope("Public")};
    const Attributes hidden{Scope("Public"), Flag("Hidden")};
    for (const auto& c : window.controlClasses)
        RegisterClass(ClassDef(std::string(c.name), std::string(c.parent))
                          .Factory(c.make)
                          .Attr(Scope("Private"))
                          .Property("Index", "Int32", pub)
                          .Property("ownerWindow", "Window", {Scope("Private")})
                          .Method("_SetWindow", "( Window )", hidden)
                          .Method("Window", "(  ) as Window", pub)
                          .Method("_Index", "(  ) as Int32", hidden)
                          .Method("_SetIndex", "( Int32 )", hidden)
                          .Method("Constructor", "", pub));
}

}  // namespace fw
