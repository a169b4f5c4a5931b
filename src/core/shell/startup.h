// What the start-up sequence does after reading the task list and the settings.
#pragma once

#include "core/common/message.h"

#include <optional>
#include <string>

namespace vantor {

struct StartupPlan {
    bool toTray = false;              // totray
    bool startScheduler = false;      // loadtask
    std::optional<Message> message;   // "未设定任务，不能执行任务！" (warning icon)
    bool growToWarningHeight = false; // window height 6720 twips after the message
};

// settingsExists: Setting.ini is there; tray/work: the raw values of the keys (read only when needed).
// A value that is no boolean counts as on ("a failing test counts as passed").
StartupPlan PlanStartup(bool settingsExists, int enabledCount, const std::string& trayValue,
                        const std::string& workValue);

// Attray when a run starts: on only for a value that reads as true.
bool AttrayOn(bool settingsExists, const std::string& attrayValue);

} // namespace vantor
