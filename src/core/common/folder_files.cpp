// The temporary files of saves and the program's folder. Telling whether a writer still runs has no
// spelling in the standard library: each system's sits in its own block below.
#include "core/common/folder_files.h"
#include "core/common/file_io.h"

#include <chrono>
#include <cstdint>
#include <cstdio>
#include <optional>
#include <random>
#include <string_view>
#include <system_error>

#ifdef _WIN32
#ifndef NOMINMAX
#define NOMINMAX
#endif
#ifndef WIN32_LEAN_AND_MEAN
#define WIN32_LEAN_AND_MEAN
#endif
#include <windows.h>
#else
#include <cerrno>
#include <csignal>
#include <limits>
#include <unistd.h>
#endif

namespace vantor {

namespace fs = std::filesystem;

namespace {

#ifdef _WIN32

uint64_t ThisProcess() {
    return GetCurrentProcessId();
}

bool ProcessRuns(uint64_t pid) {
    HANDLE h = OpenProcess(SYNCHRONIZE, FALSE, static_cast<DWORD>(pid));
    if (h == nullptr) {
        return GetLastError() == ERROR_ACCESS_DENIED; // it exists, but is another user's
    }
    const bool running = WaitForSingleObject(h, 0) == WAIT_TIMEOUT;
    CloseHandle(h);
    return running;
}

#else

uint64_t ThisProcess() {
    return static_cast<uint64_t>(::getpid());
}

bool ProcessRuns(uint64_t pid) {
    if (pid > static_cast<uint64_t>(std::numeric_limits<pid_t>::max())) {
        return false;
    }
    return ::kill(static_cast<pid_t>(pid), 0) == 0 || errno == EPERM; // EPERM: another user's
}

#endif

bool AllOf(std::string_view s, const char* chars) {
    return !s.empty() && s.find_first_not_of(chars) == std::string_view::npos;
}

// The writer's process id in a temporary name of `target` ("<target>.<pid>-<hex>.tmp"): 0 for a name of
// the earlier form without one ("<target>.<16 hex>.tmp"), nullopt for any other name.
std::optional<uint64_t> TempWriter(std::string_view name, std::string_view target) {
    constexpr std::string_view kEnd = ".tmp";
    if (name.size() <= target.size() + 1 + kEnd.size() || !name.starts_with(target) ||
        name[target.size()] != '.' || !name.ends_with(kEnd)) {
        return std::nullopt;
    }
    const std::string_view middle =
        name.substr(target.size() + 1, name.size() - target.size() - 1 - kEnd.size());
    constexpr const char* kHex = "0123456789abcdef";
    if (middle.size() == 16 && AllOf(middle, kHex)) {
        return 0;
    }
    const size_t dash = middle.find('-');
    if (dash == std::string_view::npos || dash > 19 || !AllOf(middle.substr(0, dash), "0123456789") ||
        !AllOf(middle.substr(dash + 1), kHex)) {
        return std::nullopt;
    }
    uint64_t pid = 0;
    for (const char c : middle.substr(0, dash)) {
        pid = pid * 10 + static_cast<uint64_t>(c - '0');
    }
    return pid == 0 ? std::nullopt : std::optional(pid);
}

} // namespace

// A fresh temporary name beside `target`: "vntask.vnt.<writer's process id>-<12 hex digits>.tmp". Each
// save takes its own, so two writers never write into one file, and the process id tells a later start
// whether the writer of a file left behind still runs.
fs::path TempNameFor(const fs::path& target) {
    const uint64_t pid = ThisProcess();
    static std::random_device device;
    const uint64_t bits = (uint64_t{device()} << 32) ^ device() ^
                          static_cast<uint64_t>(std::chrono::steady_clock::now().time_since_epoch().count());
    char name[64];
    std::snprintf(name, sizeof name, ".%llu-%012llx.tmp", static_cast<unsigned long long>(pid),
                  static_cast<unsigned long long>(bits & 0xFFFFFFFFFFFFULL));
    fs::path temp = target;
    temp += name;
    return temp;
}

bool MakePrivateFolder(const std::string& path) {
    fs::path folder = NativePath(path);
    if (!folder.has_filename()) {
        folder = folder.parent_path(); // the trailing separator
    }
    std::error_code ec;
    if (fs::create_directories(folder, ec)) {
        fs::permissions(folder, fs::perms::owner_all, ec);
    }
    return fs::is_directory(folder, ec);
}

void RemoveLeftoverTempFiles(const std::string& path) {
    const fs::path target = LinkTarget(NativePath(path));
    const std::u8string name = target.filename().u8string();
    const std::string_view targetName(reinterpret_cast<const char*>(name.data()), name.size());
    std::error_code ec;
    fs::directory_iterator entries(target.parent_path().empty() ? fs::path(".") : target.parent_path(), ec);
    if (ec) {
        return;
    }
    const auto now = fs::file_time_type::clock::now();
    for (const fs::directory_entry& entry : entries) {
        const std::u8string entryName = entry.path().filename().u8string();
        const std::optional<uint64_t> writer = TempWriter(
            std::string_view(reinterpret_cast<const char*>(entryName.data()), entryName.size()), targetName);
        if (!writer || (*writer != 0 && ProcessRuns(*writer)) || !entry.is_regular_file(ec) ||
            entry.is_symlink(ec)) {
            continue;
        }
        const auto changed = entry.last_write_time(ec);
        if (!ec && now - changed > std::chrono::minutes(1)) {
            fs::remove(entry.path(), ec);
        }
    }
}

} // namespace vantor
