#include "platform/dryrun/dry_run_platform.h"

namespace vantor {

namespace {

class DryRunPlatform : public Platform {
public:
    DryRunPlatform(std::unique_ptr<Platform> inner, std::ostream& out)
        : inner_(std::move(inner)), out_(out) {}

    DateTime Now() override { return inner_->Now(); }
    uint64_t MonotonicMs() override { return inner_->MonotonicMs(); }
    DateTime LocalTimeAfter(int64_t seconds) override { return inner_->LocalTimeAfter(seconds); }
    std::optional<std::string> DecodeLegacy(std::string_view bytes) override {
        return inner_->DecodeLegacy(bytes);
    }
    std::optional<std::string> EncodeLegacy(std::string_view utf8) override {
        return inner_->EncodeLegacy(utf8);
    }
    TextEncoding NewFileEncoding() override { return inner_->NewFileEncoding(); }
    std::optional<uint64_t> LastInputMs() override { return inner_->LastInputMs(); }
    std::optional<std::vector<InterfaceRow>> ReadInterfaceTable() override {
        return inner_->ReadInterfaceTable();
    }
    bool CanSuspend() override { return inner_->CanSuspend(); }
    bool CanHibernate() override { return inner_->CanHibernate(); }
    // Printing an action always works: a dry run shows what would be done even where the system could
    // not do it.
    Availability CanPerform(SystemOperation) override { return {}; }
    std::vector<Inhibitor> ListInhibitors() override { return inner_->ListInhibitors(); }
    void EnableShutdownPrivilege() override {}
    ActionResult PowerOff() override { return Print("power-off"); }
    ActionResult Reboot() override { return Print("reboot"); }
    ActionResult LogOff() override { return Print("log-off"); }
    ActionResult Lock() override { return Print("lock"); }
    ActionResult Suspend() override { return Print("suspend"); }
    ActionResult Hibernate() override { return Print("hibernate"); }
    std::vector<ProcessInfo> ListProcesses() override { return inner_->ListProcesses(); }
    bool IsProcessRunning(const std::string& name) override { return inner_->IsProcessRunning(name); }
    void EndProcessByName(const std::string& name) override { Print("end-process " + name); }
    bool CanKnowForegroundWindow() override { return inner_->CanKnowForegroundWindow(); }
    std::optional<WindowSize> ForegroundWindowSize() override { return inner_->ForegroundWindowSize(); }
    std::optional<bool> ForegroundFullScreen() override { return inner_->ForegroundFullScreen(); }
    ScreenSize PrimaryScreenSize() override { return inner_->PrimaryScreenSize(); }
    void AllowForegroundHandOver() override { inner_->AllowForegroundHandOver(); }
    bool IsDryRun() override { return true; }
    bool IsProgramFile(const std::string& path) override { return inner_->IsProgramFile(path); }
    bool IsProgramInUse(const std::string& path) override { return inner_->IsProgramInUse(path); }
    bool IsOrdinaryFile(const std::string& path) override { return inner_->IsOrdinaryFile(path); }
    ActionResult StartProgram(const std::string& path) override { return Print("start-program " + path); }
    std::string ProgramPath() override { return inner_->ProgramPath(); }
    bool IsFolderWritable(const std::string& folder) override { return inner_->IsFolderWritable(folder); }
    std::optional<Ownership> OwnershipOf(const std::string& path) override {
        return inner_->OwnershipOf(path);
    }
    std::string PerUserFolder() override { return inner_->PerUserFolder(); }
    std::unique_ptr<InstanceLock> LockInstance(const std::string& path, LockOutcome& outcome) override {
        return inner_->LockInstance(path, outcome);
    }
    std::string PrivateRuntimeFolder() override { return inner_->PrivateRuntimeFolder(); }
    std::unique_ptr<ControlServer> ServeControl(const std::string& name, ControlHandler handler) override {
        return inner_->ServeControl(name, std::move(handler));
    }
    ControlReply AskControl(const std::string& name, const std::string& request, int timeoutMs) override {
        return inner_->AskControl(name, request, timeoutMs);
    }
    ActionResult WriteAutostart(AutostartScope scope, const std::string& programPath) override {
        // Printed only when the real write would be made: without the rights to the machine's entry the
        // caller goes on to the user's, and the lines show that path.
        if (!inner_->CanWriteAutostart(scope)) {
            return ActionResult::Fail("无法写入开机启动项：没有权限");
        }
        const std::string scopeName = scope == AutostartScope::Machine ? "machine" : "user";
        Print("autostart-write " + scopeName + " " + programPath);
        // Nothing is written, so a read-back finds the entry only in the dry run's own memory.
        (scope == AutostartScope::Machine ? machine_ : user_) = programPath;
        return ActionResult::Ok();
    }
    bool CanWriteAutostart(AutostartScope scope) override { return inner_->CanWriteAutostart(scope); }
    std::string ReadAutostart(AutostartScope scope) override {
        return scope == AutostartScope::Machine ? machine_ : user_;
    }
    ActionResult DeleteAutostart(AutostartScope scope) override {
        Print(std::string("autostart-delete ") + (scope == AutostartScope::Machine ? "machine" : "user"));
        (scope == AutostartScope::Machine ? machine_ : user_).clear();
        return ActionResult::Ok();
    }

private:
    ActionResult Print(const std::string& action) {
        out_ << "dry-run: " << action << std::endl;
        return ActionResult::Ok();
    }

    std::unique_ptr<Platform> inner_;
    std::ostream& out_;
    std::string machine_;
    std::string user_;
};

} // namespace

std::unique_ptr<Platform> CreateDryRunPlatform(std::unique_ptr<Platform> inner, std::ostream& out) {
    return std::make_unique<DryRunPlatform>(std::move(inner), out);
}

} // namespace vantor
