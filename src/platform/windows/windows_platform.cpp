// The Win32 backend: clock, text, input, windows and the assembly of the services in this folder.
#include "core/probes/process_match.h"
#include "core/probes/tick_count.h"
#include "core/tasks/editor_rules.h"
#include "platform/native.h"
#include "platform/windows/autostart.h"
#include "platform/windows/files_programs.h"
#include "platform/windows/instance_channel.h"
#include "platform/windows/net_table.h"
#include "platform/windows/power_session.h"
#include "platform/windows/processes.h"
#include "platform/windows/wide.h"

#include <windows.h>

#include <algorithm>
#include <string>

namespace vantor {

namespace {

using namespace windows_backend;

// The Chinese (Simplified) code page the stored files of the earlier program were written in.
constexpr UINT kLegacyCodePage = 936;

class WindowsPlatform : public Platform {
public:
    DateTime Now() override {
        SYSTEMTIME t{};
        GetLocalTime(&t);
        return DateTime::fromParts(t.wYear, t.wMonth, t.wDay, t.wHour, t.wMinute, t.wSecond);
    }
    // Milliseconds since the system started, counting while it sleeps, never wrapping.
    uint64_t MonotonicMs() override { return GetTickCount64(); }
    DateTime LocalTimeAfter(int64_t seconds) override {
        FILETIME now{};
        GetSystemTimeAsFileTime(&now);
        ULARGE_INTEGER t{};
        t.LowPart = now.dwLowDateTime;
        t.HighPart = now.dwHighDateTime;
        t.QuadPart += static_cast<ULONGLONG>(seconds) * 10'000'000ULL; // 100-nanosecond units
        const FILETIME then{t.LowPart, t.HighPart};
        SYSTEMTIME utc{};
        SYSTEMTIME local{};
        // The zone's rules for that moment, not today's offset (which FileTimeToLocalFileTime would use).
        if (!FileTimeToSystemTime(&then, &utc) || !SystemTimeToTzSpecificLocalTime(nullptr, &utc, &local)) {
            return Now().addSeconds(seconds);
        }
        return DateTime::fromParts(local.wYear, local.wMonth, local.wDay, local.wHour, local.wMinute,
                                   local.wSecond);
    }

    std::optional<std::string> DecodeLegacy(std::string_view bytes) override {
        if (bytes.empty()) {
            return std::string();
        }
        const int size = static_cast<int>(bytes.size());
        const int n =
            MultiByteToWideChar(kLegacyCodePage, MB_ERR_INVALID_CHARS, bytes.data(), size, nullptr, 0);
        if (n <= 0) {
            return std::nullopt;
        }
        std::wstring wide(static_cast<size_t>(n), L'\0');
        MultiByteToWideChar(kLegacyCodePage, MB_ERR_INVALID_CHARS, bytes.data(), size, wide.data(), n);
        return Utf8(wide);
    }
    std::optional<std::string> EncodeLegacy(std::string_view utf8) override {
        if (utf8.empty()) {
            return std::string();
        }
        const std::wstring wide = Wide(utf8);
        const int size = static_cast<int>(wide.size());
        BOOL lossy = FALSE;
        // No best fit: a character the code page lacks must fail, not turn into a look-alike or "?".
        const int n = WideCharToMultiByte(kLegacyCodePage, WC_NO_BEST_FIT_CHARS, wide.data(), size, nullptr,
                                          0, nullptr, &lossy);
        if (n <= 0 || lossy) {
            return std::nullopt;
        }
        std::string out(static_cast<size_t>(n), '\0');
        WideCharToMultiByte(kLegacyCodePage, WC_NO_BEST_FIT_CHARS, wide.data(), size, out.data(), n, nullptr,
                            &lossy);
        return lossy ? std::nullopt : std::optional(std::move(out));
    }
    // New files in the code page the earlier program wrote, so that it reads them too.
    TextEncoding NewFileEncoding() override { return TextEncoding::Legacy; }

    std::optional<uint64_t> LastInputMs() override {
        LASTINPUTINFO info{};
        info.cbSize = sizeof info;
        if (!GetLastInputInfo(&info)) {
            return std::nullopt;
        }
        // Read after the input time, so the input is never later than "now".
        return WidenTickCount(info.dwTime, GetTickCount64());
    }

    std::optional<std::vector<InterfaceRow>> ReadInterfaceTable() override { return ReadInterfaceTable2(); }

    bool CanSuspend() override { return SuspendAllowed(); }
    bool CanHibernate() override { return HibernateAllowed(); }
    Availability CanPerform(SystemOperation op) override { return PerformAvailability(op); }
    void EnableShutdownPrivilege() override { windows_backend::EnableShutdownPrivilege(); }
    ActionResult PowerOff() override { return EndSession(SessionEnd::PowerOff); }
    ActionResult Reboot() override { return EndSession(SessionEnd::Reboot); }
    ActionResult LogOff() override { return EndSession(SessionEnd::LogOff); }
    ActionResult Lock() override { return LockSession(); }
    ActionResult Suspend() override { return SuspendNow(); }
    ActionResult Hibernate() override { return HibernateNow(); }

