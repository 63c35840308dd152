// Controls: the framework classes a window is built from.
//
// Control is the base of every control; RectControl is a visual control over
// a QWidget placed in its window's content area by Left/Top/Width/Height. A
// control outside the content area is simply not seen, yet stays a tab stop.
// Events are bound by name (RuntimeAddEventHandler) and raised through
// fw::RunProgramCode, so an exception in a handler goes to the report.
//
// Every control takes exactly the keys the class-key table lists for its
// framework class (fw::KeysOfClass(PropertyClassName())): SetProperty gives
// false for any other key, so a set naming a key the class lacks fails
// loudly instead of being ignored. Each key is applied by the setter its
// row in PropertyKeys.def names (ApplyPropertyRow).
#pragma once

#include "core/Object.h"
#include "gui/PropertyRows.h"
#include "core/PropertySet.h"
#include "core/String.h"

#include <QPointer>
#include <QWidget>

#include <functional>
#include <map>
#include <memory>
#include <string>
#include <string_view>
#include <tuple>
#include <vector>

class QObject;

namespace fw {

class Window;

// What an event hands its handlers beside the control that raised it (a
// socket's reply, say); most events hand nothing.
struct EventArgs {
    virtual ~EventArgs() = default;
};
template <class... A>
struct EventArgsOf : EventArgs {
    explicit EventArgsOf(A... a) : values(std::move(a)...) {}
    std::tuple<A...> values;
};

// A bound handler: the window's method called with the window, the control
// and the event's arguments (the closure holds the first two).
using EventHandler = std::function<void(const EventArgs*)>;

class Control : public Object, public PropertyTarget {
public:
    Control() = default;
    ~Control() override;
    Control(const Control&) = delete;
    Control& operator=(const Control&) = delete;

    // The name the control was added to its window under.
    const String& Name() const { return name_; }
    void SetName(const String& name) { name_ = name; }
    // The place in a control array; INT32_MIN for none.
    int32_t Index() const { return index_; }
    void SetIndex(int32_t index) { index_ = index; }
    // The window holding the control, or nullptr (also once that window is
    // gone, when the window is owned by a Ref).
    Window* OwnerWindow() const;
    // Called by Window::AddControl; nullptr detaches the control.
    virtual void AttachTo(Window* window);

    // The framework's constructor of the control, run once its object is
    // made for a window; most controls have nothing to do in it.
    virtual void Constructor() {}

    // Binding and raising events by name ("Action", "GotFocus", "Open", ...).
    void AddEventHandler(const std::string& event, EventHandler handler);
    void AddEventHandler(const std::string& event, std::function<void()> handler);
    bool HasEventHandler(const std::string& event) const;
    // Runs the bound handlers of the event, each through fw::RunProgramCode;
    // nothing when none is bound. The control stays alive until the handlers
    // have returned, even when one of them closes its window.
    void RaiseEvent(const std::string& event, const EventArgs* args = nullptr);
    // The same for an event that hands its handlers arguments.
    template <class... A>
    void RaiseEventWith(const std::string& event, A... args) {
        const EventArgsOf<A...> packed(std::move(args)...);
        RaiseEvent(event, &packed);
    }

    // Called by the window once its controls exist, before the window's own
    // Open: raises the control's Open event.
    virtual void Opening();
    // Called by the window as it closes, after its Close event: a control
    // with work under way (a socket's request) ends it there.
    virtual void WindowClosed() {}

    // The visual widget, or nullptr for a non-visual control (Timer).
    virtual QWidget* Widget() const { return nullptr; }

    // The pre-set properties the creating code sets before a control's set
    // is applied ("TextSize", "TextUnit", "LineSpacing"); false when the
    // control has no such property.
    virtual bool SetPresetProperty(std::string_view key, double value);

    // Gives false for a key outside the class-key table of the control's
    // class, else applies it (see TakeProperty).
    bool SetProperty(std::string_view key, const PropertyValue& value) override;
    bool SetNumberedProperty(std::size_t number, std::string_view key, const PropertyValue& value) override;

protected:
    // Applies one key the class takes (by its number in the key table) with
    // the setter of its row; each concrete class answers with
    // ApplyPropertyRow(*this, key, value), so that the row finds the setters
    // of its own class.
    virtual bool TakeProperty(std::size_t, const PropertyValue&) { return false; }

    String name_;
    int32_t index_ = INT32_MIN;
    // The keys of the control's class, found on the first SetProperty.
    const PropertyClass* propertyClass_ = nullptr;
    Window* owner_ = nullptr;
    std::weak_ptr<Object> ownerRef_;
    bool ownerIsShared_ = false;
    std::map<std::string, std::vector<EventHandler>> handlers_;
};

class RectControl : public Control {
public:
    RectControl();
    ~RectControl() override;

    // The visual widget (nullptr only while a subclass is being built).
    QWidget* Widget() const override { return widget_; }
    // The control whose widget is w or holds w, or nullptr.
    static RectControl* FromWidget(const QWidget* w);

