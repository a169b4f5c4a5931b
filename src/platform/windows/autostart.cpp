#include "platform/windows/autostart.h"

#include "platform/windows/wide.h"

#include <windows.h>

namespace vantor::windows_backend {

namespace {

constexpr const wchar_t* kRunKey = L"Software\\Microsoft\\Windows\\CurrentVersion\\Run";
constexpr const wchar_t* kValueName = L"Vantor";

HKEY Root(AutostartScope scope) {
    return scope == AutostartScope::Machine ? HKEY_LOCAL_MACHINE : HKEY_CURRENT_USER;
}

} // namespace

ActionResult WriteRunValue(AutostartScope scope, const std::string& programPath) {
    HKEY key = nullptr;
    LSTATUS rc = RegCreateKeyExW(Root(scope), kRunKey, 0, nullptr, 0, KEY_SET_VALUE, nullptr, &key, nullptr);
    if (rc != ERROR_SUCCESS) {
        return ActionResult::Fail(Failure("写入开机启动项", static_cast<unsigned long>(rc)));
    }
    // The bare path, without quotes or arguments, with its terminating NUL.
    const std::wstring data = Wide(programPath);
    rc = RegSetValueExW(key, kValueName, 0, REG_SZ, reinterpret_cast<const BYTE*>(data.c_str()),
                        static_cast<DWORD>((data.size() + 1) * sizeof(wchar_t)));
    RegCloseKey(key);
    if (rc != ERROR_SUCCESS) {
        return ActionResult::Fail(Failure("写入开机启动项", static_cast<unsigned long>(rc)));
    }
    return ActionResult::Ok();
}

bool RunValueWritable(AutostartScope scope) {
    HKEY key = nullptr;
    LSTATUS rc = RegOpenKeyExW(Root(scope), kRunKey, 0, KEY_SET_VALUE, &key);
    if (rc == ERROR_FILE_NOT_FOUND) {
        // A fresh profile may have no Run key yet: the write would make it under its parent.
        rc = RegOpenKeyExW(Root(scope), L"Software\\Microsoft\\Windows\\CurrentVersion", 0,
                           KEY_CREATE_SUB_KEY, &key);
    }
    if (rc != ERROR_SUCCESS) {
        return false;
    }
    RegCloseKey(key);
    return true;
}

std::string ReadRunValue(AutostartScope scope) {
    DWORD bytes = 0;
    if (RegGetValueW(Root(scope), kRunKey, kValueName, RRF_RT_REG_SZ, nullptr, nullptr, &bytes) !=
            ERROR_SUCCESS ||
        bytes < sizeof(wchar_t)) {
        return {};
    }
    std::wstring data(bytes / sizeof(wchar_t), L'\0');
    if (RegGetValueW(Root(scope), kRunKey, kValueName, RRF_RT_REG_SZ, nullptr, data.data(), &bytes) !=
        ERROR_SUCCESS) {
        return {};
    }
    data.resize(wcsnlen(data.c_str(), data.size()));
    return Utf8(data);
}

ActionResult DeleteRunValue(AutostartScope scope) {
    const LSTATUS rc = RegDeleteKeyValueW(Root(scope), kRunKey, kValueName);
    if (rc != ERROR_SUCCESS && rc != ERROR_FILE_NOT_FOUND) {
        return ActionResult::Fail(Failure("删除开机启动项", static_cast<unsigned long>(rc)));
    }
    return ActionResult::Ok();
}

} // namespace vantor::windows_backend
