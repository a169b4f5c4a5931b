// A main window on the fake platform with its run control, and short ways to compose and arm tasks.
#pragma once

#include "support/test_support.h"

#include "core/common/datetime.h"
#include "core/tasks/task_record.h"
#include "ui/common/message_boxes.h"
#include "ui/editor/task_editor.h"
#include "ui/main_window/main_window.h"
#include "ui/main_window/task_list.h"
#include "ui/scheduler/run_control.h"
#include "ui/scheduler/warning_dialog.h"

#include <QCheckBox>
#include <QLabel>
#include <QPushButton>
#include <QTest>
#include <QTimer>

#include <algorithm>
#include <string>

namespace vantor::test {

inline EditorValues CountdownTask(int seconds, int operation, std::string tips = {}) {
    EditorValues v;
    v.timeOn = true;
    v.timeMode = ModeCountdown;
    v.countdownText = std::to_string(seconds);
    v.operation = operation;
    v.tips = std::move(tips);
    v.direction = 0;
    v.compare = 0;
    return v;
}

inline EditorValues WindowTask(DateTime start, DateTime end, int operation, std::string tips = {}) {
    EditorValues v;
    v.timeOn = true;
    v.timeMode = ModeWindow;
    v.start = start;
    v.end = end;
    v.operation = operation;
    v.tips = std::move(tips);
    v.direction = 0;
    v.compare = 0;
    return v;
}

// A saved row as the list shows it.
inline TaskRecord Row(const EditorValues& v, bool enabled) {
    TaskRecord r = ComposeRecord(v);
    r.enabled = enabled;
    if (v.timeOn && v.timeMode == ModeWindow) {
        r.startText = FormatDateTime(v.start);
        r.endText = FormatDateTime(v.end);
    }
    return r;
}

inline bool Contains(const std::vector<std::string>& calls, const std::string& call) {
    return std::find(calls.begin(), calls.end(), call) != calls.end();
}

// The fake platform that also counts the probes a tick asks, so tests see that conditions which are off
// cost nothing.
class CountingPlatform : public FakePlatform {
public:
    int inputReads = 0;
    int tableReads = 0;
    int foregroundReads = 0;
    std::optional<uint64_t> LastInputMs() override {
        ++inputReads;
        return FakePlatform::LastInputMs();
    }
    std::optional<std::vector<InterfaceRow>> ReadInterfaceTable() override {
        ++tableReads;
        return FakePlatform::ReadInterfaceTable();
    }
    std::optional<WindowSize> ForegroundWindowSize() override {
        ++foregroundReads;
        return FakePlatform::ForegroundWindowSize();
    }
};

class Harness {
public:
    Harness() : window(context) { window.show(); }

    UiFixture fx; // program folder and message boxes in test mode
    CountingPlatform counting;
    ui::AppContext context{counting, fx.context.programFolder};
    ui::MainWindow window;

    CountingPlatform& platform() { return counting; }
    ui::RunControl& run() { return *window.runControl(); }
    ui::TaskEditor& editor() { return *window.editor(); }
    ui::TaskList& list() { return *window.taskList(); }
    ui::WarningDialog* dialog() { return run().warningDialog(); }
    QString label() const { return window.stateLabel()->text(); }
    QString startCaption() const { return window.startButton()->text(); }

    // Puts a task into the editor as a loaded row would, with both check boxes of the run source set.
    void compose(const EditorValues& v, bool savedTasks = false, bool goOn = false) {
        window.savedTaskCheck()->setChecked(savedTasks);
        window.continueCheck()->setChecked(goOn);
        editor().loadTask(ComposeRecord(v), v.start, v.end);
    }

    void pressStart() { QTest::mouseClick(window.startButton(), Qt::LeftButton); }

    // One second of the fake clock and one Timer_main event.
    void tick() {
        counting.Advance(1);
        run().timerMainTimer();
    }

    // Ticks until the run ends: the scheduler stops, the warning opens, or the task is armed afresh by the
    // chain (its start picker moves). The number of ticks taken; -1 when none of that happened.
    int tickUntilStopped(int limit) {
        const DateTime armedStart = editor().values().start;
        for (int i = 1; i <= limit; ++i) {
            tick();
            if (!run().running() || warningOpen() || editor().values().start != armedStart) {
                return i;
            }
        }
        return -1;
    }

    bool warningOpen() { return dialog() != nullptr && dialog()->isOpen(); }

    // Timer_ok events until the dialog closes; the number taken.
    int countDown(int limit = 100) {
        for (int i = 1; i <= limit; ++i) {
            dialog()->timerOkTimer();
            if (!dialog()->isOpen()) {
                return i;
            }
        }
        return -1;
    }
};

} // namespace vantor::test