    // Reparents the widget into the window's content widget.
    void AttachTo(Window* window) override;
    // Places the widget into any parent widget (a window's content widget,
    // or a plain QWidget in tests); nullptr takes it out.
    void PlaceInto(QWidget* parent);

    int32_t Left() const { return left_; }
    int32_t Top() const { return top_; }
    int32_t Width() const { return width_; }
    int32_t Height() const { return height_; }
    void SetBounds(int32_t left, int32_t top, int32_t width, int32_t height);
    void SetLeft(int32_t v) { SetBounds(v, top_, width_, height_); }
    void SetTop(int32_t v) { SetBounds(left_, v, width_, height_); }
    void SetWidth(int32_t v) { SetBounds(left_, top_, v, height_); }
    void SetHeight(int32_t v) { SetBounds(left_, top_, width_, v); }

    bool Enabled() const { return enabled_; }
    // Disabling the control that holds the focus clears the focus rather
    // than passing it on, so no other control raises a GotFocus it did not
    // ask for.
    void SetEnabled(bool enabled);
    bool Visible() const { return visible_; }
    // Hiding the control that holds the focus clears the focus (as above).
    void SetVisible(bool visible);
    const String& HelpTag() const { return helpTag_; }
    void SetHelpTag(const String& tag);

    // The tab order: the window orders the widgets of the TabStop controls
    // by TabIndex. A control that is no tab stop can still be clicked.
    int32_t TabIndex() const { return tabIndex_; }
    void SetTabIndex(int32_t index) { tabIndex_ = index; }
    bool TabStop() const { return tabStop_; }
    void SetTabStop(bool stop);

    // Gives the keyboard focus and raises GotFocus at once, also headless
    // and when the window is not active. A control that gains the focus by
    // a click or the Tab key raises it too; either way once per gain, so
    // calling SetFocus on the control that holds the focus raises nothing.
    // A hidden or disabled control takes no focus.
    void SetFocus();
    // True while this control holds its window's focus (also when the
    // window is not the active one).
    bool HasFocus() const { return focusHeld_; }
    // Redraws now when immediately is true, else schedules a redraw.
    void Refresh(bool immediately = true);

    // The font: "System" (or empty) is the application's default font;
    // "Arial" and "Courier" are their metric-compatible Liberation fonts,
    // other names are asked of fontconfig (FontNames.h). TextSize 0 keeps
    // the default size.
    const String& TextFont() const { return fontFamily_; }
    void SetTextFont(const String& family);
    double TextSize() const { return textSize_; }
    void SetTextSize(double size);
    // 0 default and 2 points, 1 pixels, 3 inches, 4 millimetres.
    int32_t TextUnit() const { return textUnit_; }
    void SetTextUnit(int32_t unit);
    bool Bold() const { return bold_; }
    void SetBold(bool b);
    bool Italic() const { return italic_; }
    void SetItalic(bool b);
    bool Underline() const { return underline_; }
    void SetUnderline(bool b);
    // The font the control draws with (for tests and layout).
    QFont ResolvedFont() const;

    bool SetPresetProperty(std::string_view key, double value) override;
    // Within a batch the font is applied once, at its end.
    void BeginPropertyBatch() override { ++fontHeld_; }
    void EndPropertyBatch() override;

protected:
    // Subclasses create their widget in their constructor and call this
    // once; the control owns the widget until a parent takes it.
    void SetWidget(QWidget* w);
    // The widget the font is applied to (the widget itself by default).
    virtual void FontChanged(const QFont& font);
    void ApplyFont();
    // Lays the control's text out for its room again (Fit), at once or,
    // within a batch, once at its end: measuring text is costly, and a batch
    // sets caption, font and bounds one after another. A change of size asks
    // for it too, also where the control lies outside the window.
    void RequestFit();
    virtual void Fit() {}
    // Called by the focus machinery once per gain of focus.
    void NoteFocusGained();
    void NoteFocusLost() { focusHeld_ = false; }
    // A context object for connections to the widget's signals: it dies
    // with the control, so a late signal never reaches a destroyed control.
    QObject* Context() const;

    QPointer<QWidget> widget_;
    int32_t left_ = 0, top_ = 0, width_ = 0, height_ = 0;
    bool visible_ = true;
    bool enabled_ = true;
    int32_t tabIndex_ = 0;
    bool tabStop_ = true;
    Qt::FocusPolicy naturalFocus_ = Qt::NoFocus;
    String fontFamily_ = "System";
    double textSize_ = 0;
    int32_t textUnit_ = 0;
    bool bold_ = false, italic_ = false, underline_ = false;
    String helpTag_;
    bool focusHeld_ = false;
    int fontHeld_ = 0;
    bool fontPending_ = false;
    bool fitPending_ = false;

private:
    friend class ControlEventFilter;
    void ClearFocusIfHeld();
    std::unique_ptr<QObject> filter_;
};

// Helpers the controls share.
namespace controls {
// A colour of a set as a Qt colour.
QColor ToQColor(const Colour& c);
// Qt's line ends for display: CR LF and CR become LF.
QString DisplayText(const String& text);
}  // namespace controls

}  // namespace fw
