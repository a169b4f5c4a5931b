// Idle time on Wayland desktops through the compositor's idle-notification protocol: ext-idle-notify-v1
// (KDE Plasma, Sway, Hyprland and others), KDE's older org_kde_kwin_idle where that is all there is.
#pragma once

#include <cstdint>
#include <optional>

struct wl_display;
struct wl_registry;
struct wl_seat;
struct ext_idle_notifier_v1;
struct ext_idle_notification_v1;
struct org_kde_kwin_idle;
struct org_kde_kwin_idle_timeout;

namespace vantor::linux_backend {

class WaylandIdle {
public:
    // The compositor says "idle" once no input came for this long; the idle time is counted from there.
    static constexpr uint32_t kTimeoutMs = 1000;

    WaylandIdle() = default;
    ~WaylandIdle();
    WaylandIdle(const WaylandIdle&) = delete;
    WaylandIdle& operator=(const WaylandIdle&) = delete;

    // Milliseconds without input at the steady time `nowMs` (0 while the user is active); nullopt when no
    // compositor can be reached or it offers neither protocol. Never blocks on the compositor.
    std::optional<uint64_t> IdleMs(uint64_t nowMs);

private:
    bool Connect();
    void Disconnect();
    // Takes in what the compositor has sent; false when the connection broke.
    bool Dispatch();

    static void Global(void* data, wl_registry* registry, uint32_t name, const char* interface,
                       uint32_t version);
    static void GlobalRemove(void* data, wl_registry* registry, uint32_t name);
    static void Idled(void* data);
    static void Resumed(void* data);

    wl_display* display_ = nullptr;
    wl_registry* registry_ = nullptr;
    wl_seat* seat_ = nullptr;
    ext_idle_notifier_v1* notifier_ = nullptr;
    org_kde_kwin_idle* kdeIdle_ = nullptr;
    ext_idle_notification_v1* notification_ = nullptr;
    org_kde_kwin_idle_timeout* kdeTimeout_ = nullptr;
    uint64_t nowMs_ = 0;
    std::optional<uint64_t> idleSinceMs_; // set while the compositor says the user is idle
};

} // namespace vantor::linux_backend
