#include "windows_test_support.h"

#include "platform/windows/wide.h"

#include <windows.h>

#include <atomic>
#include <filesystem>
#include <fstream>
#include <iterator>

namespace vantor::testing {

namespace fs = std::filesystem;
using windows_backend::Utf8;
using windows_backend::Wide;

TempFolder::TempFolder() {
    static std::atomic<int> counter{0};
    const std::wstring name =
        L"vantor 测试 " + std::to_wstring(GetCurrentProcessId()) + L"-" + std::to_wstring(counter++);
    const fs::path folder = fs::temp_directory_path() / name;
    fs::create_directories(folder);
    path_ = Utf8(folder.wstring());
}

TempFolder::~TempFolder() {
    std::error_code ignored;
    fs::remove_all(fs::path(Wide(path_)), ignored);
}

void WriteFile(const std::string& path, const std::string& bytes) {
    std::ofstream(fs::path(Wide(path)), std::ios::binary) << bytes;
}

std::string ReadFile(const std::string& path) {
    std::ifstream in(fs::path(Wide(path)), std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

bool Exists(const std::string& path) {
    return GetFileAttributesW(Wide(path).c_str()) != INVALID_FILE_ATTRIBUTES;
}

bool CopyHelper(const std::string& path) {
    wchar_t self[4 * MAX_PATH];
    const DWORD n = GetModuleFileNameW(nullptr, self, 4 * MAX_PATH);
    std::wstring helper(self, n);
    helper = helper.substr(0, helper.find_last_of(L'\\') + 1) + L"vantor_test_helper.exe";
    return CopyFileW(helper.c_str(), Wide(path).c_str(), FALSE) != FALSE;
}

Process::Process(const std::string& exe, const std::vector<std::string>& args) {
    std::wstring commandLine = L"\"" + Wide(exe) + L"\"";
    for (const std::string& arg : args) {
        commandLine += L" \"" + Wide(arg) + L"\"";
    }
    STARTUPINFOW si{};
    si.cb = sizeof si;
    PROCESS_INFORMATION pi{};
    if (CreateProcessW(Wide(exe).c_str(), commandLine.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr,
                       &si, &pi)) {
        CloseHandle(pi.hThread);
        handle_ = pi.hProcess;
    }
}

Process::~Process() {
    if (handle_ != nullptr) {
        if (Running()) {
            TerminateProcess(handle_, 1);
        }
        CloseHandle(handle_);
    }
}

Process::Process(Process&& other) noexcept : handle_(other.handle_) {
    other.handle_ = nullptr;
}

int64_t Process::pid() const {
    return handle_ != nullptr ? static_cast<int64_t>(GetProcessId(handle_)) : -1;
}

bool Process::Running() const {
    return handle_ != nullptr && WaitForSingleObject(handle_, 0) == WAIT_TIMEOUT;
}

bool Process::WaitExit(std::chrono::milliseconds timeout, unsigned long* exitCode) const {
    if (handle_ == nullptr ||
        WaitForSingleObject(handle_, static_cast<DWORD>(timeout.count())) != WAIT_OBJECT_0) {
        return false;
    }
    if (exitCode != nullptr) {
        DWORD code = 0;
        GetExitCodeProcess(handle_, &code);
        *exitCode = code;
    }
    return true;
}

} // namespace vantor::testing
