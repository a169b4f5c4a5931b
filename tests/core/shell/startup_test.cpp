#include "core/shell/startup.h"

#include <gtest/gtest.h>

namespace vantor {
namespace {

struct StartupCase {
    const char* name;
    bool settingsExists;
    int enabled;
    const char* tray;
    const char* work;
    bool toTray;
    bool startScheduler;
    bool warns;
};

class PlanStartupTest : public ::testing::TestWithParam<StartupCase> {};

TEST_P(PlanStartupTest, AppliesTheStartupSettings) {
    const auto& c = GetParam();
    const StartupPlan plan = PlanStartup(c.settingsExists, c.enabled, c.tray, c.work);
    EXPECT_EQ(plan.toTray, c.toTray);
    EXPECT_EQ(plan.startScheduler, c.startScheduler);
    EXPECT_EQ(plan.message.has_value(), c.warns);
    EXPECT_EQ(plan.growToWarningHeight, c.warns);
    if (plan.message) {
        EXPECT_EQ(*plan.message, (Message{"未设定任务，不能执行任务！", "提示", MessageIcon::Warning}));
    }
}

INSTANTIATE_TEST_SUITE_P(
    Cases, PlanStartupTest,
    ::testing::Values(StartupCase{"NoSettingsFileDoesNothing", false, 3, "1", "1", false, false, false},
                      StartupCase{"NoSettingsNoTasksDoesNothing", false, 0, "1", "1", false, false, false},
                      StartupCase{"WorkWithoutTasksWarns", true, 0, "1", "1", false, false, true},
                      StartupCase{"TrayIgnoredWithoutTasks", true, 0, "1", "0", false, false, false},
                      StartupCase{"UnreadableWorkWithoutTasksWarns", true, 0, "", "", false, false, true},
                      StartupCase{"WorkOfTwoCountsAsOn", true, 0, "0", "2", false, false, true},
                      StartupCase{"TrayAndWorkWithTasks", true, 1, "1", "1", true, true, false},
                      StartupCase{"OnlyTray", true, 2, "True", "False", true, false, false},
                      StartupCase{"OnlyWork", true, 1, "0", "1", false, true, false},
                      StartupCase{"BothOff", true, 1, "0", "0", false, false, false},
                      StartupCase{"MissingKeysCountAsOn", true, 1, "", "", true, true, false},
                      StartupCase{"NonBooleanTextCountsAsOn", true, 1, "yes", "abc", true, true, false}),
    [](const auto& info) { return std::string(info.param.name); });

struct AttrayCase {
    bool exists;
    const char* value;
    bool on;
};
class AttrayTest : public ::testing::TestWithParam<AttrayCase> {};

TEST_P(AttrayTest, IsOnOnlyForATrueValue) {
    EXPECT_EQ(AttrayOn(GetParam().exists, GetParam().value), GetParam().on);
}

INSTANTIATE_TEST_SUITE_P(Values, AttrayTest,
                         ::testing::Values(AttrayCase{true, "1", true}, AttrayCase{true, "2", true},
                                           AttrayCase{true, "true", true}, AttrayCase{true, "0", false},
                                           AttrayCase{true, "", false}, AttrayCase{true, "x", false},
                                           AttrayCase{false, "1", false}));

} // namespace
} // namespace vantor
