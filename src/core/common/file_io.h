// Whole-file reading and crash-safe whole-file replacement for the program's own small text files.
// Paths are UTF-8 text on every system.
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

// Replaces the file with `bytes` so that a crash, a power cut or a failed write never leaves a torn file:
// the bytes go to a temporary file of their own beside the file's target (created exclusively, never
// through a link), are flushed to the disk, and the temporary file is renamed over the target; then the
// folder is flushed. A file reached through a symbolic link is replaced at the link's target and the
// link stays; the file keeps its permissions (and its owner where the system permits). When the folder
// does not allow the replacement but the file itself is writable, the file is rewritten in place and
// flushed. False (the old file as it was) on any failure.
bool WriteFileAtomically(const std::string& path, const std::string& bytes);

} // namespace vantor
