#include "platform/windows/files_programs.h"

#include "platform/windows/wide.h"

#include <windows.h>

#include <objbase.h>
#include <shellapi.h>

namespace vantor::windows_backend {

bool FileHeldOrMissing(const std::string& path) {
    const std::wstring wide = Wide(path);
    HANDLE file =
        CreateFileW(wide.c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE) {
        return true;
    }
    CloseHandle(file);
    return false;
}

bool OrdinaryFile(const std::string& path) {
    if (path.empty()) {
        return false;
    }
    const DWORD attributes = GetFileAttributesW(Wide(path).c_str());
    return attributes != INVALID_FILE_ATTRIBUTES &&
           (attributes & (FILE_ATTRIBUTE_DIRECTORY | FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_SYSTEM)) == 0;
}

ActionResult OpenWithShell(const std::string& path) {
    if (path.empty()) {
        return ActionResult::Fail("没有指定要运行的程序或文件");
    }
    // The shell may hand the request to extensions that need COM on this thread.
    const HRESULT com = CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED | COINIT_DISABLE_OLE1DDE);
    const std::wstring file = Wide(path);
    std::wstring folder = file;
    const size_t slash = folder.find_last_of(L"\\/");
    folder = slash == std::wstring::npos ? std::wstring() : folder.substr(0, slash + 1);

    SHELLEXECUTEINFOW info{};
    info.cbSize = sizeof info;
    // No error box of the shell's own: the failure is reported to the caller.
    info.fMask = SEE_MASK_NOASYNC | SEE_MASK_FLAG_NO_UI;
    info.lpFile = file.c_str();
    info.lpDirectory = folder.empty() ? nullptr : folder.c_str();
    info.nShow = SW_SHOWNORMAL;
    const BOOL started = ShellExecuteExW(&info);
    const DWORD error = GetLastError();
    if (SUCCEEDED(com)) {
        CoUninitialize();
    }
    if (!started) {
        return ActionResult::Fail(Failure("运行 " + path, error));
    }
    return ActionResult::Ok();
}

std::string OwnProgramPath() {
    std::wstring buffer(MAX_PATH, L'\0');
    for (;;) {
        const DWORD n = GetModuleFileNameW(nullptr, buffer.data(), static_cast<DWORD>(buffer.size()));
        if (n == 0) {
            return {};
        }
        if (n < buffer.size()) {
            buffer.resize(n);
            return Utf8(buffer);
        }
        buffer.resize(buffer.size() * 2); // a long path: try again with room for it
    }
}

bool FolderWritable(const std::string& folder) {
    if (folder.empty()) {
        return false;
    }
    std::wstring probe = Wide(folder);
    if (probe.back() != L'\\' && probe.back() != L'/') {
        probe += L'\\';
    }
    probe += L"vantor-" + std::to_wstring(GetCurrentProcessId()) + L".probe";
    HANDLE file = CreateFileW(probe.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW,
                              FILE_ATTRIBUTE_TEMPORARY | FILE_FLAG_DELETE_ON_CLOSE, nullptr);
    if (file == INVALID_HANDLE_VALUE) {
        return false;
    }
    CloseHandle(file);
    return true;
}

std::string UserDataFolder() {
    const DWORD n = GetEnvironmentVariableW(L"APPDATA", nullptr, 0);
    if (n == 0) {
        return {};
    }
    std::wstring value(n, L'\0');
    const DWORD written = GetEnvironmentVariableW(L"APPDATA", value.data(), n);
    if (written == 0 || written >= n) {
        return {};
    }
    value.resize(written);
    while (!value.empty() && (value.back() == L'\\' || value.back() == L'/')) {
        value.pop_back();
    }
    return value.empty() ? std::string() : Utf8(value) + "\\Vantor";
}

} // namespace vantor::windows_backend
