// Window tasks act once per occurrence of their window, and the clock moving under a run (set forward or
// back, daylight saving, a suspend) neither shortens a countdown nor makes a window fire again or late.
#include "scheduler_harness.h"

#include "core/tasks/validation.h"

using namespace vantor;
using namespace vantor::test;

namespace {

// The fake's clock starts on Tuesday 2026-12-08 10:00:00.
DateTime At(int day, int hour, int minute = 0) {
    return DateTime::fromParts(2026, 12, day, hour, minute, 0);
}

EditorValues WeeklyTask(std::array<bool, 7> week, DateTime start, DateTime end, int operation,
                        std::string tips = {}) {
    EditorValues v = WindowTask(start, end, operation, std::move(tips));
    v.timeMode = ModeWeekly;
    v.week = week;
    return v;
}

constexpr std::array<bool, 7> kTuesdayAndThursday{false, true, false, true, false, false, false};

// A second passes; Timer_main fires only while a task is armed.
void Second(Harness& h) {
    if (h.run().running()) {
        h.tick();
    } else {
        h.platform().Advance(1);
    }
}

int Starts(Harness& h, const std::string& path) {
    return static_cast<int>(
        std::count(h.platform().calls.begin(), h.platform().calls.end(), "start-program " + path));
}

} // namespace

class ClockAndWindowsTest : public QObject {
    Q_OBJECT
private slots:
    void windowTaskActsOncePerOccurrence_data();
    void windowTaskActsOncePerOccurrence();
    void acknowledgedReminderDoesNotComeBack();
    void countdownRunsOnTheSteadyClock_data();
    void countdownRunsOnTheSteadyClock();
    void windowsAreWorkedOutAfreshAfterAJump_data();
    void windowsAreWorkedOutAfreshAfterAJump();
    void shownCountdownEndIsTheRealClockTime();
};

void ClockAndWindowsTest::windowTaskActsOncePerOccurrence_data() {
    QTest::addColumn<bool>("weekly");
    QTest::addColumn<bool>("savedTasks");
    QTest::addColumn<bool>("runningAfter"); // armed for a later window once it has acted
    QTest::addColumn<QString>("message");   // what the chain says when nothing is left for this window
    // The window is still open: "当前时间以超出设定时段！" would not be true.
    QTest::newRow("time window, 持续") << false << false << false << QString();
    QTest::newRow("time window, saved tasks")
        << false << true << false << QStringLiteral("没有符合条件的任务！");
    QTest::newRow("weekly, 持续") << true << false << true << QString();
    QTest::newRow("weekly, saved tasks") << true << true << true << QString();
}

void ClockAndWindowsTest::windowTaskActsOncePerOccurrence() {
    QFETCH(bool, weekly);
    QFETCH(bool, savedTasks);
    QFETCH(bool, runningAfter);
    QFETCH(QString, message);
    Harness h;
    const std::string path = "/srv/backup.sh";
    h.platform().SetOrdinaryFiles({path});
    // Open now, until 11:00.
    const EditorValues v = weekly ? WeeklyTask(kTuesdayAndThursday, At(8, 9, 30), At(8, 11), OpRun, path)
                                  : WindowTask(At(8, 9, 30), At(8, 11), OpRun, path);
    if (savedTasks) {
        h.list().appendRow(Row(v, true));
        h.window.savedTaskCheck()->setChecked(true);
        h.window.continueCheck()->setChecked(false);
    } else {
        h.compose(v, false, true);
    }
    ui::MessageBoxes::reset();
    h.pressStart();
    h.tick();
    QCOMPARE(Starts(h, path), 1);

    for (int i = 0; i < 15; ++i) {
        Second(h);
    }
    h.platform().SetNow(h.platform().Now().addSeconds(-30)); // set back, still inside the window
    for (int i = 0; i < 5; ++i) {
        Second(h);
    }
    QCOMPARE(Starts(h, path), 1);
    QCOMPARE(h.run().running(), runningAfter);
    const auto shown = ui::MessageBoxes::last();
    QCOMPARE(shown ? shown->text : QString(), message);
    if (runningAfter) {
        // The next ticked day's window: Thursday, not the unticked Wednesday.
        QCOMPARE(h.editor().values().start, At(10, 9, 30));
        QCOMPARE(h.editor().values().end, At(10, 11));
    }
}

void ClockAndWindowsTest::acknowledgedReminderDoesNotComeBack() {
    Harness h;
    h.list().appendRow(Row(WindowTask(At(8, 9, 30), At(8, 11), OpRemind, "开会"), true));
    h.list().appendRow(Row(CountdownTask(5, OpLock), true));
    h.window.savedTaskCheck()->setChecked(true);
    h.pressStart();
    QCOMPARE(h.list().selectedRow(), 0);
    h.tick();
    QVERIFY(h.warningOpen());
    h.dialog()->cmdOkClick(); // 知道了
    // The reminder has had its window: the countdown row runs, and after it the reminder stays away.
    QCOMPARE(h.list().selectedRow(), 1);
    QCOMPARE(h.tickUntilStopped(10), 6);
    QCOMPARE(h.dialog()->okButton()->text(), QStringLiteral("锁定"));
    h.dialog()->cmdOkClick();
    QVERIFY(Contains(h.platform().calls, "lock"));
    QCOMPARE(h.list().selectedRow(), 1);
}

