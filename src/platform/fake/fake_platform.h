// A scripted backend for tests: a clock you set and advance, canned readings, and a record of every
// action that would have changed the system.
#pragma once

#include "core/probes/process_match.h"
#include "platform/platform.h"

#include <map>
#include <optional>
#include <set>
#include <string>
#include <vector>

namespace vantor {

class FakePlatform : public Platform {
public:
    FakePlatform();

    // --- Test controls -----------------------------------------------------------------------------
    // Moves the wall clock alone, as a clock change does; the steady clock stays where it is.
    void SetNow(DateTime now) { now_ = now; }
    // A daylight-saving change: when the wall clock reaches `at` it moves on by `shift` seconds.
    void SetClockChange(DateTime at, int64_t shift) { change_ = ClockChange{at, shift}; }
    // Advances both the wall clock and the steady clock (a suspend gap is one large step).
    void Advance(int64_t seconds) { AdvanceMs(seconds * 1000); }
    void AdvanceMs(int64_t ms);
    void SetLastInputMs(std::optional<uint64_t> ms) { lastInput_ = ms; }
    void SetInterfaceTable(std::optional<std::vector<InterfaceRow>> rows) { table_ = std::move(rows); }
    void SetCanSuspend(bool v) { canSuspend_ = v; }
    void SetCanHibernate(bool v) { canHibernate_ = v; }
    // The answer CanPerform gives for an operation (Yes unless set).
    void SetAvailability(SystemOperation op, Availability a) { availability_[op] = std::move(a); }
    void SetInhibitors(std::vector<Inhibitor> inhibitors) { inhibitors_ = std::move(inhibitors); }
    void SetRunningProcesses(std::set<std::string> names) { running_ = std::move(names); }
    // The process-name rule of the system the fake stands for (Windows unless set).
    void SetNameRule(NameRule rule) { nameRule_ = rule; }
    void SetCanKnowForegroundWindow(bool v) { canKnowForeground_ = v; }
    void SetForegroundWindow(std::optional<WindowSize> size) { foreground_ = size; }
    void SetScreen(ScreenSize size) { screen_ = size; }
    // Program files in use (running); a program file that is no ordinary file counts as in use too, as an
    // exclusive open of a missing file fails.
    void SetLockedFiles(std::set<std::string> paths) { locked_ = std::move(paths); }
    // Program files beyond the names ending in "exe" (an executable without extension, as on Linux).
    void SetProgramFiles(std::set<std::string> paths) { programFiles_ = std::move(paths); }
    void SetOrdinaryFiles(std::set<std::string> paths) { files_ = std::move(paths); }
    void SetProgramPath(std::string path) { programPath_ = std::move(path); }
    void SetWritableFolders(std::set<std::string> folders) { writableFolders_ = std::move(folders); }
    void SetPerUserFolder(std::string folder) { perUserFolder_ = std::move(folder); }
    // Who may change a path; paths not set have none (as on Windows).
    void SetOwnership(const std::string& path, Ownership o) { ownership_[path] = o; }
    // Autostart answers: whether writing an entry of that scope succeeds.
    void SetAutostartWritable(AutostartScope scope, bool ok) { writable_[scope] = ok; }
    // Whether deleting the entry of that scope succeeds; a refused delete leaves the entry.
    void SetAutostartDeletable(AutostartScope scope, bool ok) { deletable_[scope] = ok; }
    void SetActionResult(ActionResult r) { actionResult_ = std::move(r); }
    void SetLegacyDecoder(LegacyDecoder d) { legacy_ = std::move(d); }
    void SetLegacyEncoder(LegacyEncoder e) { legacyEncoder_ = std::move(e); }
    // The encoding of new files (UTF-8 unless set; the legacy code page stands for Windows).
    void SetNewFileEncoding(TextEncoding e) { newFileEncoding_ = e; }

    // Every system action in the order it was asked for, as "power-off", "reboot", "log-off", "lock",
    // "suspend", "hibernate", "shutdown-privilege", "end-process NAME", "start-program PATH",
    // "autostart-write machine|user PATH", "autostart-delete machine|user".
    std::vector<std::string> calls;
    // Stored autostart entries by scope.
    std::map<AutostartScope, std::string> autostart;
    int canSuspendQueries = 0;
    int canHibernateQueries = 0;

