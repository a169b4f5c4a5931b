// Helpers for the Linux backend's headless tests: temporary folders, child processes, a private D-Bus
// daemon with dbusmock services, and an Xvfb display with an optional window manager.
#pragma once

#include <chrono>
#include <optional>
#include <string>
#include <vector>

namespace vantor::testing {

// Fails the current test loudly when a tool the test needs is missing (never a silent pass).
bool RequireTool(const std::string& path);

class TempDir {
public:
    TempDir();
    ~TempDir();
    const std::string& path() const { return path_; }
    std::string File(const std::string& name) const { return path_ + "/" + name; }

private:
    std::string path_;
};

void WriteFile(const std::string& path, const std::string& content, int mode = 0644);
std::string ReadFile(const std::string& path);

// A started child process, ended (SIGTERM, then SIGKILL) and reaped when the object goes.
class Child {
public:
    struct Options {
        bool ignoreTerm = false;      // the child ignores SIGTERM across exec
        int stdoutFd = -1;            // standard output goes there
        int keepFd = -1;              // inherited by the child although close-on-exec
        std::vector<std::string> env; // "NAME=value" entries added to (or replacing) ours
    };
    Child() = default;
    // Starts argv (a full path) without a shell.
    explicit Child(const std::vector<std::string>& argv) : Child(argv, Options()) {}
    Child(const std::vector<std::string>& argv, const Options& options);
    ~Child();
    Child(Child&& other) noexcept;
    Child& operator=(Child&& other) noexcept;
    int pid() const { return pid_; }
    // Waits up to `timeout` for the child to end; true when it did (reaped).
    bool WaitExit(std::chrono::milliseconds timeout);
    bool Running() const;
    void Stop();

private:
    int pid_ = -1;
    bool reaped_ = false;
};

// Runs a command to its end and returns its standard output; nullopt when it failed to run or exited
// with a non-zero status or did not end within `timeout` (it is then killed).
std::optional<std::string> RunCommand(const std::vector<std::string>& argv,
                                      std::chrono::milliseconds timeout = std::chrono::milliseconds(20000));

// Polls `check` every 20 ms until it holds or `timeout` passes.
template <typename F> bool WaitFor(F check, std::chrono::milliseconds timeout) {
    const auto end = std::chrono::steady_clock::now() + timeout;
    while (!check()) {
        if (std::chrono::steady_clock::now() >= end) {
            return false;
        }
        struct timespec ts {
            0, 20'000'000
        };
        nanosleep(&ts, nullptr);
    }
    return true;
}

// A private dbus-daemon with no service activation; it stands in for both the system and session bus.
class PrivateBus {
public:
    PrivateBus();
    const std::string& address() const { return address_; }
    bool ok() const { return !address_.empty(); }
    bool HasOwner(const std::string& name) const;
    // Calls a mock method with string arguments through dbus-send; true when it answered.
    bool CallStrings(const std::string& dest, const std::string& path, const std::string& method,
                     const std::vector<std::string>& args) const;

private:
    TempDir dir_;
    Child daemon_;
    std::string address_;
};

// A python3-dbusmock service on the private bus, with its call log.
class DBusMock {
public:
    // `args` follow "python3 -m dbusmock": e.g. {"--system", "-t", "logind"}; waits for `busName`.
    DBusMock(const PrivateBus& bus, const std::vector<std::string>& args, const std::string& busName);
    bool ok() const { return ok_; }
    std::string Log() const { return ReadFile(log_.File("calls.log")); }
    // True once a line of the log contains `text` (calls are logged as they arrive).
    bool LogHas(const std::string& text) const;

private:
    TempDir log_;
    Child process_;
    bool ok_ = false;
};

// Xvfb on a display number of its own choosing (-displayfd), so parallel tests never collide.
class XServer {
public:
    explicit XServer(bool withWindowManager, int width = 1024, int height = 768);
    bool ok() const { return !display_.empty(); }
    const std::string& display() const { return display_; }

private:
    Child xvfb_;
    Child wm_;
    std::string display_;
};

// Sets an environment variable for the scope and restores the old value afterwards.
class ScopedEnv {
public:
    ScopedEnv(const char* name, const std::optional<std::string>& value);
    ~ScopedEnv();

private:
    std::string name_;
    std::optional<std::string> old_;
};

} // namespace vantor::testing
