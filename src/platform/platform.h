// The one boundary to the operating system: every OS call the program makes goes through this interface.
// No Qt and no OS headers here; backends: linux/, windows/, fake/ (tests), dryrun/ (prints instead of
// acting).
#pragma once

#include "core/common/datetime.h"
#include "core/common/encoding.h"
#include "core/probes/net_stats.h"
#include "core/shell/data_folder.h"
#include "core/tasks/system_operation.h"
#include "platform/instance.h"

#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <vector>

namespace vantor {

// Result of an action: success, or the reason it failed in Chinese words the user can be shown.
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
    std::string exeName;    // executable file name without folder
    bool truncated = false; // only a cut name was available (Linux comm, 15 characters)
};

class Platform {
public:
    virtual ~Platform() = default;

    // --- Clock -------------------------------------------------------------------------------------
    // Local date-time now, whole seconds.
    virtual DateTime Now() = 0;
    // Steady milliseconds: never goes back, ignores changes of the wall clock and keeps counting while the
    // computer sleeps (Linux CLOCK_BOOTTIME, Windows GetTickCount64). Countdowns run on it.
    virtual uint64_t MonotonicMs() = 0;
    // The local date-time the clock will show `seconds` seconds of real time from now: across a
    // daylight-saving change that is not Now() + seconds (a countdown's end is shown with it).
    virtual DateTime LocalTimeAfter(int64_t seconds) = 0;

    // --- Text --------------------------------------------------------------------------------------
    // Legacy bytes of the Chinese Windows code page (GBK/GB18030) to UTF-8; nullopt when undecodable.
    virtual std::optional<std::string> DecodeLegacy(std::string_view bytes) = 0;
    // UTF-8 text to the Chinese Windows code page (GBK, as Windows' code page 936 has it); nullopt when it
    // cannot hold every character.
    virtual std::optional<std::string> EncodeLegacy(std::string_view /*utf8*/) { return std::nullopt; }
    // The encoding of a file the program makes: the code page on Windows, as the earlier program wrote
    // its files; UTF-8 elsewhere.
    virtual TextEncoding NewFileEncoding() { return TextEncoding::Utf8; }

    // --- Input -------------------------------------------------------------------------------------
    // Time of the last keyboard or mouse input on the MonotonicMs() clock; stays the same until there is
    // new input. nullopt when no source can tell (the idle condition then cannot hold).
    virtual std::optional<uint64_t> LastInputMs() = 0;

    // --- Network -----------------------------------------------------------------------------------
    // The interfaces whose traffic is the computer's network traffic, with their counters (Windows: every
    // row of the interface table; Linux: those that reach a network, not loopback, bridges, veth, tun/tap
    // or other virtual ones); nullopt when the table cannot be read.
    virtual std::optional<std::vector<InterfaceRow>> ReadInterfaceTable() = 0;

    // --- Power and session -------------------------------------------------------------------------
    virtual bool CanSuspend() = 0;   // sleep supported and allowed
    virtual bool CanHibernate() = 0; // hibernation supported and allowed
    // Whether the operation can be carried out here at all, asked when a task is checked (Linux: logind's
    // answers, a session manager, a screen locker; Windows: the shutdown privilege and the power
    // capabilities). Asked, never done: no prompt, no action.
    virtual Availability CanPerform(SystemOperation op) = 0;
    // The locks other programs hold on power and session operations right now (logind's inhibitors);
    // empty where the system keeps none or cannot list them.
    virtual std::vector<Inhibitor> ListInhibitors() { return {}; }
    virtual void EnableShutdownPrivilege() = 0; // where the system needs it; nothing elsewhere
    virtual ActionResult PowerOff() = 0;
    virtual ActionResult Reboot() = 0;
    virtual ActionResult LogOff() = 0;
    // Ok only when the screen is known to be locked (the session says so, or a screen locker took the
    // request); the fallbacks are the backend's own.
    virtual ActionResult Lock() = 0;
    virtual ActionResult Suspend() = 0;
    virtual ActionResult Hibernate() = 0;

