#include "platform/linux/instance_channel.h"

#include <cerrno>
#include <chrono>
#include <cstdlib>
#include <cstring>
#include <fcntl.h>
#include <poll.h>
#include <sys/file.h>
#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/un.h>
#include <thread>
#include <unistd.h>

namespace vantor::linux_backend {

namespace {

// A client gets this long to send its request and to take its answer; meanwhile the next one waits.
constexpr int kClientMs = 2000;
// A request line longer than this is not read to its end.
constexpr size_t kMaxRequestBytes = 1024;

class FileLock : public InstanceLock {
public:
    explicit FileLock(int fd) : fd_(fd) {}
    ~FileLock() override { ::close(fd_); }

private:
    int fd_;
};

// A folder this user owns, that is no link and that nobody else may enter.
bool IsPrivateFolder(const std::string& path, bool followLink) {
    struct stat st {};
    if ((followLink ? ::stat(path.c_str(), &st) : ::lstat(path.c_str(), &st)) != 0) {
        return false;
    }
    return S_ISDIR(st.st_mode) && st.st_uid == ::geteuid() && (st.st_mode & 077) == 0;
}

int64_t NowMs() {
    return std::chrono::duration_cast<std::chrono::milliseconds>(
               std::chrono::steady_clock::now().time_since_epoch())
        .count();
}

// Waits for `events` on `fd` until `deadline` (or, with a stop descriptor, until that is readable).
bool WaitFor(int fd, short events, int64_t deadline, int stopFd = -1) {
    for (;;) {
        const int64_t left = deadline - NowMs();
        if (left <= 0) {
            return false;
        }
        pollfd fds[2] = {{fd, events, 0}, {stopFd, POLLIN, 0}};
        const int n = ::poll(fds, stopFd >= 0 ? 2 : 1, static_cast<int>(left));
        if (n < 0 && errno == EINTR) {
            continue;
        }
        if (n <= 0 || (stopFd >= 0 && fds[1].revents != 0)) {
            return false;
        }
        return true;
    }
}

bool SendAll(int fd, const std::string& bytes, int64_t deadline, int stopFd = -1) {
    size_t sent = 0;
    while (sent < bytes.size()) {
        const ssize_t n = ::send(fd, bytes.data() + sent, bytes.size() - sent, MSG_NOSIGNAL | MSG_DONTWAIT);
        if (n > 0) {
            sent += static_cast<size_t>(n);
        } else if (n < 0 && errno == EINTR) {
            continue;
        } else if (n < 0 && (errno == EAGAIN || errno == EWOULDBLOCK)) {
            if (!WaitFor(fd, POLLOUT, deadline, stopFd)) {
                return false;
            }
        } else {
            return false;
        }
    }
    return true;
}

// Reads until `end` arrives (not kept), the peer closes, `limit` bytes or the deadline; true with the
// end seen.
bool ReceiveUntil(int fd, char end, size_t limit, std::string& out, int64_t deadline, int stopFd = -1) {
    char buffer[512];
    for (;;) {
        const ssize_t n = ::recv(fd, buffer, sizeof buffer, MSG_DONTWAIT);
        if (n > 0) {
            const char* found = static_cast<const char*>(std::memchr(buffer, end, static_cast<size_t>(n)));
            out.append(buffer,
                       found != nullptr ? static_cast<size_t>(found - buffer) : static_cast<size_t>(n));
            if (found != nullptr) {
                return true;
            }
            if (out.size() > limit) {
                return false;
            }
        } else if (n < 0 && errno == EINTR) {
            continue;
        } else if (n < 0 && (errno == EAGAIN || errno == EWOULDBLOCK)) {
            if (!WaitFor(fd, POLLIN, deadline, stopFd)) {
                return false;
            }
        } else {
            return false; // closed or failed before the end
        }
    }
}

bool SocketAddress(const std::string& path, sockaddr_un& address) {
    std::memset(&address, 0, sizeof address);
    address.sun_family = AF_UNIX;
    if (path.empty() || path.size() >= sizeof address.sun_path) {
        return false;
    }
    std::memcpy(address.sun_path, path.c_str(), path.size() + 1);
    return true;
}

class SocketServer : public ControlServer {
public:
    SocketServer(std::string path, int listenFd, ControlHandler handler)
        : path_(std::move(path)), listenFd_(listenFd), handler_(std::move(handler)) {
        if (::pipe2(stop_, O_CLOEXEC) != 0) {
            stop_[0] = stop_[1] = -1;
        }
        thread_ = std::thread([this] { serve(); });
    }
    ~SocketServer() override {
        if (stop_[1] >= 0) {
            const char c = 0;
            [[maybe_unused]] const ssize_t n = ::write(stop_[1], &c, 1);
        }
        thread_.join();
        ::close(listenFd_);
        ::unlink(path_.c_str());
        for (const int fd : stop_) {
            if (fd >= 0) {
                ::close(fd);
            }
        }
    }

private:
    void serve() {
        for (;;) {
            pollfd fds[2] = {{listenFd_, POLLIN, 0}, {stop_[0], POLLIN, 0}};
            const int n = ::poll(fds, 2, -1);
            if (n < 0 && errno == EINTR) {
                continue;
            }
            if (n < 0 || fds[1].revents != 0) {
                return;
            }
            const int client = ::accept4(listenFd_, nullptr, nullptr, SOCK_CLOEXEC | SOCK_NONBLOCK);
            if (client >= 0) {
                serveClient(client);
                ::close(client);
            }
        }
    }

