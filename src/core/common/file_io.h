// Whole-file reading and crash-safe whole-file replacement for the program's own small text files.
#pragma once

#include <optional>
#include <string>

namespace vantor {

// Outcome of reading a whole file as bytes.
struct FileBytes {
    bool exists = false;
    bool readError = false; // it exists but could not be read to its end: `bytes` holds what was read
    std::string bytes;
};
FileBytes ReadFileBytes(const std::string& path);

// The temporary file beside `path` that a replacement is written to first: path + ".tmp".
std::string TempPathFor(const std::string& path);

// Replaces the file with `bytes`: writes TempPathFor(path), then renames it over the file, so a crash or a
// failed write never leaves a half-written file behind. False (the old file untouched) on any failure.
bool WriteFileAtomically(const std::string& path, const std::string& bytes);

} // namespace vantor
