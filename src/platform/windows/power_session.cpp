#include "platform/windows/power_session.h"

#include "platform/windows/wide.h"

#include <windows.h>

#include <powrprof.h>

#include <vector>

namespace vantor::windows_backend {

void EnableShutdownPrivilege() {
    HANDLE token = nullptr;
    if (!OpenProcessToken(GetCurrentProcess(), TOKEN_ADJUST_PRIVILEGES | TOKEN_QUERY, &token)) {
        return;
    }
    TOKEN_PRIVILEGES privileges{};
    privileges.PrivilegeCount = 1;
    privileges.Privileges[0].Attributes = SE_PRIVILEGE_ENABLED;
    if (LookupPrivilegeValueW(nullptr, L"SeShutdownPrivilege", &privileges.Privileges[0].Luid)) {
        // Without the right the call changes nothing; the power request then reports the failure.
        AdjustTokenPrivileges(token, FALSE, &privileges, 0, nullptr, nullptr);
    }
    CloseHandle(token);
}

ActionResult EndSession(SessionEnd end) {
    static constexpr const char* kWhat[] = {"关机", "重启", "注销"};
    EnableShutdownPrivilege();
    const ExitWindowsRequest request = ExitRequestFor(end);
    if (!ExitWindowsEx(request.flags, request.reason)) {
        return ActionResult::Fail(Failure(kWhat[static_cast<int>(end)], GetLastError()));
    }
    return ActionResult::Ok();
}

bool SuspendAllowed() {
    return IsPwrSuspendAllowed() != FALSE;
}

bool HibernateAllowed() {
    return IsPwrHibernateAllowed() != FALSE;
}

namespace {

// Whether the process token holds the shutdown privilege at all (switched on or not): without it no
// power request can succeed, whatever is switched on later.
bool HoldsShutdownPrivilege() {
    HANDLE token = nullptr;
    if (!OpenProcessToken(GetCurrentProcess(), TOKEN_QUERY, &token)) {
        return false;
    }
    LUID luid{};
    DWORD size = 0;
    bool held = false;
    if (LookupPrivilegeValueW(nullptr, L"SeShutdownPrivilege", &luid)) {
        GetTokenInformation(token, TokenPrivileges, nullptr, 0, &size);
        std::vector<unsigned char> buffer(size);
        if (size > 0 && GetTokenInformation(token, TokenPrivileges, buffer.data(), size, &size)) {
            const auto* list = reinterpret_cast<const TOKEN_PRIVILEGES*>(buffer.data());
            for (DWORD i = 0; i < list->PrivilegeCount; ++i) {
                const LUID& l = list->Privileges[i].Luid;
                if (l.LowPart == luid.LowPart && l.HighPart == luid.HighPart) {
                    held = true;
                }
            }
        }
    }
    CloseHandle(token);
    return held;
}

} // namespace

Availability PerformAvailability(SystemOperation op) {
    const Availability noPrivilege{Availability::Answer::NotAvailable,
                                   "当前用户没有关机权限（SeShutdownPrivilege）"};
    switch (op) {
    case SystemOperation::LogOff:
    case SystemOperation::Lock:
        return {};
    case SystemOperation::PowerOff:
    case SystemOperation::Reboot:
        return HoldsShutdownPrivilege() ? Availability{} : noPrivilege;
    case SystemOperation::Suspend:
        if (!SuspendAllowed()) {
            return {Availability::Answer::NotAvailable, "系统不支持睡眠"};
        }
        return HoldsShutdownPrivilege() ? Availability{} : noPrivilege;
    case SystemOperation::Hibernate:
        if (!HibernateAllowed()) {
            return {Availability::Answer::NotAvailable, "系统不支持休眠（休眠未开启）"};
        }
        return HoldsShutdownPrivilege() ? Availability{} : noPrivilege;
    }
    return {};
}

ActionResult SuspendNow() {
    EnableShutdownPrivilege();
    // Sleep, not forced, wake-up events left on.
    if (!SetSuspendState(FALSE, FALSE, FALSE)) {
        return ActionResult::Fail(Failure("睡眠", GetLastError()));
    }
    return ActionResult::Ok();
}

ActionResult HibernateNow() {
    EnableShutdownPrivilege();
    if (!SetSuspendState(TRUE, FALSE, FALSE)) {
        return ActionResult::Fail(Failure("休眠", GetLastError()));
    }
    return ActionResult::Ok();
}

ActionResult LockSession() {
    if (!LockWorkStation()) {
        return ActionResult::Fail(Failure("锁定计算机", GetLastError()));
    }
    return ActionResult::Ok();
}

} // namespace vantor::windows_backend
