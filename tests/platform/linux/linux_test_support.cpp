#include "linux_test_support.h"

#include <gtest/gtest.h>

#include <cerrno>
#include <csignal>
#include <cstdlib>
#include <cstring>
#include <fcntl.h>
#include <fstream>
#include <poll.h>
#include <sstream>
#include <sys/wait.h>
#include <unistd.h>

extern char** environ;

namespace vantor::testing {

namespace {

// Spawns argv with extra environment entries ("NAME=value"); everything is prepared before fork.
int Spawn(const std::vector<std::string>& args, const std::vector<std::string>& extraEnv, bool ignoreTerm,
          int stdoutFd, int keepFd = -1) {
    std::vector<std::string> argStore(args);
    std::vector<char*> argv;
    for (std::string& a : argStore) {
        argv.push_back(a.data());
    }
    argv.push_back(nullptr);
    std::vector<std::string> envStore;
    for (char** e = environ; *e != nullptr; ++e) {
        const std::string entry(*e);
        bool replaced = false;
        for (const std::string& x : extraEnv) {
            replaced = replaced || entry.compare(0, x.find('=') + 1, x, 0, x.find('=') + 1) == 0;
        }
        if (!replaced) {
            envStore.push_back(entry);
        }
    }
    envStore.insert(envStore.end(), extraEnv.begin(), extraEnv.end());
    std::vector<char*> envp;
    for (std::string& e : envStore) {
        envp.push_back(e.data());
    }
    envp.push_back(nullptr);
    const pid_t pid = fork();
    if (pid == 0) {
        if (ignoreTerm) {
            signal(SIGTERM, SIG_IGN);
        }
        if (stdoutFd >= 0) {
            dup2(stdoutFd, 1);
        }
        if (keepFd >= 0) {
            fcntl(keepFd, F_SETFD, 0);
        }
        const int devnull = open("/dev/null", O_RDWR);
        dup2(devnull, 0);
        execve(argv[0], argv.data(), envp.data());
        _exit(127);
    }
    return pid;
}

// One line from a pipe, waiting at most `timeoutMs`.
std::string ReadLine(int fd, int timeoutMs) {
    std::string line;
    const auto end = std::chrono::steady_clock::now() + std::chrono::milliseconds(timeoutMs);
    while (std::chrono::steady_clock::now() < end) {
        pollfd p{fd, POLLIN, 0};
        if (poll(&p, 1, 100) <= 0) {
            continue;
        }
        char c;
        const ssize_t n = read(fd, &c, 1);
        if (n <= 0) {
            break;
        }
        if (c == '\n') {
            return line;
        }
        line += c;
    }
    return line;
}

} // namespace

bool RequireTool(const std::string& path) {
    if (access(path.c_str(), X_OK) != 0) {
        ADD_FAILURE() << "This test needs " << path << " (install it with scripts/setup.sh)";
        return false;
    }
    return true;
}

TempDir::TempDir() {
    char templ[] = "/tmp/vantor-test-XXXXXX";
    const char* made = mkdtemp(templ);
    path_ = made != nullptr ? made : "";
}

TempDir::~TempDir() {
    if (!path_.empty()) {
        RunCommand({"/bin/rm", "-rf", "--", path_});
    }
}

void WriteFile(const std::string& path, const std::string& content, int mode) {
    std::ofstream(path, std::ios::binary) << content;
    chmod(path.c_str(), static_cast<mode_t>(mode));
}

std::string ReadFile(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    std::stringstream s;
    s << in.rdbuf();
    return s.str();
}

Child::Child(const std::vector<std::string>& argv, const Options& options)
    : pid_(Spawn(argv, options.env, options.ignoreTerm, options.stdoutFd, options.keepFd)) {}

Child::~Child() {
    Stop();
}

Child::Child(Child&& other) noexcept : pid_(other.pid_), reaped_(other.reaped_) {
    other.pid_ = -1;
}

Child& Child::operator=(Child&& other) noexcept {
    if (this != &other) {
        Stop();
        pid_ = other.pid_;
        reaped_ = other.reaped_;
        other.pid_ = -1;
    }
    return *this;
}

bool Child::WaitExit(std::chrono::milliseconds timeout) {
    if (pid_ <= 0 || reaped_) {
        return true;
    }
    return WaitFor(
        [this] {
            int status = 0;
            if (waitpid(pid_, &status, WNOHANG) == pid_) {
                reaped_ = true;
            }
            return reaped_;
        },
        timeout);
}

bool Child::Running() const {
    if (pid_ <= 0 || reaped_) {
        return false;
    }
    const std::string stat = ReadFile("/proc/" + std::to_string(pid_) + "/stat");
    const size_t paren = stat.rfind(')');
    return paren != std::string::npos && paren + 2 < stat.size() && stat[paren + 2] != 'Z';
}

void Child::Stop() {
    if (pid_ <= 0 || reaped_) {
        return;
    }
    kill(pid_, SIGTERM);
    if (!WaitExit(std::chrono::milliseconds(2000))) {
        kill(pid_, SIGKILL);
        WaitExit(std::chrono::milliseconds(2000));
    }
}

std::optional<std::string> RunCommand(const std::vector<std::string>& argv,
                                      std::chrono::milliseconds timeout) {
    int fds[2];
    if (pipe2(fds, O_CLOEXEC) != 0) {
        return std::nullopt;
    }
    const int pid = Spawn(argv, {}, false, fds[1]);
    close(fds[1]);
    std::string out;
    char buf[4096];
    // A tool that hangs (a window that never shows) must fail the test, not stall the whole run.
    const auto end = std::chrono::steady_clock::now() + timeout;
    bool timedOut = false;
    for (;;) {
        const auto left =
            std::chrono::duration_cast<std::chrono::milliseconds>(end - std::chrono::steady_clock::now());
        if (left.count() <= 0) {
            timedOut = true;
            break;
        }
        pollfd p{fds[0], POLLIN, 0};
        if (poll(&p, 1, static_cast<int>(left.count())) <= 0) {
            continue;
        }
        const ssize_t n = read(fds[0], buf, sizeof buf);
        if (n <= 0) {
            break;
        }
        out.append(buf, static_cast<size_t>(n));
    }
    close(fds[0]);
    if (timedOut) {
        kill(pid, SIGKILL);
    }
    int status = 0;
    waitpid(pid, &status, 0);
    if (timedOut || !WIFEXITED(status) || WEXITSTATUS(status) != 0) {
        return std::nullopt;
    }
    return out;
}

PrivateBus::PrivateBus() {
    if (!RequireTool("/usr/bin/dbus-daemon") || !RequireTool("/usr/bin/dbus-send")) {
        return;
    }
    // No <servicedir>: nothing real can be started on this bus by a call that misses the mock.
    const std::string config = dir_.File("bus.conf");
    WriteFile(config, "<!DOCTYPE busconfig PUBLIC \"-//freedesktop//DTD D-Bus Bus Configuration 1.0//EN\"\n"
                      " \"http://www.freedesktop.org/standards/dbus/1.0/busconfig.dtd\">\n"
                      "<busconfig><type>session</type><listen>unix:dir=" +
                          dir_.path() +
                          "</listen>"
                          "<policy context=\"default\"><allow send_destination=\"*\" eavesdrop=\"true\"/>"
                          "<allow eavesdrop=\"true\"/><allow own=\"*\"/></policy></busconfig>\n");
    int fds[2];
    if (pipe2(fds, O_CLOEXEC) != 0) {
        return;
    }
    Child::Options options;
    options.stdoutFd = fds[1];
    daemon_ =
        Child({"/usr/bin/dbus-daemon", "--config-file=" + config, "--nofork", "--print-address"}, options);
    close(fds[1]);
    address_ = ReadLine(fds[0], 10000);
    close(fds[0]);
    if (address_.empty()) {
        ADD_FAILURE() << "dbus-daemon did not start";
    }
}

bool PrivateBus::HasOwner(const std::string& name) const {
    const std::optional<std::string> out =
        RunCommand({"/usr/bin/dbus-send", "--bus=" + address_, "--print-reply", "--dest=org.freedesktop.DBus",
                    "/org/freedesktop/DBus", "org.freedesktop.DBus.NameHasOwner", "string:" + name});
    return out && out->find("boolean true") != std::string::npos;
}

bool PrivateBus::CallStrings(const std::string& dest, const std::string& path, const std::string& method,
                             const std::vector<std::string>& args) const {
    std::vector<std::string> argv{
        "/usr/bin/dbus-send", "--bus=" + address_, "--print-reply", "--dest=" + dest, path, method};
    for (const std::string& a : args) {
        argv.push_back("string:" + a);
    }
    return RunCommand(argv).has_value();
}

DBusMock::DBusMock(const PrivateBus& bus, const std::vector<std::string>& args, const std::string& busName) {
    // Debian's interpreter: the dbusmock module is installed for it, not for other pythons on PATH.
    if (!bus.ok() || !RequireTool("/usr/bin/python3")) {
        return;
    }
    std::vector<std::string> argv{"/usr/bin/python3", "-m", "dbusmock"};
    argv.insert(argv.end(), args.begin(), args.end());
    argv.push_back("-l");
    argv.push_back(log_.File("calls.log"));
    Child::Options options;
    options.env = {"DBUS_SYSTEM_BUS_ADDRESS=" + bus.address(), "DBUS_SESSION_BUS_ADDRESS=" + bus.address()};
    process_ = Child(argv, options);
    ok_ = WaitFor([&] { return bus.HasOwner(busName); }, std::chrono::milliseconds(15000));
    if (!ok_) {
        ADD_FAILURE() << "python3 -m dbusmock did not register " << busName;
    }
}

bool DBusMock::LogHas(const std::string& text) const {
    return WaitFor([&] { return Log().find(text) != std::string::npos; }, std::chrono::milliseconds(3000));
}

XServer::XServer(bool withWindowManager, int width, int height) {
    if (!RequireTool("/usr/bin/Xvfb") ||
        (withWindowManager && (!RequireTool("/usr/bin/openbox") || !RequireTool("/usr/bin/xmessage") ||
                               !RequireTool("/usr/bin/xdotool") || !RequireTool("/usr/bin/xprop")))) {
        return;
    }
    int fds[2];
    if (pipe(fds) != 0) {
        return;
    }
    fcntl(fds[0], F_SETFD, FD_CLOEXEC);
    const std::string screen = std::to_string(width) + "x" + std::to_string(height) + "x24";
    Child::Options xvfbOptions;
    xvfbOptions.keepFd = fds[1];
    xvfb_ = Child({"/usr/bin/Xvfb", "-displayfd", std::to_string(fds[1]), "-screen", "0", screen, "-nolisten",
                   "tcp", "-noreset"},
                  xvfbOptions);
    close(fds[1]);
    const std::string number = ReadLine(fds[0], 15000);
    close(fds[0]);
    if (number.empty()) {
        ADD_FAILURE() << "Xvfb did not start";
        return;
    }
    const std::string display = ":" + number;
    if (withWindowManager) {
        Child::Options wmOptions;
        wmOptions.env = {"DISPLAY=" + display};
        wm_ = Child({"/usr/bin/openbox", "--sm-disable"}, wmOptions);
        const bool ready = WaitFor(
            [&] {
                const std::optional<std::string> out =
                    RunCommand({"/usr/bin/xprop", "-display", display, "-root", "_NET_SUPPORTING_WM_CHECK"});
                return out && out->find("window id") != std::string::npos;
            },
            std::chrono::milliseconds(15000));
        // openbox announces itself before it manages new windows; a window mapped in between stays
        // unmapped for good. A probe window that really shows proves it is ready.
        bool managing = false;
        ScopedEnv probeDisplay("DISPLAY", display); // xdotool reads the display from the environment only
        for (int attempt = 0; ready && !managing && attempt < 5; ++attempt) {
            Child::Options probeOptions;
            probeOptions.env = {"DISPLAY=" + display};
            Child probe({"/usr/bin/xmessage", "-title", "vantor-wm-probe", "probe"}, probeOptions);
            managing = WaitFor(
                [&] {
                    return RunCommand(
                               {"/usr/bin/xdotool", "search", "--onlyvisible", "--name", "^vantor-wm-probe$"},
                               std::chrono::milliseconds(3000))
                        .has_value();
                },
                std::chrono::milliseconds(3000));
        }
        if (!ready || !managing) {
            ADD_FAILURE() << "openbox did not take over the display";
            return;
        }
    }
    display_ = display;
}

ScopedEnv::ScopedEnv(const char* name, const std::optional<std::string>& value) : name_(name) {
    if (const char* old = std::getenv(name)) {
        old_ = old;
    }
    if (value) {
        setenv(name, value->c_str(), 1);
    } else {
        unsetenv(name);
    }
}

ScopedEnv::~ScopedEnv() {
    if (old_) {
        setenv(name_.c_str(), old_->c_str(), 1);
    } else {
        unsetenv(name_.c_str());
    }
}

} // namespace vantor::testing
