// A task acts once per idle period and once per window occurrence, and only when it did something: not
// on every tick of one idle stretch, not again after the program restarts inside the window, not twice
// because the list's selection moved; but again when the user presses 开始.
#include "scheduler_harness.h"

#include "core/scheduler/acted_windows.h"

#include <QFile>

using namespace vantor;
using namespace vantor::test;

namespace {

// The fake's clock starts on Tuesday 2026-12-08 10:00:00.
DateTime At(int day, int hour, int minute = 0) {
    return DateTime::fromParts(2026, 12, day, hour, minute, 0);
}

constexpr std::array<bool, 7> kTuesdayAndThursday{false, true, false, true, false, false, false};

EditorValues WeeklyTask(DateTime start, DateTime end, int operation, std::string tips = {}) {
    EditorValues v = WindowTask(start, end, operation, std::move(tips));
    v.timeMode = ModeWeekly;
    v.week = kTuesdayAndThursday;
    return v;
}

EditorValues IdleTask(int operation, std::string tips) {
    EditorValues v;
    v.idleOn = true;
    v.idleDays = "0";
    v.idleHours = "0";
    v.idleMinutes = "0";
    v.idleSeconds = "5";
    v.operation = operation;
    v.tips = std::move(tips);
    v.direction = 0;
    v.compare = 0;
    return v;
}

void Seconds(Harness& h, int n) {
    for (int i = 0; i < n; ++i) {
        if (h.run().running()) {
            h.tick();
        } else {
            h.platform().Advance(1);
        }
    }
}

int Count(const std::vector<std::string>& calls, const std::string& call) {
    return static_cast<int>(std::count(calls.begin(), calls.end(), call));
}

void RunSaved(Harness& h, const std::vector<EditorValues>& rows) {
    for (const EditorValues& v : rows) {
        h.list().appendRow(Row(v, true));
    }
    h.window.savedTaskCheck()->setChecked(true);
    h.window.continueCheck()->setChecked(false);
    h.run().loadtask(); // as Work=1 does at start-up
}

} // namespace

class ActingOnceTest : public QObject {
    Q_OBJECT
private slots:
    void idleConditionHoldsOncePerIdlePeriod_data();
    void idleConditionHoldsOncePerIdlePeriod();
    void windowIsUsedOnlyWhenTheTaskDidSomething_data();
    void windowIsUsedOnlyWhenTheTaskDidSomething();
    void actedWindowsOutliveTheProgram_data();
    void actedWindowsOutliveTheProgram();
    void userStartForgetsAChainKeeps_data();
    void userStartForgetsAChainKeeps();
    void weeklyWindowSleptThroughSelectsTheNextTask();
    void identityIsTakenWhenArmed();
};

void ActingOnceTest::idleConditionHoldsOncePerIdlePeriod_data() {
    QTest::addColumn<QString>("with"); // the condition beside the idle one
    QTest::newRow("idle only, saved tasks") << "none";
    QTest::newRow("idle and a countdown, 持续") << "countdown";
    QTest::newRow("idle and traffic, saved tasks") << "traffic";
    QTest::newRow("idle in an open weekly window, saved tasks") << "weekly";
}

void ActingOnceTest::idleConditionHoldsOncePerIdlePeriod() {
    QFETCH(QString, with);
    Harness h;
    const std::string path = "/srv/open-report.sh";
    h.platform().SetOrdinaryFiles({path});
    h.platform().SetLastInputMs(0);
    EditorValues v = IdleTask(OpRun, path);
    if (with == "countdown") {
        v.timeOn = true;
        v.timeMode = ModeCountdown;
        v.countdownText = "3";
        h.compose(v, false, true);
        h.pressStart();
    } else {
        if (with == "traffic") {
            v.netOn = true;
            v.netRate = "100"; // at most 100 KB/s, held 2 s: a quiet line meets it at once
            v.netHoldSeconds = "2";
            h.platform().SetInterfaceTable(std::vector<InterfaceRow>{});
        } else if (with == "weekly") {
            const EditorValues w = WeeklyTask(At(8, 9), At(8, 12), OpRun, path);
            v.timeOn = true;
            v.timeMode = ModeWeekly;
            v.week = w.week;
            v.start = w.start;
            v.end = w.end;
        }
        RunSaved(h, {v});
    }
    Seconds(h, 40); // nobody touches the computer
    QCOMPARE(Count(h.platform().calls, "start-program " + path), 1);

    // New input starts a new idle period; the full idle time again before the task acts again.
    h.platform().SetLastInputMs(h.platform().MonotonicMs());
    Seconds(h, 4);
    QCOMPARE(Count(h.platform().calls, "start-program " + path), 1);
    Seconds(h, 20);
    // A weekly task has had its window.
    QCOMPARE(Count(h.platform().calls, "start-program " + path), with == "weekly" ? 1 : 2);
}

