// A task's way from the start button through the ticks to its operation and the next run.
#include "scheduler_harness.h"

#include "core/scheduler/meters.h"

#include <QComboBox>
#include <QLineEdit>
#include <QSignalSpy>

using namespace vantor;
using namespace vantor::test;

namespace {

template <class T> T* Control(QWidget& root, const char* name) {
    T* c = root.findChild<T*>(QString::fromLatin1(name));
    if (c == nullptr) {
        qFatal("control %s missing", name);
    }
    return c;
}

// The time line of the status label; with the time condition on it always ends in a line feed.
QString Remaining(const char* duration) {
    return QStringLiteral("剩余:") + QString::fromUtf8(duration) + QLatin1Char('\n');
}

} // namespace

class RunFlowTest : public QObject {
    Q_OBJECT
private slots:
    void countdownShutdownRunsFromEntryToPowerOff();
    void timersDriveTheTickAndTheCountdown();
    void editorModeChainsAfterTheOperation_data();
    void editorModeChainsAfterTheOperation();
    void savedModeCancelledReminderMovesToTheNextRow();
    void runProgramFollowsTheExeRule_data();
    void runProgramFollowsTheExeRule();
    void endProcessNotRunningOpensNoWarning();
    void stopQuestion_data();
    void stopQuestion();
    void fullScreenPauseHoldsTheCountdown_data();
    void fullScreenPauseHoldsTheCountdown();
    void fullScreenPauseRestartsTheIdleTime();
    void fullScreenPauseLeavesAWindowsStartAlone();
    void failedProgramStartIsReported();
    void overWindowStopsTheRun();
    void simulatedDayFiresOnItsSecond();
    void trafficIsSampledOnlyWhenItsConditionIsOn();
};

void RunFlowTest::countdownShutdownRunsFromEntryToPowerOff() {
    Harness h;
    QWidget& w = h.window;
    const DateTime t0 = h.platform().Now();
    h.window.savedTaskCheck()->setChecked(false);
    h.window.continueCheck()->setChecked(false);
    Control<QCheckBox>(w, "Chk_time")->setChecked(true);
    Control<QComboBox>(w, "Comb_time")->setCurrentIndex(ModeCountdown);
    Control<QLineEdit>(w, "txt_ttime")->setText(QStringLiteral("600"));
    Control<QComboBox>(w, "Comb_oper")->setCurrentIndex(OpShutdown);

    h.pressStart();
    QVERIFY(h.run().running());
    QCOMPARE(h.startCaption(), QStringLiteral("停止"));
    QCOMPARE(h.editor().values().start, t0.addSeconds(601));
    QVERIFY(!h.window.savedTaskCheck()->isEnabled());

    h.tick();
    QCOMPARE(h.label(), Remaining("10分0秒"));
    for (int i = 2; i <= 600; ++i) {
        h.tick();
    }
    QCOMPARE(h.label(), Remaining("1秒"));
    QVERIFY(h.run().running());
    QVERIFY(!h.warningOpen());

    h.tick(); // second 601: the countdown ends
    QVERIFY(!h.run().running());
    QVERIFY(h.warningOpen());
    QCOMPARE(h.startCaption(), QStringLiteral("开始"));
    QVERIFY(!h.window.isVisible());
    ui::WarningDialog* d = h.dialog();
    QCOMPARE(d->objectName(), QStringLiteral("Fr_tips"));
    QCOMPARE(d->windowTitle(), QStringLiteral("Vantor温馨提示"));
    QVERIFY(d->windowFlags().testFlag(Qt::WindowStaysOnTopHint));
    QCOMPARE(d->okButton()->text(), QStringLiteral("关机"));
    QVERIFY(d->textLabel()->text().startsWith(QStringLiteral("1、系统将在60秒后关机，请注意保存档案。")));

    for (int i = 1; i <= 59; ++i) {
        d->timerOkTimer();
    }
    QVERIFY(!Contains(h.platform().calls, "power-off"));
    QCOMPARE(d->countdownLabel()->text(), QStringLiteral("倒计时(1)"));
    d->timerOkTimer(); // the sixtieth step acts as OK
    QVERIFY(!h.warningOpen());
    const std::vector<std::string> expected{"shutdown-privilege", "power-off"};
    QCOMPARE(h.platform().calls, expected);
    QVERIFY(h.window.isVisible());
    QVERIFY(!h.run().running()); // neither saved tasks nor "持续": the scheduler stays idle
}

