#include "platform/linux/idle.h"

#include <QDBusReply>
#include <QString>

#include <cstdlib>
#include <ctime>

namespace vantor::linux_backend {

namespace {

// After every source failed, they are tried again this much later (a desktop may finish starting).
constexpr uint64_t kRetryMs = 60'000;

std::string Env(const char* name) {
    const char* v = std::getenv(name);
    return v != nullptr ? std::string(v) : std::string();
}

bool ContainsNoCase(std::string hay, std::string needle) {
    for (auto* s : {&hay, &needle}) {
        for (char& ch : *s) {
            ch = static_cast<char>(ch >= 'A' && ch <= 'Z' ? ch - 'A' + 'a' : ch);
        }
    }
    return hay.find(needle) != std::string::npos;
}

uint64_t MonotonicUsNow() {
    timespec ts{};
    clock_gettime(CLOCK_MONOTONIC, &ts);
    return static_cast<uint64_t>(ts.tv_sec) * 1'000'000u + static_cast<uint64_t>(ts.tv_nsec) / 1000u;
}

} // namespace

uint64_t LastInputTracker::Update(uint64_t nowMs, uint64_t idleMs) {
    const uint64_t derived = idleMs >= nowMs ? 0 : nowMs - idleMs;
    if (!lastInput_ || idleMs < lastIdle_ || derived > *lastInput_ + kToleranceMs) {
        lastInput_ = derived;
    }
    lastIdle_ = idleMs;
    return *lastInput_;
}

std::vector<IdleSourceKind> IdleSourcesFor(const std::string& sessionType, bool waylandDisplay,
                                           bool x11Display, const std::string& currentDesktop) {
    const bool wayland = sessionType == "wayland" || waylandDisplay;
    const bool gnome = ContainsNoCase(currentDesktop, "gnome") || ContainsNoCase(currentDesktop, "unity");
    const bool kde = ContainsNoCase(currentDesktop, "kde");
    if (wayland && gnome) {
        // Mutter offers no idle-notification protocol, and GNOME keeps logind's hint up to date.
        return {IdleSourceKind::GnomeMutter, IdleSourceKind::WaylandIdleNotify, IdleSourceKind::LogindHint};
    }
    if (wayland && kde) {
        return {IdleSourceKind::WaylandIdleNotify};
    }
    if (wayland) {
        // Other compositors built on Mutter (Budgie, Pantheon) answer as GNOME's does.
        return {IdleSourceKind::WaylandIdleNotify, IdleSourceKind::GnomeMutter};
    }
    std::vector<IdleSourceKind> sources;
    if (x11Display) {
        sources.push_back(IdleSourceKind::X11ScreenSaver);
    }
    sources.insert(sources.end(),
                   {IdleSourceKind::GnomeMutter, IdleSourceKind::KdeScreenSaver, IdleSourceKind::LogindHint});
    return sources;
}

std::optional<uint64_t> IdleMonitor::Read(IdleSourceKind kind, uint64_t nowMs) {
    switch (kind) {
    case IdleSourceKind::X11ScreenSaver:
        return x11_.IdleMs();
    case IdleSourceKind::WaylandIdleNotify:
        return wayland_.IdleMs(nowMs);
    case IdleSourceKind::GnomeMutter: {
        const DBusReply r = session_.Call(QStringLiteral("org.gnome.Mutter.IdleMonitor"),
                                          QStringLiteral("/org/gnome/Mutter/IdleMonitor/Core"),
                                          QStringLiteral("org.gnome.Mutter.IdleMonitor"),
                                          QStringLiteral("GetIdletime"), {}, 1000);
        if (r.ok && !r.values.isEmpty()) {
            return r.values.front().toULongLong();
        }
        return std::nullopt;
    }
    case IdleSourceKind::KdeScreenSaver: {
        const DBusReply r = session_.Call(
            QStringLiteral("org.freedesktop.ScreenSaver"), QStringLiteral("/org/freedesktop/ScreenSaver"),
            QStringLiteral("org.freedesktop.ScreenSaver"), QStringLiteral("GetSessionIdleTime"), {}, 1000);
        if (r.ok && !r.values.isEmpty()) {
            return r.values.front().toULongLong();
        }
        return std::nullopt;
    }
    case IdleSourceKind::LogindHint: {
        const QString logind = QStringLiteral("org.freedesktop.login1");
        const QString path = QStringLiteral("/org/freedesktop/login1");
        const QString manager = QStringLiteral("org.freedesktop.login1.Manager");
        const std::optional<QVariant> idle =
            system_.Property(logind, path, manager, QStringLiteral("IdleHint"));
        if (!idle) {
            return std::nullopt;
        }
        if (!idle->toBool()) {
            return 0; // the session is in use right now
        }
        const std::optional<QVariant> since =
            system_.Property(logind, path, manager, QStringLiteral("IdleSinceHintMonotonic"));
        if (!since) {
            return std::nullopt;
        }
        const uint64_t sinceUs = since->toULongLong();
        const uint64_t nowUs = MonotonicUsNow();
        return sinceUs >= nowUs ? 0 : (nowUs - sinceUs) / 1000u;
    }
    }
    return std::nullopt;
}

std::optional<uint64_t> IdleMonitor::LastInputMs(uint64_t nowMs) {
    if (!chosen_) {
        // Chosen at the first reading, not at start-up, so that opening the window never waits on X or D-Bus.
        chosen_ = true;
        sources_ = IdleSourcesFor(Env("XDG_SESSION_TYPE"), !Env("WAYLAND_DISPLAY").empty(),
                                  !Env("DISPLAY").empty(), Env("XDG_CURRENT_DESKTOP"));
    }
    if (current_ >= sources_.size()) {
        if (nowMs < nextRetryMs_) {
            return std::nullopt;
        }
        current_ = 0;
    }
    while (current_ < sources_.size()) {
        if (const std::optional<uint64_t> idle = Read(sources_[current_], nowMs)) {
            return tracker_.Update(nowMs, *idle);
        }
        ++current_;
    }
    nextRetryMs_ = nowMs + kRetryMs;
    return std::nullopt;
}

} // namespace vantor::linux_backend
