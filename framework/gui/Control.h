// Controls: the framework classes a window is built from.
//
// Control is the base of every control; RectControl is a visual control over
// a QWidget placed in its window's content area by Left/Top/Width/Height. A
// control outside the content area is simply not seen, yet stays a tab stop.
// Events are bound by name (RuntimeAddEventHandler) and raised through
// fw::Dispatch, so an exception in a handler goes to the report.
#pragma once

#include "Object.h"
#include "PropertySet.h"
#include "String.h"

#include <functional>
#include <map>
#include <string>
#include <vector>

class QWidget;

namespace fw {

class Window;

// A bound handler: the window's method called with the window and the
// control (the closure holds both).
using EventHandler = std::function<void()>;

class Control : public Object, public PropertyTarget {
public:
    ~Control() override;

    // The name the control was added to its window under.
    const String& Name() const { return name_; }
    void SetName(const String& name) { name_ = name; }
    int32_t Index() const { return index_; }
    Window* OwnerWindow() const { return owner_; }
    // Called by Window::_AddControl.
    virtual void AttachTo(Window* window);

    // Binding and raising events by name ("Action", "GotFocus", "Open", ...).
    void AddEventHandler(const std::string& event, EventHandler handler);
    bool HasEventHandler(const std::string& event) const;
    // Runs the bound handlers of the event through fw::Dispatch; nothing
    // when none is bound.
    void RaiseEvent(const std::string& event);

    // The visual widget, or nullptr for a non-visual control (Timer).
    virtual QWidget* Widget() const { return nullptr; }

    // Keys every control takes: Name, Index, InitialParent, ... Subclasses
    // handle their own keys first and fall back to this.
    bool SetProperty(std::string_view key, const PropertyValue& value) override;

protected:
    String name_;
    int32_t index_ = INT32_MIN;
    Window* owner_ = nullptr;
    std::map<std::string, std::vector<EventHandler>> handlers_;
};

class RectControl : public Control {
public:
    void Constructor() {}

    int32_t Left() const { return left_; }
    int32_t Top() const { return top_; }
    int32_t Width() const { return width_; }
    int32_t Height() const { return height_; }
    void SetBounds(int32_t left, int32_t top, int32_t width, int32_t height);

    bool Enabled() const;
    void SetEnabled(bool enabled);
    bool Visible() const { return visible_; }
    void SetVisible(bool visible);
    int32_t TabIndex() const { return tabIndex_; }
    bool TabStop() const { return tabStop_; }

    // Gives the keyboard focus and raises GotFocus at once, also headless
    // and when the window is not active.
    void SetFocus();
    bool HasFocus() const;
    // Redraws now when immediately is true, else schedules a redraw.
    void Refresh(bool immediately = true);

    // The font: "System" is the platform's system font; others are asked of
    // fontconfig. TextSize 0 keeps the default size.
    void SetTextFont(const String& family);
    void SetTextSize(double points);
    void SetTextUnit(int32_t unit) { textUnit_ = unit; }
    void SetBold(bool b);
    void SetItalic(bool b);
    void SetUnderline(bool b);

    // Common keys of visual controls: Left, Top, Width, Height, Lock*,
    // TabPanelIndex, TabIndex, TabStop, Enabled, Visible, HelpTag,
    // AutoDeactivate, TextFont, Bold, Italic, Underline, UseFocusRing,
    // DataSource, DataField, ...
    bool SetProperty(std::string_view key, const PropertyValue& value) override;

protected:
    // Subclasses create their widget in their constructor and call this.
    void SetWidget(QWidget* w);
    QWidget* Widget() const override { return widget_; }  // public in Control
    void ApplyFont();
    // Called by the focus machinery once per gain of focus.
    void NoteFocusGained();

    QWidget* widget_ = nullptr;
    int32_t left_ = 0, top_ = 0, width_ = 0, height_ = 0;
    bool visible_ = true;
    bool enabled_ = true;
    int32_t tabIndex_ = 0;
    bool tabStop_ = false;
    String fontFamily_ = "System";
    double textSize_ = 0;
    int32_t textUnit_ = 0;
    bool bold_ = false, italic_ = false, underline_ = false;
    bool focusNoted_ = false;
};

}  // namespace fw
