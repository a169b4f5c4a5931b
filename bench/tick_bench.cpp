// CPU cost of one tick of an armed task with all three conditions on, with the real Linux probes, against
// the probes alone.
//
// The task's time window is open, but its idle time (a day) and traffic hold (a day) cannot be reached,
// so no tick ends the run, opens the warning or acts; the platform is the native one inside the dry-run
// wrapper all the same, so nothing could act even by mistake. Each tick is one second later on the clock
// the scheduler sees, so the status label changes on every tick as it does once a second in real use.
// Windows are offscreen. Without DISPLAY a private Xvfb server answers the X probes (idle time, the
// active window and the screen), with one 800x600 window marked active; --no-x leaves X out altogether.
//
//   tick_bench [--ticks N] [--rounds N] [--no-x]
#include "core/probes/fullscreen.h"
#include "core/probes/net_stats.h"
#include "core/tasks/task_record.h"
#include "platform/dryrun/dry_run_platform.h"
#include "platform/native.h"
#include "ui/common/app_context.h"
#include "ui/common/message_boxes.h"
#include "ui/editor/task_editor.h"
#include "ui/main_window/main_window.h"
#include "ui/scheduler/run_control.h"
#include "ui/scheduler/warning_dialog.h"

#include <QApplication>
#include <QCheckBox>
#include <QLabel>
#include <QTemporaryDir>
#include <QTimer>

#include <algorithm>
#include <cerrno>
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <ctime>
#include <fcntl.h>
#include <functional>
#include <memory>
#include <optional>
#include <poll.h>
#include <spawn.h>
#include <sstream>
#include <string>
#include <sys/wait.h>
#include <unistd.h>
#include <vector>
#include <xcb/xcb.h>

extern char** environ;

using namespace vantor;

namespace {

constexpr double kTargetUs = 1000.0;

// Everything from the wrapped platform, but the clock runs `step()` seconds ahead of the real one.
class SteppedClock : public Platform {
public:
    explicit SteppedClock(std::unique_ptr<Platform> inner) : inner_(std::move(inner)) {}
    void step() { ++seconds_; }

