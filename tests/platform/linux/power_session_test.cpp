// Power and session actions against dbusmock services on a private bus: the calls and values sent to
// logind and the session managers, the support answers, and the reasons given when a call fails.
#include "linux_test_support.h"
#include "platform/native.h"

#include <gtest/gtest.h>

#include <optional>

namespace vantor {
namespace {

using testing::DBusMock;
using testing::PrivateBus;
using testing::ScopedEnv;

const std::string kLogind = "org.freedesktop.login1";

// A private bus standing in for both buses, with this process's session id set.
struct BusFixture : ::testing::Test {
    void SetUp() override { ASSERT_TRUE(bus.ok()); }
    std::unique_ptr<Platform> MakePlatform() { return CreateNativePlatform(); }
    DBusMock StartLogind(const std::string& parameters = "{}") {
        return DBusMock(bus, {"--system", "-t", "logind", "-p", parameters}, kLogind);
    }

    PrivateBus bus;
    ScopedEnv system{"DBUS_SYSTEM_BUS_ADDRESS", bus.address()};
    ScopedEnv session{"DBUS_SESSION_BUS_ADDRESS", bus.address()};
    ScopedEnv sessionId{"XDG_SESSION_ID", std::string("c7")};
};

struct SupportCase {
    const char* answer;
    bool allowed;
    Availability::Answer availability; // what the task check is told
};

class SupportAnswers : public BusFixture, public ::testing::WithParamInterface<SupportCase> {};

TEST_P(SupportAnswers, SleepAndHibernateAreAllowedOnYesOrChallenge) {
    const std::string a = GetParam().answer;
    // The two answers differ so that a mix-up of CanSuspend and CanHibernate shows.
    const std::string other = GetParam().allowed ? "no" : "yes";
    DBusMock suspendMock =
        StartLogind("{\"CanSuspend\": \"" + a + "\", \"CanHibernate\": \"" + other + "\"}");
    ASSERT_TRUE(suspendMock.ok());
    auto platform = MakePlatform();
    EXPECT_EQ(platform->CanSuspend(), GetParam().allowed);
    EXPECT_EQ(platform->CanHibernate(), !GetParam().allowed);
    EXPECT_TRUE(suspendMock.LogHas("CanSuspend"));
    EXPECT_TRUE(suspendMock.LogHas("CanHibernate"));
    EXPECT_EQ(platform->CanPerform(SystemOperation::Suspend).answer, GetParam().availability);
}

INSTANTIATE_TEST_SUITE_P(LogindAnswers, SupportAnswers,
                         ::testing::Values(SupportCase{"yes", true, Availability::Answer::Yes},
                                           SupportCase{"challenge", true, Availability::Answer::Challenge},
                                           SupportCase{"no", false, Availability::Answer::No},
                                           SupportCase{"na", false, Availability::Answer::NotAvailable}),
                         [](const auto& info) { return std::string(info.param.answer); });

struct PowerCase {
    const char* name;
    ActionResult (Platform::*act)();
    const char* method;   // logind's method
    const char* question; // logind's matching Can... question
    const char* action;   // the action in the user's words
};

class PowerActions : public BusFixture, public ::testing::WithParamInterface<PowerCase> {};

TEST_P(PowerActions, AskLogindWithoutInteractiveAuthorization) {
    DBusMock logind = StartLogind();
    ASSERT_TRUE(logind.ok());
    auto platform = MakePlatform();
    const ActionResult r = ((*platform).*GetParam().act)();
    EXPECT_TRUE(r.ok) << r.error;
    EXPECT_TRUE(logind.LogHas(std::string(GetParam().method) + " False")) << logind.Log();
}

TEST_P(PowerActions, AllowThePasswordPromptWhenPolkitAsksForOne) {
    // Sent without it, a "challenge" request is refused every time.
    DBusMock logind = StartLogind("{\"" + std::string(GetParam().question) + "\": \"challenge\"}");
    ASSERT_TRUE(logind.ok());
    auto platform = MakePlatform();
    const ActionResult r = ((*platform).*GetParam().act)();
    EXPECT_TRUE(r.ok) << r.error;
    EXPECT_TRUE(logind.LogHas(std::string(GetParam().method) + " True")) << logind.Log();
}

TEST_P(PowerActions, ReportTheReasonInChineseWhenPolkitRefuses) {
    DBusMock logind = StartLogind();
    ASSERT_TRUE(logind.ok());
    ASSERT_TRUE(
        bus.CallStrings(kLogind, "/org/freedesktop/login1", "org.freedesktop.DBus.Mock.AddMethod",
                        {"org.freedesktop.login1.Manager", GetParam().method, "b", "",
                         "raise dbus.exceptions.DBusException('Interactive authentication required.', "
                         "name='org.freedesktop.DBus.Error.InteractiveAuthorizationRequired')"}));
    auto platform = MakePlatform();
    const ActionResult r = ((*platform).*GetParam().act)();
    EXPECT_FALSE(r.ok);
    EXPECT_EQ(r.error, "无法" + std::string(GetParam().action) + "：当前用户没有这项权限（polkit 未授权）");
}

TEST_P(PowerActions, ReportThatLogindIsMissing) {
    auto platform = MakePlatform();
    const ActionResult r = ((*platform).*GetParam().act)();
    EXPECT_FALSE(r.ok);
    EXPECT_EQ(r.error, "无法" + std::string(GetParam().action) + "：systemd-logind 没有运行");
}

INSTANTIATE_TEST_SUITE_P(
    Logind, PowerActions,
    ::testing::Values(PowerCase{"PowerOff", &Platform::PowerOff, "PowerOff", "CanPowerOff", "关机"},
                      PowerCase{"Reboot", &Platform::Reboot, "Reboot", "CanReboot", "重启"},
                      PowerCase{"Suspend", &Platform::Suspend, "Suspend", "CanSuspend", "睡眠"},
                      PowerCase{"Hibernate", &Platform::Hibernate, "Hibernate", "CanHibernate", "休眠"}),
    [](const auto& info) { return std::string(info.param.name); });

TEST_F(BusFixture, InhibitedActionSaysSo) {
    DBusMock logind = StartLogind();
    ASSERT_TRUE(logind.ok());
    ASSERT_TRUE(bus.CallStrings(kLogind, "/org/freedesktop/login1", "org.freedesktop.DBus.Mock.AddMethod",
                                {"org.freedesktop.login1.Manager", "Suspend", "b", "",
                                 "raise dbus.exceptions.DBusException('Operation inhibited by \"backup\"', "
                                 "name='org.freedesktop.login1.BlockedByInhibitorLock')"}));
    const ActionResult r = MakePlatform()->Suspend();
    EXPECT_FALSE(r.ok);
    EXPECT_EQ(r.error, "无法睡眠：有程序阻止了这项操作（抑制锁）");
}

TEST_F(BusFixture, NothingAnswersWithoutLogind) {
    auto platform = MakePlatform();
    EXPECT_FALSE(platform->CanSuspend());
    EXPECT_FALSE(platform->CanHibernate());
    // A power request goes nowhere but to logind: a task that needs one is refused at its check.
    const Availability a = platform->CanPerform(SystemOperation::PowerOff);
    EXPECT_EQ(a.answer, Availability::Answer::NotAvailable);
    EXPECT_EQ(a.reason, "systemd-logind 没有运行");
    EXPECT_TRUE(platform->ListInhibitors().empty());
}

TEST_F(BusFixture, InhibitorsAreReadFromLogind) {
    DBusMock logind = StartLogind();
    ASSERT_TRUE(logind.ok());
    ASSERT_TRUE(bus.CallStrings(kLogind, "/org/freedesktop/login1", "org.freedesktop.DBus.Mock.AddMethod",
                                {"org.freedesktop.login1.Manager", "ListInhibitors", "", "a(ssssuu)",
                                 "ret = [('shutdown:sleep', '视频会议', '通话中', 'block', 1000, 42), "
                                 "('idle', 'player', '', 'delay', 1000, 43)]"}));
    const std::vector<Inhibitor> held = MakePlatform()->ListInhibitors();
    ASSERT_EQ(held.size(), 2u);
    EXPECT_EQ(held[0].what, "shutdown:sleep");
    EXPECT_EQ(held[0].who, "视频会议");
    EXPECT_EQ(held[0].why, "通话中");
    EXPECT_EQ(held[0].mode, "block");
    EXPECT_EQ(held[1].mode, "delay");
}

TEST_F(BusFixture, NoBusAtAllIsAReportedFailure) {
    ScopedEnv noSystem{"DBUS_SYSTEM_BUS_ADDRESS", std::string("unix:path=/nonexistent/no-bus")};
    const ActionResult r = MakePlatform()->PowerOff();
    EXPECT_FALSE(r.ok);
    EXPECT_EQ(r.error, "无法关机：无法连接系统的消息总线（D-Bus）");
}

// How the screen gets locked: logind, when the session then says it is locked; else a screen saver.
struct LockCase {
    const char* name;
    bool logind;
    bool lockerSetsHint; // a screen locker answers logind's request and marks the session locked
    bool saver;          // the desktop's screen saver is there
    const char* error;   // empty: locked
};

class Locking : public BusFixture, public ::testing::WithParamInterface<LockCase> {};

TEST_P(Locking, IsVerifiedWithFallbacks) {
    const LockCase& c = GetParam();
    std::optional<DBusMock> logind;
    if (c.logind) {
        logind.emplace(bus, std::vector<std::string>{"--system", "-t", "logind"}, kLogind);
        ASSERT_TRUE(logind->ok());
        ASSERT_TRUE(testing::RunCommand({"/usr/bin/dbus-send", "--bus=" + bus.address(), "--print-reply",
                                         "--dest=" + kLogind, "/org/freedesktop/login1",
                                         "org.freedesktop.DBus.Mock.AddSession", "string:c7", "string:seat0",
                                         "uint32:1000", "string:tester", "boolean:true"}));
        if (c.lockerSetsHint) {
            ASSERT_TRUE(
                bus.CallStrings(kLogind, "/org/freedesktop/login1", "org.freedesktop.DBus.Mock.AddMethod",
                                {"org.freedesktop.login1.Manager", "LockSession", "s", "",
                                 "objects['/org/freedesktop/login1/session/' + args[0]].UpdateProperties("
                                 "'org.freedesktop.login1.Session', {'LockedHint': dbus.Boolean(True)})"}));
        }
    }
    std::optional<DBusMock> saver;
    if (c.saver) {
        saver.emplace(bus,
                      std::vector<std::string>{"--session", "org.freedesktop.ScreenSaver",
                                               "/org/freedesktop/ScreenSaver", "org.freedesktop.ScreenSaver"},
                      "org.freedesktop.ScreenSaver");
        ASSERT_TRUE(saver->ok());
        ASSERT_TRUE(bus.CallStrings("org.freedesktop.ScreenSaver", "/org/freedesktop/ScreenSaver",
                                    "org.freedesktop.DBus.Mock.AddMethod", {"", "Lock", "", "", ""}));
    }
    const ActionResult r = MakePlatform()->Lock();
    EXPECT_EQ(r.error, c.error);
    EXPECT_EQ(r.ok, std::string(c.error).empty());
    if (logind) {
        EXPECT_TRUE(logind->LogHas("LockSession \"c7\"")) << logind->Log();
    }
    if (saver) {
        // Asked only when logind's request locked nothing.
        EXPECT_EQ(saver->Log().find("Lock") != std::string::npos, !c.lockerSetsHint) << saver->Log();
    }
}

INSTANTIATE_TEST_SUITE_P(
    Sessions, Locking,
    ::testing::Values(
        LockCase{"LockerMarksTheSessionLocked", true, true, true, ""},
        LockCase{"NothingListensToLogindButTheScreenSaverLocks", true, false, true, ""},
        LockCase{"ScreenSaverWithoutLogind", false, false, true, ""},
        LockCase{
            "NothingListensToLogind", true, false, false,
            "无法锁定屏幕：已向 systemd-logind 发出锁定请求，但没有锁屏程序锁定屏幕；也没有屏幕保护程序响应"},
        LockCase{"NothingAtAll", false, false, false,
                 "无法锁定屏幕：systemd-logind 没有运行；也没有屏幕保护程序响应"}),
    [](const auto& info) { return std::string(info.param.name); });

TEST_F(BusFixture, LogOffPrefersTheGnomeSessionManager) {
    DBusMock logind = StartLogind();
    DBusMock gnome(
        bus,
        {"--session", "org.gnome.SessionManager", "/org/gnome/SessionManager", "org.gnome.SessionManager"},
        "org.gnome.SessionManager");
    ASSERT_TRUE(logind.ok());
    ASSERT_TRUE(gnome.ok());
    ASSERT_TRUE(bus.CallStrings("org.gnome.SessionManager", "/org/gnome/SessionManager",
                                "org.freedesktop.DBus.Mock.AddMethod", {"", "Logout", "u", "", ""}));
    const ActionResult r = MakePlatform()->LogOff();
    EXPECT_TRUE(r.ok) << r.error;
    // 1 = log out without the session manager's own confirmation dialog.
    EXPECT_TRUE(gnome.LogHas("Logout 1")) << gnome.Log();
    EXPECT_EQ(logind.Log().find("TerminateSession"), std::string::npos);
}

TEST_F(BusFixture, LogOffUsesKdeWhenItIsTheDesktop) {
    DBusMock kde(bus, {"--session", "org.kde.Shutdown", "/Shutdown", "org.kde.Shutdown"}, "org.kde.Shutdown");
    ASSERT_TRUE(kde.ok());
    ASSERT_TRUE(bus.CallStrings("org.kde.Shutdown", "/Shutdown", "org.freedesktop.DBus.Mock.AddMethod",
                                {"", "logout", "", "", ""}));
    const ActionResult r = MakePlatform()->LogOff();
    EXPECT_TRUE(r.ok) << r.error;
    EXPECT_TRUE(kde.LogHas("logout")) << kde.Log();
}

TEST_F(BusFixture, LogOffEndsTheLogindSessionWithoutASessionManager) {
    DBusMock logind = StartLogind();
    ASSERT_TRUE(logind.ok());
    const ActionResult r = MakePlatform()->LogOff();
    EXPECT_TRUE(r.ok) << r.error;
    EXPECT_TRUE(logind.LogHas("TerminateSession \"c7\"")) << logind.Log();
}

TEST_F(BusFixture, LogOffWithNothingToAskExplainsWhy) {
    const ActionResult r = MakePlatform()->LogOff();
    EXPECT_FALSE(r.ok);
    EXPECT_EQ(r.error, "无法注销：systemd-logind 没有运行；也没有找到桌面的会话管理器");
}

} // namespace
} // namespace vantor
