// Last-input time: the tracker that ignores jitter, the choice of idle source by session, and the real
// sources (X11 screen-saver extension under Xvfb, Mutter and logind through dbusmock).
#include "linux_test_support.h"
#include "platform/linux/idle.h"
#include "platform/native.h"

#include <gtest/gtest.h>

#include <ctime>
#include <thread>

namespace vantor {
namespace {

using linux_backend::IdleSourceKind;
using linux_backend::IdleSourcesFor;
using linux_backend::LastInputTracker;
using testing::DBusMock;
using testing::PrivateBus;
using testing::ScopedEnv;
using testing::XServer;

struct Reading {
    uint64_t now;
    uint64_t idle;
    uint64_t lastInput; // expected
};

struct TrackerCase {
    const char* name;
    std::vector<Reading> readings;
};

class TrackerSequences : public ::testing::TestWithParam<TrackerCase> {};

TEST_P(TrackerSequences, GivesTheExpectedLastInput) {
    LastInputTracker tracker;
    for (size_t i = 0; i < GetParam().readings.size(); ++i) {
        const Reading& r = GetParam().readings[i];
        EXPECT_EQ(tracker.Update(r.now, r.idle), r.lastInput) << "reading " << i;
    }
}

INSTANTIATE_TEST_SUITE_P(
    Readings, TrackerSequences,
    ::testing::Values(
        TrackerCase{"FirstReadingSetsIt", {{100'000, 4'000, 96'000}}},
        // Without input the idle time grows with the clock, give or take a little: the tick stays put.
        TrackerCase{"JitterDoesNotMoveIt",
                    {{100'000, 4'000, 96'000},
                     {101'000, 4'900, 96'000},
                     {102'000, 6'100, 96'000},
                     {103'000, 7'000, 96'000}}},
        TrackerCase{"IdleGoingDownIsNewInput", {{100'000, 4'000, 96'000}, {101'000, 300, 100'700}}},
        // Input between readings that leaves the idle time above the last reading: later by > tolerance.
        TrackerCase{"InputBetweenSlowReadingsMovesIt", {{100'000, 4'000, 96'000}, {110'000, 5'000, 105'000}}},
        TrackerCase{"JustUnderTheToleranceKeepsIt", {{100'000, 4'000, 96'000}, {101'000, 3'500, 97'500}}},
        TrackerCase{"IdleLongerThanUptimeClampsToZero", {{1'000, 5'000, 0}, {2'000, 6'000, 0}}}),
    [](const auto& info) { return std::string(info.param.name); });

struct SourceCase {
    const char* name;
    const char* sessionType;
    bool wayland;
    bool x11;
    const char* desktop;
    std::vector<IdleSourceKind> expected;
};

class SourceChoice : public ::testing::TestWithParam<SourceCase> {};

TEST_P(SourceChoice, FollowsTheSessionType) {
    const SourceCase& c = GetParam();
    EXPECT_EQ(IdleSourcesFor(c.sessionType, c.wayland, c.x11, c.desktop), c.expected);
}

INSTANTIATE_TEST_SUITE_P(
    Sessions, SourceChoice,
    ::testing::Values(
        SourceCase{"X11",
                   "x11",
                   false,
                   true,
                   "XFCE",
                   {IdleSourceKind::X11ScreenSaver, IdleSourceKind::GnomeMutter,
                    IdleSourceKind::KdeScreenSaver, IdleSourceKind::LogindHint}},
        // XWayland answers the screen-saver query with nonsense, so it is never asked under Wayland.
        SourceCase{
            "GnomeWayland",
            "wayland",
            true,
            true,
            "ubuntu:GNOME",
            {IdleSourceKind::GnomeMutter, IdleSourceKind::WaylandIdleNotify, IdleSourceKind::LogindHint}},
        SourceCase{
            "WaylandDisplayWithoutSessionType",
            "",
            true,
            true,
            "GNOME",
            {IdleSourceKind::GnomeMutter, IdleSourceKind::WaylandIdleNotify, IdleSourceKind::LogindHint}},
        // KDE's screen saver always says 0 there, and logind's hint is left unset: the compositor or
        // nothing at all.
        SourceCase{"KdeWayland", "wayland", true, true, "KDE", {IdleSourceKind::WaylandIdleNotify}},
        SourceCase{"SwayWayland",
                   "wayland",
                   true,
                   false,
                   "sway",
                   {IdleSourceKind::WaylandIdleNotify, IdleSourceKind::GnomeMutter}},
        SourceCase{
            "NoDisplay",
            "tty",
            false,
            false,
            "",
            {IdleSourceKind::GnomeMutter, IdleSourceKind::KdeScreenSaver, IdleSourceKind::LogindHint}}),
    [](const auto& info) { return std::string(info.param.name); });

uint64_t MonotonicUs() {
    timespec ts{};
    clock_gettime(CLOCK_MONOTONIC, &ts);
    return static_cast<uint64_t>(ts.tv_sec) * 1'000'000u + static_cast<uint64_t>(ts.tv_nsec) / 1000u;
}

TEST(IdleUnderXvfb, GrowsWhileNothingHappensAndResetsOnMouseMove) {
    XServer x(false);
    ASSERT_TRUE(x.ok());
    ASSERT_TRUE(testing::RequireTool("/usr/bin/xdotool"));
    ScopedEnv display("DISPLAY", x.display());
    ScopedEnv type("XDG_SESSION_TYPE", std::string("x11"));
    auto platform = CreateNativePlatform();

    const std::optional<uint64_t> first = platform->LastInputMs();
    ASSERT_TRUE(first.has_value());
    std::this_thread::sleep_for(std::chrono::milliseconds(1200));
    const std::optional<uint64_t> second = platform->LastInputMs();
    ASSERT_TRUE(second.has_value());
    EXPECT_EQ(*second, *first) << "no input happened, so the last-input tick must not move";
    EXPECT_GE(platform->MonotonicMs() - *second, 1200u) << "the idle time must have grown";

    ASSERT_TRUE(testing::RunCommand({"/usr/bin/xdotool", "mousemove", "200", "150"}));
    ASSERT_TRUE(testing::RunCommand({"/usr/bin/xdotool", "mousemove", "300", "250"}));
    const std::optional<uint64_t> third = platform->LastInputMs();
    ASSERT_TRUE(third.has_value());
    EXPECT_GE(*third, *first + 1000) << "the mouse moved: the tick must follow";
    EXPECT_LT(platform->MonotonicMs() - *third, 1000u);
}

struct IdleBusFixture : ::testing::Test {
    void SetUp() override { ASSERT_TRUE(bus.ok()); }
    PrivateBus bus;
    ScopedEnv system{"DBUS_SYSTEM_BUS_ADDRESS", bus.address()};
    ScopedEnv session{"DBUS_SESSION_BUS_ADDRESS", bus.address()};
    ScopedEnv noDisplay{"DISPLAY", std::nullopt};
};

TEST_F(IdleBusFixture, GnomeWaylandAsksMutter) {
    ScopedEnv type("XDG_SESSION_TYPE", std::string("wayland"));
    ScopedEnv desktop("XDG_CURRENT_DESKTOP", std::string("GNOME"));
    DBusMock mutter(bus,
                    {"--session", "org.gnome.Mutter.IdleMonitor", "/org/gnome/Mutter/IdleMonitor/Core",
                     "org.gnome.Mutter.IdleMonitor"},
                    "org.gnome.Mutter.IdleMonitor");
    ASSERT_TRUE(mutter.ok());
    ASSERT_TRUE(bus.CallStrings("org.gnome.Mutter.IdleMonitor", "/org/gnome/Mutter/IdleMonitor/Core",
                                "org.freedesktop.DBus.Mock.AddMethod",
                                {"", "GetIdletime", "", "t", "ret = 5000"}));
    auto platform = CreateNativePlatform();
    const std::optional<uint64_t> last = platform->LastInputMs();
    const uint64_t now = platform->MonotonicMs();
    ASSERT_TRUE(last.has_value());
    EXPECT_NEAR(static_cast<double>(now - *last), 5000.0, 500.0);
    EXPECT_TRUE(mutter.LogHas("GetIdletime"));
}

TEST_F(IdleBusFixture, LogindHintIsTheLastResort) {
    ScopedEnv type("XDG_SESSION_TYPE", std::string("tty"));
    ScopedEnv desktop("XDG_CURRENT_DESKTOP", std::string(""));
    const uint64_t idleSince = MonotonicUs() - 7'000'000;
    DBusMock logind(bus,
                    {"--system", "-t", "logind", "-p",
                     "{\"IdleHint\": true, \"IdleSinceHintMonotonic\": " + std::to_string(idleSince) + "}"},
                    "org.freedesktop.login1");
    ASSERT_TRUE(logind.ok());
    auto platform = CreateNativePlatform();
    const std::optional<uint64_t> last = platform->LastInputMs();
    ASSERT_TRUE(last.has_value());
    // Idle since the hint's moment, measured now on both clocks.
    const double idleMs = static_cast<double>(MonotonicUs() - idleSince) / 1000.0;
    EXPECT_NEAR(static_cast<double>(platform->MonotonicMs() - *last), idleMs, 500.0);
}

TEST_F(IdleBusFixture, NoSourceGivesNoReading) {
    ScopedEnv type("XDG_SESSION_TYPE", std::string("wayland"));
    ScopedEnv desktop("XDG_CURRENT_DESKTOP", std::string("GNOME"));
    auto platform = CreateNativePlatform();
    EXPECT_FALSE(platform->LastInputMs().has_value());
    EXPECT_FALSE(platform->LastInputMs().has_value());
}

} // namespace
} // namespace vantor