    DateTime Now() override { return inner_->Now().addSeconds(seconds_); }
    uint64_t MonotonicMs() override {
        return inner_->MonotonicMs() + static_cast<uint64_t>(seconds_) * 1000u;
    }
    DateTime LocalTimeAfter(int64_t seconds) override { return inner_->LocalTimeAfter(seconds_ + seconds); }
    std::optional<std::string> DecodeLegacy(std::string_view bytes) override {
        return inner_->DecodeLegacy(bytes);
    }
    std::optional<uint64_t> LastInputMs() override { return inner_->LastInputMs(); }
    std::optional<std::vector<InterfaceRow>> ReadInterfaceTable() override {
        return inner_->ReadInterfaceTable();
    }
    bool CanSuspend() override { return inner_->CanSuspend(); }
    bool CanHibernate() override { return inner_->CanHibernate(); }
    Availability CanPerform(SystemOperation op) override { return inner_->CanPerform(op); }
    std::vector<Inhibitor> ListInhibitors() override { return inner_->ListInhibitors(); }
    void EnableShutdownPrivilege() override { inner_->EnableShutdownPrivilege(); }
    ActionResult PowerOff() override { return inner_->PowerOff(); }
    ActionResult Reboot() override { return inner_->Reboot(); }
    ActionResult LogOff() override { return inner_->LogOff(); }
    ActionResult Lock() override { return inner_->Lock(); }
    ActionResult Suspend() override { return inner_->Suspend(); }
    ActionResult Hibernate() override { return inner_->Hibernate(); }
    std::vector<ProcessInfo> ListProcesses() override { return inner_->ListProcesses(); }
    bool IsProcessRunning(const std::string& name) override { return inner_->IsProcessRunning(name); }
    void EndProcessByName(const std::string& name) override { inner_->EndProcessByName(name); }
    bool CanKnowForegroundWindow() override { return inner_->CanKnowForegroundWindow(); }
    std::optional<WindowSize> ForegroundWindowSize() override { return inner_->ForegroundWindowSize(); }
    std::optional<bool> ForegroundFullScreen() override { return inner_->ForegroundFullScreen(); }
    ScreenSize PrimaryScreenSize() override { return inner_->PrimaryScreenSize(); }
    bool IsProgramFile(const std::string& path) override { return inner_->IsProgramFile(path); }
    bool IsProgramInUse(const std::string& path) override { return inner_->IsProgramInUse(path); }
    bool IsOrdinaryFile(const std::string& path) override { return inner_->IsOrdinaryFile(path); }
    ActionResult StartProgram(const std::string& path) override { return inner_->StartProgram(path); }
    std::string ProgramPath() override { return inner_->ProgramPath(); }
    bool IsFolderWritable(const std::string& folder) override { return inner_->IsFolderWritable(folder); }
    std::string PerUserFolder() override { return inner_->PerUserFolder(); }
    ActionResult WriteAutostart(AutostartScope scope, const std::string& programPath) override {
        return inner_->WriteAutostart(scope, programPath);
    }
    bool CanWriteAutostart(AutostartScope scope) override { return inner_->CanWriteAutostart(scope); }
    std::string ReadAutostart(AutostartScope scope) override { return inner_->ReadAutostart(scope); }
    ActionResult DeleteAutostart(AutostartScope scope) override { return inner_->DeleteAutostart(scope); }

private:
    std::unique_ptr<Platform> inner_;
    int64_t seconds_ = 0;
};

// A private Xvfb server with one window marked active on its root, as a desktop with a focused program
// would have. Stopped on destruction.
class PrivateXServer {
public:
    bool start() {
        int fds[2];
        if (pipe(fds) != 0) {
            return false;
        }
        std::string fd = std::to_string(fds[1]);
        std::vector<std::string> args{"Xvfb", "-displayfd",   fd,          "-screen",
                                      "0",    "1280x1024x24", "-nolisten", "tcp"};
        std::vector<char*> argv;
        for (std::string& a : args) {
            argv.push_back(a.data());
        }
        argv.push_back(nullptr);
        posix_spawn_file_actions_t actions;
        posix_spawn_file_actions_init(&actions);
        posix_spawn_file_actions_addclose(&actions, fds[0]);
        posix_spawn_file_actions_addopen(&actions, STDERR_FILENO, "/dev/null", O_WRONLY, 0);
        const int rc = posix_spawnp(&pid_, "Xvfb", &actions, nullptr, argv.data(), environ);
        posix_spawn_file_actions_destroy(&actions);
        close(fds[1]);
        if (rc != 0) {
            close(fds[0]);
            pid_ = 0;
            return false;
        }
        // Xvfb writes its display number once it accepts connections.
        std::string number;
        pollfd pfd{fds[0], POLLIN, 0};
        while (poll(&pfd, 1, 10'000) > 0) {
            char c = 0;
            if (read(fds[0], &c, 1) != 1 || c == '\n') {
                break;
            }
            number += c;
        }
        close(fds[0]);
        if (number.empty()) {
            return false;
        }
        display_ = ":" + number;
        setenv("DISPLAY", display_.c_str(), 1);
        return markActiveWindow();
    }

    ~PrivateXServer() {
        if (conn_ != nullptr) {
            xcb_disconnect(conn_);
        }
        if (pid_ != 0) {
            kill(pid_, SIGTERM);
            waitpid(pid_, nullptr, 0);
        }
    }

    const std::string& display() const { return display_; }

private:
    bool markActiveWindow() {
        conn_ = xcb_connect(display_.c_str(), nullptr);
        if (xcb_connection_has_error(conn_) != 0) {
            return false;
        }
        xcb_screen_t* screen = xcb_setup_roots_iterator(xcb_get_setup(conn_)).data;
        const xcb_window_t window = xcb_generate_id(conn_);
        xcb_create_window(conn_, XCB_COPY_FROM_PARENT, window, screen->root, 100, 100, 800, 600, 0,
                          XCB_WINDOW_CLASS_INPUT_OUTPUT, screen->root_visual, 0, nullptr);
        xcb_map_window(conn_, window);
        const char* name = "_NET_ACTIVE_WINDOW";
        xcb_intern_atom_reply_t* atom = xcb_intern_atom_reply(
            conn_, xcb_intern_atom(conn_, 0, static_cast<uint16_t>(std::strlen(name)), name), nullptr);
        if (atom == nullptr) {
            return false;
        }
        xcb_change_property(conn_, XCB_PROP_MODE_REPLACE, screen->root, atom->atom, XCB_ATOM_WINDOW, 32, 1,
                            &window);
        std::free(atom);
        xcb_flush(conn_);
        return true;
    }

    pid_t pid_ = 0;
    std::string display_;
    xcb_connection_t* conn_ = nullptr;
};

struct Cost {
    double cpuUs = 0;  // process CPU time per call, every thread
    double wallUs = 0; // elapsed time per call
};

double Seconds(clockid_t clock) {
    timespec ts{};
    clock_gettime(clock, &ts);
    return static_cast<double>(ts.tv_sec) + static_cast<double>(ts.tv_nsec) / 1e9;
}

Cost Measure(int calls, const std::function<void()>& work) {
    const double cpu0 = Seconds(CLOCK_PROCESS_CPUTIME_ID);
    const double wall0 = Seconds(CLOCK_MONOTONIC);
    for (int i = 0; i < calls; ++i) {
        work();
    }
    const double cpu1 = Seconds(CLOCK_PROCESS_CPUTIME_ID);
    const double wall1 = Seconds(CLOCK_MONOTONIC);
    return {(cpu1 - cpu0) * 1e6 / calls, (wall1 - wall0) * 1e6 / calls};
}

Cost MedianCost(std::vector<Cost> v) {
    auto median = [](std::vector<double> x) {
        std::sort(x.begin(), x.end());
        return x[x.size() / 2];
    };
    std::vector<double> cpu;
    std::vector<double> wall;
    for (const Cost& c : v) {
        cpu.push_back(c.cpuUs);
        wall.push_back(c.wallUs);
    }
    return {median(cpu), median(wall)};
}

// What a tick asks of the platform when idle, traffic and the full-screen pause are all on, and no more.
void RawProbes(Platform& p, volatile double& sink) {
    const std::optional<uint64_t> input = p.LastInputMs();
    double total = input.value_or(0);
    if (const auto table = p.ReadInterfaceTable()) {
        for (const InterfaceRow& row : *table) {
            total += static_cast<double>(row.inOctets) + static_cast<double>(row.outOctets);
        }
    }
    if (const auto window = p.ForegroundWindowSize()) {
        const ScreenSize screen = p.PrimaryScreenSize();
        total += CoversScreen(window->width, window->height, screen.width, screen.height) ? 1 : 0;
    }
    sink = sink + total;
}

// Time window open since a minute ago for two days; idle for a day; download at most 10 KB/s for a day;
// shut down, with the full-screen pause on so the foreground window is probed too.
EditorValues AllConditionsTask(DateTime now) {
    EditorValues v;
    v.timeOn = true;
    v.timeMode = ModeWindow;
    v.start = now.addSeconds(-60);
    v.end = now.addSeconds(2 * 86400);
    v.idleOn = true;
    v.idleDays = "1";
    v.idleHours = "0";
    v.idleMinutes = "0";
    v.idleSeconds = "0";
    v.netOn = true;
    v.direction = 0;
    v.compare = 0;
    v.netRate = "10";
    v.netHoldSeconds = "86400";
    v.operation = OpShutdown;
    v.fullScreenPause = true;
    return v;
}

// Anything the run must not have done: a message box, the warning, a system action, the end of the run.
std::string Mishap(ui::MainWindow& window, const std::ostringstream& actions) {
    if (!ui::MessageBoxes::shown().empty()) {
        return "a message box: " + ui::MessageBoxes::shown().front().text.toStdString();
    }
    if (ui::WarningDialog* d = window.runControl()->warningDialog(); d != nullptr && d->isOpen()) {
        return "the warning dialog opened";
    }
    if (!actions.str().empty()) {
        return "a system action: " + actions.str();
    }
    if (!window.stateLabel()->text().contains(QStringLiteral("闲置"))) {
        return "the run ended: " + window.stateLabel()->text().toStdString();
    }
    return {};
}

} // namespace

int main(int argc, char* argv[]) {
    int ticks = 2000;
    int rounds = 3;
    bool useX = true;
    for (int i = 1; i < argc; ++i) {
        if (std::strcmp(argv[i], "--ticks") == 0 && i + 1 < argc) {
            ticks = std::max(1, std::atoi(argv[++i]));
        } else if (std::strcmp(argv[i], "--rounds") == 0 && i + 1 < argc) {
            rounds = std::max(1, std::atoi(argv[++i]));
        } else if (std::strcmp(argv[i], "--no-x") == 0) {
            useX = false;
        }
    }

    std::string xSource = "none (--no-x)";
    PrivateXServer xserver;
    if (!useX) {
        unsetenv("DISPLAY");
    } else if (const char* d = std::getenv("DISPLAY"); d != nullptr && *d != '\0') {
        xSource = std::string(d) + " (from DISPLAY)";
    } else if (xserver.start()) {
        xSource = xserver.display() + " (private Xvfb, one active 800x600 window)";
    } else {
        unsetenv("DISPLAY");
        xSource = "none (Xvfb could not be started)";
    }
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) {
        qputenv("QT_QPA_PLATFORM", "offscreen");
    }

