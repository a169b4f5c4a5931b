// Whether the active window is full screen on wlroots compositors, through their foreign-toplevel protocol.
#include "platform/linux/wayland_toplevels.h"

#include "wlr-foreign-toplevel-management-unstable-v1-client-protocol.h"

#include <wayland-client.h>

#include <algorithm>
#include <cstring>
#include <poll.h>

namespace vantor::linux_backend {

namespace {

// Version 2 brought the full-screen state; 3 added the parent event, which is taken and passed over.
constexpr uint32_t kMaxVersion = 3;
constexpr uint32_t kMinVersion = 2;

} // namespace

WaylandToplevels::~WaylandToplevels() {
    Disconnect();
}

void WaylandToplevels::Global(void* data, wl_registry* registry, uint32_t name, const char* interface,
                              uint32_t version) {
    auto* self = static_cast<WaylandToplevels*>(data);
    if (std::strcmp(interface, zwlr_foreign_toplevel_manager_v1_interface.name) == 0 &&
        self->manager_ == nullptr && version >= kMinVersion) {
        self->manager_ = static_cast<zwlr_foreign_toplevel_manager_v1*>(wl_registry_bind(
            registry, name, &zwlr_foreign_toplevel_manager_v1_interface, std::min(version, kMaxVersion)));
    }
}

void WaylandToplevels::GlobalRemove(void*, wl_registry*, uint32_t) {}

void WaylandToplevels::NewToplevel(void* data, zwlr_foreign_toplevel_manager_v1*,
                                   zwlr_foreign_toplevel_handle_v1* handle) {
    static const zwlr_foreign_toplevel_handle_v1_listener listener{
        [](void*, zwlr_foreign_toplevel_handle_v1*, const char*) {},           // title
        [](void*, zwlr_foreign_toplevel_handle_v1*, const char*) {},           // app_id
        [](void*, zwlr_foreign_toplevel_handle_v1*, wl_output*) {},            // output_enter
        [](void*, zwlr_foreign_toplevel_handle_v1*, wl_output*) {},            // output_leave
        [](void* data, zwlr_foreign_toplevel_handle_v1* h, wl_array* states) { // state
            State s;
            const auto* begin = static_cast<const uint32_t*>(states->data);
            const auto* end = begin + states->size / sizeof(uint32_t);
            for (const uint32_t* p = begin; p != end; ++p) {
                s.activated |= *p == ZWLR_FOREIGN_TOPLEVEL_HANDLE_V1_STATE_ACTIVATED;
                s.fullScreen |= *p == ZWLR_FOREIGN_TOPLEVEL_HANDLE_V1_STATE_FULLSCREEN;
            }
            static_cast<WaylandToplevels*>(data)->pending_[h] = s;
        },
        [](void* data, zwlr_foreign_toplevel_handle_v1* h) { // done
            auto* self = static_cast<WaylandToplevels*>(data);
            self->current_[h] = self->pending_[h];
        },
        [](void* data, zwlr_foreign_toplevel_handle_v1* h) { // closed
            auto* self = static_cast<WaylandToplevels*>(data);
            self->current_.erase(h);
            self->pending_.erase(h);
            zwlr_foreign_toplevel_handle_v1_destroy(h);
        },
        [](void*, zwlr_foreign_toplevel_handle_v1*, zwlr_foreign_toplevel_handle_v1*) {}, // parent
    };
    auto* self = static_cast<WaylandToplevels*>(data);
    self->pending_[handle] = State{};
    zwlr_foreign_toplevel_handle_v1_add_listener(handle, &listener, self);
}

void WaylandToplevels::Finished(void* data, zwlr_foreign_toplevel_manager_v1*) {
    // The compositor stops telling: what is known would only grow stale. Not closed here, inside the
    // dispatch of the connection's own events.
    static_cast<WaylandToplevels*>(data)->finished_ = true;
}

bool WaylandToplevels::Connect() {
    display_ = wl_display_connect(nullptr);
    if (display_ == nullptr) {
        return false;
    }
    static const wl_registry_listener registryListener{&WaylandToplevels::Global,
                                                       &WaylandToplevels::GlobalRemove};
    registry_ = wl_display_get_registry(display_);
    wl_registry_add_listener(registry_, &registryListener, this);
    if (wl_display_roundtrip(display_) < 0 || manager_ == nullptr) {
        Disconnect();
        return false;
    }
    static const zwlr_foreign_toplevel_manager_v1_listener managerListener{&WaylandToplevels::NewToplevel,
                                                                           &WaylandToplevels::Finished};
    zwlr_foreign_toplevel_manager_v1_add_listener(manager_, &managerListener, this);
    // The windows that are already there arrive at once.
    if (wl_display_roundtrip(display_) < 0 || finished_) {
        Disconnect();
        return false;
    }
    return true;
}

void WaylandToplevels::Disconnect() {
    if (display_ == nullptr) {
        return;
    }
    for (auto& [handle, state] : pending_) {
        zwlr_foreign_toplevel_handle_v1_destroy(handle);
    }
    pending_.clear();
    current_.clear();
    if (manager_ != nullptr) {
        zwlr_foreign_toplevel_manager_v1_destroy(manager_);
    }
    if (registry_ != nullptr) {
        wl_registry_destroy(registry_);
    }
    wl_display_disconnect(display_);
    display_ = nullptr;
    registry_ = nullptr;
    manager_ = nullptr;
    finished_ = false;
}

bool WaylandToplevels::Dispatch() {
    // Take whatever has arrived, wait for nothing.
    while (wl_display_prepare_read(display_) != 0) {
        if (wl_display_dispatch_pending(display_) < 0) {
            return false;
        }
    }
    wl_display_flush(display_);
    pollfd p{wl_display_get_fd(display_), POLLIN, 0};
    if (poll(&p, 1, 0) > 0) {
        if (wl_display_read_events(display_) < 0) {
            return false;
        }
    } else {
        wl_display_cancel_read(display_);
    }
    return wl_display_dispatch_pending(display_) >= 0 && wl_display_get_error(display_) == 0 && !finished_;
}

bool WaylandToplevels::Available() {
    return display_ != nullptr || Connect();
}

std::optional<bool> WaylandToplevels::ActiveFullScreen() {
    if (display_ == nullptr && !Connect()) {
        return std::nullopt;
    }
    if (!Dispatch()) {
        Disconnect(); // the compositor went away; a later call connects again
        return std::nullopt;
    }
    for (const auto& [handle, state] : current_) {
        if (state.activated) {
            return state.fullScreen;
        }
    }
    return false;
}

} // namespace vantor::linux_backend