void ActingOnceTest::windowIsUsedOnlyWhenTheTaskDidSomething_data() {
    QTest::addColumn<int>("operation");
    QTest::newRow("end a process that starts 10 s into the window") << int(OpEndProcess);
    QTest::newRow("start a program that runs already until 10 s into the window") << int(OpRun);
}

void ActingOnceTest::windowIsUsedOnlyWhenTheTaskDidSomething() {
    QFETCH(int, operation);
    Harness h;
    const std::string target = operation == OpRun ? "/opt/game.exe" : "game.exe";
    h.platform().SetOrdinaryFiles({target});
    if (operation == OpRun) {
        h.platform().SetLockedFiles({target}); // runs, and 多开 is off
    }
    RunSaved(h, {WindowTask(At(8, 10), At(8, 11), operation, target)});
    Seconds(h, 10);
    QVERIFY(!h.warningOpen());
    QVERIFY(h.platform().calls.empty());
    QVERIFY(h.run().running()); // still checking through the window
    QVERIFY(!ui::MessageBoxes::last());

    h.platform().SetRunningProcesses({target});
    h.platform().SetLockedFiles({});
    Seconds(h, 1);
    if (operation == OpEndProcess) {
        QVERIFY(h.warningOpen());
        h.dialog()->cmdOkClick();
        QVERIFY(Contains(h.platform().calls, "end-process game.exe"));
    } else {
        QVERIFY(Contains(h.platform().calls, "start-program /opt/game.exe"));
    }
    // Once done, the window is used: the chain finds nothing more for it.
    Seconds(h, 5);
    QVERIFY(!h.run().running());
    QCOMPARE(ui::MessageBoxes::last()->text, QStringLiteral("没有符合条件的任务！"));
}

void ActingOnceTest::actedWindowsOutliveTheProgram_data() {
    QTest::addColumn<QByteArray>("afterwards"); // what happens to the memory's file before the new start
    QTest::addColumn<bool>("actsAgain");
    QTest::newRow("file kept: no second restart") << QByteArray("keep") << false;
    QTest::newRow("file lost: forgets") << QByteArray("remove") << true;
    QTest::newRow("file damaged: forgets") << QByteArray("\x01garbage\n\xff\xfe") << true;
}

void ActingOnceTest::actedWindowsOutliveTheProgram() {
    QFETCH(QByteArray, afterwards);
    QFETCH(bool, actsAgain);
    Harness h;
    const EditorValues restart = WeeklyTask(At(8, 9, 30), At(8, 11), OpRestart);
    RunSaved(h, {restart});
    h.tick();
    QVERIFY(h.warningOpen());
    h.dialog()->cmdOkClick();
    QVERIFY(Contains(h.platform().calls, "reboot"));
    const QString file = QString::fromUtf8(kActedFileName);
    QVERIFY(QFile::exists(h.fx.path(file)));
    if (afterwards == "remove") {
        QVERIFY(QFile::remove(h.fx.path(file)));
    } else if (afterwards != "keep") {
        h.fx.writeFile(file, afterwards);
    }

    // The computer restarted; the program starts again inside the same window.
    h.platform().Advance(60);
    ui::MainWindow again(h.context);
    again.taskList()->appendRow(Row(restart, true));
    again.savedTaskCheck()->setChecked(true);
    again.runControl()->loadtask();
    QVERIFY(again.runControl()->running());
    h.platform().calls.clear();
    h.platform().Advance(1);
    again.runControl()->timerMainTimer();
    const bool warned =
        again.runControl()->warningDialog() != nullptr && again.runControl()->warningDialog()->isOpen();
    QCOMPARE(warned, actsAgain);
    if (!actsAgain) {
        QCOMPARE(again.editor()->values().start, At(10, 9, 30)); // Thursday's window
    }
}

