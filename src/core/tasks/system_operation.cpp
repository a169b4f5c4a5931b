// The system operations, their availability and the inhibitors that hold them back.
#include "core/tasks/system_operation.h"

#include "core/tasks/task_record.h"

#include <sstream>

namespace vantor {

std::optional<SystemOperation> SystemOperationOf(int operation) {
    switch (operation) {
    case OpShutdown:
        return SystemOperation::PowerOff;
    case OpRestart:
        return SystemOperation::Reboot;
    case OpLogOff:
        return SystemOperation::LogOff;
    case OpLock:
        return SystemOperation::Lock;
    case OpSleep:
        return SystemOperation::Suspend;
    case OpHibernate:
        return SystemOperation::Hibernate;
    default:
        return std::nullopt;
    }
}

const char* OperationWord(SystemOperation op) {
    switch (op) {
    case SystemOperation::PowerOff:
        return "关机";
    case SystemOperation::Reboot:
        return "重启";
    case SystemOperation::LogOff:
        return "注销";
    case SystemOperation::Lock:
        return "锁定";
    case SystemOperation::Suspend:
        return "睡眠";
    case SystemOperation::Hibernate:
        return "休眠";
    }
    return "";
}

AvailabilityVerdict JudgeAvailability(SystemOperation op, const Availability& availability) {
    const std::string word = OperationWord(op);
    switch (availability.answer) {
    case Availability::Answer::Yes:
        return {};
    case Availability::Answer::Challenge:
        // Allowed, but somebody has to be there to type the password when it is due.
        return {false,
                Message{"执行" + word + "时系统将要求输入密码。", kNoticeTitle, MessageIcon::Information}};
    case Availability::Answer::No: {
        // Not allowed now, but that can change before the task is due (other users log out, an inhibitor
        // goes away): the task may stay, the user is warned.
        const std::string why = availability.reason.empty() ? "当前用户没有这项权限" : availability.reason;
        return {false, Message{"到时可能无法" + word + "：" + why, kNoticeTitle, MessageIcon::Warning}};
    }
    case Availability::Answer::NotAvailable: {
        const std::string why = availability.reason.empty() ? "系统不支持这项操作" : availability.reason;
        return {true, Message{"无法" + word + "：" + why, kNoticeTitle, MessageIcon::Warning}};
    }
    }
    return {};
}

bool InhibitorConcerns(const Inhibitor& inhibitor, SystemOperation op) {
    // logind's kinds: "shutdown" holds off power-off and restart, "sleep" holds off sleep and hibernation;
    // none of them concerns ending a session or locking the screen.
    const char* kind = nullptr;
    switch (op) {
    case SystemOperation::PowerOff:
    case SystemOperation::Reboot:
        kind = "shutdown";
        break;
    case SystemOperation::Suspend:
    case SystemOperation::Hibernate:
        kind = "sleep";
        break;
    case SystemOperation::LogOff:
    case SystemOperation::Lock:
        return false;
    }
    std::istringstream parts(inhibitor.what);
    std::string part;
    while (std::getline(parts, part, ':')) {
        if (part == kind) {
            return true;
        }
    }
    return false;
}

std::vector<std::string> InhibitorLines(SystemOperation op, const std::vector<Inhibitor>& inhibitors) {
    std::vector<std::string> lines;
    for (const Inhibitor& i : inhibitors) {
        if (!InhibitorConcerns(i, op)) {
            continue;
        }
        const std::string who = i.who.empty() ? "某个程序" : i.who;
        const std::string verb = i.mode == "delay" ? "正在推迟" : "正在阻止";
        std::string line = "注意：" + who + " " + verb + OperationWord(op);
        if (!i.why.empty()) {
            line += "（" + i.why + "）";
        }
        lines.push_back(std::move(line));
    }
    return lines;
}

bool BlockedByInhibitor(SystemOperation op, const std::vector<Inhibitor>& inhibitors) {
    for (const Inhibitor& i : inhibitors) {
        if (i.mode == "block" && InhibitorConcerns(i, op)) {
            return true;
        }
    }
    return false;
}

} // namespace vantor
