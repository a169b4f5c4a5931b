// What the two start-up probes share: phase stamps, the watch for the first painted frame of the main
// window, and the one report line the driver reads.
#pragma once

#include <QApplication>
#include <QEvent>
#include <QMessageBox>
#include <QTimer>
#include <QWidget>
#include <QWindow>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <ctime>
#include <string>
#include <sys/resource.h>
#include <unistd.h>
#include <utility>
#include <vector>

namespace vantor::bench {

inline long long MonotonicNs() {
    timespec ts{};
    clock_gettime(CLOCK_MONOTONIC, &ts);
    return static_cast<long long>(ts.tv_sec) * 1'000'000'000LL + ts.tv_nsec;
}

// The moment the driver started the process (CLOCK_MONOTONIC, passed in VANTOR_PROBE_T0_NS just before the
// spawn). Run by hand, the process start time from /proc/self/stat stands in, to the kernel's 10 ms tick.
inline long long LaunchNs() {
    if (const char* t0 = std::getenv("VANTOR_PROBE_T0_NS"); t0 != nullptr && *t0 != '\0') {
        return std::atoll(t0);
    }
    long long startTicks = 0;
    if (FILE* f = std::fopen("/proc/self/stat", "r")) {
        char buf[1024] = {};
        const size_t n = std::fread(buf, 1, sizeof buf - 1, f);
        std::fclose(f);
        // Field 22 (starttime) counts from after the command name, which may hold spaces: skip past ')'.
        if (const char* p = std::strrchr(buf, ')'); p != nullptr && n > 0) {
            int field = 2;
            for (++p; *p != '\0' && field < 22; ++p) {
                if (*p == ' ') {
                    ++field;
                }
            }
            startTicks = std::atoll(p);
        }
    }
    // starttime is in clock ticks since boot; CLOCK_BOOTTIME counts from the same origin.
    timespec boot{};
    clock_gettime(CLOCK_BOOTTIME, &boot);
    const long long bootNs = static_cast<long long>(boot.tv_sec) * 1'000'000'000LL + boot.tv_nsec;
    const long long sinceStartNs = bootNs - startTicks * (1'000'000'000LL / sysconf(_SC_CLK_TCK));
    return MonotonicNs() - sinceStartNs;
}

// A field of /proc/self/status in kB (VmRSS, VmHWM); -1 when missing.
inline long StatusKb(const char* field) {
    FILE* f = std::fopen("/proc/self/status", "r");
    if (f == nullptr) {
        return -1;
    }
    char line[256];
    long kb = -1;
    const size_t len = std::strlen(field);
    while (std::fgets(line, sizeof line, f) != nullptr) {
        if (std::strncmp(line, field, len) == 0 && line[len] == ':') {
            kb = std::atol(line + len + 1);
            break;
        }
    }
    std::fclose(f);
    return kb;
}

// Watches the whole application for the main window's first expose and first paint. The report is written
// on the event loop's next turn after that paint, when the first frame has been flushed to the window
// system; then the program ends. A watchdog ends it if no frame comes (a message box waiting for an answer
// is the usual reason), naming what is on screen instead.
class FirstFrameWatch : public QObject {
public:
    explicit FirstFrameWatch(long long launchNs) : launchNs_(launchNs) {
        qApp->installEventFilter(this);
        watchdog_.setSingleShot(true);
        connect(&watchdog_, &QTimer::timeout, this, [this] { giveUp(); });
        watchdog_.start(kWatchdogMs);
    }

    // The widget whose window counts; set before it is shown.
    void setWindow(QWidget* window) { window_ = window; }

    // A named moment of the start-up with the peak resident memory so far, kept for the report.
    void mark(const char* phase, long long ns = MonotonicNs()) {
        rusage usage{};
        getrusage(RUSAGE_SELF, &usage);
        marks_.push_back({phase, ns, usage.ru_maxrss});
    }

protected:
    bool eventFilter(QObject* watched, QEvent* event) override {
        if (window_ == nullptr || reported_) {
            return false;
        }
        if (event->type() == QEvent::Expose && exposeNs_ == 0 && watched == window_->windowHandle() &&
            window_->windowHandle()->isExposed()) {
            exposeNs_ = MonotonicNs();
        } else if (event->type() == QEvent::Paint && paintNs_ == 0 && watched == window_) {
            paintNs_ = MonotonicNs();
            QTimer::singleShot(0, this, [this] { report(); });
        }
        return false;
    }

private:
    static constexpr int kWatchdogMs = 60'000;

    double ms(long long ns) const { return static_cast<double>(ns - launchNs_) / 1e6; }

    // Visible top-level windows other than the main window: with no settings file there must be none.
    std::vector<QWidget*> others() const {
        std::vector<QWidget*> list;
        for (QWidget* w : QApplication::topLevelWidgets()) {
            if (w != window_ && w->isVisible()) {
                list.push_back(w);
            }
        }
        return list;
    }

    void report() {
        reported_ = true;
        const long long readyNs = MonotonicNs();
        std::printf("probe ready_ms=%.3f expose_ms=%.3f paint_ms=%.3f rss_kb=%ld hwm_kb=%ld others=%zu "
                    "modal=%d marks=",
                    ms(readyNs), exposeNs_ != 0 ? ms(exposeNs_) : -1.0, ms(paintNs_), StatusKb("VmRSS"),
                    StatusKb("VmHWM"), others().size(), QApplication::activeModalWidget() != nullptr ? 1 : 0);
        for (size_t i = 0; i < marks_.size(); ++i) {
            std::printf("%s%s:%.3f:%ld", i != 0 ? "," : "", marks_[i].phase, ms(marks_[i].ns),
                        marks_[i].peakKb);
        }
        std::printf("\n");
        std::fflush(stdout);
        QCoreApplication::exit(0);
    }

    [[noreturn]] void giveUp() {
        std::printf("probe timeout after %d ms; windows on screen:", kWatchdogMs);
        for (QWidget* w : others()) {
            const auto* box = qobject_cast<QMessageBox*>(w);
            std::printf(" [%s%s%s]", w->metaObject()->className(), box != nullptr ? ": " : "",
                        box != nullptr ? box->text().toUtf8().constData() : "");
        }
        std::printf("\n");
        std::fflush(stdout);
        std::_Exit(3); // a modal loop may be running: leave without unwinding it
    }

    long long launchNs_;
    QWidget* window_ = nullptr;
    QTimer watchdog_;
    long long exposeNs_ = 0;
    long long paintNs_ = 0;
    bool reported_ = false;
    struct Mark {
        const char* phase;
        long long ns;
        long peakKb;
    };
    std::vector<Mark> marks_;
};

} // namespace vantor::bench