    QApplication app(argc, argv);
    ui::MessageBoxes::setTestMode(true);
    QTemporaryDir folder;
    // On X without a session bus, the first call to it would have libdbus start one that outlives the
    // benchmark; an address that cannot be reached means no bus instead.
    const bool noBus = qEnvironmentVariableIsEmpty("DBUS_SESSION_BUS_ADDRESS");
    if (noBus) {
        qputenv("DBUS_SESSION_BUS_ADDRESS", ("unix:path=" + folder.path() + "/no-session-bus").toLocal8Bit());
    }
    std::ostringstream actions;
    SteppedClock clock(CreateDryRunPlatform(CreateNativePlatform(), actions));
    ui::AppContext context{clock, folder.path() + QStringLiteral("/")};
    ui::MainWindow window(context);
    window.start();
    window.show();
    QCoreApplication::processEvents();

    const EditorValues task = AllConditionsTask(clock.Now());
    window.savedTaskCheck()->setChecked(false);
    window.continueCheck()->setChecked(false);
    window.editor()->loadTask(ComposeRecord(task), task.start, task.end);
    ui::RunControl& run = *window.runControl();
    run.cmdStartClick();
    if (!run.running()) {
        std::fprintf(stderr, "the task was not armed%s%s\n", ui::MessageBoxes::shown().empty() ? "" : ": ",
                     ui::MessageBoxes::shown().empty()
                         ? ""
                         : ui::MessageBoxes::shown().front().text.toUtf8().constData());
        return 1;
    }
    // The ticks are driven from here; the timer must not add its own.
    run.mainTimer()->stop();