void RunFlowTest::timersDriveTheTickAndTheCountdown() {
    Harness h;
    h.compose(CountdownTask(2, OpLock));
    h.pressStart();
    QVERIFY(h.run().mainTimer()->isActive());
    h.platform().Advance(3); // the countdown is due; the timer's own event must notice it
    h.run().mainTimer()->setInterval(1);
    QTRY_VERIFY_WITH_TIMEOUT(h.warningOpen(), 5000);
    QVERIFY(!h.run().mainTimer()->isActive());
    QVERIFY(h.dialog()->okTimer()->isActive());
    h.dialog()->okTimer()->setInterval(1);
    QTRY_VERIFY_WITH_TIMEOUT(!h.warningOpen(), 5000);
    QVERIFY(Contains(h.platform().calls, "lock"));
}

void RunFlowTest::editorModeChainsAfterTheOperation_data() {
    QTest::addColumn<int>("operation");
    QTest::addColumn<bool>("goOn");
    QTest::addColumn<bool>("runningAfter");
    QTest::newRow("reminder acknowledged, 持续 on: same task again") << int(OpRemind) << true << true;
    QTest::newRow("reminder acknowledged, 持续 off: idle") << int(OpRemind) << false << false;
    QTest::newRow("lock, 持续 on: same task again") << int(OpLock) << true << true;
    QTest::newRow("program started, 持续 on: same task again") << int(OpRun) << true << true;
    QTest::newRow("program started, 持续 off: idle") << int(OpRun) << false << false;
}

void RunFlowTest::editorModeChainsAfterTheOperation() {
    QFETCH(int, operation);
    QFETCH(bool, goOn);
    QFETCH(bool, runningAfter);
    Harness h;
    h.platform().SetOrdinaryFiles({"/srv/report.txt"});
    h.compose(CountdownTask(3, operation, operation == OpRun ? "/srv/report.txt" : "喝水"), false, goOn);
    h.pressStart();
    QCOMPARE(h.tickUntilStopped(10), 4);
    if (operation != OpRun) {
        QVERIFY(h.warningOpen());
        h.dialog()->cmdOkClick();
        QVERIFY(!h.warningOpen());
    } else {
        QVERIFY(Contains(h.platform().calls, "start-program /srv/report.txt"));
    }
    QCOMPARE(h.run().running(), runningAfter);
    if (runningAfter) {
        QCOMPARE(h.editor().values().start, h.platform().Now().addSeconds(4)); // a fresh countdown
        QCOMPARE(h.startCaption(), QStringLiteral("停止"));
    } else {
        QCOMPARE(h.startCaption(), QStringLiteral("开始"));
    }
}

void RunFlowTest::savedModeCancelledReminderMovesToTheNextRow() {
    Harness h;
    h.platform().SetOrdinaryFiles({"/srv/a.txt"});
    h.list().appendRow(Row(CountdownTask(2, OpRemind, "喝水"), true));
    h.list().appendRow(Row(CountdownTask(2, OpRun, "/srv/a.txt"), true));
    h.window.savedTaskCheck()->setChecked(true);

    h.pressStart();
    QVERIFY(h.run().running());
    QCOMPARE(h.list().selectedRow(), 0); // equal starts: the upper row first
    const TaskRecord first = h.list().row(0);
    QCOMPARE(h.window.stateLabel()->toolTip(),
             QString::fromStdString(first.conditionText + "(" + first.operationText + ")"));
    QCOMPARE(h.list().toolTip(), h.window.stateLabel()->toolTip());

    QCOMPARE(h.tickUntilStopped(10), 3);
    QVERIFY(h.warningOpen());
    QCOMPARE(h.dialog()->textLabel()->text(), QStringLiteral("喝水"));
    h.dialog()->cancelButton()->click();
    QVERIFY(!h.list().rowChecked(0)); // the cancelled reminder leaves the selection
    QVERIFY(h.run().running());
    QCOMPARE(h.list().selectedRow(), 1);

    QCOMPARE(h.tickUntilStopped(10), 3);
    QVERIFY(Contains(h.platform().calls, "start-program /srv/a.txt"));
    QVERIFY(h.run().running()); // chained by loadtask: the only enabled row again
    QCOMPARE(h.list().selectedRow(), 1);
}

