// The ExitWindowsEx request of each way of ending the session, composed apart from the call so that tests
// can check it without ending anything.
#pragma once

#include <cstdint>

namespace vantor::windows_backend {

enum class SessionEnd { PowerOff, Reboot, LogOff };

struct ExitWindowsRequest {
    uint32_t flags = 0;
    uint32_t reason = 0;
};

// Shut down (EWX_SHUTDOWN, reason 1), restart (EWX_REBOOT) or log off (EWX_LOGOFF), each with
// EWX_FORCEIFHUNG: programs that answer may still ask to save their work; only hung ones are ended.
constexpr ExitWindowsRequest ExitRequestFor(SessionEnd end) {
    constexpr uint32_t kLogOff = 0x0, kShutDown = 0x1, kReboot = 0x2, kForceIfHung = 0x10;
    switch (end) {
    case SessionEnd::PowerOff:
        return {kShutDown | kForceIfHung, 1};
    case SessionEnd::Reboot:
        return {kReboot | kForceIfHung, 0};
    case SessionEnd::LogOff:
        return {kLogOff | kForceIfHung, 0};
    }
    return {};
}

} // namespace vantor::windows_backend
