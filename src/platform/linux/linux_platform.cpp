// Linux backend (first cut: clock and legacy text; the other services answer "not available").
#include "platform/native.h"

#include <chrono>
#include <ctime>
#include <iconv.h>
#include <unistd.h>

namespace vantor {

namespace {

class LinuxPlatform : public Platform {
public:
    DateTime Now() override {
        const std::time_t t = std::time(nullptr);
        std::tm tm{};
        localtime_r(&t, &tm);
        return DateTime::fromParts(tm.tm_year + 1900, tm.tm_mon + 1, tm.tm_mday, tm.tm_hour, tm.tm_min, tm.tm_sec);
    }
    uint64_t MonotonicMs() override {
        using namespace std::chrono;
        return static_cast<uint64_t>(duration_cast<milliseconds>(steady_clock::now().time_since_epoch()).count());
    }
    std::optional<std::string> DecodeLegacy(std::string_view bytes) override {
        iconv_t cd = iconv_open("UTF-8", "GB18030");
        if (cd == reinterpret_cast<iconv_t>(-1)) {
            return std::nullopt;
        }
        std::string in(bytes);
        std::string out(in.size() * 4 + 4, '\0');
        char* inPtr = in.data();
        size_t inLeft = in.size();
        char* outPtr = out.data();
        size_t outLeft = out.size();
        const size_t rc = iconv(cd, &inPtr, &inLeft, &outPtr, &outLeft);
        iconv_close(cd);
        if (rc == static_cast<size_t>(-1)) {
            return std::nullopt;
        }
        out.resize(out.size() - outLeft);
        return out;
    }
    std::optional<uint64_t> LastInputMs() override { return std::nullopt; }
    std::optional<std::vector<InterfaceRow>> ReadInterfaceTable() override { return std::nullopt; }
    bool CanSuspend() override { return false; }
    bool CanHibernate() override { return false; }
    void EnableShutdownPrivilege() override {}
    ActionResult PowerOff() override { return ActionResult::Fail("not available"); }
    ActionResult Reboot() override { return ActionResult::Fail("not available"); }
    ActionResult LogOff() override { return ActionResult::Fail("not available"); }
    ActionResult Lock() override { return ActionResult::Fail("not available"); }
    ActionResult Suspend() override { return ActionResult::Fail("not available"); }
    ActionResult Hibernate() override { return ActionResult::Fail("not available"); }
    std::vector<ProcessInfo> ListProcesses() override { return {}; }
    bool IsProcessRunning(const std::string&) override { return false; }
    void EndProcessByName(const std::string&) override {}
    std::optional<WindowSize> ForegroundWindowSize() override { return std::nullopt; }
    ScreenSize PrimaryScreenSize() override { return {}; }
    bool IsFileLocked(const std::string&) override { return true; }
    bool IsOrdinaryFile(const std::string&) override { return false; }
    ActionResult StartProgram(const std::string&) override { return ActionResult::Fail("not available"); }
    std::string ProgramPath() override {
        char buf[4096];
        const ssize_t n = readlink("/proc/self/exe", buf, sizeof buf - 1);
        return n > 0 ? std::string(buf, static_cast<size_t>(n)) : std::string();
    }
    ActionResult WriteAutostart(AutostartScope, const std::string&) override {
        return ActionResult::Fail("not available");
    }
    std::string ReadAutostart(AutostartScope) override { return {}; }
    ActionResult DeleteAutostart(AutostartScope) override { return ActionResult::Ok(); }
};

} // namespace

std::unique_ptr<Platform> CreateNativePlatform() { return std::make_unique<LinuxPlatform>(); }

} // namespace vantor
