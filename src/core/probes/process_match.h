// Matching a task's process name against running processes' executable names.
#pragma once

#include <string>
#include <string_view>

namespace vantor {

// How executable names compare on a system: Windows ignores letter case and a missing ".exe"; Linux
// names are exact (case-sensitive, ".exe" is part of the name).
enum class NameRule { Windows, Linux };

// The one rule by which both "is it running" and "end it" find a task's process: the last path part of
// the wanted name equals the executable name under `rule` ("C:\Tools\calc.exe" finds calc.exe). A name
// cut to 15 characters (Linux comm, `truncated`) matches a longer wanted name that begins with it.
bool ProcessNameMatches(std::string_view wanted, std::string_view exeName, bool truncated, NameRule rule);

// The management-service query for the processes of that name, the name as a string literal of the query
// language: a backslash or a quote in it is escaped, so it can never change the query ("a' OR 'x'='x").
std::string WmiProcessQuery(std::string_view name);

// Executable name of a Linux process: basename of the exe link, else of argv[0], else comm.
// `truncated` is set when only comm was available.
std::string ExecutableName(std::string_view exeLink, std::string_view argv0, std::string_view comm,
                           bool& truncated);

} // namespace vantor
