// The Linux backend: clock, text, files and the assembly of the services in this folder.
#include "platform/linux/autostart.h"
#include "platform/linux/dbus_client.h"
#include "platform/linux/idle.h"
#include "platform/linux/instance_channel.h"
#include "platform/linux/net_counters.h"
#include "platform/linux/power_session.h"
#include "platform/linux/processes.h"
#include "platform/linux/programs.h"
#include "platform/linux/wayland_toplevels.h"
#include "platform/linux/x11_display.h"
#include "platform/native.h"

#include <cerrno>
#include <chrono>
#include <cstdio>
#include <ctime>
#include <fcntl.h>
#include <iconv.h>
#include <sys/stat.h>
#include <thread>
#include <unistd.h>

namespace vantor {

namespace {

using namespace linux_backend;

std::optional<std::string> Convert(const char* to, const char* from, std::string_view bytes);

// How long processes asked to end get before they are forced.
constexpr int kEndGraceMs = 1000;

// A moment as the local clock shows it, by the time zone's rules for that moment.
DateTime LocalTime(std::time_t t) {
    std::tm tm{};
    localtime_r(&t, &tm);
    return DateTime::fromParts(tm.tm_year + 1900, tm.tm_mon + 1, tm.tm_mday, tm.tm_hour, tm.tm_min,
                               tm.tm_sec);
}

class LinuxPlatform : public Platform {
public:
    // Nothing here talks to X or D-Bus: every connection opens on first use, so start-up stays fast.
    LinuxPlatform()
        : system_(QDBusConnection::SystemBus), session_(QDBusConnection::SessionBus),
          power_(system_, session_), idle_(x11_, system_, session_) {}

    DateTime Now() override { return LocalTime(std::time(nullptr)); }
    DateTime LocalTimeAfter(int64_t seconds) override {
        return LocalTime(std::time(nullptr) + static_cast<std::time_t>(seconds));
    }
    uint64_t MonotonicMs() override {
        // CLOCK_BOOTTIME, not the steady clock of the C++ library (CLOCK_MONOTONIC): it goes on counting
        // while the computer sleeps, so a countdown that fell due during a suspend acts on resume.
        timespec ts{};
        clock_gettime(CLOCK_BOOTTIME, &ts);
        return static_cast<uint64_t>(ts.tv_sec) * 1000u + static_cast<uint64_t>(ts.tv_nsec) / 1'000'000u;
    }
    std::optional<std::string> DecodeLegacy(std::string_view bytes) override {
        return Convert("UTF-8", "GB18030", bytes);
    }
    // GBK as Windows' code page 936 has it, not GB18030, which holds every character but in sequences the
    // earlier program and Windows cannot read.
    std::optional<std::string> EncodeLegacy(std::string_view utf8) override {
        return Convert("CP936", "UTF-8", utf8);
    }

    std::optional<uint64_t> LastInputMs() override { return idle_.LastInputMs(MonotonicMs()); }
    std::optional<std::vector<InterfaceRow>> ReadInterfaceTable() override {
        return net_.Read(MonotonicMs());
    }

    bool CanSuspend() override { return power_.CanSuspend(); }
    bool CanHibernate() override { return power_.CanHibernate(); }
    Availability CanPerform(SystemOperation op) override { return power_.CanPerform(op); }
    std::vector<Inhibitor> ListInhibitors() override { return power_.ListInhibitors(); }
    // Linux grants power actions through polkit when they are asked for; there is no privilege to switch on.
    void EnableShutdownPrivilege() override {}
    ActionResult PowerOff() override { return power_.PowerOff(); }
    ActionResult Reboot() override { return power_.Reboot(); }
    ActionResult LogOff() override { return power_.LogOff(); }
    ActionResult Lock() override { return power_.Lock(); }
    ActionResult Suspend() override { return power_.Suspend(); }
    ActionResult Hibernate() override { return power_.Hibernate(); }

    std::vector<ProcessInfo> ListProcesses() override { return linux_backend::ListProcesses(); }
    bool IsProcessRunning(const std::string& name) override { return linux_backend::IsProcessRunning(name); }
    void EndProcessByName(const std::string& name) override {
        std::vector<EndingProcess> asked = AskToEnd(name);
        if (!asked.empty()) {
            // The grace period runs on a thread of its own: the window must not freeze for it. The thread
            // owns everything it touches, so it may outlive this object.
            std::thread([asked = std::move(asked)] { ForceWhenStillRunning(asked, kEndGraceMs); }).detach();
        }
        // Wayland offers no way to close another program's window: there this pass finds nothing.
        x11_.CloseWindowTitled(name);
    }
    // Under Wayland only a compositor that tells of its windows (wlroots' protocol) can say.
    bool CanKnowForegroundWindow() override { return !OnWayland() || toplevels_.Available(); }
    std::optional<WindowSize> ForegroundWindowSize() override {
        // Under Wayland the X server only sees XWayland clients, so its active window says nothing.
        return OnWayland() ? std::nullopt : x11_.ActiveWindowSize();
    }
    std::optional<bool> ForegroundFullScreen() override {
        return OnWayland() ? toplevels_.ActiveFullScreen() : std::nullopt;
    }
    ScreenSize PrimaryScreenSize() override { return x11_.PrimaryScreenSize().value_or(ScreenSize{}); }

