#include "gui/Window.h"

#include "gui/Application.h"
#include "gui/Menu.h"
#include "core/Registry.h"
#include "gui/Runtime.h"
#include "core/RuntimeCore.h"

#include <QApplication>
#include <QCloseEvent>
#include <QEventLoop>
#include <QMenuBar>
#include <QPalette>
#include <QPointer>
#include <QThread>
#include <QVBoxLayout>
#include <QWidget>

#include <algorithm>
#include <set>

namespace fw {

// The top-level widget: hands the user's close request to its window.
class WindowFrame : public QWidget {
public:
    explicit WindowFrame(Window* owner) : owner_(owner) {}
    void Disown() { owner_ = nullptr; }

protected:
    void closeEvent(QCloseEvent* event) override {
        // The window hides itself when it closes; Qt must not close it
        // behind the framework's back.
        event->ignore();
        if (owner_) owner_->CloseRequested();
    }

private:
    Window* owner_;
};

namespace {

// Holds a closed window until control is back in the event loop that was
// running when it closed, so that the handler that closed it runs to its
// end with the window and its controls intact.
class ReleaseHolder : public QObject {
public:
    explicit ReleaseHolder(Ref<Window> w);
    ~ReleaseHolder() override;

private:
    Ref<Window> window_;
};

struct WindowState {
    std::map<std::string, Ref<Window>, std::less<>> implicit;
    std::map<std::string, Window*, std::less<>> building;
    std::vector<Ref<Window>> open;
    std::set<ReleaseHolder*> pending;
};

WindowState& State() {
    static WindowState state;
    return state;
}

ReleaseHolder::ReleaseHolder(Ref<Window> w) : window_(std::move(w)) { State().pending.insert(this); }
ReleaseHolder::~ReleaseHolder() { State().pending.erase(this); }

std::string NameKey(const String& name) { return Lowercase(name).ToUtf8(); }

// Qt reads "[*]" in a title as the modified-marker placeholder; doubling it
// shows it literally.
QString TitleForQt(const String& title) {
    QString t = title.ToQString();
    t.replace(QStringLiteral("[*]"), QStringLiteral("[*][*]"));
    return t;
}

bool IsModalFrame(int32_t kind) { return kind == 1 || kind == 2 || kind == 8; }

// Windows live on the user-interface thread only.
void RequireUiThread(const char* operation) {
    QCoreApplication* app = QCoreApplication::instance();
    if (app && QThread::currentThread() != app->thread())
        throw RuntimeException(std::string("Window.") + operation + " was called outside the user-interface thread.");
}

Ref<Window> SelfRef(Window& w) {
    auto shared = std::static_pointer_cast<Window>(w.weak_from_this().lock());
    return Ref<Window>(shared);
}

}  // namespace

Window::Window() {
    if (!qobject_cast<QApplication*>(QCoreApplication::instance()))
        throw RuntimeException("A window cannot be created before the runtime has started (RuntimeInit).");
    RequireUiThread("Constructor");
    frame_ = new WindowFrame(this);
    layout_ = new QVBoxLayout(frame_);
    layout_->setContentsMargins(0, 0, 0, 0);
    layout_->setSpacing(0);
    content_ = new QWidget(frame_);
    content_->setObjectName(QStringLiteral("content"));
    layout_->addWidget(content_);
    UpdateFlags();
    UpdateGeometry();
}

Window::~Window() {
    // Controls go first, while their widgets still exist. A control that
    // someone else still holds keeps its widget: it is taken out of the
    // frame before the frame goes.
    std::vector<std::weak_ptr<Control>> survivors;
    for (auto& c : controls_) survivors.push_back(c.Shared());
    controlsByName_.clear();
    controls_.clear();
    for (auto& weak : survivors)
        if (auto c = weak.lock())
            if (QWidget* w = static_cast<Control&>(*c).Widget(); w && w->parent()) {
                w->hide();
                w->setParent(nullptr);
            }
    if (frame_) {
        frame_->Disown();
        delete frame_;
    }
}

QWidget* Window::ContentWidget() const { return content_; }
QWidget* Window::FrameWidget() const { return frame_; }

void Window::RunHook(const char* event) {
    const ClassInfo* cls = Class();
    if (!cls) return;
    const HookInfo* hook = cls->FindHook(event);
    if (!hook || !hook->call) return;
    RunProgramCode([&] { hook->call(*this); });
}

void Window::Constructor() {
    RequireUiThread("Constructor");
    if (constructed_ || constructing_ || closed_) return;
    Ref<Window> self = SelfRef(*this);
    if (!self)
        throw RuntimeException("The window '" + title_.ToUtf8() +
                               "' must be created through the registry or New before it is built.");
    constructing_ = true;
    RunHook("Layout");
    // A window without a bar of its own still answers the shortcuts of the
    // application's bar (Quit, the Edit commands).
    if (!closed_ && !menuBar_)
        if (auto app = std::dynamic_pointer_cast<Application>(GetAppObject().Shared()); app && app->MenuBar())
            AddShortcutActions(frame_, app->MenuBar(), [this](const Ref<MenuItem>& item) {
                const String name = item->Name();
                RunProgramCode([this, &name] { DoMenuCommand(name); });
            });
    if (!closed_) RunHook("CreateControls");
    if (!closed_) RunHook("AddMenuHandlers");
    constructing_ = false;
    if (closed_) return;
    ApplyTabOrder();
    constructed_ = true;
    State().open.push_back(self);
    if (!implicitKey_.empty()) RuntimeRegisterImplicitWindow(implicitKey_, self);
    if (visible_) Show();
    // Controls open before their window, so that the window's Open sees
    // what their Open handlers did.
    const std::vector<Ref<Control>> opening = controls_;
    for (const auto& c : opening) {
        if (closed_) return;
        c->Opening();
    }
    if (!closed_) RunHook("Open");
}

void Window::Show() {
    RequireUiThread("Show");
    if (closed_) return;
    visible_ = true;
    if (constructing_) return;  // shown when building ends
    // A window shown for the first time comes up in front; one already on
    // screen is brought forward.
    const bool wasVisible = frame_->isVisible();
    if (fullScreen_) frame_->showFullScreen();
    else frame_->show();
    if (wasVisible) frame_->raise();
    frame_->activateWindow();
}

void Window::Hide() {
    visible_ = false;
    frame_->hide();
}

void Window::SetVisible(bool visible) {
    if (constructing_ || !constructed_) {
        visible_ = visible;
        return;
    }
    if (visible) Show();
    else Hide();
}

void Window::ShowModal() {
    RequireUiThread("ShowModal");
    if (closed_ || RuntimeIsQuitting()) return;
    Ref<Window> self = SelfRef(*this);  // alive until the loop has ended
    if (frame_->windowModality() != Qt::ApplicationModal) {
        const bool wasVisible = frame_->isVisible();
        if (wasVisible) frame_->hide();
        frame_->setWindowModality(Qt::ApplicationModal);
    }
    Show();
    QEventLoop loop;
    modalLoops_.push_back(&loop);
    // Ends on Close (loop.exit) or on Quit, which ends every loop.
    loop.exec(QEventLoop::DialogExec);
    modalLoops_.erase(std::remove(modalLoops_.begin(), modalLoops_.end(), &loop), modalLoops_.end());
}

void Window::CloseRequested() { RunProgramCode([this] { Close(); }); }

void Window::Close() {
    RequireUiThread("Close");
    if (closing_ || closed_) return;
    closing_ = true;
    Ref<Window> self = SelfRef(*this);
    if (constructed_) RunHook("Close");
    closed_ = true;
    for (const auto& c : controls_) c->WindowClosed();
    if (!implicitKey_.empty()) RuntimeRemoveImplicitWindow(implicitKey_, this);
    auto& open = State().open;
    open.erase(std::remove_if(open.begin(), open.end(), [this](const Ref<Window>& w) { return w.Get() == this; }),
               open.end());
    for (QEventLoop* loop : modalLoops_) loop->exit(0);
    frame_->hide();
    if (self) {
        auto* holder = new ReleaseHolder(self);
        holder->deleteLater();
    }
}

// --- controls

void Window::AddControl(const String& name, const Ref<Control>& control) {
    if (!control)
        throw NilObjectException("Window.AddControl was given a nil control for the name '" + name.ToUtf8() + "'.");
    control->SetName(name);
    control->AttachTo(this);
    controls_.push_back(control);
    controlsByName_[NameKey(name)] = control;
}

Ref<Control> Window::ControlByName(const String& name) const {
    auto it = controlsByName_.find(NameKey(name));
    return it == controlsByName_.end() ? Ref<Control>() : it->second;
}

Ref<Object> Window::New(const ClassInfo& cls) { return RuntimeNewObject(cls); }
Ref<Object> Window::New(std::string_view className) { return RuntimeNewObject(className); }

void Window::ApplyTabOrder() {
    std::vector<std::pair<int32_t, QWidget*>> stops;
    for (const auto& c : controls_) {
        auto* rc = dynamic_cast<RectControl*>(c.Get());
        if (!rc || !rc->TabStop()) continue;
        if (QWidget* w = static_cast<Control&>(*rc).Widget()) stops.emplace_back(rc->TabIndex(), w);
    }
    std::stable_sort(stops.begin(), stops.end(), [](const auto& a, const auto& b) { return a.first < b.first; });
    for (std::size_t i = 1; i < stops.size(); ++i) QWidget::setTabOrder(stops[i - 1].second, stops[i].second);
}

// --- menus

void Window::SetMenuBar(const Ref<fw::MenuBar>& bar) {
    menuBar_ = bar;
    RebuildQtMenuBar();
}

void Window::RebuildQtMenuBar() {
    if (qtMenuBar_) {
        layout_->setMenuBar(nullptr);
        delete qtMenuBar_;
        qtMenuBar_ = nullptr;
    }
    if (menuBar_) {
        qtMenuBar_ = BuildQMenuBar(
            menuBar_,
            [this](const Ref<MenuItem>& item) {
                const String name = item->Name();
                RunProgramCode([this, &name] { DoMenuCommand(name); });
            },
            frame_);
        qtMenuBar_->setVisible(menuBarVisible_);
        layout_->setMenuBar(qtMenuBar_);
    }
    UpdateGeometry();
}

void Window::AddMenuHandler(const String& itemName, MenuCommand command) {
    menuHandlers_[NameKey(itemName)] = std::move(command);
}

bool Window::HasMenuHandler(const String& itemName) const {
    return menuHandlers_.count(NameKey(itemName)) != 0;
}

bool Window::DoMenuCommand(const String& itemName) {
    Ref<Window> self = SelfRef(*this);  // a command may close this window
    if (auto it = menuHandlers_.find(NameKey(itemName)); it != menuHandlers_.end() && it->second) {
        MenuCommand command = it->second;
        command();
        return true;
    }
    Ref<Application> app(std::dynamic_pointer_cast<Application>(GetAppObject().Shared()));
    if (app && app->RunMenuHandler(itemName)) return true;
    Ref<MenuItem> item = menuBar_ ? menuBar_->Lookup(itemName) : Ref<MenuItem>();
    if (!item && app && app->MenuBar()) item = app->MenuBar()->Lookup(itemName);
    if (item && item->PerformOwnAction()) return true;
    if (IsEditCommand(itemName)) {
        QWidget* target = frame_->focusWidget();
        if (!target && QApplication::activeWindow() == frame_) target = QApplication::focusWidget();
        return PerformEditCommand(itemName, target);
    }
    return false;
}

// --- properties

void Window::SetTitle(const String& title) {
    title_ = title;
    frame_->setWindowTitle(TitleForQt(title_));
}

void Window::SetSize(int32_t width, int32_t height) {
    width_ = width;
    height_ = height;
    UpdateGeometry();
}

void Window::UpdateGeometry() {
    const int w = std::max(0, width_), h = std::max(0, height_);
    // A fixed content area keeps to the top left even under a wider menu
    // bar; a resizeable one fills the window.
    layout_->setAlignment(content_, resizeable_ ? Qt::Alignment() : (Qt::AlignLeft | Qt::AlignTop));
    if (!resizeable_) {
        content_->setMinimumSize(0, 0);
        content_->setMaximumSize(QWIDGETSIZE_MAX, QWIDGETSIZE_MAX);
        content_->setFixedSize(w, h);
        layout_->setSizeConstraint(QLayout::SetFixedSize);
    } else {
        layout_->setSizeConstraint(QLayout::SetDefaultConstraint);
        frame_->setMinimumSize(0, 0);
        frame_->setMaximumSize(QWIDGETSIZE_MAX, QWIDGETSIZE_MAX);
        content_->setMinimumSize(std::max(0, minWidth_), std::max(0, minHeight_));
        content_->setMaximumSize(std::max(1, maxWidth_), std::max(1, maxHeight_));
        const int barHeight = (qtMenuBar_ && menuBarVisible_) ? qtMenuBar_->sizeHint().height() : 0;
        frame_->resize(w, h + barHeight);
        content_->resize(w, h);
    }
    layout_->invalidate();
    layout_->activate();
}

void Window::UpdateFlags() {
    Qt::WindowFlags f;
    switch (frameKind_) {
    case 1: case 2: case 8: case 11: f = Qt::Dialog; break;         // dialogs, modal or not
    case 3: case 7: f = Qt::Tool; break;                            // floating palettes
    case 4: case 5: f = Qt::Dialog | Qt::FramelessWindowHint; break;  // plain boxes
    default: f = Qt::Window; break;                                 // 0: document window
    }
    f |= Qt::CustomizeWindowHint | Qt::WindowTitleHint;
    if (closeButton_) f |= Qt::WindowCloseButtonHint;
    if (minimizeButton_) f |= Qt::WindowMinimizeButtonHint;
    if (maximizeButton_ && resizeable_) f |= Qt::WindowMaximizeButtonHint;
    if (f != frame_->windowFlags()) {
        const bool wasVisible = frame_->isVisible();
        frame_->setWindowFlags(f);
        if (wasVisible) frame_->show();
    }
    if (IsModalFrame(frameKind_) && !frame_->isVisible()) frame_->setWindowModality(Qt::ApplicationModal);
}

bool Window::SetProperty(std::string_view key, const PropertyValue& value) {
    static const PropertyClass* const cls = FindPropertyClass("Window");
    const auto number = KeyNumber(key);
    return number && cls && PropertyClassTakes(*cls, *number) && ApplyPropertyRow(*this, *number, value);
}

void Window::SetMinWidth(int32_t v) {
    minWidth_ = v;
    UpdateGeometry();
}

void Window::SetMinHeight(int32_t v) {
    minHeight_ = v;
    UpdateGeometry();
}

void Window::SetMaxWidth(int32_t v) {
    maxWidth_ = v;
    UpdateGeometry();
}

void Window::SetMaxHeight(int32_t v) {
    maxHeight_ = v;
    UpdateGeometry();
}

void Window::SetFrame(int32_t kind) {
    frameKind_ = kind;
    UpdateFlags();
}

void Window::SetResizeable(bool b) {
    resizeable_ = b;
    UpdateFlags();
    UpdateGeometry();
}

void Window::SetCloseButton(bool b) {
    closeButton_ = b;
    UpdateFlags();
}

void Window::SetMinimizeButton(bool b) {
    minimizeButton_ = b;
    UpdateFlags();
}

void Window::SetMaximizeButton(bool b) {
    maximizeButton_ = b;
    UpdateFlags();
}

void Window::SetMenuBarVisible(bool b) {
    menuBarVisible_ = b;
    if (qtMenuBar_) qtMenuBar_->setVisible(menuBarVisible_);
    UpdateGeometry();
}

void Window::SetHasBackColor(bool b) {
    hasBackColor_ = b;
    PaintBackground();
}

void Window::SetBackColor(const Colour& c) {
    backColor_ = c;
    PaintBackground();
}

void Window::PaintBackground() {
    // Without a back colour the content keeps the style's palette: a
    // palette of its own, even an unused one, makes every control on it
    // draw its bevels afresh instead of from the style's cache.
    QPalette p;
    if (hasBackColor_) p.setColor(QPalette::Window, QColor(backColor_.red, backColor_.green, backColor_.blue));
    content_->setPalette(p);
    content_->setAutoFillBackground(hasBackColor_);
}

// --- implicit instances and the window list

Ref<Window> GetImplicitWindow(std::string_view key) {
    auto& m = State().implicit;
    auto it = m.find(key);
    return it == m.end() ? Ref<Window>() : it->second;
}

void RuntimeRegisterImplicitWindow(std::string_view key, const Ref<Window>& window) {
    State().implicit[std::string(key)] = window;
}

void RuntimeRemoveImplicitWindow(std::string_view key, const Window* window) {
    auto& m = State().implicit;
    auto it = m.find(key);
    if (it != m.end() && it->second.Get() == window) m.erase(it);
}

Ref<Window> RuntimeImplicitWindow(std::string_view className) {
    if (Ref<Window> open = GetImplicitWindow(className)) return open;
    // Asked again while it is being built (from one of its own hooks): the
    // same window, not a second one.
    auto& building = State().building;
    if (auto it = building.find(className); it != building.end()) return SelfRef(*it->second);
    const ClassInfo& cls = TheRegistry().Get(className);
    Ref<Object> made = RuntimeNewObject(cls);
    auto asWindow = std::dynamic_pointer_cast<Window>(made.Shared());
    if (!asWindow)
        throw IllegalCastException("The class '" + std::string(className) + "' is not a window class.");
    Ref<Window> w(asWindow);
    w->SetImplicitKey(std::string(className));
    const std::string key(className);
    building[key] = w.Get();
    try {
        w->Constructor();
    } catch (...) {
        State().building.erase(key);
        throw;
    }
    State().building.erase(key);
    return w;
}

std::vector<Ref<Window>> RuntimeOpenWindows() { return State().open; }

void RuntimeCloseAllWindows() {
    std::vector<Ref<Window>> open = State().open;
    for (auto it = open.rbegin(); it != open.rend(); ++it) (*it)->Close();
}

void RuntimeReleaseWindows() {
    WindowState& s = State();
    auto implicit = std::move(s.implicit);
    auto open = std::move(s.open);
    s.implicit.clear();
    s.open.clear();
    s.building.clear();
    implicit.clear();
    open.clear();
    std::set<ReleaseHolder*> pending;
    pending.swap(s.pending);
    for (ReleaseHolder* h : pending) delete h;
}

}  // namespace fw