    std::vector<ProcessInfo> ListProcesses() override { return SnapshotProcesses(); }
    bool IsProcessRunning(const std::string& name) override {
        for (const ProcessInfo& p : SnapshotProcesses()) {
            if (ProcessNameMatches(name, p.exeName, false, NameRule::Windows)) {
                return true;
            }
        }
        return false;
    }
    void EndProcessByName(const std::string& name) override {
        // None of the passes waits for the processes to end.
        TerminateProcessesNamed(name);
        TerminateProcessesByWmi(name);
        CloseWindowTitled(name);
    }
    bool CanKnowForegroundWindow() override { return true; }
    std::optional<WindowSize> ForegroundWindowSize() override {
        HWND window = GetForegroundWindow();
        RECT r{};
        if (window == nullptr || !GetWindowRect(window, &r)) {
            return std::nullopt;
        }
        return WindowSize{r.right - r.left, r.bottom - r.top};
    }
    ScreenSize PrimaryScreenSize() override {
        return {static_cast<double>(GetSystemMetrics(SM_CXSCREEN)),
                static_cast<double>(GetSystemMetrics(SM_CYSCREEN))};
    }

    void AllowForegroundHandOver() override { AllowSetForegroundWindow(ASFW_ANY); }

    bool IsProgramFile(const std::string& path) override { return HasExactExeExtension(path); }
    bool IsProgramInUse(const std::string& path) override { return FileHeldOrMissing(path); }
    bool IsOrdinaryFile(const std::string& path) override { return OrdinaryFile(path); }
    ActionResult StartProgram(const std::string& path) override { return OpenWithShell(path); }
    std::string ProgramPath() override { return OwnProgramPath(); }
    bool IsFolderWritable(const std::string& folder) override { return FolderWritable(folder); }
    std::string PerUserFolder() override { return UserDataFolder(); }

    std::unique_ptr<InstanceLock> LockInstance(const std::string& path, LockOutcome& outcome) override {
        return LockInstanceFile(path, outcome);
    }
    std::string PrivateRuntimeFolder() override { return windows_backend::PrivateRuntimeFolder(); }
    std::unique_ptr<ControlServer> ServeControl(const std::string& name, ControlHandler handler) override {
        return ServeControlPipe(name, std::move(handler));
    }
    ControlReply AskControl(const std::string& name, const std::string& request, int timeoutMs) override {
        return AskControlPipe(name, request, timeoutMs);
    }

    ActionResult WriteAutostart(AutostartScope scope, const std::string& programPath) override {
        return WriteRunValue(scope, programPath);
    }
    bool CanWriteAutostart(AutostartScope scope) override { return RunValueWritable(scope); }
    std::string ReadAutostart(AutostartScope scope) override { return ReadRunValue(scope); }
    ActionResult DeleteAutostart(AutostartScope scope) override { return DeleteRunValue(scope); }
};

} // namespace

std::unique_ptr<Platform> CreateNativePlatform() {
    return std::make_unique<WindowsPlatform>();
}

namespace {

// A handle the caller gave: a file, a pipe or a console. Output sent to a redirected handle stays there.
bool StandardHandleGiven(DWORD which) {
    const HANDLE h = GetStdHandle(which);
    return h != nullptr && h != INVALID_HANDLE_VALUE && GetFileType(h) != FILE_TYPE_UNKNOWN;
}

// The console's output as a handle of its own, for the standard handles the caller left empty.
void UseConsoleFor(DWORD which) {
    const HANDLE console =
        CreateFileW(L"CONOUT$", GENERIC_READ | GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                    OPEN_EXISTING, 0, nullptr);
    if (console != INVALID_HANDLE_VALUE) {
        SetStdHandle(which, console);
    }
}

} // namespace

void UseCallersConsole() {
    const bool outGiven = StandardHandleGiven(STD_OUTPUT_HANDLE);
    const bool errGiven = StandardHandleGiven(STD_ERROR_HANDLE);
    // Started from Explorer or a shortcut there is no console to join, and nothing is printed.
    if ((outGiven && errGiven) || !AttachConsole(ATTACH_PARENT_PROCESS)) {
        return;
    }
    if (!outGiven) {
        UseConsoleFor(STD_OUTPUT_HANDLE);
    }
    if (!errGiven) {
        UseConsoleFor(STD_ERROR_HANDLE);
    }
}

void WriteText(TextStream stream, std::string_view utf8) {
    const HANDLE h = GetStdHandle(stream == TextStream::Out ? STD_OUTPUT_HANDLE : STD_ERROR_HANDLE);
    if (h == nullptr || h == INVALID_HANDLE_VALUE || utf8.empty()) {
        return;
    }
    DWORD mode = 0;
    if (GetConsoleMode(h, &mode)) {
        // The console's code page (936, 437, ...) is not asked: it takes the characters themselves.
        const std::wstring wide = Wide(utf8);
        size_t done = 0;
        while (done < wide.size()) {
            DWORD written = 0;
            const DWORD chunk = static_cast<DWORD>(std::min<size_t>(wide.size() - done, 8192));
            if (!WriteConsoleW(h, wide.data() + done, chunk, &written, nullptr) || written == 0) {
                return;
            }
            done += written;
        }
        return;
    }
    std::string bytes;
    bytes.reserve(utf8.size() + 16);
    for (size_t i = 0; i < utf8.size(); ++i) {
        if (utf8[i] == '\n' && (i == 0 || utf8[i - 1] != '\r')) {
            bytes += '\r';
        }
        bytes += utf8[i];
    }
    size_t done = 0;
    while (done < bytes.size()) {
        DWORD written = 0;
        if (!WriteFile(h, bytes.data() + done, static_cast<DWORD>(bytes.size() - done), &written, nullptr) ||
            written == 0) {
            return;
        }
        done += written;
    }
}

} // namespace vantor
