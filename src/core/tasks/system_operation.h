// The system operations a task can ask for, whether the system can carry them out here, and which other
// programs hold them back: the answers the platform gives and what the user is told about them.
#pragma once

#include "core/common/message.h"

#include <optional>
#include <string>
#include <vector>

namespace vantor {

enum class SystemOperation { PowerOff, Reboot, LogOff, Lock, Suspend, Hibernate };

// The system operation of a Comb_oper index (3 shut down ... 8 hibernate); nullopt for the others.
std::optional<SystemOperation> SystemOperationOf(int operation);

// The operation's word as the operation list and the messages name it: "关机", "重启", "注销", "锁定",
// "睡眠", "休眠".
const char* OperationWord(SystemOperation op);

// Whether the system can carry out an operation at all.
struct Availability {
    enum class Answer {
        Yes,          // it can
        Challenge,    // it can once the user types a password into the system's prompt
        No,           // the user is not allowed to at the moment (may change: other sessions, inhibitors)
        NotAvailable, // the system cannot do it here (not supported, no service, no privilege)
    };
    Answer answer = Answer::Yes;
    std::string reason; // for No and NotAvailable: why, in the user's words
};

// What a task check does with the answer: refuse the task, and/or tell the user something.
struct AvailabilityVerdict {
    bool refuse = false;
    std::optional<Message> message;
};
AvailabilityVerdict JudgeAvailability(SystemOperation op, const Availability& availability);

// One lock another program holds on the system's power and session operations (logind's inhibitors).
struct Inhibitor {
    std::string what; // colon-separated: "shutdown", "sleep", "idle", "handle-power-key", ...
    std::string who;  // the program, in its own words
    std::string why;  // its reason, in its own words
    std::string mode; // "block" (holds the operation off) or "delay" (holds it off for a short while)
};

// Whether the inhibitor holds back that operation.
bool InhibitorConcerns(const Inhibitor& inhibitor, SystemOperation op);

// The lines shown under the warning text, one per inhibitor that concerns the operation:
// "注意：<who> 正在阻止关机（<why>）", "正在推迟" for one that only delays it.
std::vector<std::string> InhibitorLines(SystemOperation op, const std::vector<Inhibitor>& inhibitors);

// True when an inhibitor blocks the operation (not one that only delays it).
bool BlockedByInhibitor(SystemOperation op, const std::vector<Inhibitor>& inhibitors);

// Shown under the warning when the countdown has run out while the operation is still blocked.
inline constexpr const char* kStillBlockedText = "仍被阻止";

} // namespace vantor
