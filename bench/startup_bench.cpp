// Start-up time and memory of the program against a bare Qt Widgets window that shows Chinese text, on the
// same machine.
//
// Runs the probes built beside this executable in turn, each in a fresh process, and compares the
// medians: the time from the spawn to the first painted frame of the main window, and the resident memory
// at that moment. The baseline is a bare window with one label in the program's language: any window that
// shows Chinese text pays for loading a font, so that is the floor. The program probe opens an empty
// temporary program folder (no task file, no settings file). Shown for reading the figures as well: the
// bare window without text (it never loads a font) and the program on a folder whose task file has 10,000
// lines. Headless by default (offscreen windows); on the X display named by DISPLAY when that is set (an
// Xvfb server, for instance).
//
//   startup_bench [--runs N] [--rows N]
#include "core/common/datetime.h"
#include "core/tasks/task_file.h"
#include "core/tasks/task_record.h"

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <ctime>
#include <filesystem>
#include <initializer_list>
#include <map>
#include <optional>
#include <poll.h>
#include <random>
#include <signal.h>
#include <spawn.h>
#include <string>
#include <sys/wait.h>
#include <unistd.h>
#include <vector>

extern char** environ;

using namespace vantor;
namespace fs = std::filesystem;

namespace {

constexpr double kTimeTarget = 1.25;
constexpr double kMemoryTarget = 1.2;
constexpr int kProbeTimeoutMs = 90'000;

long long MonotonicNs() {
    timespec ts{};
    clock_gettime(CLOCK_MONOTONIC, &ts);
    return static_cast<long long>(ts.tv_sec) * 1'000'000'000LL + ts.tv_nsec;
}

// A task list as people keep one: countdowns, time windows and weekly windows, some with idle or traffic
// conditions, every operation, reminder texts and program paths.
std::vector<TaskRecord> MakeRows(size_t n) {
    std::mt19937 rng(7);
    auto pick = [&rng](int lo, int hi) { return std::uniform_int_distribution<int>(lo, hi)(rng); };
    const DateTime base = DateTime::fromParts(2026, 3, 2, 8, 0, 0);
    const char* tips[] = {"该休息了，起来走走", "/usr/bin/backup-home", "firefox", "下班前保存文档", ""};
    std::vector<TaskRecord> rows;
    rows.reserve(n);
    for (size_t i = 0; i < n; ++i) {
        EditorValues v;
        v.operation = pick(OpRemind, OpHibernate);
        v.fullScreenPause = pick(0, 1) == 1;
        v.timeOn = pick(0, 9) != 0;
        v.timeMode = pick(ModeCountdown, ModeWeekly);
        v.countdownText = std::to_string(pick(60, 7200));
        v.start = base.addSeconds(static_cast<int64_t>(pick(0, 400)) * 86400 + pick(0, 86399));
        v.end = v.start.addSeconds(pick(300, 14400));
        for (bool& day : v.week) {
            day = pick(0, 1) == 1;
        }
        v.idleOn = pick(0, 3) == 0;
        if (v.idleOn) {
            v.idleDays = "0";
            v.idleHours = std::to_string(pick(0, 2));
            v.idleMinutes = std::to_string(pick(0, 59));
            v.idleSeconds = "0";
        }
        v.netOn = pick(0, 3) == 0;
        if (v.netOn) {
            v.direction = pick(0, 1);
            v.compare = pick(0, 1);
            v.netRate = std::to_string(pick(1, 500));
            v.netHoldSeconds = std::to_string(pick(10, 600));
        }
        v.allowMultiple = v.operation == OpRun && pick(0, 1) == 1;
        if (v.operation <= OpEndProcess) {
            v.tips = tips[static_cast<size_t>(pick(0, 4))];
        }
        TaskRecord r = ComposeRecord(v);
        r.enabled = pick(0, 4) != 0;
        rows.push_back(std::move(r));
    }
    return rows;
}

struct ProbeRun {
    double readyMs = 0;
    double exposeMs = 0;
    long rssKb = 0;
    long hwmKb = 0;
    int others = 0;
    int modal = 0;
    std::map<std::string, std::pair<double, long>> marks; // phase -> ms since spawn, peak resident kB
};

std::optional<ProbeRun> ParseProbeLine(const std::string& out) {
    const size_t at = out.find("probe ready_ms=");
    if (at == std::string::npos) {
        return std::nullopt;
    }
    ProbeRun run;
    std::string line = out.substr(at, out.find('\n', at) - at);
    size_t pos = 0;
    while (pos < line.size()) {
        size_t end = line.find(' ', pos);
        if (end == std::string::npos) {
            end = line.size();
        }
        const std::string item = line.substr(pos, end - pos);
        pos = end + 1;
        const size_t eq = item.find('=');
        if (eq == std::string::npos) {
            continue;
        }
        const std::string key = item.substr(0, eq);
        const std::string value = item.substr(eq + 1);
        if (key == "ready_ms") {
            run.readyMs = std::atof(value.c_str());
        } else if (key == "expose_ms") {
            run.exposeMs = std::atof(value.c_str());
        } else if (key == "rss_kb") {
            run.rssKb = std::atol(value.c_str());
        } else if (key == "hwm_kb") {
            run.hwmKb = std::atol(value.c_str());
        } else if (key == "others") {
            run.others = std::atoi(value.c_str());
        } else if (key == "modal") {
            run.modal = std::atoi(value.c_str());
        } else if (key == "marks") {
            size_t m = 0;
            while (m < value.size()) {
                size_t comma = value.find(',', m);
                if (comma == std::string::npos) {
                    comma = value.size();
                }
                const std::string mark = value.substr(m, comma - m);
                const size_t colon = mark.find(':');
                const size_t second = mark.find(':', colon + 1);
                if (colon != std::string::npos && second != std::string::npos) {
                    run.marks[mark.substr(0, colon)] = {std::atof(mark.c_str() + colon + 1),
                                                        std::atol(mark.c_str() + second + 1)};
                }
                m = comma + 1;
            }
        }
    }
    return run;
}

// Runs one probe with the launch stamp in its environment; its report, or nullopt (said on stderr, with
// what the probe wrote) when it failed, timed out or printed none. Its messages are kept off the table.
std::optional<ProbeRun> RunProbe(const std::string& exe, const std::vector<std::string>& args,
                                 const std::vector<std::string>& env) {
    int pipeFds[2];
    if (pipe(pipeFds) != 0) {
        std::perror("pipe");
        return std::nullopt;
    }
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_adddup2(&actions, pipeFds[1], STDOUT_FILENO);
    posix_spawn_file_actions_adddup2(&actions, pipeFds[1], STDERR_FILENO);
    posix_spawn_file_actions_addclose(&actions, pipeFds[0]);
    posix_spawn_file_actions_addclose(&actions, pipeFds[1]);

    std::vector<std::string> argStrings{exe};
    argStrings.insert(argStrings.end(), args.begin(), args.end());
    std::vector<char*> argv;
    for (std::string& a : argStrings) {
        argv.push_back(a.data());
    }
    argv.push_back(nullptr);

    std::vector<std::string> envStrings = env;
    envStrings.push_back("VANTOR_PROBE_T0_NS=" + std::to_string(MonotonicNs()));
    std::vector<char*> envp;
    for (std::string& e : envStrings) {
        envp.push_back(e.data());
    }
    envp.push_back(nullptr);

    pid_t pid = 0;
    const int rc = posix_spawn(&pid, exe.c_str(), &actions, nullptr, argv.data(), envp.data());
    posix_spawn_file_actions_destroy(&actions);
    close(pipeFds[1]);
    if (rc != 0) {
        std::fprintf(stderr, "cannot start %s: %s\n", exe.c_str(), std::strerror(rc));
        close(pipeFds[0]);
        return std::nullopt;
    }

    std::string out;
    const long long deadline = MonotonicNs() + kProbeTimeoutMs * 1'000'000LL;
    bool timedOut = false;
    for (;;) {
        const long long leftMs = (deadline - MonotonicNs()) / 1'000'000LL;
        if (leftMs <= 0) {
            timedOut = true;
            break;
        }
        pollfd pfd{pipeFds[0], POLLIN, 0};
        const int ready = poll(&pfd, 1, static_cast<int>(leftMs));
        if (ready < 0 && errno == EINTR) {
            continue;
        }
        if (ready <= 0) {
            timedOut = ready == 0;
            break;
        }
        char buf[4096];
        const ssize_t n = read(pipeFds[0], buf, sizeof buf);
        if (n <= 0) {
            break;
        }
        out.append(buf, static_cast<size_t>(n));
    }
    close(pipeFds[0]);
    if (timedOut) {
        kill(pid, SIGKILL);
    }
    int status = 0;
    waitpid(pid, &status, 0);
    if (timedOut) {
        std::fprintf(stderr, "%s gave no report within %d ms\n", exe.c_str(), kProbeTimeoutMs);
        return std::nullopt;
    }
    std::optional<ProbeRun> run = ParseProbeLine(out);
    if (!run || !WIFEXITED(status) || WEXITSTATUS(status) != 0) {
        std::fprintf(stderr, "%s failed (status %d): %s\n", exe.c_str(), status, out.c_str());
        return std::nullopt;
    }
    return run;
}

double Median(std::vector<double> v) {
    std::sort(v.begin(), v.end());
    const size_t n = v.size();
    return n % 2 == 1 ? v[n / 2] : (v[n / 2 - 1] + v[n / 2]) / 2.0;
}

template <typename F> double MedianOf(const std::vector<ProbeRun>& runs, F field) {
    std::vector<double> values;
    for (const ProbeRun& r : runs) {
        values.push_back(static_cast<double>(field(r)));
    }
    return Median(values);
}

} // namespace

