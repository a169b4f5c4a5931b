#include "platform/linux/processes.h"

#include "core/probes/process_match.h"

#include <cerrno>
#include <chrono>
#include <csignal>
#include <dirent.h>
#include <fcntl.h>
#include <poll.h>
#include <sys/stat.h>
#include <sys/syscall.h>
#include <thread>
#include <unistd.h>

namespace vantor::linux_backend {

namespace {

std::string ReadFirstBytes(const std::string& path, size_t limit) {
    const int fd = open(path.c_str(), O_RDONLY | O_CLOEXEC);
    if (fd < 0) {
        return {};
    }
    std::string text(limit, '\0');
    ssize_t n;
    do {
        n = read(fd, text.data(), limit);
    } while (n < 0 && errno == EINTR);
    close(fd);
    text.resize(n > 0 ? static_cast<size_t>(n) : 0);
    return text;
}

bool IsPidName(const char* s) {
    if (*s == '\0') {
        return false;
    }
    for (; *s != '\0'; ++s) {
        if (*s < '0' || *s > '9') {
            return false;
        }
    }
    return true;
}

std::vector<int> AllPids() {
    std::vector<int> pids;
    DIR* dir = opendir("/proc");
    if (dir == nullptr) {
        return pids;
    }
    while (const dirent* entry = readdir(dir)) {
        if (IsPidName(entry->d_name)) {
            pids.push_back(std::atoi(entry->d_name));
        }
    }
    closedir(dir);
    return pids;
}

int OpenPidfd(int pid) {
#ifdef SYS_pidfd_open
    return static_cast<int>(syscall(SYS_pidfd_open, pid, 0));
#else
    (void)pid;
    errno = ENOSYS;
    return -1;
#endif
}

void Signal(const EndingProcess& t, int sig) {
#ifdef SYS_pidfd_send_signal
    if (t.pidfd >= 0) {
        syscall(SYS_pidfd_send_signal, t.pidfd, sig, nullptr, 0);
        return;
    }
#endif
    kill(t.pid, sig);
}

bool IsZombieOrGone(int pid) {
    const std::string stat = ReadFirstBytes("/proc/" + std::to_string(pid) + "/stat", 512);
    const size_t paren = stat.rfind(')');
    return paren == std::string::npos || paren + 2 >= stat.size() || stat[paren + 2] == 'Z' ||
           stat[paren + 2] == 'X';
}

bool HasEnded(const EndingProcess& t) {
    if (t.pidfd >= 0) {
        pollfd p{t.pidfd, POLLIN, 0};
        return poll(&p, 1, 0) > 0; // readable once the process has exited
    }
    return IsZombieOrGone(t.pid);
}

} // namespace

std::optional<ProcessInfo> ReadProcess(int pid) {
    const std::string base = "/proc/" + std::to_string(pid) + "/";
    char link[4096];
    const ssize_t n = readlink((base + "exe").c_str(), link, sizeof link - 1);
    std::string exe = n > 0 ? std::string(link, static_cast<size_t>(n)) : std::string();
    // A program whose file was replaced (an upgrade) still runs under its old name.
    constexpr std::string_view kDeleted = " (deleted)";
    if (exe.size() > kDeleted.size() && exe.ends_with(kDeleted)) {
        exe.resize(exe.size() - kDeleted.size());
    }
    const std::string cmdline = ReadFirstBytes(base + "cmdline", 4096);
    const std::string argv0 = cmdline.substr(0, cmdline.find('\0'));
    std::string comm = ReadFirstBytes(base + "comm", 64);
    if (!comm.empty() && comm.back() == '\n') {
        comm.pop_back();
    }
    if (exe.empty() && argv0.empty() && comm.empty()) {
        return std::nullopt;
    }
    ProcessInfo info;
    info.pid = pid;
    info.exeName = ExecutableName(exe, argv0, comm, info.truncated);
    return info;
}

std::vector<ProcessInfo> ListProcesses() {
    std::vector<ProcessInfo> list;
    for (const int pid : AllPids()) {
        if (std::optional<ProcessInfo> info = ReadProcess(pid)) {
            list.push_back(std::move(*info));
        }
    }
    return list;
}

bool IsProcessRunning(const std::string& name) {
    for (const int pid : AllPids()) {
        const std::optional<ProcessInfo> info = ReadProcess(pid);
        if (info && ProcessNameMatches(name, info->exeName, info->truncated, NameRule::Linux)) {
            return true;
        }
    }
    return false;
}

bool IsProgramRunning(const std::string& path) {
    struct stat file {};
    if (stat(path.c_str(), &file) != 0) {
        return false;
    }
    for (const int pid : AllPids()) {
        struct stat exe {};
        // stat follows the link to the program file itself; other users' links cannot be followed.
        if (stat(("/proc/" + std::to_string(pid) + "/exe").c_str(), &exe) == 0 && exe.st_dev == file.st_dev &&
            exe.st_ino == file.st_ino) {
            return true;
        }
    }
    // A program of another user's process: the kernel refuses to open a running program for writing.
    // Nothing is written, and a file that cannot be opened for writing at all tells nothing.
    const int fd = open(path.c_str(), O_WRONLY | O_CLOEXEC | O_NOCTTY | O_NONBLOCK);
    if (fd >= 0) {
        close(fd);
        return false;
    }
    return errno == ETXTBSY;
}

std::vector<EndingProcess> AskToEnd(const std::string& name) {
    const int self = getpid();
    std::vector<EndingProcess> targets;
    for (const int pid : AllPids()) {
        if (pid == self) {
            continue;
        }
        const std::optional<ProcessInfo> before = ReadProcess(pid);
        if (!before || !ProcessNameMatches(name, before->exeName, before->truncated, NameRule::Linux)) {
            continue;
        }
        EndingProcess t{pid, OpenPidfd(pid)};
        if (t.pidfd >= 0) {
            // The pid may have been reused between the scan and the open: look again through the handle's
            // pid.
            const std::optional<ProcessInfo> after = ReadProcess(pid);
            if (!after || !ProcessNameMatches(name, after->exeName, after->truncated, NameRule::Linux)) {
                close(t.pidfd);
                continue;
            }
        }
        targets.push_back(t);
    }
    for (const EndingProcess& t : targets) {
        Signal(t, SIGTERM); // EPERM for other users' processes is passed over
    }
    return targets;
}

void ForceWhenStillRunning(const std::vector<EndingProcess>& processes, int graceMs) {
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::milliseconds(graceMs);
    for (;;) {
        bool anyAlive = false;
        for (const EndingProcess& t : processes) {
            anyAlive = anyAlive || !HasEnded(t);
        }
        if (!anyAlive || std::chrono::steady_clock::now() >= deadline) {
            break;
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(20));
    }
    for (const EndingProcess& t : processes) {
        if (!HasEnded(t)) {
            Signal(t, SIGKILL);
        }
        if (t.pidfd >= 0) {
            close(t.pidfd);
        }
    }
}

} // namespace vantor::linux_backend