void RunFlowTest::runProgramFollowsTheExeRule_data() {
    QTest::addColumn<QString>("path");
    QTest::addColumn<bool>("exists");
    QTest::addColumn<bool>("inUse");
    QTest::addColumn<bool>("multiple");
    QTest::addColumn<bool>("started");
    QTest::newRow("exe free") << "/opt/t/tool.exe" << true << false << false << true;
    QTest::newRow("exe already running") << "/opt/t/tool.exe" << true << true << false << false;
    QTest::newRow("exe running, 多开 on") << "/opt/t/tool.exe" << true << true << true << true;
    QTest::newRow("exe missing, 多开 on: handed over anyway")
        << "/opt/t/tool.exe" << false << false << true << true;
    QTest::newRow("EXE is another extension: started while running")
        << "/opt/t/TOOL.EXE" << true << true << false << true;
    QTest::newRow("document missing") << "/opt/t/notes.txt" << false << false << false << false;
    QTest::newRow("no extension, existing") << "/opt/t/script" << true << false << false << true;
}

void RunFlowTest::runProgramFollowsTheExeRule() {
    QFETCH(QString, path);
    QFETCH(bool, exists);
    QFETCH(bool, inUse);
    QFETCH(bool, multiple);
    QFETCH(bool, started);
    Harness h;
    const std::string p = path.toStdString();
    if (exists) {
        h.platform().SetOrdinaryFiles({p});
    }
    if (inUse) {
        h.platform().SetLockedFiles({p});
    }
    EditorValues v = CountdownTask(1, OpRun, p);
    v.allowMultiple = multiple;
    h.compose(v, false, true);
    h.pressStart();
    QCOMPARE(h.tickUntilStopped(5), 2);
    QCOMPARE(Contains(h.platform().calls, "start-program " + p), started);
    QVERIFY(h.run().running()); // started or not, "持续" chains the task again
    QVERIFY(h.dialog() == nullptr);
}

void RunFlowTest::endProcessNotRunningOpensNoWarning() {
    Harness h;
    h.platform().SetRunningProcesses({"other.exe"});
    h.compose(CountdownTask(1, OpEndProcess, "calc.exe"), false, true);
    h.pressStart();
    QCOMPARE(h.tickUntilStopped(5), 2);
    QVERIFY(!h.warningOpen());
    QVERIFY(h.run().running());

    h.platform().SetRunningProcesses({"calc.exe"});
    QCOMPARE(h.tickUntilStopped(5), 2);
    QVERIFY(h.warningOpen());
    QCOMPARE(h.dialog()->okButton()->text(), QStringLiteral("结束"));
}

void RunFlowTest::stopQuestion_data() {
    QTest::addColumn<int>("answer");
    QTest::addColumn<bool>("runningAfter");
    QTest::newRow("yes stops") << int(ui::Answer::Yes) << false;
    QTest::newRow("no goes on") << int(ui::Answer::No) << true;
    QTest::newRow("timed out goes on") << int(ui::Answer::TimedOut) << true;
}

