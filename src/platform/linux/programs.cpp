#include "platform/linux/programs.h"

#include "platform/linux/errno_text.h"

#include <cctype>
#include <cerrno>
#include <csignal>
#include <cstring>
#include <fcntl.h>
#include <sys/stat.h>
#include <sys/syscall.h>
#include <sys/wait.h>
#include <unistd.h>

#include <optional>

#ifndef CLOSE_RANGE_CLOEXEC
#define CLOSE_RANGE_CLOEXEC (1U << 2)
#endif

namespace vantor::linux_backend {

namespace {

// Runs in the forked children of a multi-threaded program: async-signal-safe calls only.
[[noreturn]] void ExecGrandchild(char* const* argv, const char* workDir, int errorPipe) {
    sigset_t none;
    sigemptyset(&none);
    sigprocmask(SIG_SETMASK, &none, nullptr);
    signal(SIGPIPE, SIG_DFL);
#ifdef SYS_close_range
    // Our own descriptors (sockets, the X connection) are none of the new program's business.
    syscall(SYS_close_range, 3U, ~0U, CLOSE_RANGE_CLOEXEC);
#endif
    if (workDir != nullptr && chdir(workDir) != 0) {
        const int err = errno;
        (void)!write(errorPipe, &err, sizeof err);
        _exit(127);
    }
    execvp(argv[0], argv);
    const int err = errno;
    (void)!write(errorPipe, &err, sizeof err);
    _exit(127);
}

std::string CannotStart(const std::string& program, int err) {
    return "无法启动“" + program + "”：" + ErrnoText(err);
}

} // namespace

ActionResult StartDetached(const std::vector<std::string>& args, const std::string& workDir) {
    if (args.empty() || args.front().empty()) {
        return ActionResult::Fail("没有指定要启动的程序");
    }
    // Everything the children need is prepared before fork: after it, no allocation is safe.
    std::vector<std::string> copies(args);
    std::vector<char*> argv;
    for (std::string& a : copies) {
        argv.push_back(a.data());
    }
    argv.push_back(nullptr);
    const char* dir = workDir.empty() ? nullptr : workDir.c_str();

    int fds[2];
    if (pipe2(fds, O_CLOEXEC) != 0) {
        return ActionResult::Fail(CannotStart(args.front(), errno));
    }
    const pid_t child = fork();
    if (child < 0) {
        const int err = errno;
        close(fds[0]);
        close(fds[1]);
        return ActionResult::Fail(CannotStart(args.front(), err));
    }
    if (child == 0) {
        // Double fork: the middle child exits at once, so the program is adopted by init and never
        // becomes our zombie; setsid detaches it from our terminal and session signals.
        close(fds[0]);
        setsid();
        const pid_t grandchild = fork();
        if (grandchild < 0) {
            const int err = errno;
            (void)!write(fds[1], &err, sizeof err);
            _exit(127);
        }
        if (grandchild == 0) {
            ExecGrandchild(argv.data(), dir, fds[1]);
        }
        _exit(0);
    }
    close(fds[1]);
    int status = 0;
    while (waitpid(child, &status, 0) < 0 && errno == EINTR) {
    }
    // The pipe closes on a successful exec (CLOEXEC) and carries errno when exec failed.
    int err = 0;
    ssize_t n;
    do {
        n = read(fds[0], &err, sizeof err);
    } while (n < 0 && errno == EINTR);
    close(fds[0]);
    if (n == static_cast<ssize_t>(sizeof err)) {
        return ActionResult::Fail(CannotStart(args.front(), err));
    }
    return ActionResult::Ok();
}

namespace {

// The path from the root: a relative one from the current folder. nullopt when that folder is unknown.
std::optional<std::string> FromRoot(const std::string& path) {
    if (path.front() == '/') {
        return path;
    }
    char cwd[4096];
    if (getcwd(cwd, sizeof cwd) == nullptr) {
        return std::nullopt;
    }
    return std::string(cwd) + "/" + path;
}

} // namespace

ActionResult StartProgramOrDocument(const std::string& path) {
    if (path.empty()) {
        return ActionResult::Fail("没有指定要运行的程序或要打开的文件");
    }
    struct stat st {};
    if (stat(path.c_str(), &st) == 0 && S_ISREG(st.st_mode) &&
        (st.st_mode & (S_IXUSR | S_IXGRP | S_IXOTH)) != 0 && access(path.c_str(), X_OK) == 0) {
        // Made absolute: execvp would search PATH for a bare name, and the folder changes before exec.
        const std::optional<std::string> absolute = FromRoot(path);
        if (!absolute) {
            return ActionResult::Fail(CannotStart(path, errno));
        }
        const std::string& program = *absolute;
        const size_t slash = program.rfind('/');
        const std::string folder = slash == 0 ? "/" : program.substr(0, slash);
        return StartDetached({program}, folder);
    }
    // An address begins with its scheme's letter, never with "-", which the opener would take for an option.
    const bool looksLikeUrl = std::isalpha(static_cast<unsigned char>(path.front())) != 0 &&
                              (path.find("://") != std::string::npos || path.rfind("mailto:", 0) == 0);
    if (!looksLikeUrl && access(path.c_str(), F_OK) != 0) {
        return ActionResult::Fail("无法打开“" + path + "”：" + ErrnoText(errno));
    }
    // A file goes to the opener from the root: a relative name such as "-x" would read as an option.
    const std::optional<std::string> target = looksLikeUrl ? std::optional(path) : FromRoot(path);
    if (!target) {
        return ActionResult::Fail("无法打开“" + path + "”：" + ErrnoText(errno));
    }
    ActionResult r = StartDetached({"xdg-open", *target}, {});
    if (!r.ok && r.error.find(ErrnoText(ENOENT)) != std::string::npos) {
        return ActionResult::Fail("无法打开“" + path + "”：没有安装 xdg-open，找不到打开它的程序");
    }
    return r;
}

} // namespace vantor::linux_backend
