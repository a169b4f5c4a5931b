// Whole-file reading and crash-safe whole-file replacement for the program's own small text files.
// Paths are UTF-8 text on Windows and the file system's own bytes elsewhere.
#pragma once

#include <cstdint>
#include <string>

namespace vantor {

// The program's files are small (a task line is a few hundred bytes): anything larger than this is not
// one of them, and reading on would only fill the memory.
inline constexpr uint64_t kMaxFileBytes = uint64_t{64} * 1024 * 1024;

// Why an existing file could not be read.
enum class ReadFailure {
    None,
    NotAFile,     // a folder, a device, a pipe: reading it would hang or never end
    TooLarge,     // above kMaxFileBytes
    NoPermission, // the file or a folder on its way may not be read
    ReadError,    // the system reported an error while reading
    Undecodable,  // read whole, but some of its text is in no encoding the program knows
};

// The reason in the words of the program's messages, for example "没有读取权限".
std::string ReadFailureText(ReadFailure why);

// Outcome of reading a whole file as bytes. Only regular files are read.
struct FileBytes {
    bool exists = false;
    bool readError = false; // it exists but could not be read to its end: `bytes` holds what was read
    ReadFailure failure = ReadFailure::None;
    std::string bytes;
};
FileBytes ReadFileBytes(const std::string& path);

// Why a file could not be written.
enum class WriteFailure {
    None,
    ReadOnlyFile, // the file is marked read-only: the user's choice is honoured
    ReadOnlyDisk, // the disk or file system allows no writing
    DiskFull,     // no space left (or the user's quota is used up)
    NoPermission, // this user may not write the file or create files in its folder
    NoFolder,     // the folder does not exist
    NotAFile,     // a folder, a device or a pipe stands at the file's place
    Unreadable,   // the file's present contents could not be read, and a change would lose them
    WriteError,   // any other error the system reported
};

// The reason in the words of the program's messages, for example "磁盘空间不足".
std::string WriteFailureText(WriteFailure why);

// Replaces the file with `bytes` so that a crash, a power cut or a failed write never leaves a torn file:
// the bytes go to a temporary file of their own beside the file's target (created exclusively, never
// through a link), are flushed to the disk, and the temporary file is renamed over the target; then the
// folder is flushed. A file reached through a symbolic link is replaced at the link's target and the
// link stays; the file keeps its permissions (and its owner where the system permits). When the folder
// does not allow the replacement but the file itself is writable, the file is rewritten in place and
// flushed. A file marked read-only (no write permission for anyone, or for this user; the read-only
// attribute on Windows) is never replaced. False (the old file as it was) on any failure, with the reason
// in `why` when it is given.
bool WriteFileAtomically(const std::string& path, const std::string& bytes, WriteFailure* why = nullptr);

// Makes the folder (and those above it) when missing; one it makes only its user may enter (mode 700
// where the system has modes). False when it is still missing.
bool MakePrivateFolder(const std::string& path);

// Removes the temporary files that saves of `path` left behind when their writers were killed: those of
// writers no longer running on this computer, and none changed in the last minute (a writer on another
// computer sharing the folder may still be at work).
void RemoveLeftoverTempFiles(const std::string& path);

} // namespace vantor