    // --- Processes and windows ---------------------------------------------------------------------
    virtual std::vector<ProcessInfo> ListProcesses() = 0;
    // True when a process of that name runs, by ProcessNameMatches (the Windows rule on Windows, the exact
    // Linux rule on Linux; a folder in the name is passed over).
    virtual bool IsProcessRunning(const std::string& name) = 0;
    // Ends every process that IsProcessRunning's rule finds (first ask to end, then force), then asks the
    // first window titled with the name to close. Returns at once: waiting for processes to end happens in
    // the background. Failures (no rights, gone already) are passed over.
    virtual void EndProcessByName(const std::string& name) = 0;
    // False where no foreground window can ever be known on this session (Wayland, but for compositors
    // that tell, see ForegroundFullScreen): the full-screen pause can then never hold.
    virtual bool CanKnowForegroundWindow() = 0;
    // Size of the foreground window; nullopt when there is none (or it cannot be known).
    virtual std::optional<WindowSize> ForegroundWindowSize() = 0;
    // Where the desktop itself says whether the active window is full screen (wlroots compositors under
    // Wayland): that answer; nullopt where only the window's size can tell.
    virtual std::optional<bool> ForegroundFullScreen() { return std::nullopt; }
    virtual ScreenSize PrimaryScreenSize() = 0;
    // Lets another running program bring its window to the front while this one has the foreground (a
    // second start handing over to the running copy): Windows gives the foreground only to a program the
    // foreground one allows; nothing elsewhere.
    virtual void AllowForegroundHandOver() {}
    // True when actions are only printed, never done (--dry-run): the history and the window titles say so.
    virtual bool IsDryRun() { return false; }

    // --- Files and programs ------------------------------------------------------------------------
    // Whether "多开" governs starting this target, that is, it names a program file (Windows: the text
    // ends in "exe", letter case counting; Linux: an ordinary file with an execute bit).
    virtual bool IsProgramFile(const std::string& path) = 0;
    // For a program file: true when it must not be started again without "多开" (Windows: it cannot be
    // opened for reading with no sharing: held open, as a running program's file is, missing or unreadable;
    // Linux: it is busy, ETXTBSY, or a process runs that executable).
    virtual bool IsProgramInUse(const std::string& path) = 0;
    // True when the path names an existing ordinary file (not a folder, not hidden or system).
    virtual bool IsOrdinaryFile(const std::string& path) = 0;
    // Runs a program or opens a document with its associated program, without waiting.
    virtual ActionResult StartProgram(const std::string& path) = 0;
    // Full path of the running program file.
    virtual std::string ProgramPath() = 0;
    // True when this user may create files in the folder (false on a read-only file system too).
    virtual bool IsFolderWritable(const std::string& folder) = 0;
    // Who may change the file or folder at `path` (a link followed to what it names, and said to be one);
    // nullopt when it does not exist, or the system keeps no such permissions for it (Windows: the
    // per-user folder is the user's profile, which only the user and the administrators may change).
    virtual std::optional<Ownership> OwnershipOf(const std::string& /*path*/) { return std::nullopt; }
    // The user's own folder for the program's files, not made here (Linux: $XDG_CONFIG_HOME/vantor, by
    // default ~/.config/vantor; Windows: %APPDATA%\Vantor); empty when the system cannot say.
    virtual std::string PerUserFolder() = 0;

    // --- One running copy and its control channel ------------------------------------------------
    // Tries the lock file `path` for the life of the returned object without waiting. The file's presence
    // or contents never count, only a running process holding it. A link of that name is never followed.
    virtual std::unique_ptr<InstanceLock> LockInstance(const std::string& path, LockOutcome& outcome) {
        (void)path;
        outcome = LockOutcome::Unusable;
        return nullptr;
    }
    // A folder that only this user can enter, for a lock the program folder cannot hold and for the
    // control channel (Linux: $XDG_RUNTIME_DIR, else /tmp/vantor-UID made with mode 700 and checked to be
    // the user's own and private; Windows: the user's temporary folder). Empty when none can be trusted.
    virtual std::string PrivateRuntimeFolder() { return {}; }
    // Listens on the channel `name` (a Unix socket in the private folder, a named pipe on Windows), open
    // to this user only; nullptr when it cannot.
    virtual std::unique_ptr<ControlServer> ServeControl(const std::string& name, ControlHandler handler) {
        (void)name;
        (void)handler;
        return nullptr;
    }
    // Sends one request line to the channel `name` and waits up to `timeoutMs` for the whole answer.
    virtual ControlReply AskControl(const std::string& name, const std::string& request, int timeoutMs) {
        (void)name;
        (void)request;
        (void)timeoutMs;
        return {};
    }

    // --- Start with the session --------------------------------------------------------------------
    virtual ActionResult WriteAutostart(AutostartScope scope, const std::string& programPath) = 0;
    // Whether this user may make an entry of that scope now, found out without writing anything: a dry
    // run takes the path the real write would take (the user's entry when the machine's is refused).
    virtual bool CanWriteAutostart(AutostartScope scope) = 0;
    // The program path stored in the entry; empty when there is none or it cannot be read.
    virtual std::string ReadAutostart(AutostartScope scope) = 0;
    // A missing entry is no error.
    virtual ActionResult DeleteAutostart(AutostartScope scope) = 0;
};

} // namespace vantor