    bool IsProgramFile(const std::string& path) override {
        struct stat st {};
        return stat(path.c_str(), &st) == 0 && S_ISREG(st.st_mode) &&
               (st.st_mode & (S_IXUSR | S_IXGRP | S_IXOTH)) != 0;
    }
    bool IsProgramInUse(const std::string& path) override { return IsProgramRunning(path); }
    bool IsOrdinaryFile(const std::string& path) override {
        struct stat st {};
        if (stat(path.c_str(), &st) != 0 || !S_ISREG(st.st_mode)) {
            return false;
        }
        const size_t slash = path.find_last_of('/');
        const std::string name = slash == std::string::npos ? path : path.substr(slash + 1);
        return !name.empty() && name.front() != '.';
    }
    ActionResult StartProgram(const std::string& path) override { return StartProgramOrDocument(path); }
    std::string ProgramPath() override {
        char buf[4096];
        const ssize_t n = readlink("/proc/self/exe", buf, sizeof buf - 1);
        return n > 0 ? std::string(buf, static_cast<size_t>(n)) : std::string();
    }

    bool IsFolderWritable(const std::string& folder) override {
        struct stat st {};
        return stat(folder.c_str(), &st) == 0 && S_ISDIR(st.st_mode) &&
               faccessat(AT_FDCWD, folder.c_str(), W_OK | X_OK, AT_EACCESS) == 0;
    }
    std::optional<Ownership> OwnershipOf(const std::string& path) override {
        // lstat of "dir/" follows a link named dir: the link itself is asked for without the slash.
        std::string named = path;
        while (named.size() > 1 && named.back() == '/') {
            named.pop_back();
        }
        struct stat link {};
        struct stat st {};
        if (lstat(named.c_str(), &link) != 0 || stat(named.c_str(), &st) != 0) {
            return std::nullopt;
        }
        Ownership o;
        o.link = S_ISLNK(link.st_mode);
        o.ownedByUser = st.st_uid == geteuid() || st.st_uid == 0;
        o.writableByOthers = (st.st_mode & (S_IWGRP | S_IWOTH)) != 0;
        return o;
    }
    std::string PerUserFolder() override {
        const std::string config = UserConfigHome();
        return config.empty() ? config : config + "/vantor";
    }

    std::unique_ptr<InstanceLock> LockInstance(const std::string& path, LockOutcome& outcome) override {
        return LockInstanceFile(path, outcome);
    }
    std::string PrivateRuntimeFolder() override { return linux_backend::PrivateRuntimeFolder(); }
    std::unique_ptr<ControlServer> ServeControl(const std::string& name, ControlHandler handler) override {
        const std::string folder = linux_backend::PrivateRuntimeFolder();
        return folder.empty() ? nullptr : ServeControlSocket(folder + "/" + name, std::move(handler));
    }
    ControlReply AskControl(const std::string& name, const std::string& request, int timeoutMs) override {
        const std::string folder = linux_backend::PrivateRuntimeFolder();
        return folder.empty() ? ControlReply{} : AskControlSocket(folder + "/" + name, request, timeoutMs);
    }

    ActionResult WriteAutostart(AutostartScope scope, const std::string& programPath) override {
        return WriteAutostartEntry(scope, programPath);
    }
    bool CanWriteAutostart(AutostartScope scope) override { return AutostartEntryWritable(scope); }
    std::string ReadAutostart(AutostartScope scope) override { return ReadAutostartEntry(scope); }
    ActionResult DeleteAutostart(AutostartScope scope) override { return DeleteAutostartEntry(scope); }

private:
    static bool OnWayland() {
        const char* type = std::getenv("XDG_SESSION_TYPE");
        const char* wayland = std::getenv("WAYLAND_DISPLAY");
        return (type != nullptr && std::string_view(type) == "wayland") ||
               (wayland != nullptr && *wayland != '\0');
    }

    BusClient system_;
    BusClient session_;
    X11Display x11_;
    PowerSession power_;
    IdleMonitor idle_;
    InterfaceReader net_;
    WaylandToplevels toplevels_;
};

// Every byte of `bytes` converted, or nullopt.
std::optional<std::string> Convert(const char* to, const char* from, std::string_view bytes) {
    iconv_t cd = iconv_open(to, from);
    if (cd == reinterpret_cast<iconv_t>(-1)) {
        return std::nullopt;
    }
    std::string in(bytes);
    // A character of n bytes gives at most n + 2 bytes in either direction; four times is plenty.
    std::string out(in.size() * 4 + 4, '\0');
    char* inPtr = in.data();
    size_t inLeft = in.size();
    char* outPtr = out.data();
    size_t outLeft = out.size();
    const size_t rc = iconv(cd, &inPtr, &inLeft, &outPtr, &outLeft);
    iconv_close(cd);
    if (rc == static_cast<size_t>(-1) || inLeft != 0) {
        return std::nullopt;
    }
    out.resize(out.size() - outLeft);
    return out;
}

} // namespace

std::unique_ptr<Platform> CreateNativePlatform() {
    return std::make_unique<LinuxPlatform>();
}

void UseCallersConsole() {}

void WriteText(TextStream stream, std::string_view utf8) {
    std::FILE* file = stream == TextStream::Out ? stdout : stderr;
    std::fwrite(utf8.data(), 1, utf8.size(), file);
    std::fflush(file);
}

} // namespace vantor
