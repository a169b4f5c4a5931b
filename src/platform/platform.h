// The one boundary to the operating system: every OS call the program makes goes through this interface.
// No Qt and no OS headers here; backends: linux/, windows/, fake/ (tests), dryrun/ (prints instead of acting).
#pragma once

#include "core/common/datetime.h"
#include "core/common/text.h"
#include "core/probes/net_stats.h"

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace vantor {

// Result of an action: success, or the reason it failed in words the user can be shown.
struct ActionResult {
    bool ok = true;
    std::string error;
    static ActionResult Ok() { return {}; }
    static ActionResult Fail(std::string why) { return {false, std::move(why)}; }
};

// Where the start-with-session entry lives: for every user of the machine, or for the current user.
enum class AutostartScope { Machine, User };

struct WindowSize {
    int width = 0;
    int height = 0;
};

struct ScreenSize {
    double width = 0;
    double height = 0;
};

struct ProcessInfo {
    int64_t pid = 0;
    std::string exeName; // executable file name without folder
    bool truncated = false; // only a cut name was available (Linux comm, 15 characters)
};

class Platform {
public:
    virtual ~Platform() = default;

    // --- Clock -------------------------------------------------------------------------------------
    // Local date-time now, whole seconds.
    virtual DateTime Now() = 0;
    // Monotonic milliseconds; never goes back, unaffected by clock changes.
    virtual uint64_t MonotonicMs() = 0;

    // --- Text --------------------------------------------------------------------------------------
    // Legacy bytes of the Chinese Windows code page (GBK/GB18030) to UTF-8; nullopt when undecodable.
    virtual std::optional<std::string> DecodeLegacy(std::string_view bytes) = 0;

    // --- Input -------------------------------------------------------------------------------------
    // Time of the last keyboard or mouse input on the MonotonicMs() clock; stays the same until there is
    // new input. nullopt when no source can tell (the idle condition then cannot hold).
    virtual std::optional<uint64_t> LastInputMs() = 0;

    // --- Network -----------------------------------------------------------------------------------
    // Every interface with its counters (loopback included); nullopt when the table cannot be read.
    virtual std::optional<std::vector<InterfaceRow>> ReadInterfaceTable() = 0;

    // --- Power and session -------------------------------------------------------------------------
    virtual bool CanSuspend() = 0;   // sleep supported and allowed
    virtual bool CanHibernate() = 0; // hibernation supported and allowed
    virtual void EnableShutdownPrivilege() = 0; // where the system needs it; nothing elsewhere
    virtual ActionResult PowerOff() = 0;
    virtual ActionResult Reboot() = 0;
    virtual ActionResult LogOff() = 0;
    virtual ActionResult Lock() = 0;
    virtual ActionResult Suspend() = 0;
    virtual ActionResult Hibernate() = 0;

    // --- Processes and windows ---------------------------------------------------------------------
    virtual std::vector<ProcessInfo> ListProcesses() = 0;
    // True when a process of that name runs (name may carry a folder; ".exe" and letter case ignored).
    virtual bool IsProcessRunning(const std::string& name) = 0;
    // Ends every process of that executable name (first pass: ask to end, second pass: force), then asks
    // windows titled with the name to close. Failures (no rights, gone already) are passed over.
    virtual void EndProcessByName(const std::string& name) = 0;
    // Size of the foreground window; nullopt when there is none (or it cannot be known).
    virtual std::optional<WindowSize> ForegroundWindowSize() = 0;
    virtual ScreenSize PrimaryScreenSize() = 0;

    // --- Files and programs ------------------------------------------------------------------------
    // True when the file cannot be opened for exclusive read-and-write access (missing, denied, in use).
    virtual bool IsFileLocked(const std::string& path) = 0;
    // True when the path names an existing ordinary file (not a folder, not hidden or system).
    virtual bool IsOrdinaryFile(const std::string& path) = 0;
    // Runs a program or opens a document with its associated program, without waiting.
    virtual ActionResult StartProgram(const std::string& path) = 0;
    // Full path of the running program file.
    virtual std::string ProgramPath() = 0;

    // --- Start with the session --------------------------------------------------------------------
    virtual ActionResult WriteAutostart(AutostartScope scope, const std::string& programPath) = 0;
    // The program path stored in the entry; empty when there is none or it cannot be read.
    virtual std::string ReadAutostart(AutostartScope scope) = 0;
    // A missing entry is no error.
    virtual ActionResult DeleteAutostart(AutostartScope scope) = 0;
};

} // namespace vantor
