// The one file of the core that speaks to the operating system: flushing a file to the disk, creating a
// file exclusively and replacing one by renaming have no spelling in the standard library. Each system's
// spelling sits in its own block below; the rules on top of them are shared.
#include "core/common/file_io.h"

#include "core/common/folder_files.h"

#include <algorithm>
#include <cerrno>
#include <filesystem>
#include <system_error>
#include <utility>

#ifdef _WIN32
#ifndef NOMINMAX
#define NOMINMAX
#endif
#ifndef WIN32_LEAN_AND_MEAN
#define WIN32_LEAN_AND_MEAN
#endif
#include <windows.h>
#else
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>
#endif

namespace vantor {

namespace fs = std::filesystem;

fs::path NativePath(const std::string& utf8) {
#ifdef _WIN32
    // The wide-character calls take the path as the system's own text, never through a code page.
    return fs::path(std::u8string(utf8.begin(), utf8.end()));
#else
    return fs::path(utf8);
#endif
}

// The file a path finally names: symbolic links followed (relative ones from their own folder), so that
// a replacement lands at the target and the link stays a link.
fs::path LinkTarget(fs::path p) {
    for (int hops = 0; hops < 40; ++hops) {
        std::error_code ec;
        if (!fs::is_symlink(fs::symlink_status(p, ec)) || ec) {
            return p;
        }
        fs::path next = fs::read_symlink(p, ec);
        if (ec) {
            return p;
        }
        p = next.is_absolute() ? next : p.parent_path() / next;
    }
    return p;
}

namespace {

// A read in pieces: what a file that reports no size (or grew since) is read with.
constexpr size_t kPiece = 4096;

#ifdef _WIN32

class Handle {
public:
    explicit Handle(HANDLE h = INVALID_HANDLE_VALUE) : h_(h) {}
    Handle(Handle&& other) noexcept : h_(std::exchange(other.h_, INVALID_HANDLE_VALUE)) {}
    Handle& operator=(Handle&& other) noexcept {
        if (this != &other) {
            close();
            h_ = std::exchange(other.h_, INVALID_HANDLE_VALUE);
        }
        return *this;
    }
    ~Handle() { close(); }
    HANDLE get() const { return h_; }
    bool valid() const { return h_ != INVALID_HANDLE_VALUE; }
    bool close() {
        const HANDLE h = std::exchange(h_, INVALID_HANDLE_VALUE);
        return h == INVALID_HANDLE_VALUE || CloseHandle(h) != 0;
    }

private:
    HANDLE h_;
};

struct Opened {
    Handle handle;
    bool missing = false;
    ReadFailure failure = ReadFailure::None;
    uint64_t size = 0;
};

Opened OpenRegular(const fs::path& p, bool forWriting) {
    Opened out;
    const DWORD access = GENERIC_READ | (forWriting ? GENERIC_WRITE : 0);
    const DWORD share = FILE_SHARE_READ | (forWriting ? 0 : FILE_SHARE_WRITE | FILE_SHARE_DELETE);
    HANDLE h = CreateFileW(p.c_str(), access, share, nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (h == INVALID_HANDLE_VALUE) {
        const DWORD err = GetLastError();
        std::error_code ec;
        if (err == ERROR_FILE_NOT_FOUND || err == ERROR_PATH_NOT_FOUND) {
            out.missing = true;
        } else if (fs::is_directory(p, ec)) {
            out.failure = ReadFailure::NotAFile;
        } else if (err == ERROR_ACCESS_DENIED || err == ERROR_SHARING_VIOLATION) {
            out.failure = ReadFailure::NoPermission;
        } else {
            out.failure = ReadFailure::ReadError;
        }
        return out;
    }
    out.handle = Handle(h);
    LARGE_INTEGER size{};
    if (GetFileType(h) != FILE_TYPE_DISK || !GetFileSizeEx(h, &size)) {
        out.failure = ReadFailure::NotAFile;
        out.handle.close();
        return out;
    }
    out.size = static_cast<uint64_t>(size.QuadPart);
    return out;
}

// Reads up to `n` bytes at the current position; the count read, 0 at the end, -1 on an error.
long long ReadSome(const Handle& h, char* buf, size_t n) {
    DWORD got = 0;
    const DWORD want = static_cast<DWORD>(std::min<size_t>(n, 1u << 30));
    return ReadFile(h.get(), buf, want, &got, nullptr) ? static_cast<long long>(got) : -1;
}

bool WriteAllAt0(const Handle& h, const std::string& bytes) {
    LARGE_INTEGER zero{};
    if (!SetFilePointerEx(h.get(), zero, nullptr, FILE_BEGIN)) {
        return false;
    }
    size_t done = 0;
    while (done < bytes.size()) {
        DWORD wrote = 0;
        const DWORD want = static_cast<DWORD>(std::min<size_t>(bytes.size() - done, 1u << 30));
        if (!WriteFile(h.get(), bytes.data() + done, want, &wrote, nullptr) || wrote == 0) {
            return false;
        }
        done += wrote;
    }
    return true;
}

bool TruncateHere(const Handle& h) {
    return SetEndOfFile(h.get()) != 0;
}

bool Flush(const Handle& h) {
    return FlushFileBuffers(h.get()) != 0;
}

enum class Create { Done, NameTaken, Refused };

// Creates `temp` only when nothing of that name exists (a link of that name included).
Create CreateExclusive(const fs::path& temp, const fs::path& /*like*/, Handle& out) {
    HANDLE h =
        CreateFileW(temp.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (h == INVALID_HANDLE_VALUE) {
        const DWORD err = GetLastError();
        return err == ERROR_FILE_EXISTS || err == ERROR_ALREADY_EXISTS ? Create::NameTaken : Create::Refused;
    }
    out = Handle(h);
    return Create::Done;
}

enum class Replace { Done, NotPermitted, Failed };

Replace ReplaceWith(const fs::path& temp, const fs::path& target) {
    // Write-through: the call returns once the move itself is on the disk.
    if (MoveFileExW(temp.c_str(), target.c_str(), MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH)) {
        return Replace::Done;
    }
    return GetLastError() == ERROR_ACCESS_DENIED ? Replace::NotPermitted : Replace::Failed;
}

void FlushFolder(const fs::path& /*folder*/) {
    // Nothing to do: the write-through move above has already reached the disk.
}

// The reason of the last failed call.
WriteFailure LastFailure() {
    switch (GetLastError()) {
    case ERROR_DISK_FULL:
    case ERROR_HANDLE_DISK_FULL:
        return WriteFailure::DiskFull;
    case ERROR_WRITE_PROTECT:
        return WriteFailure::ReadOnlyDisk;
    case ERROR_ACCESS_DENIED:
    case ERROR_SHARING_VIOLATION:
    case ERROR_LOCK_VIOLATION:
        return WriteFailure::NoPermission;
    case ERROR_PATH_NOT_FOUND:
        return WriteFailure::NoFolder;
    default:
        return WriteFailure::WriteError;
    }
}

// Why an existing file at `target` must not be replaced: the read-only attribute, or no file at all.
WriteFailure Refusal(const fs::path& target) {
    const DWORD attributes = GetFileAttributesW(target.c_str());
    if (attributes == INVALID_FILE_ATTRIBUTES) {
        return WriteFailure::None;
    }
    if ((attributes & FILE_ATTRIBUTE_DIRECTORY) != 0) {
        return WriteFailure::NotAFile;
    }
    return (attributes & FILE_ATTRIBUTE_READONLY) != 0 ? WriteFailure::ReadOnlyFile : WriteFailure::None;
}

#else

class Handle {
public:
    explicit Handle(int fd = -1) : fd_(fd) {}
    Handle(Handle&& other) noexcept : fd_(std::exchange(other.fd_, -1)) {}
    Handle& operator=(Handle&& other) noexcept {
        if (this != &other) {
            close();
            fd_ = std::exchange(other.fd_, -1);
        }
        return *this;
    }
    ~Handle() { close(); }
    int get() const { return fd_; }
    bool valid() const { return fd_ >= 0; }
    // A failed close can mean written data was lost: it is reported.
    bool close() {
        const int fd = std::exchange(fd_, -1);
        return fd < 0 || ::close(fd) == 0;
    }

private:
    int fd_;
};

struct Opened {
    Handle handle;
    bool missing = false;
    ReadFailure failure = ReadFailure::None;
    uint64_t size = 0;
};

Opened OpenRegular(const fs::path& p, bool forWriting) {
    Opened out;
    // Non-blocking: opening a pipe must not wait for a writer; it is refused below like any non-file.
    int fd = -1;
    do {
        fd = ::open(p.c_str(), (forWriting ? O_RDWR : O_RDONLY) | O_NONBLOCK | O_NOCTTY | O_CLOEXEC);
    } while (fd < 0 && errno == EINTR);
    if (fd < 0) {
        const int err = errno;
        if (err == ENOENT || err == ENOTDIR) {
            out.missing = true;
        } else if (err == EISDIR) {
            out.failure = ReadFailure::NotAFile;
        } else if (err == EACCES || err == EPERM) {
            out.failure = ReadFailure::NoPermission;
        } else {
            out.failure = ReadFailure::ReadError;
        }
        return out;
    }
    out.handle = Handle(fd);
    struct stat st {};
    if (::fstat(fd, &st) != 0 || !S_ISREG(st.st_mode)) {
        out.failure = ReadFailure::NotAFile;
        out.handle.close();
        return out;
    }
    out.size = static_cast<uint64_t>(st.st_size);
    return out;
}

long long ReadSome(const Handle& h, char* buf, size_t n) {
    while (true) {
        const ssize_t got = ::read(h.get(), buf, n);
        if (got >= 0 || errno != EINTR) {
            return got;
        }
    }
}

bool WriteAllAt0(const Handle& h, const std::string& bytes) {
    size_t done = 0;
    while (done < bytes.size()) {
        const ssize_t wrote =
            ::pwrite(h.get(), bytes.data() + done, bytes.size() - done, static_cast<off_t>(done));
        if (wrote < 0 && errno == EINTR) {
            continue;
        }
        if (wrote <= 0) {
            return false;
        }
        done += static_cast<size_t>(wrote);
    }
    return true;
}

// Cuts the file at the end of what WriteAllAt0 wrote.
bool TruncateAt(const Handle& h, size_t size) {
    return ::ftruncate(h.get(), static_cast<off_t>(size)) == 0;
}

bool Flush(const Handle& h) {
    return ::fsync(h.get()) == 0;
}

enum class Create { Done, NameTaken, Refused };

// Creates `temp` only when nothing of that name exists; a link of that name is never followed. It gets
// the owner and permissions of `like` when that file exists.
Create CreateExclusive(const fs::path& temp, const fs::path& like, Handle& out) {
    struct stat old {};
    const bool hadOld = ::stat(like.c_str(), &old) == 0 && S_ISREG(old.st_mode);
    // Private until the old file's permissions are copied; a new file gets the usual ones.
    const int fd =
        ::open(temp.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC, hadOld ? 0600 : 0666);
    if (fd < 0) {
        return errno == EEXIST ? Create::NameTaken : Create::Refused;
    }
    out = Handle(fd);
    if (hadOld) {
        // The owner first: changing it may clear the set-id bits that the mode then puts back. Only a
        // privileged user may give a file away; anyone else's save keeps their own ownership.
        if (::fchown(fd, old.st_uid, old.st_gid) != 0 &&
            ::fchown(fd, static_cast<uid_t>(-1), old.st_gid) != 0) {
            // neither permitted: the new file stays the saving user's
        }
        if (::fchmod(fd, old.st_mode & 07777) != 0) {
            return Create::Refused;
        }
    }
    return Create::Done;
}

enum class Replace { Done, NotPermitted, Failed };

Replace ReplaceWith(const fs::path& temp, const fs::path& target) {
    if (::rename(temp.c_str(), target.c_str()) == 0) {
        return Replace::Done;
    }
    // A folder that refuses the rename (sticky, or the file is a mount point) may still let the file
    // itself be written.
    return errno == EACCES || errno == EPERM || errno == EBUSY ? Replace::NotPermitted : Replace::Failed;
}

// The rename lives in the folder: it is only safe on the disk once the folder is.
void FlushFolder(const fs::path& folder) {
    const fs::path dir = folder.empty() ? fs::path(".") : folder;
    const int fd = ::open(dir.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (fd >= 0) {
        ::fsync(fd); // some file systems cannot flush a folder; the file's data is flushed already
        ::close(fd);
    }
}

// The reason of the last failed call.
WriteFailure LastFailure() {
    switch (errno) {
    case ENOSPC:
    case EDQUOT:
    case EFBIG:
        return WriteFailure::DiskFull;
    case EROFS:
        return WriteFailure::ReadOnlyDisk;
    case EACCES:
    case EPERM:
        return WriteFailure::NoPermission;
    case ENOENT:
    case ENOTDIR:
        return WriteFailure::NoFolder;
    case EISDIR:
        return WriteFailure::NotAFile;
    default:
        return WriteFailure::WriteError;
    }
}

// Why an existing file at `target` must not be replaced. Replacing goes through the folder, which ignores
// the file's own permissions: a file that nobody may write (even the administrator, who may write
// anything) or that this user may not write keeps its contents.
WriteFailure Refusal(const fs::path& target) {
    struct stat st {};
    if (::stat(target.c_str(), &st) != 0) {
        return WriteFailure::None;
    }
    if (!S_ISREG(st.st_mode)) {
        return WriteFailure::NotAFile;
    }
    if ((st.st_mode & (S_IWUSR | S_IWGRP | S_IWOTH)) == 0) {
        return WriteFailure::ReadOnlyFile;
    }
    if (::faccessat(AT_FDCWD, target.c_str(), W_OK, AT_EACCESS) != 0) {
        return errno == EROFS ? WriteFailure::ReadOnlyDisk : WriteFailure::NoPermission;
    }
    return WriteFailure::None;
}

#endif

#ifdef _WIN32
bool TruncateAt(const Handle& h, size_t /*size*/) {
    return TruncateHere(h); // the position stands at the end of what WriteAllAt0 wrote
}
#endif

// The whole contents of an opened file; false (with the reason) when it cannot be read or is too large.
bool ReadAll(const Handle& h, uint64_t reportedSize, std::string& out, ReadFailure& why) {
    if (reportedSize > kMaxFileBytes) {
        why = ReadFailure::TooLarge;
        return false;
    }
    // Straight into a buffer of the file's size: growing it piece by piece would copy a large task file
    // several times over and leave the discarded buffers behind in the heap.
    out.resize(static_cast<size_t>(reportedSize));
    size_t have = 0;
    while (have < out.size()) {
        const long long got = ReadSome(h, out.data() + have, out.size() - have);
        if (got < 0) {
            out.resize(have);
            why = ReadFailure::ReadError;
            return false;
        }
        if (got == 0) {
            break;
        }
        have += static_cast<size_t>(got);
    }
    out.resize(have);
    // A file that grew since its size was taken (or reports none, as the kernel's own files do) is read
    // on to its end, but never past the limit.
    char piece[kPiece];
    while (true) {
        const long long got = ReadSome(h, piece, sizeof piece);
        if (got < 0) {
            why = ReadFailure::ReadError;
            return false;
        }
        if (got == 0) {
            return true;
        }
        if (out.size() + static_cast<size_t>(got) > kMaxFileBytes) {
            why = ReadFailure::TooLarge;
            return false;
        }
        out.append(piece, static_cast<size_t>(got));
    }
}

// The file written where it is, for a folder that allows no new file: the old contents are put back when
// the new ones cannot be written whole (a full disk), so a failure still leaves the old file.
WriteFailure RewriteInPlace(const fs::path& target, const std::string& bytes) {
    Opened file = OpenRegular(target, /*forWriting=*/true);
    if (!file.handle.valid()) {
        return file.failure == ReadFailure::NotAFile ? WriteFailure::NotAFile : WriteFailure::NoPermission;
    }
    std::string old;
    ReadFailure why = ReadFailure::None;
    if (!ReadAll(file.handle, file.size, old, why)) {
        return WriteFailure::Unreadable;
    }
    if (WriteAllAt0(file.handle, bytes) && TruncateAt(file.handle, bytes.size()) && Flush(file.handle)) {
        return file.handle.close() ? WriteFailure::None : LastFailure();
    }
    const WriteFailure failure = LastFailure();
    if (WriteAllAt0(file.handle, old)) {
        TruncateAt(file.handle, old.size());
        Flush(file.handle);
    }
    return failure;
}

void RemoveQuietly(const fs::path& p) {
    std::error_code ignored;
    fs::remove(p, ignored);
}

} // namespace

std::string WriteFailureText(WriteFailure why) {
    switch (why) {
    case WriteFailure::None:
        return {};
    case WriteFailure::ReadOnlyFile:
        return "文件设为只读";
    case WriteFailure::ReadOnlyDisk:
        return "磁盘或文件系统只读";
    case WriteFailure::DiskFull:
        return "磁盘空间不足";
    case WriteFailure::NoPermission:
        return "没有写入权限";
    case WriteFailure::NoFolder:
        return "文件夹不存在";
    case WriteFailure::NotAFile:
        return "它不是普通文件（文件夹、设备或管道）";
    case WriteFailure::Unreadable:
        return "无法读取文件现有的内容";
    case WriteFailure::WriteError:
        break;
    }
    return "写入时出错";
}

std::string ReadFailureText(ReadFailure why) {
    switch (why) {
    case ReadFailure::None:
        return {};
    case ReadFailure::NotAFile:
        return "它不是普通文件（文件夹、设备或管道）";
    case ReadFailure::TooLarge:
        return "文件大于 64 MB";
    case ReadFailure::NoPermission:
        return "没有读取权限";
    case ReadFailure::Undecodable:
        return "文件中有无法识别编码的文字（不是 UTF-8、UTF-16 或 GBK）";
    case ReadFailure::ReadError:
        break;
    }
    return "读取时出错";
}

FileBytes ReadFileBytes(const std::string& path) {
    FileBytes out;
    Opened file = OpenRegular(NativePath(path), /*forWriting=*/false);
    if (file.missing) {
        return out;
    }
    out.exists = true;
    if (!file.handle.valid() || !ReadAll(file.handle, file.size, out.bytes, file.failure)) {
        out.readError = true;
        out.failure = file.failure == ReadFailure::None ? ReadFailure::ReadError : file.failure;
        if (out.failure == ReadFailure::TooLarge) {
            out.bytes.clear(); // not one of the program's files: nothing of it is taken
        }
    }
    return out;
}

namespace {

WriteFailure Replace(const fs::path& target, const std::string& bytes) {
    if (const WriteFailure refused = Refusal(target); refused != WriteFailure::None) {
        return refused;
    }
    std::error_code ec;
    const bool targetIsFile = fs::is_regular_file(target, ec);

    Handle temp;
    fs::path tempPath;
    Create created = Create::NameTaken;
    for (int attempt = 0; attempt < 100 && created == Create::NameTaken; ++attempt) {
        tempPath = TempNameFor(target);
        created = CreateExclusive(tempPath, target, temp);
    }
    if (created != Create::Done) {
        const WriteFailure failure = created == Create::NameTaken ? WriteFailure::WriteError : LastFailure();
        if (temp.valid()) {
            temp.close();
            RemoveQuietly(tempPath);
        }
        // No new file may be made in the folder: a writable file is still rewritten where it is.
        if (created == Create::Refused && targetIsFile) {
            return RewriteInPlace(target, bytes);
        }
        return failure;
    }
    // The data must be on the disk before the name points at it, or a power cut could leave an empty file.
    const bool written = WriteAllAt0(temp, bytes) && Flush(temp);
    WriteFailure failure = written ? WriteFailure::None : LastFailure();
    if (!temp.close() && written) {
        failure = LastFailure();
    }
    if (failure != WriteFailure::None) {
        RemoveQuietly(tempPath);
        return failure;
    }
    switch (ReplaceWith(tempPath, target)) {
    case Replace::Done:
        FlushFolder(target.parent_path());
        return WriteFailure::None;
    case Replace::NotPermitted:
        failure = LastFailure();
        RemoveQuietly(tempPath);
        return targetIsFile ? RewriteInPlace(target, bytes) : failure;
    case Replace::Failed:
        break;
    }
    failure = LastFailure();
    RemoveQuietly(tempPath);
    return failure;
}

} // namespace

bool WriteFileAtomically(const std::string& path, const std::string& bytes, WriteFailure* why) {
    const WriteFailure failure = Replace(LinkTarget(NativePath(path)), bytes);
    if (why != nullptr) {
        *why = failure;
    }
    return failure == WriteFailure::None;
}

} // namespace vantor
