// Power and session actions against dbusmock services on a private bus: the calls and values sent to
// logind and the session managers, the support answers, and the reasons given when a call fails.
#include "linux_test_support.h"
#include "platform/native.h"

#include <gtest/gtest.h>

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
}

INSTANTIATE_TEST_SUITE_P(LogindAnswers, SupportAnswers,
                         ::testing::Values(SupportCase{"yes", true}, SupportCase{"challenge", true},
                                           SupportCase{"no", false}, SupportCase{"na", false}),
                         [](const auto& info) { return std::string(info.param.answer); });

struct PowerCase {
    const char* name;
    ActionResult (Platform::*act)();
    const char* logged;
};

class PowerActions : public BusFixture, public ::testing::WithParamInterface<PowerCase> {};

TEST_P(PowerActions, AskLogindWithoutInteractiveAuthorization) {
    DBusMock logind = StartLogind();
    ASSERT_TRUE(logind.ok());
    auto platform = MakePlatform();
    const ActionResult r = ((*platform).*GetParam().act)();
    EXPECT_TRUE(r.ok) << r.error;
    EXPECT_TRUE(logind.LogHas(GetParam().logged)) << logind.Log();
}

TEST_P(PowerActions, ReportTheReasonWhenPolkitRefuses) {
    DBusMock logind = StartLogind();
    ASSERT_TRUE(logind.ok());
    const std::string method =
        std::string(GetParam().logged).substr(0, std::string(GetParam().logged).find(' '));
    ASSERT_TRUE(
        bus.CallStrings(kLogind, "/org/freedesktop/login1", "org.freedesktop.DBus.Mock.AddMethod",
                        {"org.freedesktop.login1.Manager", method, "b", "",
                         "raise dbus.exceptions.DBusException('Interactive authentication required.', "
                         "name='org.freedesktop.DBus.Error.InteractiveAuthorizationRequired')"}));
    auto platform = MakePlatform();
    const ActionResult r = ((*platform).*GetParam().act)();
    EXPECT_FALSE(r.ok);
    EXPECT_NE(r.error.find("polkit"), std::string::npos) << r.error;
    EXPECT_NE(r.error.find("Interactive authentication required."), std::string::npos) << r.error;
}

TEST_P(PowerActions, ReportThatLogindIsMissing) {
    auto platform = MakePlatform();
    const ActionResult r = ((*platform).*GetParam().act)();
    EXPECT_FALSE(r.ok);
    EXPECT_NE(r.error.find("systemd-logind is not running"), std::string::npos) << r.error;
}

INSTANTIATE_TEST_SUITE_P(Logind, PowerActions,
                         ::testing::Values(PowerCase{"PowerOff", &Platform::PowerOff, "PowerOff False"},
                                           PowerCase{"Reboot", &Platform::Reboot, "Reboot False"},
                                           PowerCase{"Suspend", &Platform::Suspend, "Suspend False"},
                                           PowerCase{"Hibernate", &Platform::Hibernate, "Hibernate False"}),
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
    EXPECT_NE(r.error.find("inhibitor"), std::string::npos) << r.error;
}

TEST_F(BusFixture, NothingAnswersWithoutLogind) {
    auto platform = MakePlatform();
    EXPECT_FALSE(platform->CanSuspend());
    EXPECT_FALSE(platform->CanHibernate());
}

TEST_F(BusFixture, NoBusAtAllIsAReportedFailure) {
    ScopedEnv noSystem{"DBUS_SYSTEM_BUS_ADDRESS", std::string("unix:path=/nonexistent/no-bus")};
    const ActionResult r = MakePlatform()->PowerOff();
    EXPECT_FALSE(r.ok);
    EXPECT_NE(r.error.find("bus"), std::string::npos) << r.error;
}

TEST_F(BusFixture, LockAsksLogindToLockThisSession) {
    DBusMock logind = StartLogind();
    ASSERT_TRUE(logind.ok());
    const ActionResult r = MakePlatform()->Lock();
    EXPECT_TRUE(r.ok) << r.error;
    EXPECT_TRUE(logind.LogHas("LockSession \"c7\"")) << logind.Log();
}

TEST_F(BusFixture, LockFallsBackToTheScreenSaverWithoutLogind) {
    DBusMock saver(bus,
                   {"--session", "org.freedesktop.ScreenSaver", "/org/freedesktop/ScreenSaver",
                    "org.freedesktop.ScreenSaver"},
                   "org.freedesktop.ScreenSaver");
    ASSERT_TRUE(saver.ok());
    ASSERT_TRUE(bus.CallStrings("org.freedesktop.ScreenSaver", "/org/freedesktop/ScreenSaver",
                                "org.freedesktop.DBus.Mock.AddMethod", {"", "Lock", "", "", ""}));
    const ActionResult r = MakePlatform()->Lock();
    EXPECT_TRUE(r.ok) << r.error;
    EXPECT_TRUE(saver.LogHas("Lock")) << saver.Log();
}

TEST_F(BusFixture, LockWithNothingToAskFails) {
    const ActionResult r = MakePlatform()->Lock();
    EXPECT_FALSE(r.ok);
    EXPECT_NE(r.error.find("screen saver"), std::string::npos) << r.error;
}

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
    EXPECT_NE(r.error.find("no desktop session manager"), std::string::npos) << r.error;
    EXPECT_NE(r.error.find("systemd-logind is not running"), std::string::npos) << r.error;
}

} // namespace
} // namespace vantor
