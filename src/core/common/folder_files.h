// The places around the program's files, shared by the core's file code: paths in the system's form,
// the temporary names of crash-safe saves, and the folder the files live in.
#pragma once

#include <filesystem>
#include <string>

namespace vantor {

// A path as the file functions take it: UTF-8 on Windows (for the wide-character calls, never through a
// code page), the file system's own bytes elsewhere.
std::filesystem::path NativePath(const std::string& path);

// The file a path finally names: symbolic links followed (relative ones from their own folder), so that
// a replacement lands at the target and the link stays a link.
std::filesystem::path LinkTarget(std::filesystem::path p);

// A fresh temporary name beside `target` for a save by this process.
std::filesystem::path TempNameFor(const std::filesystem::path& target);

} // namespace vantor
