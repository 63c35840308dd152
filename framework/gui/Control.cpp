#include "gui/Control.h"

#include "core/RuntimeCore.h"
#include "gui/FontNames.h"
#include "gui/Window.h"

#include <QAbstractScrollArea>
#include <QApplication>
#include <QEvent>
#include <QFocusEvent>
#include <QFont>

#include <algorithm>

namespace fw {

// ---- Control ---------------------------------------------------------------

Control::~Control() = default;

Window* Control::OwnerWindow() const {
    if (ownerIsShared_ && ownerRef_.expired()) return nullptr;
    return owner_;
}

void Control::AttachTo(Window* window) {
    owner_ = window;
    ownerRef_.reset();
    ownerIsShared_ = false;
    if (window) {
        ownerRef_ = window->weak_from_this();
        ownerIsShared_ = !ownerRef_.expired();
    }
}

void Control::AddEventHandler(const std::string& event, EventHandler handler) {
    handlers_[event].push_back(std::move(handler));
}

void Control::AddEventHandler(const std::string& event, std::function<void()> handler) {
    AddEventHandler(event, EventHandler([h = std::move(handler)](const EventArgs*) { h(); }));
}

bool Control::HasEventHandler(const std::string& event) const {
    auto it = handlers_.find(event);
    return it != handlers_.end() && !it->second.empty();
}

void Control::RaiseEvent(const std::string& event, const EventArgs* args) {
    auto it = handlers_.find(event);
    if (it == handlers_.end() || it->second.empty()) return;
    // A handler may close the window and so release this control, or bind
    // another handler: keep both the control and the list alive meanwhile.
    const std::shared_ptr<Object> keep = weak_from_this().lock();
    const std::vector<EventHandler> handlers = it->second;
    for (const auto& h : handlers) RunProgramCode([&] { h(args); });
}

void Control::Opening() { RaiseEvent("Open"); }

bool Control::SetPresetProperty(std::string_view, double) { return false; }

bool Control::SetProperty(std::string_view key, const PropertyValue& value) {
    const auto number = KeyNumber(key);
    return number && SetNumberedProperty(*number, key, value);
}

bool Control::SetNumberedProperty(std::size_t number, std::string_view, const PropertyValue& value) {
    if (!propertyClass_) propertyClass_ = FindPropertyClass(PropertyClassName());
    return propertyClass_ && PropertyClassTakes(*propertyClass_, number) && TakeProperty(number, value);
}

// ---- focus bookkeeping -----------------------------------------------------

namespace {

// Every live visual control, so that a gain of focus can take the focus
// from the other controls of the same window. A window holds a few dozen.
std::vector<RectControl*>& LiveControls() {
    static std::vector<RectControl*> live;
    return live;
}

// A focus change that leaves the focus where it logically is: the window
// was deactivated (another window or a dialog came up) or a popup opened.
bool KeepsFocus(Qt::FocusReason reason) {
    return reason == Qt::ActiveWindowFocusReason || reason == Qt::PopupFocusReason;
}

}  // namespace

// Watches the widget's focus events. Qt sends FocusIn only when the window
// is active, so SetFocus notes the gain itself; the FocusIn that may follow
// finds the gain noted and raises nothing.
class ControlEventFilter : public QObject {
public:
    explicit ControlEventFilter(RectControl* control) : control_(control) {}