void ClockAndWindowsTest::countdownRunsOnTheSteadyClock_data() {
    QTest::addColumn<int>("wallShift");  // seconds the wall clock is set by, after 10 ticks
    QTest::addColumn<int>("sleep");      // seconds both clocks run on while nothing ticks (a suspend)
    QTest::addColumn<int>("ticksAfter"); // ticks after that until the countdown acts
    QTest::newRow("set forward an hour") << 3600 << 0 << 111;
    QTest::newRow("set back an hour (daylight saving ends)") << -3600 << 0 << 111;
    QTest::newRow("slept past its end: acts on resume") << 0 << 600 << 1;
}

void ClockAndWindowsTest::countdownRunsOnTheSteadyClock() {
    QFETCH(int, wallShift);
    QFETCH(int, sleep);
    QFETCH(int, ticksAfter);
    Harness h;
    h.compose(CountdownTask(120, OpShutdown));
    h.pressStart();
    for (int i = 0; i < 10; ++i) {
        h.tick();
    }
    h.platform().SetNow(h.platform().Now().addSeconds(wallShift));
    h.platform().Advance(sleep);
    if (ticksAfter > 1) {
        h.tick();
        // The shown end follows the wall clock: 110 seconds from the moved "now".
        QCOMPARE(h.editor().values().start, h.platform().Now().addSeconds(110));
        QCOMPARE(h.label(), QStringLiteral("剩余:1分50秒\n"));
        QCOMPARE(h.tickUntilStopped(200) + 1, ticksAfter);
    } else {
        QCOMPARE(h.tickUntilStopped(200), ticksAfter);
    }
    QVERIFY(h.warningOpen());
}

void ClockAndWindowsTest::windowsAreWorkedOutAfreshAfterAJump_data() {
    QTest::addColumn<QString>("week"); // ticked days, Monday first; empty: a time window
    QTest::addColumn<int>("startDay"); // December 2026, hours
    QTest::addColumn<int>("startHour");
    QTest::addColumn<int>("endHour");
    QTest::addColumn<int>("jump");       // seconds the wall clock is set by
    QTest::addColumn<int>("ticksToAct"); // ticks after the jump until it acts; 0: it never does
    // Armed on Tuesday 10:00 for Thursday 11:00; set back a day, Monday's window comes first.
    QTest::newRow("weekly, back a day onto a ticked day") << "1001000" << 7 << 11 << 12 << -86400 << 3599;
    QTest::newRow("time window, jumped into") << "" << 8 << 12 << 13 << 7200 << 1;
    QTest::newRow("time window, jumped over: missed") << "" << 8 << 10 << 11 << 7200 << 0;
    // Today's window jumped over: it ends as a window that is over, never a late action now.
    QTest::newRow("weekly, jumped over: missed") << "1100000" << 8 << 10 << 11 << 7200 << 0;
}

void ClockAndWindowsTest::windowsAreWorkedOutAfreshAfterAJump() {
    QFETCH(QString, week);
    QFETCH(int, startDay);
    QFETCH(int, startHour);
    QFETCH(int, endHour);
    QFETCH(int, jump);
    QFETCH(int, ticksToAct);
    Harness h;
    const DateTime start = At(startDay, startHour, startHour == 10 ? 30 : 0);
    const DateTime end = At(startDay, endHour);
    std::array<bool, 7> days{};
    for (int i = 0; i < week.size(); ++i) {
        days[static_cast<size_t>(i)] = week[i] == QLatin1Char('1');
    }
    h.compose(week.isEmpty() ? WindowTask(start, end, OpShutdown) : WeeklyTask(days, start, end, OpShutdown));
    h.pressStart();
    h.tick();
    QVERIFY(h.run().running());
    h.platform().SetNow(h.platform().Now().addSeconds(jump));
    int ticks = 0;
    while (h.run().running() && !h.warningOpen() && ticks < 4000) {
        h.tick();
        ++ticks;
    }
    QCOMPARE(h.warningOpen(), ticksToAct > 0);
    QVERIFY(!Contains(h.platform().calls, "power-off"));
    if (ticksToAct > 0) {
        QCOMPARE(ticks, ticksToAct);
    } else {
        // Without "持续" the run ends silently, as for any weekly window that is over.
        QVERIFY(!h.run().running());
    }
}

void ClockAndWindowsTest::shownCountdownEndIsTheRealClockTime() {
    Harness h;
    // Daylight saving begins at 02:00, which becomes 03:00: 02:01:34 does not exist that night.
    h.platform().SetNow(DateTime::fromParts(2026, 3, 29, 1, 59, 33));
    h.platform().SetClockChange(DateTime::fromParts(2026, 3, 29, 2, 0, 0), 3600);
    h.compose(CountdownTask(120, OpShutdown));
    h.pressStart();
    const DateTime realEnd = DateTime::fromParts(2026, 3, 29, 3, 1, 34);
    QCOMPARE(h.editor().values().start, realEnd);
    for (int i = 0; i < 60; ++i) {
        h.tick();
    }
    QCOMPARE(h.platform().Now(), DateTime::fromParts(2026, 3, 29, 3, 0, 33));
    QCOMPARE(h.editor().values().start, realEnd);
    QCOMPARE(h.tickUntilStopped(200), 61);
    QVERIFY(h.warningOpen());
}

QTEST_MAIN(ClockAndWindowsTest)
#include "clock_and_windows_test.moc"