void RunFlowTest::stopQuestion() {
    QFETCH(int, answer);
    QFETCH(bool, runningAfter);
    Harness h;
    h.compose(CountdownTask(600, OpShutdown));
    h.pressStart();
    h.tick();
    QCOMPARE(h.label(), Remaining("10分0秒"));
    // The box stays up for five seconds; the scheduler keeps ticking underneath.
    ui::MessageBoxes::setNextAnswer(std::function<ui::Answer()>([&h, answer] {
        for (int i = 0; i < 5; ++i) {
            h.tick();
        }
        return static_cast<ui::Answer>(answer);
    }));
    h.pressStart();
    const auto asked = ui::MessageBoxes::last();
    QVERIFY(asked.has_value());
    QCOMPARE(asked->text, QStringLiteral("是否停止当前任务？"));
    QCOMPARE(asked->title, QStringLiteral("提示"));
    QVERIFY(asked->yesNo);
    QVERIFY(asked->defaultNo);
    QCOMPARE(asked->timeoutMs, 5000);
    QCOMPARE(h.run().running(), runningAfter);
    if (runningAfter) {
        QCOMPARE(h.label(), Remaining("9分55秒"));
        QCOMPARE(h.startCaption(), QStringLiteral("停止"));
    } else {
        QCOMPARE(h.label(), QString());
        QCOMPARE(h.startCaption(), QStringLiteral("开始"));
        QVERIFY(h.window.savedTaskCheck()->isEnabled());
    }
}

void RunFlowTest::fullScreenPauseHoldsTheCountdown_data() {
    QTest::addColumn<int>("operation");
    QTest::addColumn<bool>("paused");
    QTest::newRow("shut down pauses") << int(OpShutdown) << true;
    QTest::newRow("reminder never pauses") << int(OpRemind) << false;
}

void RunFlowTest::fullScreenPauseHoldsTheCountdown() {
    QFETCH(int, operation);
    QFETCH(bool, paused);
    Harness h;
    h.platform().SetScreen({1920, 1080});
    h.platform().SetForegroundWindow(WindowSize{1920, 1080});
    EditorValues v = CountdownTask(600, operation, "x");
    v.fullScreenPause = true;
    h.compose(v);
    h.pressStart();
    for (int i = 0; i < 100; ++i) {
        h.tick();
    }
    if (!paused) {
        QCOMPARE(h.label(), Remaining("8分21秒"));
        return;
    }
    QCOMPARE(h.label(), QString::fromUtf8(kFullScreenPauseText));
    QCOMPARE(h.editor().values().start, h.platform().Now().addSeconds(600)); // full length again
    QVERIFY(h.run().running());

    h.platform().SetForegroundWindow(WindowSize{1920, 1040}); // the game has left the foreground
    h.tick();
    QCOMPARE(h.label(), Remaining("9分59秒"));
}

void RunFlowTest::fullScreenPauseRestartsTheIdleTime() {
    Harness h;
    EditorValues v;
    v.idleOn = true;
    v.idleSeconds = "30";
    v.operation = OpShutdown;
    v.fullScreenPause = true;
    h.platform().SetLastInputMs(5);
    h.compose(v);
    h.pressStart();
    for (int i = 0; i < 5; ++i) {
        h.tick();
    }
    QVERIFY(h.label().startsWith(QStringLiteral("闲置:4秒")));
    h.platform().SetForegroundWindow(WindowSize{1920, 1080});
    for (int i = 0; i < 3; ++i) {
        h.tick();
    }
    h.platform().SetForegroundWindow(std::nullopt);
    h.tick();
    QVERIFY2(h.label().startsWith(QStringLiteral("闲置:1秒")), qPrintable(h.label()));
}

void RunFlowTest::fullScreenPauseLeavesAWindowsStartAlone() {
    Harness h;
    const DateTime t0 = h.platform().Now();
    EditorValues v = WindowTask(t0.addSeconds(100), t0.addSeconds(200), OpShutdown);
    v.fullScreenPause = true;
    h.compose(v);
    h.pressStart();
    h.platform().SetForegroundWindow(WindowSize{1920, 1080});
    for (int i = 0; i < 50; ++i) {
        h.tick();
    }
    QCOMPARE(h.label(), QString::fromUtf8(kFullScreenPauseText));
    QCOMPARE(h.editor().values().start, t0.addSeconds(100)); // the window still opens at its own time
    h.platform().SetForegroundWindow(std::nullopt);
    QCOMPARE(h.tickUntilStopped(100), 50);
    QVERIFY(h.warningOpen());
    QCOMPARE(h.platform().Now(), t0.addSeconds(100));
}

