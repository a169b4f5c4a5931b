#include "platform/windows/power_session.h"

#include "platform/windows/wide.h"

#include <windows.h>

#include <powrprof.h>

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
