// Matching a task's process name against running processes' executable names.
#include "core/probes/process_match.h"

namespace vantor {

namespace {

// Executable names are compared without regard to ASCII letter case, as the system treats file names.
char Lower(char c) {
    return (c >= 'A' && c <= 'Z') ? static_cast<char>(c - 'A' + 'a') : c;
}

bool EqualsNoCase(std::string_view a, std::string_view b) {
    if (a.size() != b.size()) {
        return false;
    }
    for (size_t i = 0; i < a.size(); ++i) {
        if (Lower(a[i]) != Lower(b[i])) {
            return false;
        }
    }
    return true;
}

std::string_view LastComponent(std::string_view path) {
    size_t slash = path.find_last_of("/\\");
    return slash == std::string_view::npos ? path : path.substr(slash + 1);
}

std::string_view WithoutExe(std::string_view name) {
    constexpr std::string_view kExe = ".exe";
    if (name.size() > kExe.size() && EqualsNoCase(name.substr(name.size() - kExe.size()), kExe)) {
        name.remove_suffix(kExe.size());
    }
    return name;
}

// Linux keeps at most 15 bytes of a process's name in comm.
constexpr size_t kCommLength = 15;

} // namespace

bool KillNameMatches(std::string_view wanted, std::string_view exeName) {
    // ".exe" is ignored as the running test ignores it: a task naming "firefox.exe" that finds firefox
    // running must also end it, rather than warn for a minute and then end nothing.
    return !wanted.empty() && !exeName.empty() && EqualsNoCase(WithoutExe(wanted), WithoutExe(exeName));
}

bool RunningNameMatches(std::string_view wanted, std::string_view exeName, bool truncated) {
    std::string_view base = LastComponent(wanted);
    if (base.empty() || exeName.empty()) {
        return false;
    }
    if (EqualsNoCase(WithoutExe(base), WithoutExe(exeName))) {
        return true;
    }
    // A comm of full length may be the cut-off start of a longer name.
    if (truncated && exeName.size() == kCommLength && base.size() > kCommLength) {
        return EqualsNoCase(base.substr(0, kCommLength), exeName);
    }
    return false;
}

std::string ExecutableName(std::string_view exeLink, std::string_view argv0, std::string_view comm,
                           bool& truncated) {
    truncated = false;
    constexpr std::string_view kDeleted = " (deleted)";
    if (exeLink.size() >= kDeleted.size() && exeLink.substr(exeLink.size() - kDeleted.size()) == kDeleted) {
        exeLink.remove_suffix(kDeleted.size());
    }
    std::string_view name = LastComponent(exeLink);
    if (!name.empty()) {
        return std::string(name);
    }
    name = LastComponent(argv0);
    if (!name.empty() && name.front() == '-') {
        name.remove_prefix(1); // a login shell's argv[0] is "-bash"
    }
    if (!name.empty()) {
        return std::string(name);
    }
    truncated = true;
    return std::string(comm);
}

} // namespace vantor
