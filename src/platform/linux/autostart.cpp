#include "platform/linux/autostart.h"

#include "platform/linux/errno_text.h"

#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <fcntl.h>
#include <fstream>
#include <pwd.h>
#include <sstream>
#include <sys/stat.h>
#include <unistd.h>

namespace vantor::linux_backend {

namespace {

constexpr const char* kEntryName = "vantor.desktop";

std::string HomeFolder() {
    const char* home = std::getenv("HOME");
    if (home != nullptr && *home == '/') {
        return home;
    }
    const passwd* pw = getpwuid(getuid());
    return pw != nullptr && pw->pw_dir != nullptr ? pw->pw_dir : "";
}

std::string EntryPath(AutostartScope scope) {
    return AutostartFolder(scope) + "/" + kEntryName;
}

// mkdir -p; an existing folder is fine.
bool MakeFolders(const std::string& path) {
    for (size_t pos = 1; pos <= path.size(); ++pos) {
        if (pos == path.size() || path[pos] == '/') {
            const std::string part = path.substr(0, pos);
            if (mkdir(part.c_str(), 0755) != 0 && errno != EEXIST) {
                return false;
            }
        }
    }
    return true;
}

std::string Failure(const std::string& what, const std::string& path, int err) {
    return "无法" + what + "“" + path + "”：" + ErrnoText(err);
}

} // namespace

std::string UserConfigHome() {
    const char* config = std::getenv("XDG_CONFIG_HOME");
    // The base-directory rules ignore a relative value.
    if (config != nullptr && *config == '/') {
        return config;
    }
    const std::string home = HomeFolder();
    return home.empty() ? std::string() : home + "/.config";
}

std::string AutostartFolder(AutostartScope scope) {
    if (scope == AutostartScope::Machine) {
        const char* overridden = std::getenv("VANTOR_XDG_AUTOSTART_DIR");
        return overridden != nullptr && *overridden == '/' ? overridden : "/etc/xdg/autostart";
    }
    return UserConfigHome() + "/autostart";
}

std::optional<std::string> ExecLineFor(const std::string& path) {
    std::string quoted = "\"";
    for (const char c : path) {
        if (c == '\\' || static_cast<unsigned char>(c) < 0x20 || c == 0x7f) {
            return std::nullopt;
        }
        if (c == '"' || c == '`' || c == '$') {
            // Escaped inside the quotes; the backslash itself is then written twice for the string value.
            quoted += "\\\\";
        }
        if (c == '%') {
            quoted += '%'; // a literal percent sign, not a field code
        }
        quoted += c;
    }
    quoted += '"';
    return quoted;
}

std::string ProgramOfExecLine(const std::string& value) {
    // First undo the string-value escapes (\s \n \t \r \\), then the quoting of the argument.
    std::string text;
    for (size_t i = 0; i < value.size(); ++i) {
        if (value[i] == '\\' && i + 1 < value.size()) {
            const char e = value[++i];
            text += e == 's' ? ' ' : e == 'n' ? '\n' : e == 't' ? '\t' : e == 'r' ? '\r' : e;
        } else {
            text += value[i];
        }
    }
    const size_t start = text.find_first_not_of(' ');
    if (start == std::string::npos) {
        return {};
    }
    std::string program;
    if (text[start] == '"') {
        size_t i = start + 1;
        for (; i < text.size() && text[i] != '"'; ++i) {
            if (text[i] == '\\' && i + 1 < text.size()) {
                ++i;
            }
            program += text[i];
        }
        if (i >= text.size()) {
            return {}; // no closing quote
        }
    } else {
        program = text.substr(start, text.find(' ', start) - start);
    }
    std::string unpercent;
    for (size_t i = 0; i < program.size(); ++i) {
        unpercent += program[i];
        if (program[i] == '%' && i + 1 < program.size() && program[i + 1] == '%') {
            ++i;
        }
    }
    return unpercent;
}

bool AutostartEntryWritable(AutostartScope scope) {
    std::string folder = AutostartFolder(scope);
    if (folder.empty() || folder[0] != '/') {
        return false;
    }
    // The folders still missing would be made by the write, in the nearest one that exists.
    while (access(folder.c_str(), F_OK) != 0 && folder.size() > 1) {
        const size_t slash = folder.find_last_of('/');
        folder = slash == 0 ? "/" : folder.substr(0, slash);
    }
    return access(folder.c_str(), W_OK | X_OK) == 0;
}

ActionResult WriteAutostartEntry(AutostartScope scope, const std::string& programPath) {
    const std::optional<std::string> exec = ExecLineFor(programPath);
    if (!exec) {
        return ActionResult::Fail("无法让“" + programPath +
                                  "”随系统启动：自动启动项不能保存含有反斜杠（\\）或控制字符的路径");
    }
    const std::string folder = AutostartFolder(scope);
    if (!MakeFolders(folder)) {
        return ActionResult::Fail(Failure("创建文件夹", folder, errno));
    }
    const std::string path = folder + "/" + kEntryName;
    const std::string temp = path + ".tmp";
    // TryExec: once the program has been removed, the session passes the entry over instead of failing.
    const std::string content = "[Desktop Entry]\nType=Application\nName=Vantor\nExec=" + *exec +
                                "\nTryExec=" + programPath +
                                "\nTerminal=false\nX-GNOME-Autostart-enabled=true\n";
    // Written beside the entry and renamed over it, so a reader never sees half an entry.
    const int fd = open(temp.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0644);
    if (fd < 0) {
        return ActionResult::Fail(Failure("写入", path, errno));
    }
    const ssize_t written = write(fd, content.data(), content.size());
    const int writeErr = errno;
    if (close(fd) != 0 || written != static_cast<ssize_t>(content.size())) {
        unlink(temp.c_str());
        return ActionResult::Fail(Failure("写入", path, written < 0 ? writeErr : EIO));
    }
    if (rename(temp.c_str(), path.c_str()) != 0) {
        const int err = errno;
        unlink(temp.c_str());
        return ActionResult::Fail(Failure("写入", path, err));
    }
    return ActionResult::Ok();
}

std::string ReadAutostartEntry(AutostartScope scope) {
    std::ifstream in(EntryPath(scope));
    std::string line;
    bool inMainGroup = false;
    while (std::getline(in, line)) {
        if (!line.empty() && line.back() == '\r') {
            line.pop_back();
        }
        if (!line.empty() && line.front() == '[') {
            inMainGroup = line == "[Desktop Entry]";
            continue;
        }
        if (!inMainGroup || line.rfind("Exec", 0) != 0) {
            continue;
        }
        const size_t eq = line.find('=');
        if (eq == std::string::npos || line.find_first_not_of(' ', 4) != eq) {
            continue; // Exec[xx]= or ExecSomething=
        }
        return ProgramOfExecLine(line.substr(line.find_first_not_of(' ', eq + 1) == std::string::npos
                                                 ? line.size()
                                                 : line.find_first_not_of(' ', eq + 1)));
    }
    return {};
}

ActionResult DeleteAutostartEntry(AutostartScope scope) {
    const std::string path = EntryPath(scope);
    if (unlink(path.c_str()) != 0 && errno != ENOENT) {
        return ActionResult::Fail(Failure("删除", path, errno));
    }
    return ActionResult::Ok();
}

} // namespace vantor::linux_backend
