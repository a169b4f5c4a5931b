#include "core/shell/startup.h"

#include "core/shell/ini.h"

namespace vantor {

namespace {

// Start-up treats a setting it cannot read as a passed test: on.
bool OnUnlessOff(const std::string& value) {
    return IniSwitch(value).value_or(true);
}

} // namespace

StartupPlan PlanStartup(bool settingsExists, int enabledCount, const std::string& trayValue,
                        const std::string& workValue) {
    StartupPlan plan;
    if (!settingsExists) {
        return plan;
    }
    if (enabledCount < 1) {
        if (OnUnlessOff(workValue)) {
            plan.message = Message{"未设定任务，不能执行任务！", kNoticeTitle, MessageIcon::Warning};
            plan.growToWarningHeight = true;
        }
        return plan;
    }
    plan.toTray = OnUnlessOff(trayValue);
    plan.startScheduler = OnUnlessOff(workValue);
    return plan;
}

bool AttrayOn(bool settingsExists, const std::string& attrayValue) {
    return settingsExists && IniSwitch(attrayValue).value_or(false);
}

} // namespace vantor
