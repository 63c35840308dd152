#include "gui/WindowSystemTime.h"

#include <QElapsedTimer>
#include <QGuiApplication>
#include <QInputEvent>
#include <qguiapplication_platform.h>

#include <cstdlib>

#include <dlfcn.h>
#include <xcb/xcb.h>

namespace fw {

namespace {

// The X library is the one Qt's X plugin has loaded; nothing is loaded for
// it here, and without X there is none to find.
struct Xcb {
    decltype(&xcb_connect) connect = nullptr;
    decltype(&xcb_connection_has_error) hasError = nullptr;
    decltype(&xcb_disconnect) disconnect = nullptr;
    decltype(&xcb_get_setup) getSetup = nullptr;
    decltype(&xcb_setup_roots_iterator) roots = nullptr;
    decltype(&xcb_generate_id) generateId = nullptr;
    decltype(&xcb_create_window) createWindow = nullptr;
    decltype(&xcb_change_property) changeProperty = nullptr;
    decltype(&xcb_flush) flush = nullptr;
    decltype(&xcb_wait_for_event) waitForEvent = nullptr;

    bool Load() {
        void* lib = ::dlopen("libxcb.so.1", RTLD_NOW | RTLD_NOLOAD);
        if (!lib) return false;
        const auto get = [lib](auto& f, const char* name) {
            f = reinterpret_cast<std::remove_reference_t<decltype(f)>>(::dlsym(lib, name));
            return f != nullptr;
        };
        return get(connect, "xcb_connect") && get(hasError, "xcb_connection_has_error") &&
               get(disconnect, "xcb_disconnect") && get(getSetup, "xcb_get_setup") &&
               get(roots, "xcb_setup_roots_iterator") && get(generateId, "xcb_generate_id") &&
               get(createWindow, "xcb_create_window") && get(changeProperty, "xcb_change_property") &&
               get(flush, "xcb_flush") && get(waitForEvent, "xcb_wait_for_event");
    }
};

// A connection of its own to the X server, with an unmapped window whose
// property changes it watches: appending nothing to a property makes the
// server report the change, stamped with its time.
class XClock {
public:
    std::optional<std::uint64_t> Now() {
        if (!Ready()) return std::nullopt;
        x_.changeProperty(c_, XCB_PROP_MODE_APPEND, window_, XCB_ATOM_WM_NAME, XCB_ATOM_STRING, 8, 0, nullptr);
        x_.flush(c_);
        while (xcb_generic_event_t* e = x_.waitForEvent(c_)) {
            const bool ours = (e->response_type & 0x7F) == XCB_PROPERTY_NOTIFY &&
                              reinterpret_cast<xcb_property_notify_event_t*>(e)->window == window_;
            const xcb_timestamp_t time = ours ? reinterpret_cast<xcb_property_notify_event_t*>(e)->time : 0;
            std::free(e);
            if (ours) return time;
        }
        // The server went away.
        failed_ = true;
        return std::nullopt;
    }

    ~XClock() {
        if (c_) x_.disconnect(c_);
    }

private:
    bool Ready() {
        if (c_) return !failed_;
        if (failed_ || QGuiApplication::platformName() != QLatin1String("xcb") || !x_.Load()) {
            failed_ = true;
            return false;
        }
        c_ = x_.connect(nullptr, nullptr);
        if (!c_ || x_.hasError(c_)) {
            failed_ = true;
            return false;
        }
        const xcb_screen_t* screen = x_.roots(x_.getSetup(c_)).data;
        window_ = x_.generateId(c_);
        const std::uint32_t events = XCB_EVENT_MASK_PROPERTY_CHANGE;
        x_.createWindow(c_, XCB_COPY_FROM_PARENT, window_, screen->root, -1, -1, 1, 1, 0, XCB_WINDOW_CLASS_INPUT_ONLY,
                        XCB_COPY_FROM_PARENT, XCB_CW_EVENT_MASK, &events);
        return true;
    }

    Xcb x_;
    xcb_connection_t* c_ = nullptr;
    xcb_window_t window_ = 0;
    bool failed_ = false;
};

struct LastInput {
    bool seen = false;
    std::uint64_t timestamp = 0;
    QElapsedTimer since;
};

LastInput& Last() {
    static LastInput last;
    return last;
}

}  // namespace

void NoteInputEvent(const QInputEvent& event) {
    LastInput& last = Last();
    last.seen = true;
    last.timestamp = event.timestamp();
    last.since.start();
}

std::optional<std::uint64_t> WindowSystemTimeNow() {
    static XClock x;
    if (const auto t = x.Now()) return t;
    const LastInput& last = Last();
    if (!last.seen) return std::nullopt;
    return last.timestamp + static_cast<std::uint64_t>(last.since.elapsed());
}

void FlushWindowSystem() {
    static decltype(&xcb_flush) flush = [] {
        void* lib = ::dlopen("libxcb.so.1", RTLD_NOW | RTLD_NOLOAD);
        return lib ? reinterpret_cast<decltype(&xcb_flush)>(::dlsym(lib, "xcb_flush")) : nullptr;
    }();
    auto* app = qobject_cast<QGuiApplication*>(QCoreApplication::instance());
    if (!flush || !app) return;
    if (auto* x11 = app->nativeInterface<QNativeInterface::QX11Application>())
        if (xcb_connection_t* c = x11->connection()) flush(c);
}

bool TimestampAfter(std::uint64_t a, std::uint64_t b) {
    if (a <= 0xFFFFFFFFu && b <= 0xFFFFFFFFu)
        return static_cast<std::int32_t>(static_cast<std::uint32_t>(a) - static_cast<std::uint32_t>(b)) > 0;
    return a > b;
}

}  // namespace fw