    auto tick = [&] {
        clock.step();
        run.timerMainTimer();
    };
    auto tickAndPaint = [&] {
        tick();
        QCoreApplication::processEvents();
    };
    std::ostringstream probeActions;
    std::unique_ptr<Platform> probes = CreateDryRunPlatform(CreateNativePlatform(), probeActions);
    volatile double sink = 0;

    // Warm up: connections to X and the buses open, interface details are read, fonts are loaded.
    Measure(50, tickAndPaint);
    Measure(50, [&] { RawProbes(*probes, sink); });

    std::vector<Cost> probeCosts;
    std::vector<Cost> tickCosts;
    std::vector<Cost> paintedCosts;
    for (int r = 0; r < rounds; ++r) {
        probeCosts.push_back(Measure(ticks, [&] { RawProbes(*probes, sink); }));
        tickCosts.push_back(Measure(ticks, tick));
        paintedCosts.push_back(Measure(ticks, tickAndPaint));
        if (const std::string what = Mishap(window, actions); !what.empty()) {
            std::fprintf(stderr, "the run did not stay armed and quiet: %s\n", what.c_str());
            return 1;
        }
    }

    // The interface details (index, speed, type, status, address) are read again every 10 s of real time,
    // which a fast loop never reaches: the extra cost of a read that refreshes them is measured apart.
    std::vector<Cost> freshCosts;
    for (int i = 0; i < 50; ++i) {
        std::unique_ptr<Platform> fresh = CreateNativePlatform();
        freshCosts.push_back(Measure(1, [&] { sink = sink + (fresh->ReadInterfaceTable() ? 1 : 0); }));
    }
    std::vector<Cost> warmCosts;
    for (int i = 0; i < 5; ++i) {
        warmCosts.push_back(Measure(200, [&] { sink = sink + (probes->ReadInterfaceTable() ? 1 : 0); }));
    }
    const double refreshUs = std::max(0.0, MedianCost(freshCosts).cpuUs - MedianCost(warmCosts).cpuUs);
    const double refreshPerTickUs = refreshUs / 10.0;

