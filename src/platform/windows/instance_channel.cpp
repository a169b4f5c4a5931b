#include "platform/windows/instance_channel.h"

#include "platform/windows/wide.h"

#include <windows.h>

#include <sddl.h>

#include <cstring>
#include <thread>

namespace vantor::windows_backend {

namespace {

// A client gets this long to send its request and to take its answer; meanwhile the next one waits.
constexpr DWORD kClientMs = 2000;
constexpr size_t kMaxRequestBytes = 1024;
constexpr DWORD kBufferBytes = 4096;

class HandleLock : public InstanceLock {
public:
    explicit HandleLock(HANDLE h) : h_(h) {}
    ~HandleLock() override { CloseHandle(h_); }

private:
    HANDLE h_;
};

// The user this process runs as, as an SID string ("S-1-5-21-..."); empty when it cannot be read.
std::wstring UserSid() {
    HANDLE token = nullptr;
    if (!OpenProcessToken(GetCurrentProcess(), TOKEN_QUERY, &token)) {
        return {};
    }
    std::wstring sid;
    DWORD size = 0;
    GetTokenInformation(token, TokenUser, nullptr, 0, &size);
    std::string buffer(size, '\0');
    wchar_t* text = nullptr;
    if (size > 0 && GetTokenInformation(token, TokenUser, buffer.data(), size, &size) &&
        ConvertSidToStringSidW(reinterpret_cast<TOKEN_USER*>(buffer.data())->User.Sid, &text)) {
        sid = text;
        LocalFree(text);
    }
    CloseHandle(token);
    return sid;
}

// One pipe name per user and folder: another user's copy of the same folder has a pipe of its own.
std::wstring PipeName(const std::string& name, const std::wstring& sid) {
    return L"\\\\.\\pipe\\" + Wide(name) + L"-" + sid;
}

uint64_t Deadline(DWORD ms) {
    return GetTickCount64() + ms;
}

constexpr uint64_t kNever = ~uint64_t{0};

DWORD Left(uint64_t deadline) {
    if (deadline == kNever) {
        return INFINITE;
    }
    const uint64_t now = GetTickCount64();
    return now >= deadline ? 0 : static_cast<DWORD>(deadline - now);
}

// Finishes an overlapped call that is under way: false when it failed, the deadline passed or `stop` was
// set (the call is then cancelled).
bool Finish(HANDLE h, OVERLAPPED& ov, BOOL started, DWORD& bytes, uint64_t deadline, HANDLE stop) {
    if (!started && GetLastError() != ERROR_IO_PENDING) {
        return false;
    }
    HANDLE events[2] = {ov.hEvent, stop};
    const DWORD r = WaitForMultipleObjects(stop != nullptr ? 2 : 1, events, FALSE, Left(deadline));
    if (r != WAIT_OBJECT_0) {
        CancelIo(h);
        GetOverlappedResult(h, &ov, &bytes, TRUE);
        return false;
    }
    return GetOverlappedResult(h, &ov, &bytes, FALSE) != FALSE;
}

bool WriteAll(HANDLE h, const std::string& bytes, uint64_t deadline, HANDLE stop) {
    size_t sent = 0;
    while (sent < bytes.size()) {
        OVERLAPPED ov{};
        ov.hEvent = CreateEventW(nullptr, TRUE, FALSE, nullptr);
        DWORD n = 0;
        const BOOL started =
            WriteFile(h, bytes.data() + sent, static_cast<DWORD>(bytes.size() - sent), nullptr, &ov);
        const bool ok = Finish(h, ov, started, n, deadline, stop);
        CloseHandle(ov.hEvent);
        if (!ok || n == 0) {
            return false;
        }
        sent += n;
    }
    return true;
}

// Reads until `end` (not kept), `limit` bytes, the other side closing or the deadline; true with the end.
bool ReadUntil(HANDLE h, char end, size_t limit, std::string& out, uint64_t deadline, HANDLE stop) {
    char buffer[512];
    for (;;) {
        OVERLAPPED ov{};
        ov.hEvent = CreateEventW(nullptr, TRUE, FALSE, nullptr);
        DWORD n = 0;
        const BOOL started = ReadFile(h, buffer, sizeof buffer, nullptr, &ov);
        const bool ok = Finish(h, ov, started, n, deadline, stop);
        CloseHandle(ov.hEvent);
        if (!ok || n == 0) {
            return false;
        }
        const char* found = static_cast<const char*>(std::memchr(buffer, end, n));
        out.append(buffer, found != nullptr ? static_cast<size_t>(found - buffer) : n);
        if (found != nullptr) {
            return true;
        }
        if (out.size() > limit) {
            return false;
        }
    }
}

class PipeServer : public ControlServer {
public:
    PipeServer(HANDLE pipe, ControlHandler handler)
        : pipe_(pipe), stop_(CreateEventW(nullptr, TRUE, FALSE, nullptr)), handler_(std::move(handler)) {
        thread_ = std::thread([this] { serve(); });
    }
    ~PipeServer() override {
        SetEvent(stop_);
        thread_.join();
        CloseHandle(pipe_);
        CloseHandle(stop_);
    }

private:
    // One instance of the pipe, kept for as long as the copy runs, so the name is never free for
    // another program to take; clients that come while one is served wait for it.
    void serve() {
        for (;;) {
            OVERLAPPED ov{};
            ov.hEvent = CreateEventW(nullptr, TRUE, FALSE, nullptr);
            DWORD n = 0;
            const BOOL started = ConnectNamedPipe(pipe_, &ov);
            bool connected = GetLastError() == ERROR_PIPE_CONNECTED && !started;
            if (!connected) {
                connected = Finish(pipe_, ov, started, n, kNever, stop_);
            }
            CloseHandle(ov.hEvent);
            if (WaitForSingleObject(stop_, 0) == WAIT_OBJECT_0) {
                return;
            }
            if (connected) {
                serveClient();
            }
            DisconnectNamedPipe(pipe_);
        }
    }

