// Matching a task's process name against running processes' executable names.
#pragma once

#include <string>
#include <string_view>

namespace vantor {

// The ending pass: the executable name equals the given name, ignoring letter case and a trailing ".exe"
// on either ("CALC.EXE" ends calc.exe and calc; a name with a folder path matches nothing).
bool KillNameMatches(std::string_view wanted, std::string_view exeName);

// The running test: the last path component of the wanted name, ignoring letter case and a trailing
// ".exe", equals the executable name likewise reduced ("sh" does not match "bash"). A name cut to 15
// characters (Linux comm) is compared on its first 15 characters only when `truncated` is true.
bool RunningNameMatches(std::string_view wanted, std::string_view exeName, bool truncated = false);

// Executable name of a Linux process: basename of the exe link, else of argv[0], else comm.
// `truncated` is set when only comm was available.
std::string ExecutableName(std::string_view exeLink, std::string_view argv0, std::string_view comm,
                           bool& truncated);

} // namespace vantor