int main(int argc, char* argv[]) {
    int runs = 15;
    size_t rowCount = 10000;
    for (int i = 1; i + 1 < argc; i += 2) {
        if (std::strcmp(argv[i], "--runs") == 0) {
            runs = std::max(1, std::atoi(argv[i + 1]));
        } else if (std::strcmp(argv[i], "--rows") == 0) {
            rowCount = static_cast<size_t>(std::max(0, std::atoi(argv[i + 1])));
        }
    }

    const fs::path here = fs::canonical("/proc/self/exe").parent_path();
    const std::string bare = (here / "startup_probe_bare").string();
    const std::string program = (here / "startup_probe_vantor").string();

    char folderTemplate[] = "/tmp/vantor-startup-XXXXXX";
    if (mkdtemp(folderTemplate) == nullptr) {
        std::perror("mkdtemp");
        return 1;
    }
    const fs::path folder = folderTemplate;
    const fs::path emptyFolder = folder / "empty";
    const fs::path fullFolder = folder / "full";
    fs::create_directories(emptyFolder);
    fs::create_directories(fullFolder);
    const std::vector<TaskRecord> rows = MakeRows(rowCount);
    if (!SaveTaskFile((fullFolder / kTaskFileName).string(), rows)) {
        std::fprintf(stderr, "cannot write the task file in %s\n", fullFolder.c_str());
        return 1;
    }
    const auto fileBytes = fs::file_size(fullFolder / kTaskFileName);

    // The environment as it is, with the window system chosen here and any stamp of an outer run dropped.
    const char* display = std::getenv("DISPLAY");
    const bool onX = display != nullptr && *display != '\0';
    std::vector<std::string> env;
    for (char** e = environ; *e != nullptr; ++e) {
        if (std::strncmp(*e, "QT_QPA_PLATFORM=", 16) != 0 &&
            std::strncmp(*e, "VANTOR_PROBE_T0_NS=", 19) != 0) {
            env.emplace_back(*e);
        }
    }
    env.emplace_back(onX ? "QT_QPA_PLATFORM=xcb" : "QT_QPA_PLATFORM=offscreen");
    // On X without a session bus, Qt's first use of it would have libdbus start one that outlives the
    // benchmark; an address that cannot be reached keeps both probes without a bus instead.
    const char* bus = std::getenv("DBUS_SESSION_BUS_ADDRESS");
    const bool noBus = onX && (bus == nullptr || *bus == '\0');
    if (noBus) {
        env.push_back("DBUS_SESSION_BUS_ADDRESS=unix:path=" + (folder / "no-session-bus").string());
    }

    // The baseline (the bare window with one Chinese label), the program on an empty folder, and for
    // reading the figures only the bare window without text and the program with the long task file.
    struct Probe {
        std::string exe;
        std::vector<std::string> args;
        std::vector<ProbeRun> runs;
    };
    std::vector<Probe> probes{{bare, {"--label"}, {}},
                              {program, {emptyFolder.string()}, {}},
                              {bare, {}, {}},
                              {program, {fullFolder.string()}, {}}};
    // One run of each first, not counted: it brings the libraries and fonts into the page cache.
    bool failed = false;
    for (Probe& p : probes) {
        failed = failed || !RunProbe(p.exe, p.args, env);
    }
    for (int i = 0; i < runs && !failed; ++i) {
        // The order turns from run to run, so a drift of the machine favours no probe.
        for (size_t k = 0; k < probes.size() && !failed; ++k) {
            Probe& p = probes[(k + static_cast<size_t>(i)) % probes.size()];
            std::optional<ProbeRun> r = RunProbe(p.exe, p.args, env);
            failed = !r;
            if (r) {
                p.runs.push_back(*r);
            }
        }
    }
    fs::remove_all(folder);
    if (failed) {
        std::fprintf(stderr, "a probe failed; no figures\n");
        return 1;
    }
    const std::vector<ProbeRun>& labelRuns = probes[0].runs;
    const std::vector<ProbeRun>& programRuns = probes[1].runs;
    const std::vector<ProbeRun>& bareRuns = probes[2].runs;
    const std::vector<ProbeRun>& fullRuns = probes[3].runs;

    auto readyMs = [](const std::vector<ProbeRun>& list) {
        return MedianOf(list, [](const ProbeRun& r) { return r.readyMs; });
    };
    auto exposeMs = [](const std::vector<ProbeRun>& list) {
        return MedianOf(list, [](const ProbeRun& r) { return r.exposeMs; });
    };
    auto rssKb = [](const std::vector<ProbeRun>& list) {
        return MedianOf(list, [](const ProbeRun& r) { return r.rssKb; });
    };
    auto hwmKb = [](const std::vector<ProbeRun>& list) {
        return MedianOf(list, [](const ProbeRun& r) { return r.hwmKb; });
    };
    int boxes = 0;
    for (const std::vector<ProbeRun>* list : {&programRuns, &fullRuns}) {
        for (const ProbeRun& r : *list) {
            boxes += r.others + r.modal;
        }
    }

    std::printf("window system                %s%s\n", onX ? display : "offscreen",
                noBus ? " (no session bus)" : "");
    std::printf("program folder               empty; for reading also %zu task lines (%ju bytes)\n",
                rows.size(), static_cast<uintmax_t>(fileBytes));
    std::printf("runs                         %d of each, order turning (medians)\n", runs);
    std::printf("other windows at first frame %d (message boxes or dialogs over all program runs)\n", boxes);
    std::printf("\n%-26s %14s %11s %11s %13s\n", "", "bare + label", "vantor", "bare", "vantor+rows");
    auto row = [&](const char* title, auto field, const char* unit, const char* format) {
        std::printf("%-26s", title);
        for (const std::vector<ProbeRun>* list : {&labelRuns, &programRuns, &bareRuns, &fullRuns}) {
            std::printf(format, field(*list), unit);
        }
        std::printf("\n");
    };
    row("spawn to first frame", readyMs, "ms", " %9.1f %s");
    row("spawn to expose", exposeMs, "ms", " %9.1f %s");
    row("resident memory (VmRSS)", rssKb, "kB", " %9.0f %s");
    row("peak resident (VmHWM)", hwmKb, "kB", " %9.0f %s");

    // Where the time and memory go: each phase's end as the median over the runs.
    auto phases = [&](const char* title, const std::vector<ProbeRun>& list,
                      std::initializer_list<const char*> names) {
        std::printf("\n%s: phase ends (median ms since spawn, peak resident kB)\n", title);
        for (const char* phase : names) {
            auto at = [phase](const ProbeRun& r) {
                auto it = r.marks.find(phase);
                return it != r.marks.end() ? it->second : std::pair<double, long>{0.0, 0};
            };
            std::printf("  %-12s %9.1f ms %9.0f kB\n", phase,
                        MedianOf(list, [&at](const ProbeRun& r) { return at(r).first; }),
                        MedianOf(list, [&at](const ProbeRun& r) { return at(r).second; }));
        }
        std::printf("  %-12s %9.1f ms %9.0f kB\n", "first frame", readyMs(list), hwmKb(list));
    };
    phases("bare + label", labelRuns, {"main", "app", "show"});
    phases("vantor", programRuns, {"main", "app", "translator", "platform", "window", "start", "show"});

    const double timeRatio = readyMs(programRuns) / readyMs(labelRuns);
    const double memoryRatio = rssKb(programRuns) / rssKb(labelRuns);
    std::printf("\nstart-up time   %.2f x bare window with Chinese text   (target at most %.2f x: %s)\n",
                timeRatio, kTimeTarget, timeRatio <= kTimeTarget ? "within" : "over");
    std::printf("resident memory %.2f x bare window with Chinese text   (target at most %.2f x: %s)\n",
                memoryRatio, kMemoryTarget, memoryRatio <= kMemoryTarget ? "within" : "over");
    std::printf("for reading only: against the bare window without text %.2f x time and %.2f x memory; "
                "with %zu task lines %.2f x time and %.2f x memory\n",
                readyMs(programRuns) / readyMs(bareRuns), rssKb(programRuns) / rssKb(bareRuns), rows.size(),
                readyMs(fullRuns) / readyMs(labelRuns), rssKb(fullRuns) / rssKb(labelRuns));
    return 0;
}