    const Cost probe = MedianCost(probeCosts);
    const Cost bare = MedianCost(tickCosts);
    const Cost painted = MedianCost(paintedCosts);
    const std::optional<uint64_t> input = probes->LastInputMs();
    const auto table = probes->ReadInterfaceTable();
    const auto foreground = probes->ForegroundWindowSize();
    const ScreenSize screen = probes->PrimaryScreenSize();

    std::printf("X display                    %s\n", xSource.c_str());
    std::printf("session bus                  %s\n", noBus ? "none" : "from DBUS_SESSION_BUS_ADDRESS");
    std::printf("last input                   %s\n", input ? "read" : "no source answers");
    std::printf("interfaces                   %zu\n", table ? table->size() : size_t{0});
    if (foreground) {
        std::printf("foreground window            %dx%d on a %.0fx%.0f screen\n", foreground->width,
                    foreground->height, screen.width, screen.height);
    } else {
        std::printf("foreground window            none known\n");
    }
    std::printf("ticks                        %d per round, %d rounds (median of the round means)\n", ticks,
                rounds);
    std::printf(
        "status label after the run   %s\n",
        window.stateLabel()->text().replace(QLatin1Char('\n'), QStringLiteral(" | ")).toUtf8().constData());
    std::printf("\n%-34s %10s %10s %9s\n", "per call", "CPU us", "wall us", "x probes");
    std::printf("%-34s %10.1f %10.1f %9.2f\n", "raw probes (baseline)", probe.cpuUs, probe.wallUs, 1.0);
    std::printf("%-34s %10.1f %10.1f %9.2f\n", "tick (timerMainTimer)", bare.cpuUs, bare.wallUs,
                bare.cpuUs / probe.cpuUs);
    std::printf("%-34s %10.1f %10.1f %9.2f\n", "tick + its repaint (events)", painted.cpuUs, painted.wallUs,
                painted.cpuUs / probe.cpuUs);
    std::printf("%-34s %10.1f\n", "interface details refresh, 1 in 10", refreshPerTickUs);
    const double total = painted.cpuUs + refreshPerTickUs;
    std::printf("\ntick's own overhead over the probes  %.1f us CPU (%.1f us with its repaint)\n",
                bare.cpuUs - probe.cpuUs, painted.cpuUs - probe.cpuUs);
    std::printf("one-second tick, all conditions      %.1f us CPU on average (target at most %.0f us: %s)\n",
                total, kTargetUs, total <= kTargetUs ? "within" : "over");
    std::printf("(the X server's own CPU time for the X probes is not counted)\n");
    return 0;
}
