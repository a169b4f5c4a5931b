// Idle time and the active window's full-screen state on Wayland against a stand-in compositor (a child
// process speaking libwayland-server) that offers a seat and ext-idle-notify-v1, KDE's org_kde_kwin_idle,
// both or neither, and wlroots' foreign toplevels or not, and says "idled" or "resumed", or puts its one
// window into full screen and back, when the test tells it to.
#include "ext-idle-notify-v1-server-protocol.h"
#include "kde-idle-server-protocol.h"
#include "linux_test_support.h"
#include "platform/linux/wayland_idle.h"
#include "platform/native.h"
#include "wlr-foreign-toplevel-management-unstable-v1-server-protocol.h"

#include <gtest/gtest.h>

#include <wayland-server.h>

#include <csignal>
#include <sys/wait.h>
#include <unistd.h>
#include <vector>

namespace vantor {
namespace {

using linux_backend::WaylandIdle;
using testing::ScopedEnv;
using testing::TempDir;
using testing::WaitFor;

const char* const kSocket = "vantor-idle-test";

// --- The stand-in compositor, run in the child process only --------------------------------------------

std::vector<wl_resource*> extNotifications;
std::vector<wl_resource*> kdeTimeouts;
std::vector<wl_resource*> toplevels;

void Forget(wl_resource* r) {
    std::erase(extNotifications, r);
    std::erase(kdeTimeouts, r);
    std::erase(toplevels, r);
}

void DestroyResource(wl_client*, wl_resource* r) {
    wl_resource_destroy(r);
}

// The one window: active, and full screen or not.
void SendWindowState(wl_resource* toplevel, bool fullScreen) {
    wl_array states;
    wl_array_init(&states);
    *static_cast<uint32_t*>(wl_array_add(&states, sizeof(uint32_t))) =
        ZWLR_FOREIGN_TOPLEVEL_HANDLE_V1_STATE_ACTIVATED;
    if (fullScreen) {
        *static_cast<uint32_t*>(wl_array_add(&states, sizeof(uint32_t))) =
            ZWLR_FOREIGN_TOPLEVEL_HANDLE_V1_STATE_FULLSCREEN;
    }
    zwlr_foreign_toplevel_handle_v1_send_state(toplevel, &states);
    zwlr_foreign_toplevel_handle_v1_send_done(toplevel);
    wl_array_release(&states);
}

void BindToplevels(wl_client* client, void*, uint32_t version, uint32_t id) {
    static const struct zwlr_foreign_toplevel_manager_v1_interface impl = {
        [](wl_client*, wl_resource* r) { zwlr_foreign_toplevel_manager_v1_send_finished(r); }};
    // The window's requests, but for destroy, are never sent by the reader.
    static const struct zwlr_foreign_toplevel_handle_v1_interface handleImpl = {
        nullptr, nullptr, nullptr, nullptr, nullptr, nullptr, nullptr, &DestroyResource, nullptr, nullptr};
    wl_resource* manager = wl_resource_create(client, &zwlr_foreign_toplevel_manager_v1_interface,
                                              static_cast<int>(version), id);
    wl_resource_set_implementation(manager, &impl, nullptr, nullptr);
    wl_resource* toplevel =
        wl_resource_create(client, &zwlr_foreign_toplevel_handle_v1_interface, static_cast<int>(version), 0);
    wl_resource_set_implementation(toplevel, &handleImpl, nullptr, &Forget);
    zwlr_foreign_toplevel_manager_v1_send_toplevel(manager, toplevel);
    SendWindowState(toplevel, false);
    toplevels.push_back(toplevel);
}

void BindSeat(wl_client* client, void*, uint32_t version, uint32_t id) {
    wl_resource_create(client, &wl_seat_interface, static_cast<int>(version), id);
}

void GetIdleNotification(wl_client* client, wl_resource* notifier, uint32_t id, uint32_t, wl_resource*) {
    static const struct ext_idle_notification_v1_interface impl = {&DestroyResource};
    wl_resource* r = wl_resource_create(client, &ext_idle_notification_v1_interface,
                                        wl_resource_get_version(notifier), id);
    wl_resource_set_implementation(r, &impl, nullptr, &Forget);
    extNotifications.push_back(r);
}

void BindExt(wl_client* client, void*, uint32_t version, uint32_t id) {
    static const struct ext_idle_notifier_v1_interface impl = {&DestroyResource, &GetIdleNotification};
    wl_resource* r =
        wl_resource_create(client, &ext_idle_notifier_v1_interface, static_cast<int>(version), id);
    wl_resource_set_implementation(r, &impl, nullptr, nullptr);
}

void GetIdleTimeout(wl_client* client, wl_resource* idle, uint32_t id, wl_resource*, uint32_t) {
    static const struct org_kde_kwin_idle_timeout_interface impl = {&DestroyResource,
                                                                    [](wl_client*, wl_resource*) {}};
    wl_resource* r =
        wl_resource_create(client, &org_kde_kwin_idle_timeout_interface, wl_resource_get_version(idle), id);
    wl_resource_set_implementation(r, &impl, nullptr, &Forget);
    kdeTimeouts.push_back(r);
}

void BindKde(wl_client* client, void*, uint32_t version, uint32_t id) {
    static const struct org_kde_kwin_idle_interface impl = {&GetIdleTimeout};
    wl_resource* r = wl_resource_create(client, &org_kde_kwin_idle_interface, static_cast<int>(version), id);
    wl_resource_set_implementation(r, &impl, nullptr, nullptr);
}

int OnCommand(int fd, uint32_t, void* data) {
    char c = 0;
    if (read(fd, &c, 1) != 1) {
        wl_display_terminate(static_cast<wl_display*>(data)); // the test has finished with us
        return 0;
    }
    for (wl_resource* r : extNotifications) {
        c == 'i' ? ext_idle_notification_v1_send_idled(r) : ext_idle_notification_v1_send_resumed(r);
    }
    for (wl_resource* r : kdeTimeouts) {
        c == 'i' ? org_kde_kwin_idle_timeout_send_idle(r) : org_kde_kwin_idle_timeout_send_resumed(r);
    }
    for (wl_resource* r : toplevels) {
        // 'f' full screen, 'w' windowed, 'c' the window closes.
        c == 'c' ? zwlr_foreign_toplevel_handle_v1_send_closed(r) : SendWindowState(r, c == 'f');
    }
    wl_display_flush_clients(static_cast<wl_display*>(data));
    return 0;
}

[[noreturn]] void RunCompositor(bool ext, bool kde, bool wlr, int commands, int ready) {
    wl_display* display = wl_display_create();
    if (display == nullptr || wl_display_add_socket(display, kSocket) != 0) {
        _exit(1);
    }
    wl_global_create(display, &wl_seat_interface, 1, nullptr, &BindSeat);
    if (ext) {
        wl_global_create(display, &ext_idle_notifier_v1_interface, 1, nullptr, &BindExt);
    }
    if (kde) {
        wl_global_create(display, &org_kde_kwin_idle_interface, 1, nullptr, &BindKde);
    }
    if (wlr) {
        wl_global_create(display, &zwlr_foreign_toplevel_manager_v1_interface, 3, nullptr, &BindToplevels);
    }
    wl_event_loop_add_fd(wl_display_get_event_loop(display), commands, WL_EVENT_READABLE, &OnCommand,
                         display);
    (void)!write(ready, "1", 1);
    close(ready);
    wl_display_run(display);
    wl_display_destroy(display);
    _exit(0);
}

// --- The test's side ----------------------------------------------------------------------------------

class StandInCompositor {
public:
    // XDG_RUNTIME_DIR must already name the folder its socket goes into.
    StandInCompositor(bool ext, bool kde, bool wlr = false) {
        int commands[2];
        int ready[2];
        if (pipe(commands) != 0 || pipe(ready) != 0) {
            return;
        }
        pid_ = fork();
        if (pid_ == 0) {
            close(commands[1]);
            close(ready[0]);
            RunCompositor(ext, kde, wlr, commands[0], ready[1]);
        }
        close(commands[0]);
        close(ready[1]);
        commands_ = commands[1];
        char c = 0;
        ok_ = pid_ > 0 && read(ready[0], &c, 1) == 1;
        close(ready[0]);
    }
    ~StandInCompositor() { Stop(); }
    bool ok() const { return ok_; }
    void Say(char c) { ASSERT_EQ(write(commands_, &c, 1), 1); }
    void Stop() {
        if (commands_ >= 0) {
            close(commands_);
            commands_ = -1;
        }
        if (pid_ > 0) {
            int status = 0;
            waitpid(pid_, &status, 0);
            pid_ = -1;
        }
    }

private:
    int pid_ = -1;
    int commands_ = -1;
    bool ok_ = false;
};

struct ProtocolCase {
    const char* name;
    bool ext;
    bool kde;
    bool source; // an idle source is there
};

class WaylandIdleProtocols : public ::testing::TestWithParam<ProtocolCase> {
protected:
    TempDir runtime;
    ScopedEnv runtimeDir{"XDG_RUNTIME_DIR", runtime.path()};
    ScopedEnv display{"WAYLAND_DISPLAY", std::string(kSocket)};
};

TEST_P(WaylandIdleProtocols, IdleTimeFollowsTheCompositorsNotifications) {
    StandInCompositor compositor(GetParam().ext, GetParam().kde);
    ASSERT_TRUE(compositor.ok());
    WaylandIdle idle;
    uint64_t now = 100'000;
    const std::optional<uint64_t> first = idle.IdleMs(now);
    if (!GetParam().source) {
        EXPECT_FALSE(first.has_value()) << "a compositor without either protocol is no idle source";
        return;
    }
    ASSERT_EQ(first, std::optional<uint64_t>(0)) << "active until the compositor says otherwise";

    compositor.Say('i');
    std::optional<uint64_t> reading;
    ASSERT_TRUE(WaitFor(
        [&] {
            reading = idle.IdleMs(now += 10);
            return reading && *reading > 0;
        },
        std::chrono::milliseconds(5000)));
    // The last input came the notification's timeout before "idled"; from there the idle time grows.
    EXPECT_EQ(*reading, WaylandIdle::kTimeoutMs);
    EXPECT_EQ(idle.IdleMs(now + 60'000), std::optional<uint64_t>(60'000 + WaylandIdle::kTimeoutMs));

    compositor.Say('r');
    ASSERT_TRUE(WaitFor([&] { return idle.IdleMs(now += 10) == std::optional<uint64_t>(0); },
                        std::chrono::milliseconds(5000)));

    compositor.Stop();
    EXPECT_TRUE(WaitFor([&] { return !idle.IdleMs(now += 10).has_value(); }, std::chrono::milliseconds(5000)))
        << "a compositor that has gone is no idle source";
}

INSTANTIATE_TEST_SUITE_P(Compositors, WaylandIdleProtocols,
                         ::testing::Values(ProtocolCase{"ExtIdleNotify", true, false, true},
                                           ProtocolCase{"KdeIdleOnly", false, true, true},
                                           ProtocolCase{"Both", true, true, true},
                                           ProtocolCase{"Neither", false, false, false}),
                         [](const auto& info) { return std::string(info.param.name); });

TEST(WaylandIdleSession, ADesktopOtherThanGnomeReadsTheCompositor) {
    TempDir runtime;
    ScopedEnv runtimeDir{"XDG_RUNTIME_DIR", runtime.path()};
    ScopedEnv display{"WAYLAND_DISPLAY", std::string(kSocket)};
    ScopedEnv type{"XDG_SESSION_TYPE", std::string("wayland")};
    ScopedEnv desktop{"XDG_CURRENT_DESKTOP", std::string("sway")};
    StandInCompositor compositor(true, false);
    ASSERT_TRUE(compositor.ok());
    auto platform = CreateNativePlatform();
    const std::optional<uint64_t> last = platform->LastInputMs();
    ASSERT_TRUE(last.has_value()) << "no D-Bus here: only the compositor can have answered";
    EXPECT_LE(platform->MonotonicMs() - *last, 1000u);
}

TEST(WaylandFullScreen, TheActiveWindowsStateComesFromACompositorThatTells) {
    TempDir runtime;
    ScopedEnv runtimeDir{"XDG_RUNTIME_DIR", runtime.path()};
    ScopedEnv display{"WAYLAND_DISPLAY", std::string(kSocket)};
    ScopedEnv type{"XDG_SESSION_TYPE", std::string("wayland")};
    {
        StandInCompositor withoutToplevels(true, false);
        ASSERT_TRUE(withoutToplevels.ok());
        auto platform = CreateNativePlatform();
        EXPECT_FALSE(platform->CanKnowForegroundWindow());
        EXPECT_FALSE(platform->ForegroundFullScreen().has_value());
    }
    StandInCompositor compositor(false, false, true);
    ASSERT_TRUE(compositor.ok());
    auto platform = CreateNativePlatform();
    EXPECT_TRUE(platform->CanKnowForegroundWindow());
    EXPECT_EQ(platform->ForegroundFullScreen(), std::optional<bool>(false));
    const auto becomes = [&](std::optional<bool> want) {
        return WaitFor([&] { return platform->ForegroundFullScreen() == want; },
                       std::chrono::milliseconds(5000));
    };
    compositor.Say('f');
    EXPECT_TRUE(becomes(true));
    compositor.Say('w');
    EXPECT_TRUE(becomes(false));
    compositor.Say('f');
    ASSERT_TRUE(becomes(true));
    compositor.Say('c');
    EXPECT_TRUE(becomes(false)) << "a closed window is no active window";
    compositor.Stop();
    EXPECT_TRUE(becomes(std::nullopt)) << "a compositor that has gone tells nothing";
}

} // namespace
} // namespace vantor