    void serveClient() {
        std::string request;
        if (!ReadUntil(pipe_, '\n', kMaxRequestBytes, request, Deadline(kClientMs), stop_)) {
            return;
        }
        std::string answer = handler_(request);
        answer.push_back('\0');
        if (!WriteAll(pipe_, answer, Deadline(kClientMs), stop_)) {
            return;
        }
        // Disconnecting throws away what the client has not read yet: wait (a little) for it to close.
        std::string rest;
        ReadUntil(pipe_, '\0', 0, rest, Deadline(kClientMs), stop_);
    }

    HANDLE pipe_;
    HANDLE stop_;
    ControlHandler handler_;
    std::thread thread_;
};

} // namespace

std::unique_ptr<InstanceLock> LockInstanceFile(const std::string& path, LockOutcome& outcome) {
    outcome = LockOutcome::Unusable;
    // Open with no sharing: while this handle lives, nobody else can open the file. Its contents never
    // count; a link of that name is opened as itself, never followed.
    HANDLE h = CreateFileW(Wide(path).c_str(), GENERIC_READ, 0, nullptr, OPEN_ALWAYS,
                           FILE_ATTRIBUTE_NORMAL | FILE_FLAG_OPEN_REPARSE_POINT, nullptr);
    if (h == INVALID_HANDLE_VALUE) {
        if (GetLastError() == ERROR_SHARING_VIOLATION) {
            outcome = LockOutcome::HeldByOther;
        }
        return nullptr;
    }
    if (GetFileType(h) != FILE_TYPE_DISK) {
        CloseHandle(h);
        return nullptr;
    }
    outcome = LockOutcome::Held;
    return std::make_unique<HandleLock>(h);
}

std::string PrivateRuntimeFolder() {
    // The user's own temporary folder (in the user's profile).
    wchar_t buffer[MAX_PATH + 1];
    const DWORD n = GetTempPathW(MAX_PATH + 1, buffer);
    if (n == 0 || n > MAX_PATH) {
        return {};
    }
    std::wstring folder(buffer, n);
    while (!folder.empty() && (folder.back() == L'\\' || folder.back() == L'/')) {
        folder.pop_back();
    }
    return Utf8(folder);
}

std::unique_ptr<ControlServer> ServeControlPipe(const std::string& name, ControlHandler handler) {
    const std::wstring sid = UserSid();
    if (sid.empty()) {
        return nullptr;
    }
    // Full access for this user alone; nobody else may even open the pipe.
    PSECURITY_DESCRIPTOR descriptor = nullptr;
    const std::wstring sddl = L"D:P(A;;GA;;;" + sid + L")";
    if (!ConvertStringSecurityDescriptorToSecurityDescriptorW(sddl.c_str(), SDDL_REVISION_1, &descriptor,
                                                              nullptr)) {
        return nullptr;
    }
    SECURITY_ATTRIBUTES attributes{sizeof attributes, descriptor, FALSE};
    HANDLE pipe =
        CreateNamedPipeW(PipeName(name, sid).c_str(),
                         PIPE_ACCESS_DUPLEX | FILE_FLAG_OVERLAPPED | FILE_FLAG_FIRST_PIPE_INSTANCE,
                         PIPE_TYPE_BYTE | PIPE_READMODE_BYTE | PIPE_WAIT | PIPE_REJECT_REMOTE_CLIENTS, 1,
                         kBufferBytes, kBufferBytes, 0, &attributes);
    LocalFree(descriptor);
    if (pipe == INVALID_HANDLE_VALUE) {
        return nullptr;
    }
    return std::make_unique<PipeServer>(pipe, std::move(handler));
}

ControlReply AskControlPipe(const std::string& name, const std::string& request, int timeoutMs) {
    ControlReply reply;
    const std::wstring sid = UserSid();
    if (sid.empty()) {
        return reply;
    }
    const std::wstring pipeName = PipeName(name, sid);
    const uint64_t deadline = Deadline(static_cast<DWORD>(timeoutMs));
    HANDLE h = INVALID_HANDLE_VALUE;
    for (;;) {
        // Identification only: whoever serves the pipe cannot act as this user.
        h = CreateFileW(pipeName.c_str(), GENERIC_READ | GENERIC_WRITE, 0, nullptr, OPEN_EXISTING,
                        FILE_FLAG_OVERLAPPED | SECURITY_SQOS_PRESENT | SECURITY_IDENTIFICATION, nullptr);
        if (h != INVALID_HANDLE_VALUE) {
            break;
        }
        // Busy with another client: wait for the pipe; anything else means nobody serves it.
        if (GetLastError() != ERROR_PIPE_BUSY) {
            return reply;
        }
        reply.status = ControlReply::Status::NoAnswer;
        const DWORD left = Left(deadline);
        if (left == 0 || !WaitNamedPipeW(pipeName.c_str(), left)) {
            return reply;
        }
    }
    reply.status = ControlReply::Status::NoAnswer;
    if (WriteAll(h, request, deadline, nullptr) &&
        ReadUntil(h, '\0', 16u << 20, reply.answer, deadline, nullptr)) {
        reply.status = ControlReply::Status::Answered;
    }
    CloseHandle(h);
    return reply;
}

} // namespace vantor::windows_backend