    // --- Platform ----------------------------------------------------------------------------------
    DateTime Now() override { return now_; }
    DateTime LocalTimeAfter(int64_t seconds) override { return Later(now_, seconds); }
    uint64_t MonotonicMs() override { return monotonic_; }
    std::optional<std::string> DecodeLegacy(std::string_view bytes) override;
    std::optional<std::string> EncodeLegacy(std::string_view utf8) override {
        return legacyEncoder_ ? legacyEncoder_(utf8) : std::nullopt;
    }
    TextEncoding NewFileEncoding() override { return newFileEncoding_; }
    std::optional<uint64_t> LastInputMs() override { return lastInput_; }
    std::optional<std::vector<InterfaceRow>> ReadInterfaceTable() override { return table_; }
    bool CanSuspend() override;
    bool CanHibernate() override;
    Availability CanPerform(SystemOperation op) override;
    std::vector<Inhibitor> ListInhibitors() override { return inhibitors_; }
    void EnableShutdownPrivilege() override;
    ActionResult PowerOff() override { return Record("power-off"); }
    ActionResult Reboot() override { return Record("reboot"); }
    ActionResult LogOff() override { return Record("log-off"); }
    ActionResult Lock() override { return Record("lock"); }
    ActionResult Suspend() override { return Record("suspend"); }
    ActionResult Hibernate() override { return Record("hibernate"); }
    std::vector<ProcessInfo> ListProcesses() override;
    bool IsProcessRunning(const std::string& name) override;
    void EndProcessByName(const std::string& name) override;
    bool CanKnowForegroundWindow() override { return canKnowForeground_; }
    std::optional<WindowSize> ForegroundWindowSize() override { return foreground_; }
    ScreenSize PrimaryScreenSize() override { return screen_; }
    bool IsProgramFile(const std::string& path) override;
    bool IsProgramInUse(const std::string& path) override;
    bool IsOrdinaryFile(const std::string& path) override { return files_.count(path) > 0; }
    ActionResult StartProgram(const std::string& path) override { return Record("start-program " + path); }
    std::string ProgramPath() override { return programPath_; }
    bool IsFolderWritable(const std::string& folder) override { return writableFolders_.count(folder) > 0; }
    std::string PerUserFolder() override { return perUserFolder_; }
    std::optional<Ownership> OwnershipOf(const std::string& path) override {
        const auto it = ownership_.find(path);
        return it == ownership_.end() ? std::nullopt : std::optional(it->second);
    }
    ActionResult WriteAutostart(AutostartScope scope, const std::string& programPath) override;
    bool CanWriteAutostart(AutostartScope scope) override { return writable_[scope]; }
    std::string ReadAutostart(AutostartScope scope) override;
    ActionResult DeleteAutostart(AutostartScope scope) override;

private:
    ActionResult Record(std::string call);

    DateTime now_;
    struct ClockChange {
        DateTime at;
        int64_t shift = 0;
    };
    std::optional<ClockChange> change_;
    // The wall clock `seconds` of real time after `from`, with the clock change if it lies between.
    DateTime Later(DateTime from, int64_t seconds) const;
    uint64_t monotonic_ = 1'000'000;
    std::optional<uint64_t> lastInput_;
    std::optional<std::vector<InterfaceRow>> table_;
    bool canSuspend_ = true;
    bool canHibernate_ = true;
    std::map<SystemOperation, Availability> availability_;
    std::vector<Inhibitor> inhibitors_;
    std::set<std::string> running_;
    NameRule nameRule_ = NameRule::Windows;
    bool canKnowForeground_ = true;
    std::optional<WindowSize> foreground_;
    ScreenSize screen_{1920, 1080};
    std::set<std::string> locked_;
    std::set<std::string> programFiles_;
    std::set<std::string> files_;
    std::string programPath_ = "/opt/vantor/vantor";
    std::set<std::string> writableFolders_;
    std::string perUserFolder_;
    std::map<std::string, Ownership> ownership_;
    std::map<AutostartScope, bool> writable_{{AutostartScope::Machine, true}, {AutostartScope::User, true}};
    std::map<AutostartScope, bool> deletable_{{AutostartScope::Machine, true}, {AutostartScope::User, true}};
    ActionResult actionResult_;
    LegacyDecoder legacy_;
    LegacyEncoder legacyEncoder_;
    TextEncoding newFileEncoding_ = TextEncoding::Utf8;
};

} // namespace vantor
