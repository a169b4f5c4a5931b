// Idle time on Wayland desktops through the compositor's idle-notification protocol.
#include "platform/linux/wayland_idle.h"

#include "ext-idle-notify-v1-client-protocol.h"
#include "kde-idle-client-protocol.h"

#include <wayland-client.h>

#include <cstring>
#include <poll.h>

namespace vantor::linux_backend {

WaylandIdle::~WaylandIdle() {
    Disconnect();
}

void WaylandIdle::Global(void* data, wl_registry* registry, uint32_t name, const char* interface,
                         uint32_t /*version*/) {
    auto* self = static_cast<WaylandIdle*>(data);
    if (std::strcmp(interface, wl_seat_interface.name) == 0 && self->seat_ == nullptr) {
        self->seat_ = static_cast<wl_seat*>(wl_registry_bind(registry, name, &wl_seat_interface, 1));
    } else if (std::strcmp(interface, ext_idle_notifier_v1_interface.name) == 0) {
        self->notifier_ = static_cast<ext_idle_notifier_v1*>(
            wl_registry_bind(registry, name, &ext_idle_notifier_v1_interface, 1));
    } else if (std::strcmp(interface, org_kde_kwin_idle_interface.name) == 0) {
        self->kdeIdle_ = static_cast<org_kde_kwin_idle*>(
            wl_registry_bind(registry, name, &org_kde_kwin_idle_interface, 1));
    }
}

void WaylandIdle::GlobalRemove(void*, wl_registry*, uint32_t) {}

void WaylandIdle::Idled(void* data) {
    auto* self = static_cast<WaylandIdle*>(data);
    // The last input came at least the timeout before the compositor said so.
    self->idleSinceMs_ = self->nowMs_ >= kTimeoutMs ? self->nowMs_ - kTimeoutMs : 0;
}

void WaylandIdle::Resumed(void* data) {
    static_cast<WaylandIdle*>(data)->idleSinceMs_.reset();
}

bool WaylandIdle::Connect() {
    display_ = wl_display_connect(nullptr);
    if (display_ == nullptr) {
        return false;
    }
    static const wl_registry_listener registryListener{&WaylandIdle::Global, &WaylandIdle::GlobalRemove};
    registry_ = wl_display_get_registry(display_);
    wl_registry_add_listener(registry_, &registryListener, this);
    if (wl_display_roundtrip(display_) < 0 || seat_ == nullptr ||
        (notifier_ == nullptr && kdeIdle_ == nullptr)) {
        Disconnect();
        return false;
    }
    if (notifier_ != nullptr) {
        static const ext_idle_notification_v1_listener listener{
            [](void* data, ext_idle_notification_v1*) { Idled(data); },
            [](void* data, ext_idle_notification_v1*) { Resumed(data); }};
        notification_ = ext_idle_notifier_v1_get_idle_notification(notifier_, kTimeoutMs, seat_);
        ext_idle_notification_v1_add_listener(notification_, &listener, this);
    } else {
        static const org_kde_kwin_idle_timeout_listener listener{
            [](void* data, org_kde_kwin_idle_timeout*) { Idled(data); },
            [](void* data, org_kde_kwin_idle_timeout*) { Resumed(data); }};
        kdeTimeout_ = org_kde_kwin_idle_get_idle_timeout(kdeIdle_, seat_, kTimeoutMs);
        org_kde_kwin_idle_timeout_add_listener(kdeTimeout_, &listener, this);
    }
    idleSinceMs_.reset();
    if (wl_display_roundtrip(display_) < 0) {
        Disconnect();
        return false;
    }
    return true;
}

void WaylandIdle::Disconnect() {
    if (display_ == nullptr) {
        return;
    }
    if (notification_ != nullptr) {
        ext_idle_notification_v1_destroy(notification_);
    }
    if (kdeTimeout_ != nullptr) {
        org_kde_kwin_idle_timeout_release(kdeTimeout_);
    }
    if (notifier_ != nullptr) {
        ext_idle_notifier_v1_destroy(notifier_);
    }
    if (kdeIdle_ != nullptr) {
        org_kde_kwin_idle_destroy(kdeIdle_);
    }
    if (seat_ != nullptr) {
        wl_seat_destroy(seat_);
    }
    if (registry_ != nullptr) {
        wl_registry_destroy(registry_);
    }
    wl_display_disconnect(display_);
    display_ = nullptr;
    registry_ = nullptr;
    seat_ = nullptr;
    notifier_ = nullptr;
    kdeIdle_ = nullptr;
    notification_ = nullptr;
    kdeTimeout_ = nullptr;
    idleSinceMs_.reset();
}

bool WaylandIdle::Dispatch() {
    // The usual non-blocking read: take whatever has arrived, wait for nothing.
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
    return wl_display_dispatch_pending(display_) >= 0 && wl_display_get_error(display_) == 0;
}

std::optional<uint64_t> WaylandIdle::IdleMs(uint64_t nowMs) {
    nowMs_ = nowMs;
    if (display_ == nullptr && !Connect()) {
        return std::nullopt;
    }
    if (!Dispatch()) {
        Disconnect(); // the compositor went away; a later call connects again
        return std::nullopt;
    }
    if (!idleSinceMs_) {
        return 0;
    }
    return nowMs >= *idleSinceMs_ ? nowMs - *idleSinceMs_ : 0;
}

} // namespace vantor::linux_backend