    bool eventFilter(QObject* watched, QEvent* event) override {
        if (event->type() == QEvent::FocusIn) {
            control_->NoteFocusGained();
        } else if (event->type() == QEvent::FocusOut) {
            auto* fe = static_cast<QFocusEvent*>(event);
            if (!KeepsFocus(fe->reason())) control_->NoteFocusLost();
        }
        return QObject::eventFilter(watched, event);
    }

private:
    RectControl* control_;
};

// ---- RectControl -----------------------------------------------------------

RectControl::RectControl() : filter_(std::make_unique<ControlEventFilter>(this)) {
    LiveControls().push_back(this);
}

RectControl::~RectControl() {
    auto& live = LiveControls();
    live.erase(std::remove(live.begin(), live.end(), this), live.end());
    if (widget_) {
        widget_->removeEventFilter(filter_.get());
        // Hiding a focused widget would hand the focus to another control.
        widget_->clearFocus();
        // Released later: this may run inside one of the widget's own
        // signals (a button whose Action closed the window).
        widget_->hide();
        widget_->deleteLater();
    }
}

QObject* RectControl::Context() const { return filter_.get(); }

RectControl* RectControl::FromWidget(const QWidget* w) {
    // The live controls are a few dozen: looked through, not marked on each
    // widget (a dynamic property costs a search of the widget's meta-object).
    const auto& live = LiveControls();
    for (; w; w = w->parentWidget())
        for (RectControl* c : live)
            if (c->widget_ == w) return c;
    return nullptr;
}

void RectControl::SetWidget(QWidget* w) {
    widget_ = w;
    naturalFocus_ = w->focusPolicy();
    w->installEventFilter(filter_.get());
    w->setGeometry(left_, top_, width_, height_);
    ApplyFont();
}

void RectControl::AttachTo(Window* window) {
    Control::AttachTo(window);
    PlaceInto(window ? window->ContentWidget() : nullptr);
}

void RectControl::PlaceInto(QWidget* parent) {
    if (!widget_) return;
    widget_->setParent(parent);
    widget_->setGeometry(left_, top_, width_, height_);
    // Without a parent the widget would become a window of its own.
    if (parent) widget_->setVisible(visible_);
}

void RectControl::SetBounds(int32_t left, int32_t top, int32_t width, int32_t height) {
    const bool resized = std::max(0, width) != width_ || std::max(0, height) != height_;
    left_ = left;
    top_ = top;
    width_ = std::max(0, width);
    height_ = std::max(0, height);
    if (!widget_) return;
    widget_->setGeometry(left_, top_, width_, height_);
    if (resized) RequestFit();
}

void RectControl::ClearFocusIfHeld() {
    if (!widget_) return;
    QWidget* top = widget_->window();
    const bool qtHolds = widget_->hasFocus() || (top && top->focusWidget() &&
                                                 (top->focusWidget() == widget_ ||
                                                  widget_->isAncestorOf(top->focusWidget())));
    if (qtHolds) widget_->clearFocus();
    focusHeld_ = false;
}

void RectControl::SetEnabled(bool enabled) {
    if (!enabled) ClearFocusIfHeld();
    enabled_ = enabled;
    if (widget_) widget_->setEnabled(enabled);
}

void RectControl::SetVisible(bool visible) {
    if (!visible) ClearFocusIfHeld();
    visible_ = visible;
    if (widget_ && widget_->parentWidget()) widget_->setVisible(visible);
}

void RectControl::SetTabStop(bool stop) {
    tabStop_ = stop;
    if (!widget_) return;
    // Never makes a widget focusable that is not by nature (a label, a
    // progress bar); only takes the Tab key's way in away.
    const int policy = stop ? naturalFocus_ : (naturalFocus_ & ~Qt::TabFocus);
    widget_->setFocusPolicy(static_cast<Qt::FocusPolicy>(policy));
}

void RectControl::SetFocus() {
    if (!widget_ || !visible_ || !enabled_) return;
    widget_->setFocus(Qt::OtherFocusReason);
    NoteFocusGained();
}

void RectControl::NoteFocusGained() {
    if (focusHeld_) return;
    focusHeld_ = true;
    if (widget_) {
        const QWidget* top = widget_->window();
        for (RectControl* other : LiveControls())
            if (other != this && other->focusHeld_ && other->widget_ && other->widget_->window() == top)
                other->focusHeld_ = false;
    }
    RaiseEvent("GotFocus");
}

void RectControl::Refresh(bool immediately) {
    if (!widget_) return;
    if (!immediately) {
        widget_->update();
        return;
    }
    widget_->repaint();
    if (auto* area = qobject_cast<QAbstractScrollArea*>(widget_.data())) area->viewport()->repaint();
}

// ---- fonts -----------------------------------------------------------------

void RectControl::SetTextFont(const String& family) {
    fontFamily_ = family;
    ApplyFont();
}

void RectControl::SetTextSize(double size) {
    textSize_ = size < 0 ? 0 : size;
    ApplyFont();
}

void RectControl::SetTextUnit(int32_t unit) {
    textUnit_ = unit;
    ApplyFont();
}

void RectControl::SetBold(bool b) {
    bold_ = b;
    ApplyFont();
}

void RectControl::SetItalic(bool b) {
    italic_ = b;
    ApplyFont();
}

void RectControl::SetUnderline(bool b) {
    underline_ = b;
    ApplyFont();
}

QFont RectControl::ResolvedFont() const {
    QFont f = QApplication::font();
    SetFontName(f, fontFamily_);
    if (textSize_ > 0) {
        switch (textUnit_) {
            case 1: f.setPixelSize(std::max(1, static_cast<int>(textSize_ + 0.5))); break;
            case 3: f.setPointSizeF(textSize_ * 72.0); break;
            case 4: f.setPointSizeF(textSize_ * 72.0 / 25.4); break;
            // Points as window definitions mean them: 72 to the inch, so a
            // point is one of their pixels and a control's text fits the
            // size it was laid out for on any screen.
            default: f.setPixelSize(std::max(1, static_cast<int>(textSize_ + 0.5))); break;
        }
    }
    f.setBold(bold_);
    f.setItalic(italic_);
    f.setUnderline(underline_);
    return f;
}

void RectControl::FontChanged(const QFont& font) {
    if (widget_) widget_->setFont(font);
}

void RectControl::ApplyFont() {
    if (!widget_) return;
    // Each font change makes Qt match fonts and lay text out again, so a
    // batch of font keys costs one change. (Qt itself ignores a font equal
    // to the widget's own.)
    if (fontHeld_ > 0) {
        fontPending_ = true;
        return;
    }
    // A font equal to the one the widget inherits need not become its own:
    // setting it costs a font change all the same.
    const QFont font = ResolvedFont();
    if (!widget_->testAttribute(Qt::WA_SetFont) && font == widget_->font()) return;
    FontChanged(font);
}

void RectControl::EndPropertyBatch() {
    if (fontHeld_ == 0 || --fontHeld_ > 0) return;
    if (fontPending_) {
        fontPending_ = false;
        ApplyFont();
    }
    if (fitPending_) RequestFit();
}

void RectControl::RequestFit() {
    fitPending_ = fontHeld_ > 0;
    if (!fitPending_) Fit();
}

bool RectControl::SetPresetProperty(std::string_view key, double value) {
    if (key == "TextSize") {
        SetTextSize(value);
        return true;
    }
    if (key == "TextUnit") {
        SetTextUnit(static_cast<int32_t>(value));
        return true;
    }
    return Control::SetPresetProperty(key, value);
}

void RectControl::SetHelpTag(const String& tag) {
    helpTag_ = tag;
    if (widget_) widget_->setToolTip(tag.ToQString());
}

// ---- helpers ---------------------------------------------------------------

namespace controls {

QColor ToQColor(const Colour& c) { return QColor(c.red, c.green, c.blue); }

QString DisplayText(const String& text) {
    QString q = text.ToQString();
    q.replace(QLatin1String("\r\n"), QLatin1String("\n"));
    q.replace(QLatin1Char('\r'), QLatin1Char('\n'));
    return q;
}

}  // namespace controls

}  // namespace fw