    void serveClient(int client) {
        // The folder is private already; a peer of another user is still turned away unheard.
        ucred peer{};
        socklen_t size = sizeof peer;
        if (::getsockopt(client, SOL_SOCKET, SO_PEERCRED, &peer, &size) != 0 || peer.uid != ::geteuid()) {
            return;
        }
        std::string request;
        if (!ReceiveUntil(client, '\n', kMaxRequestBytes, request, NowMs() + kClientMs, stop_[0])) {
            return;
        }
        std::string answer = handler_(request);
        answer.push_back('\0');
        SendAll(client, answer, NowMs() + kClientMs, stop_[0]);
    }

    std::string path_;
    int listenFd_;
    ControlHandler handler_;
    int stop_[2] = {-1, -1};
    std::thread thread_;
};

} // namespace

std::unique_ptr<InstanceLock> LockInstanceFile(const std::string& path, LockOutcome& outcome) {
    outcome = LockOutcome::Unusable;
    // Read-only is enough for an advisory lock, and nothing is ever written through it: a file planted
    // there loses nothing and a link is refused. Not inherited by the programs a task starts, which would
    // otherwise hold the lock after this copy ends.
    const int fd =
        ::open(path.c_str(), O_RDONLY | O_CREAT | O_NOFOLLOW | O_NONBLOCK | O_NOCTTY | O_CLOEXEC, 0600);
    if (fd < 0) {
        return nullptr;
    }
    struct stat st {};
    if (::fstat(fd, &st) != 0 || !S_ISREG(st.st_mode)) {
        ::close(fd);
        return nullptr;
    }
    if (::flock(fd, LOCK_EX | LOCK_NB) != 0) {
        if (errno == EWOULDBLOCK) {
            outcome = LockOutcome::HeldByOther;
        }
        ::close(fd);
        return nullptr;
    }
    outcome = LockOutcome::Held;
    return std::make_unique<FileLock>(fd);
}

std::string PrivateRuntimeFolder() {
    // The session's own folder, when it is what it should be.
    const char* runtime = std::getenv("XDG_RUNTIME_DIR");
    if (runtime != nullptr && runtime[0] == '/' && IsPrivateFolder(runtime, true)) {
        return runtime;
    }
    // Else one of this user's own under the shared temporary folder. Its name is known to everybody, so
    // one made by someone else first is refused, never used.
    const std::string folder = "/tmp/vantor-" + std::to_string(::geteuid());
    if (::mkdir(folder.c_str(), 0700) != 0 && errno != EEXIST) {
        return {};
    }
    return IsPrivateFolder(folder, false) ? folder : std::string();
}

std::unique_ptr<ControlServer> ServeControlSocket(const std::string& path, ControlHandler handler) {
    sockaddr_un address{};
    if (!SocketAddress(path, address)) {
        return nullptr;
    }
    const int fd = ::socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0);
    if (fd < 0) {
        return nullptr;
    }
    // Whoever holds the lock owns the name: a socket left by a copy that was killed goes.
    ::unlink(path.c_str());
    const mode_t oldMask = ::umask(077);
    const bool bound = ::bind(fd, reinterpret_cast<const sockaddr*>(&address), sizeof address) == 0;
    ::umask(oldMask);
    if (!bound || ::listen(fd, 16) != 0) {
        ::close(fd);
        return nullptr;
    }
    return std::make_unique<SocketServer>(path, fd, std::move(handler));
}

ControlReply AskControlSocket(const std::string& path, const std::string& request, int timeoutMs) {
    ControlReply reply;
    sockaddr_un address{};
    if (!SocketAddress(path, address)) {
        return reply;
    }
    const int fd = ::socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0);
    if (fd < 0) {
        return reply;
    }
    // A Unix socket connects at once or not at all: nobody listening is no server.
    if (::connect(fd, reinterpret_cast<const sockaddr*>(&address), sizeof address) != 0) {
        ::close(fd);
        return reply;
    }
    reply.status = ControlReply::Status::NoAnswer;
    const int64_t deadline = NowMs() + timeoutMs;
    if (SendAll(fd, request, deadline) && ReceiveUntil(fd, '\0', 16u << 20, reply.answer, deadline)) {
        reply.status = ControlReply::Status::Answered;
    }
    ::close(fd);
    return reply;
}

} // namespace vantor::linux_backend
