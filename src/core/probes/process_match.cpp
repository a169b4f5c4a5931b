// Matching a task's process name against running processes' executable names.
#include "core/probes/process_match.h"

namespace vantor {

namespace {

// Windows compares executable names without regard to ASCII letter case, as it treats file names.
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

bool ProcessNameMatches(std::string_view wanted, std::string_view exeName, bool truncated, NameRule rule) {
    std::string_view base = LastComponent(wanted);
    if (base.empty() || exeName.empty()) {
        return false;
    }
    if (rule == NameRule::Windows) {
        base = WithoutExe(base);
        exeName = WithoutExe(exeName);
    }
    const auto equal = [rule](std::string_view a, std::string_view b) {
        return rule == NameRule::Windows ? EqualsNoCase(a, b) : a == b;
    };
    if (equal(base, exeName)) {
        return true;
    }
    // A comm of full length may be the cut-off start of a longer name.
    if (truncated && exeName.size() == kCommLength && base.size() > kCommLength) {
        return equal(base.substr(0, kCommLength), exeName);
    }
    return false;
}

std::string WmiProcessQuery(std::string_view name) {
    std::string query = "Select * from Win32_Process Where Name = '";
    for (char c : name) {
        if (c == '\\' || c == '\'') {
            query += '\\';
        }
        query += c;
    }
    return query + "'";
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
