// Sends a window the close request a window manager sends when the user
// clicks the close box (a WM_DELETE_WINDOW client message), since no window
// manager runs under Xvfb. Usage: send_close_request WINDOW-ID
#include <xcb/xcb.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>

namespace {
xcb_atom_t Atom(xcb_connection_t* c, const char* name) {
    xcb_intern_atom_reply_t* r = xcb_intern_atom_reply(c, xcb_intern_atom(c, 0, std::strlen(name), name), nullptr);
    if (!r) return XCB_ATOM_NONE;
    xcb_atom_t a = r->atom;
    std::free(r);
    return a;
}
}  // namespace

int main(int argc, char** argv) {
    if (argc != 2) {
        std::fprintf(stderr, "usage: %s WINDOW-ID\n", argv[0]);
        return 2;
    }
    char* end = nullptr;
    const unsigned long id = std::strtoul(argv[1], &end, 0);
    if (!end || *end != '\0' || id == 0) {
        std::fprintf(stderr, "send_close_request: '%s' is no window id\n", argv[1]);
        return 2;
    }
    xcb_connection_t* c = xcb_connect(nullptr, nullptr);
    if (xcb_connection_has_error(c)) {
        std::fprintf(stderr, "send_close_request: cannot open the display\n");
        return 1;
    }
    xcb_client_message_event_t ev;
    std::memset(&ev, 0, sizeof ev);
    ev.response_type = XCB_CLIENT_MESSAGE;
    ev.format = 32;
    ev.window = static_cast<xcb_window_t>(id);
    ev.type = Atom(c, "WM_PROTOCOLS");
    ev.data.data32[0] = Atom(c, "WM_DELETE_WINDOW");
    ev.data.data32[1] = XCB_CURRENT_TIME;
    xcb_void_cookie_t ck = xcb_send_event_checked(c, 0, ev.window, XCB_EVENT_MASK_NO_EVENT, reinterpret_cast<const char*>(&ev));
    xcb_generic_error_t* err = xcb_request_check(c, ck);
    const int rc = err ? 1 : 0;
    if (err) std::fprintf(stderr, "send_close_request: the X server refused the message (error %d)\n", err->error_code);
    std::free(err);
    xcb_disconnect(c);
    return rc;
}
