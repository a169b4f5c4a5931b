// The X11 services of the Linux backend over one lazily opened XCB connection: input idle time,
// the active window's frame size, the primary screen's size and closing windows by title.
#pragma once

#include "platform/platform.h"

#include <cstdint>
#include <optional>
#include <string>
#include <unordered_map>
#include <vector>

struct xcb_connection_t;

namespace vantor::linux_backend {

class X11Display {
public:
    X11Display() = default;
    ~X11Display();
    X11Display(const X11Display&) = delete;
    X11Display& operator=(const X11Display&) = delete;

    // Milliseconds since the last keyboard or mouse input (MIT-SCREEN-SAVER); nullopt without it.
    std::optional<uint64_t> IdleMs();
    // Frame size of the window named by _NET_ACTIVE_WINDOW; nullopt when there is none.
    std::optional<WindowSize> ActiveWindowSize();
    // Size of the primary monitor (RandR), else of the whole root window; nullopt without X.
    std::optional<ScreenSize> PrimaryScreenSize();
    // Asks the topmost window whose title equals `title` (letter case aside) to close; false when there
    // is none.
    bool CloseWindowTitled(const std::string& title);

private:
    // The connection, opened on first use and reopened after it broke; nullptr without a display.
    xcb_connection_t* Connection();
    // An atom's number, asked of the server once per connection.
    uint32_t Atom(const char* name);
    // Top-level windows, the top of the stack first.
    std::vector<uint32_t> TopLevelWindows();
    std::optional<std::string> Title(uint32_t window);
    bool WmSupports(uint32_t atom);
    bool ClientSupports(uint32_t window, uint32_t protocol);

    xcb_connection_t* conn_ = nullptr;
    uint32_t root_ = 0;
    int screenNumber_ = 0;
    std::unordered_map<std::string, uint32_t> atoms_;
};

} // namespace vantor::linux_backend