void RunFlowTest::failedProgramStartIsReported() {
    Harness h;
    h.platform().SetOrdinaryFiles({"/srv/plan.ods"});
    h.compose(CountdownTask(1, OpRun, "/srv/plan.ods"));
    h.pressStart();
    h.platform().SetActionResult(ActionResult::Fail("没有可打开此文件的程序"));
    ui::MessageBoxes::reset();
    QCOMPARE(h.tickUntilStopped(5), 2);
    const auto m = ui::MessageBoxes::last();
    QVERIFY(m.has_value());
    QCOMPARE(m->text, QStringLiteral("没有可打开此文件的程序"));
    QCOMPARE(m->icon, MessageIcon::Warning);
    QVERIFY(!h.run().running());
}

void RunFlowTest::overWindowStopsTheRun() {
    Harness h;
    const DateTime now = h.platform().Now();
    // An idle condition that never holds (input on every second) keeps the window from firing.
    EditorValues v = WindowTask(now.addSeconds(2), now.addSeconds(4), OpShutdown);
    v.idleOn = true;
    v.idleSeconds = "2";
    h.compose(v);
    h.pressStart();
    QVERIFY(h.run().running());
    int ticks = 0;
    while (h.run().running() && ticks < 10) {
        h.platform().SetLastInputMs(h.platform().MonotonicMs());
        h.tick();
        ++ticks;
    }
    QCOMPARE(ticks, 5); // the first second past the inclusive end
    QVERIFY(!h.warningOpen());
    const auto m = ui::MessageBoxes::last();
    QVERIFY(m.has_value());
    QCOMPARE(m->text, QStringLiteral("当前时间以超出设定时段！"));
    QCOMPARE(m->title, QStringLiteral("提示"));
    QVERIFY(m->systemModal);
    QCOMPARE(h.startCaption(), QStringLiteral("开始"));
    QVERIFY(!Contains(h.platform().calls, "power-off"));
}

void RunFlowTest::simulatedDayFiresOnItsSecond() {
    Harness h;
    h.compose(CountdownTask(86399, OpRestart));
    h.pressStart();
    const DateTime due = h.editor().values().start;
    QCOMPARE(due, h.platform().Now().addSeconds(86400));
    for (int i = 1; i < 86400; ++i) {
        h.tick();
    }
    QVERIFY(h.run().running());
    QCOMPARE(h.label(), Remaining("1秒"));
    h.tick();
    QVERIFY(h.warningOpen());
    QCOMPARE(h.platform().Now(), due);
    // No idle, traffic or full-screen condition: not one probe in a day of ticks.
    QCOMPARE(h.platform().inputReads, 0);
    QCOMPARE(h.platform().tableReads, 0);
    QCOMPARE(h.platform().foregroundReads, 0);
}

void RunFlowTest::trafficIsSampledOnlyWhenItsConditionIsOn() {
    Harness h;
    h.platform().SetInterfaceTable(std::vector<InterfaceRow>{});
    EditorValues v = CountdownTask(600, OpShutdown);
    v.netOn = true;
    v.netRate = "100";
    v.netHoldSeconds = "30";
    h.compose(v);
    h.pressStart();
    for (int i = 0; i < 3; ++i) {
        h.tick();
    }
    QCOMPARE(h.platform().tableReads, 3); // a fresh snapshot every tick
    QCOMPARE(h.platform().inputReads, 0);
    QVERIFY(h.label().contains(QStringLiteral("下载:")));
}

QTEST_MAIN(RunFlowTest)
#include "run_flow_test.moc"
