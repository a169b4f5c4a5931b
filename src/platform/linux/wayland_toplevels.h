// Whether the active window is full screen on wlroots compositors (Sway, Hyprland, labwc and others),
// which tell their clients about every window through zwlr_foreign_toplevel_manager_v1.
#pragma once

#include <cstdint>
#include <map>
#include <optional>

struct wl_display;
struct wl_registry;
struct zwlr_foreign_toplevel_manager_v1;
struct zwlr_foreign_toplevel_handle_v1;

namespace vantor::linux_backend {

class WaylandToplevels {
public:
    WaylandToplevels() = default;
    ~WaylandToplevels();
    WaylandToplevels(const WaylandToplevels&) = delete;
    WaylandToplevels& operator=(const WaylandToplevels&) = delete;

    // True when a compositor can be reached that offers the protocol.
    bool Available();
    // Whether the active window is full screen; nullopt when no compositor offers the protocol. Takes in
    // what the compositor has sent so far and never blocks on it.
    std::optional<bool> ActiveFullScreen();

private:
    struct State {
        bool activated = false;
        bool fullScreen = false;
    };

    bool Connect();
    void Disconnect();
    bool Dispatch();

    static void Global(void* data, wl_registry* registry, uint32_t name, const char* interface,
                       uint32_t version);
    static void GlobalRemove(void* data, wl_registry* registry, uint32_t name);
    static void NewToplevel(void* data, zwlr_foreign_toplevel_manager_v1* manager,
                            zwlr_foreign_toplevel_handle_v1* handle);
    static void Finished(void* data, zwlr_foreign_toplevel_manager_v1* manager);

    wl_display* display_ = nullptr;
    wl_registry* registry_ = nullptr;
    zwlr_foreign_toplevel_manager_v1* manager_ = nullptr;
    bool finished_ = false; // the compositor said it tells no more
    // Every window the compositor told of: the state it last completed ("done"), and the one it is
    // still sending.
    std::map<zwlr_foreign_toplevel_handle_v1*, State> current_;
    std::map<zwlr_foreign_toplevel_handle_v1*, State> pending_;
};

} // namespace vantor::linux_backend