void ActingOnceTest::userStartForgetsAChainKeeps_data() {
    QTest::addColumn<bool>("savedTasks");
    QTest::addColumn<bool>("weekly");
    QTest::addColumn<bool>("userStart"); // else "继续" in the warning
    QTest::addColumn<bool>("warnsAgain");
    QTest::newRow("saved tasks, cancelled, 开始") << true << true << true << true;
    QTest::newRow("editor, cancelled, 开始") << false << true << true << true;
    QTest::newRow("saved tasks, 继续: next window") << true << true << false << false;
    QTest::newRow("editor, time window, 继续 without 持续: nothing, no message")
        << false << false << false << false;
}

void ActingOnceTest::userStartForgetsAChainKeeps() {
    QFETCH(bool, savedTasks);
    QFETCH(bool, weekly);
    QFETCH(bool, userStart);
    QFETCH(bool, warnsAgain);
    Harness h;
    const EditorValues v =
        weekly ? WeeklyTask(At(8, 9), At(8, 23), OpShutdown) : WindowTask(At(8, 9), At(8, 23), OpShutdown);
    if (savedTasks) {
        RunSaved(h, {v});
    } else {
        h.compose(v);
        h.pressStart();
    }
    h.tick();
    QVERIFY(h.warningOpen());
    ui::MessageBoxes::reset();
    if (userStart) {
        h.dialog()->cmdCancelClick();
        QVERIFY(!h.run().running());
        h.platform().Advance(15 * 60);
        h.pressStart();
    } else {
        h.dialog()->cmdNextClick();
    }
    Seconds(h, 2);
    QCOMPARE(h.warningOpen(), warnsAgain);
    QVERIFY(!Contains(h.platform().calls, "power-off"));
    QVERIFY(!ui::MessageBoxes::last());
    if (!warnsAgain) {
        QCOMPARE(h.run().running(), weekly);
    }
}

void ActingOnceTest::weeklyWindowSleptThroughSelectsTheNextTask() {
    Harness h;
    // A: Tuesdays and Thursdays 10:30-11:00; B: tomorrow 09:00-10:00. A comes first.
    RunSaved(h, {WeeklyTask(At(8, 10, 30), At(8, 11), OpShutdown),
                 WindowTask(At(9, 9), At(9, 10), OpRemind, "备份")});
    QCOMPARE(h.list().selectedRow(), 0);
    h.tick();
    h.platform().Advance(22 * 3600); // the laptop sleeps until Wednesday 08:00
    h.tick();
    QCOMPARE(h.list().selectedRow(), 1);
    QVERIFY(h.run().running());
    QCOMPARE(h.editor().values().start, At(9, 9));
    QVERIFY(!Contains(h.platform().calls, "power-off"));
}

void ActingOnceTest::identityIsTakenWhenArmed() {
    Harness h;
    const std::string path = "/srv/sync.sh";
    h.platform().SetOrdinaryFiles({path});
    RunSaved(h, {WindowTask(At(8, 10), At(8, 11), OpRun, path)});
    h.list().appendRow(Row(CountdownTask(600, OpLock), false));
    h.list().selectRow(1); // the list stays usable while a task runs
    Seconds(h, 10);
    QCOMPARE(Count(h.platform().calls, "start-program " + path), 1);
    QCOMPARE(ui::MessageBoxes::last()->text, QStringLiteral("没有符合条件的任务！"));
}

QTEST_MAIN(ActingOnceTest)
#include "acting_once_test.moc"
