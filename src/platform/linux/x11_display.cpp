#include "platform/linux/x11_display.h"

#include <xcb/randr.h>
#include <xcb/screensaver.h>
#include <xcb/xcb.h>

#include <algorithm>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <strings.h>

namespace vantor::linux_backend {

namespace {

// XCB replies are malloc'ed; this frees them when the scope ends.
struct FreeDeleter {
    void operator()(void* p) const { std::free(p); }
};
template <typename T> using Reply = std::unique_ptr<T, FreeDeleter>;

constexpr uint32_t kCurrentTime = 0;

} // namespace

X11Display::~X11Display() {
    if (conn_ != nullptr) {
        xcb_disconnect(conn_);
    }
}

xcb_connection_t* X11Display::Connection() {
    if (conn_ != nullptr && xcb_connection_has_error(conn_) != 0) {
        xcb_disconnect(conn_);
        conn_ = nullptr;
        atoms_.clear(); // a new server connection may number atoms differently
    }
    if (conn_ == nullptr) {
        const char* display = std::getenv("DISPLAY");
        if (display == nullptr || *display == '\0') {
            return nullptr;
        }
        int screen = 0;
        xcb_connection_t* c = xcb_connect(display, &screen);
        if (xcb_connection_has_error(c) != 0) {
            xcb_disconnect(c);
            return nullptr;
        }
        xcb_screen_iterator_t it = xcb_setup_roots_iterator(xcb_get_setup(c));
        for (int i = 0; i < screen && it.rem > 0; ++i) {
            xcb_screen_next(&it);
        }
        if (it.rem == 0) {
            xcb_disconnect(c);
            return nullptr;
        }
        conn_ = c;
        root_ = it.data->root;
        screenNumber_ = screen;
    }
    return conn_;
}

uint32_t X11Display::Atom(const char* name) {
    // The full-screen test runs every second: its atom is looked up once, not on every tick.
    if (const auto known = atoms_.find(name); known != atoms_.end()) {
        return known->second;
    }
    xcb_intern_atom_cookie_t cookie =
        xcb_intern_atom(conn_, 0, static_cast<uint16_t>(std::strlen(name)), name);
    Reply<xcb_intern_atom_reply_t> reply(xcb_intern_atom_reply(conn_, cookie, nullptr));
    if (!reply) {
        return static_cast<uint32_t>(XCB_ATOM_NONE);
    }
    atoms_.emplace(name, reply->atom);
    return reply->atom;
}

std::optional<uint64_t> X11Display::IdleMs() {
    xcb_connection_t* c = Connection();
    if (c == nullptr) {
        return std::nullopt;
    }
    const xcb_query_extension_reply_t* ext = xcb_get_extension_data(c, &xcb_screensaver_id);
    if (ext == nullptr || ext->present == 0) {
        return std::nullopt;
    }
    Reply<xcb_screensaver_query_info_reply_t> info(
        xcb_screensaver_query_info_reply(c, xcb_screensaver_query_info(c, root_), nullptr));
    if (!info) {
        return std::nullopt;
    }
    return info->ms_since_user_input;
}

std::optional<WindowSize> X11Display::ActiveWindowSize() {
    xcb_connection_t* c = Connection();
    if (c == nullptr) {
        return std::nullopt;
    }
    const uint32_t activeAtom = Atom("_NET_ACTIVE_WINDOW");
    Reply<xcb_get_property_reply_t> prop(
        xcb_get_property_reply(c, xcb_get_property(c, 0, root_, activeAtom, XCB_ATOM_WINDOW, 0, 1), nullptr));
    if (!prop || prop->format != 32 || xcb_get_property_value_length(prop.get()) < 4) {
        return std::nullopt;
    }
    xcb_window_t window = *static_cast<const xcb_window_t*>(xcb_get_property_value(prop.get()));
    if (window == XCB_WINDOW_NONE) {
        return std::nullopt;
    }
    // The window manager's frame is the ancestor that is a direct child of the root: its size is what the
    // user sees, title bar and borders included.
    for (int depth = 0; depth < 16; ++depth) {
        Reply<xcb_query_tree_reply_t> tree(xcb_query_tree_reply(c, xcb_query_tree(c, window), nullptr));
        if (!tree) {
            return std::nullopt;
        }
        if (tree->parent == root_ || tree->parent == XCB_WINDOW_NONE) {
            break;
        }
        window = tree->parent;
    }
    Reply<xcb_get_geometry_reply_t> geo(xcb_get_geometry_reply(c, xcb_get_geometry(c, window), nullptr));
    if (!geo) {
        return std::nullopt;
    }
    return WindowSize{geo->width + 2 * geo->border_width, geo->height + 2 * geo->border_width};
}

std::optional<ScreenSize> X11Display::PrimaryScreenSize() {
    xcb_connection_t* c = Connection();
    if (c == nullptr) {
        return std::nullopt;
    }
    const xcb_query_extension_reply_t* randr = xcb_get_extension_data(c, &xcb_randr_id);
    if (randr != nullptr && randr->present != 0) {
        Reply<xcb_randr_get_output_primary_reply_t> primary(
            xcb_randr_get_output_primary_reply(c, xcb_randr_get_output_primary(c, root_), nullptr));
        if (primary && primary->output != XCB_NONE) {
            Reply<xcb_randr_get_output_info_reply_t> output(xcb_randr_get_output_info_reply(
                c, xcb_randr_get_output_info(c, primary->output, kCurrentTime), nullptr));
            if (output && output->crtc != XCB_NONE) {
                Reply<xcb_randr_get_crtc_info_reply_t> crtc(xcb_randr_get_crtc_info_reply(
                    c, xcb_randr_get_crtc_info(c, output->crtc, kCurrentTime), nullptr));
                if (crtc && crtc->width > 0 && crtc->height > 0) {
                    return ScreenSize{static_cast<double>(crtc->width), static_cast<double>(crtc->height)};
                }
            }
        }
    }
    xcb_screen_iterator_t it = xcb_setup_roots_iterator(xcb_get_setup(c));
    for (int i = 0; i < screenNumber_ && it.rem > 0; ++i) {
        xcb_screen_next(&it);
    }
    return ScreenSize{static_cast<double>(it.data->width_in_pixels),
                      static_cast<double>(it.data->height_in_pixels)};
}

std::vector<uint32_t> X11Display::TopLevelWindows() {
    std::vector<uint32_t> windows;
    // Both lists run from the bottom of the stack to its top; the caller wants the top first.
    Reply<xcb_get_property_reply_t> list(xcb_get_property_reply(
        conn_,
        xcb_get_property(conn_, 0, root_, Atom("_NET_CLIENT_LIST_STACKING"), XCB_ATOM_WINDOW, 0, 16384),
        nullptr));
    if (list && list->format == 32 && xcb_get_property_value_length(list.get()) > 0) {
        const auto* ids = static_cast<const xcb_window_t*>(xcb_get_property_value(list.get()));
        windows.assign(ids, ids + xcb_get_property_value_length(list.get()) / 4);
    } else {
        // Without a window manager that keeps a client list, the root's children are the top-level windows.
        Reply<xcb_query_tree_reply_t> tree(
            xcb_query_tree_reply(conn_, xcb_query_tree(conn_, root_), nullptr));
        if (tree) {
            const xcb_window_t* children = xcb_query_tree_children(tree.get());
            windows.assign(children, children + xcb_query_tree_children_length(tree.get()));
        }
    }
    std::reverse(windows.begin(), windows.end());
    return windows;
}

std::optional<std::string> X11Display::Title(uint32_t window) {
    const uint32_t utf8 = Atom("UTF8_STRING");
    for (const auto& [property, type] :
         {std::pair{Atom("_NET_WM_NAME"), utf8}, std::pair{static_cast<uint32_t>(XCB_ATOM_WM_NAME), 0u}}) {
        Reply<xcb_get_property_reply_t> reply(xcb_get_property_reply(
            conn_,
            xcb_get_property(conn_, 0, window, property,
                             type == 0 ? static_cast<uint32_t>(XCB_GET_PROPERTY_TYPE_ANY) : type, 0, 1024),
            nullptr));
        if (reply && reply->format == 8 && xcb_get_property_value_length(reply.get()) > 0) {
            return std::string(static_cast<const char*>(xcb_get_property_value(reply.get())),
                               static_cast<size_t>(xcb_get_property_value_length(reply.get())));
        }
    }
    return std::nullopt;
}

bool X11Display::WmSupports(uint32_t atom) {
    Reply<xcb_get_property_reply_t> reply(xcb_get_property_reply(
        conn_, xcb_get_property(conn_, 0, root_, Atom("_NET_SUPPORTED"), XCB_ATOM_ATOM, 0, 4096), nullptr));
    if (!reply || reply->format != 32) {
        return false;
    }
    const auto* atoms = static_cast<const xcb_atom_t*>(xcb_get_property_value(reply.get()));
    const int n = xcb_get_property_value_length(reply.get()) / 4;
    for (int i = 0; i < n; ++i) {
        if (atoms[i] == atom) {
            return true;
        }
    }
    return false;
}

bool X11Display::ClientSupports(uint32_t window, uint32_t protocol) {
    Reply<xcb_get_property_reply_t> reply(xcb_get_property_reply(
        conn_, xcb_get_property(conn_, 0, window, Atom("WM_PROTOCOLS"), XCB_ATOM_ATOM, 0, 64), nullptr));
    if (!reply || reply->format != 32) {
        return false;
    }
    const auto* atoms = static_cast<const xcb_atom_t*>(xcb_get_property_value(reply.get()));
    const int n = xcb_get_property_value_length(reply.get()) / 4;
    for (int i = 0; i < n; ++i) {
        if (atoms[i] == protocol) {
            return true;
        }
    }
    return false;
}

bool X11Display::CloseWindowTitled(const std::string& title) {
    if (title.empty() || Connection() == nullptr) {
        return false;
    }
    const uint32_t netClose = Atom("_NET_CLOSE_WINDOW");
    const bool viaWm = WmSupports(netClose);
    const uint32_t protocols = Atom("WM_PROTOCOLS");
    const uint32_t deleteWindow = Atom("WM_DELETE_WINDOW");
    bool asked = false;
    for (const uint32_t window : TopLevelWindows()) {
        const std::optional<std::string> name = Title(window);
        // Titles are compared without regard to letter case, as a title search on the desktop would.
        if (!name || name->size() != title.size() ||
            strncasecmp(name->c_str(), title.c_str(), title.size()) != 0) {
            continue;
        }
        xcb_client_message_event_t ev{};
        ev.response_type = XCB_CLIENT_MESSAGE;
        ev.format = 32;
        if (viaWm) {
            // The window manager closes politely and deals with clients that do not answer.
            ev.window = window;
            ev.type = netClose;
            ev.data.data32[0] = kCurrentTime;
            ev.data.data32[1] = 2; // request from a pager-like tool, not from the application itself
            xcb_send_event(conn_, 0, root_,
                           XCB_EVENT_MASK_SUBSTRUCTURE_NOTIFY | XCB_EVENT_MASK_SUBSTRUCTURE_REDIRECT,
                           reinterpret_cast<const char*>(&ev));
        } else if (ClientSupports(window, deleteWindow)) {
            ev.window = window;
            ev.type = protocols;
            ev.data.data32[0] = deleteWindow;
            ev.data.data32[1] = kCurrentTime;
            xcb_send_event(conn_, 0, window, XCB_EVENT_MASK_NO_EVENT, reinterpret_cast<const char*>(&ev));
        } else {
            continue;
        }
        // One window, the topmost of that title, as a title search on the desktop finds one.
        asked = true;
        break;
    }
    xcb_flush(conn_);
    return asked;
}

} // namespace vantor::linux_backend
