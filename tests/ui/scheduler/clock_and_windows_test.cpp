// Window tasks act once per occurrence of their window, whatever chains them again.
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
};

void ClockAndWindowsTest::windowTaskActsOncePerOccurrence_data() {
    QTest::addColumn<bool>("weekly");
    QTest::addColumn<bool>("savedTasks");
    QTest::addColumn<bool>("runningAfter"); // armed for a later window once it has acted
    QTest::addColumn<QString>("message");   // what the chain says when nothing is left for this window
    QTest::newRow("time window, 持续")
        << false << false << false << QStringLiteral("当前时间以超出设定时段！");
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
    QTest::keyClick(h.dialog(), Qt::Key_Space); // 知道了
    // The reminder has had its window: the countdown row runs, and after it the reminder stays away.
    QCOMPARE(h.list().selectedRow(), 1);
    QCOMPARE(h.tickUntilStopped(10), 6);
    QCOMPARE(h.dialog()->okButton()->text(), QStringLiteral("锁定"));
    QTest::keyClick(h.dialog(), Qt::Key_Space);
    QVERIFY(Contains(h.platform().calls, "lock"));
    QCOMPARE(h.list().selectedRow(), 1);
}

QTEST_MAIN(ClockAndWindowsTest)
#include "clock_and_windows_test.moc"
