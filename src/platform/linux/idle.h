// Time of the last keyboard or mouse input: the idle source chosen by session type and a tracker that
// turns idle readings into a last-input tick that only moves on new input.
#pragma once

#include "platform/linux/dbus_client.h"
#include "platform/linux/wayland_idle.h"
#include "platform/linux/x11_display.h"

#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <vector>

namespace vantor::linux_backend {

// Derives the last-input time from readings of "milliseconds idle" taken at monotonic times. Two readings
// without input differ by scheduling and rounding jitter; the tick moves only when the idle time went
// down (there was input) or the derived time is later by more than the tolerance.
class LastInputTracker {
public:
    static constexpr uint64_t kToleranceMs = 1500;
    uint64_t Update(uint64_t nowMs, uint64_t idleMs);

private:
    std::optional<uint64_t> lastInput_;
    uint64_t lastIdle_ = 0;
};

enum class IdleSourceKind { X11ScreenSaver, WaylandIdleNotify, GnomeMutter, KdeScreenSaver, LogindHint };

// The sources worth trying for a session, best first. Under Wayland the X11 answers (XWayland) are wrong
// rather than failing and KDE's screen saver always says 0, so neither is offered there; the compositor's
// idle notifications are, and logind's idle hint only on GNOME, as other Wayland desktops leave it unset
// (it would say "no input for 0 seconds" for ever rather than admit that nothing can tell).
std::vector<IdleSourceKind> IdleSourcesFor(const std::string& sessionType, bool waylandDisplay,
                                           bool x11Display, const std::string& currentDesktop);

class IdleMonitor {
public:
    IdleMonitor(X11Display& x11, BusClient& system, BusClient& session)
        : x11_(x11), system_(system), session_(session) {}

    // Last input on the monotonic clock `nowMs`; nullopt when no source answers.
    std::optional<uint64_t> LastInputMs(uint64_t nowMs);

private:
    std::optional<uint64_t> Read(IdleSourceKind kind, uint64_t nowMs);

    X11Display& x11_;
    BusClient& system_;
    BusClient& session_;
    WaylandIdle wayland_;
    bool chosen_ = false;
    std::vector<IdleSourceKind> sources_;
    size_t current_ = 0;
    uint64_t nextRetryMs_ = 0;
    LastInputTracker tracker_;
};

} // namespace vantor::linux_backend
