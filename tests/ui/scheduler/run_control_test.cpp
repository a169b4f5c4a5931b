// Run control without the clock: the running appearance, the choice of a saved task with its messages,
// the sleep/hibernate pre-check, and the operation executor with its hand-over.
#include "scheduler_harness.h"

#include "ui/tray/tray_icon.h"

#include <QBrush>
#include <QGroupBox>

using namespace vantor;
using namespace vantor::test;

namespace {

QWidget* Named(QWidget& root, const char* name) {
    auto* w = root.findChild<QWidget*>(QString::fromLatin1(name));
    if (w == nullptr) {
        qFatal("control %s missing", name);
    }
    return w;
}

// The colour a cell of the task list is drawn in: black when the row sets none (the list's text colour).
QColor TextColour(ui::TaskList& list, int row, int column) {
    const QVariant brush = list.model()->index(row, column).data(Qt::ForegroundRole);
    return brush.isValid() ? brush.value<QBrush>().color() : list.palette().color(QPalette::Text);
}

} // namespace

class RunControlTest : public QObject {
    Q_OBJECT
private slots:
    void runningAppearanceAndBack();
    void attrayHidesTheWindowOnStart_data();
    void attrayHidesTheWindowOnStart();
    void trayTipFollowsTheRunState();
    void loadtaskMessages_data();
    void loadtaskMessages();
    void sleepPrecheckLoadsTheRowAndStartsNothing_data();
    void sleepPrecheckLoadsTheRowAndStartsNothing();
    void operationsReachThePlatform_data();
    void operationsReachThePlatform();
    void unsupportedPowerStateIsReported_data();
    void unsupportedPowerStateIsReported();
    void refusedActionIsReportedNotHidden();
    void handOver_data();
    void handOver();
};

void RunControlTest::runningAppearanceAndBack() {
    Harness h;
    EditorValues v = CountdownTask(60, OpShutdown);
    h.list().appendRow(Row(v, true));
    h.window.savedTaskCheck()->setChecked(true);
    h.pressStart(); // saved tasks: loadtask arms row 0
    QVERIFY(h.run().running());
    QCOMPARE(h.run().mainTimer()->objectName(), QStringLiteral("Timer_main"));
    QCOMPARE(h.run().mainTimer()->interval(), 1000);
    QCOMPARE(h.startCaption(), QStringLiteral("停止"));
    QVERIFY(!h.window.taskFrame()->isEnabled());
    QVERIFY(!h.window.savedTaskCheck()->isEnabled());
    QVERIFY(!h.window.continueCheck()->isEnabled());
    QVERIFY(!Named(h.window, "Frm_condition")->isEnabled());
    QVERIFY(!Named(h.window, "Fra_time")->isEnabled()); // its condition is checked
    QVERIFY(!Named(h.window, "txt_tips")->isEnabled());
    QVERIFY(!Named(h.window, "Chk_mult")->isEnabled());
    QCOMPARE(TextColour(h.list(), 0, 1), QColor(255, 0, 0));

    h.run().resetcontrol(1);
    QVERIFY(!h.run().running());
    QCOMPARE(h.startCaption(), QStringLiteral("开始"));
    QVERIFY(h.window.taskFrame()->isEnabled());
    QVERIFY(h.window.savedTaskCheck()->isEnabled());
    QVERIFY(h.window.continueCheck()->isEnabled());
    QVERIFY(Named(h.window, "Frm_condition")->isEnabled());
    QVERIFY(Named(h.window, "Fra_time")->isEnabled());
    QVERIFY(Named(h.window, "txt_tips")->isEnabled());
    QCOMPARE(TextColour(h.list(), 0, 1), QColor(0, 0, 0));
    QVERIFY(h.run().meters().timeStatus.empty());
}

void RunControlTest::trayTipFollowsTheRunState() {
    // No hover reaches the icon here, so its tip must change with the run itself.
    Harness h;
    h.fx.writeFile(QStringLiteral("Setting.ini"), QByteArray("[Setting]\r\nAttray=1\r\n"));
    h.compose(CountdownTask(2, OpShutdown));
    h.pressStart();
    QVERIFY(h.window.tray()->iconShown());
    QVERIFY2(h.window.tray()->tipText().endsWith(QStringLiteral("“关机”任务执行中...")),
             qPrintable(h.window.tray()->tipText()));
    QVERIFY(h.tickUntilStopped(10) > 0);
    QVERIFY(h.warningOpen());
    QVERIFY2(h.window.tray()->tipText().endsWith(QStringLiteral(")-无任务")),
             qPrintable(h.window.tray()->tipText()));
}

void RunControlTest::attrayHidesTheWindowOnStart_data() {
    QTest::addColumn<QByteArray>("settings"); // empty: no Setting.ini
    QTest::addColumn<bool>("hidden");
    QTest::newRow("Attray=1") << QByteArray("[Setting]\r\nAttray=1\r\n") << true;
    QTest::newRow("Attray=True") << QByteArray("[Setting]\r\nAttray=True\r\n") << true;
    QTest::newRow("Attray=0") << QByteArray("[Setting]\r\nAttray=0\r\n") << false;
    QTest::newRow("Attray not boolean") << QByteArray("[Setting]\r\nAttray=ja\r\n") << false;
    QTest::newRow("no settings file") << QByteArray() << false;
}

void RunControlTest::attrayHidesTheWindowOnStart() {
    QFETCH(QByteArray, settings);
    QFETCH(bool, hidden);
    Harness h;
    if (!settings.isEmpty()) {
        h.fx.writeFile(QStringLiteral("Setting.ini"), settings);
    }
    h.compose(CountdownTask(60, OpShutdown));
    h.pressStart();
    QVERIFY(h.run().running());
    QCOMPARE(!h.window.isVisible(), hidden);
}

void RunControlTest::loadtaskMessages_data() {
    QTest::addColumn<int>("rows"); // 0: empty list, 1: a row without its mark, 2: an enabled row that is over
    QTest::addColumn<QString>("text");
    QTest::addColumn<bool>("systemModal");
    QTest::addColumn<bool>("savedTasksAfter");
    QTest::newRow("empty list") << 0 << "没有设定任务！" << false << false;
    QTest::newRow("no row enabled") << 1 << "没有可执行的任务！" << false << false;
    QTest::newRow("every window over") << 2 << "没有符合条件的任务！" << true << true;
}

void RunControlTest::loadtaskMessages() {
    QFETCH(int, rows);
    QFETCH(QString, text);
    QFETCH(bool, systemModal);
    QFETCH(bool, savedTasksAfter);
    Harness h;
    const DateTime now = h.platform().Now();
    if (rows == 1) {
        h.list().appendRow(Row(CountdownTask(60, OpShutdown), false));
    } else if (rows == 2) {
        h.list().appendRow(Row(WindowTask(now.addSeconds(-7200), now.addSeconds(-3600), OpShutdown), true));
    }
    h.window.savedTaskCheck()->setChecked(false);
    h.run().loadtask();
    const auto m = ui::MessageBoxes::last();
    QVERIFY(m.has_value());
    QCOMPARE(m->text, text);
    QCOMPARE(m->title, QStringLiteral("提示"));
    QCOMPARE(m->icon, MessageIcon::Information);
    QCOMPARE(m->systemModal, systemModal);
    QCOMPARE(h.window.savedTaskCheck()->isChecked(), savedTasksAfter);
    QVERIFY(!h.run().running());
}

void RunControlTest::sleepPrecheckLoadsTheRowAndStartsNothing_data() {
    QTest::addColumn<bool>("canSuspend");
    QTest::addColumn<bool>("canHibernate");
    QTest::addColumn<int>("operation"); // of row 1
    QTest::addColumn<bool>("enabled");  // row 1's mark
    QTest::addColumn<bool>("stopped");
    QTest::addColumn<QString>("editorMessage"); // what the editor says when the row is loaded
    QTest::newRow("no hibernation, enabled hibernate row")
        << true << false << int(OpHibernate) << true << true << "系统不支持休眠，无法执行休眠操作！";
    QTest::newRow("no sleep, enabled sleep row")
        << false << true << int(OpSleep) << true << true << "系统不支持睡眠，无法执行睡眠操作！";
    QTest::newRow("no hibernation, disabled hibernate row")
        << true << false << int(OpHibernate) << false << false << QString();
    QTest::newRow("no sleep, but the row hibernates")
        << false << true << int(OpHibernate) << true << false << QString();
}

void RunControlTest::sleepPrecheckLoadsTheRowAndStartsNothing() {
    QFETCH(bool, canSuspend);
    QFETCH(bool, canHibernate);
    QFETCH(int, operation);
    QFETCH(bool, enabled);
    QFETCH(bool, stopped);
    QFETCH(QString, editorMessage);
    Harness h;
    h.list().appendRow(Row(CountdownTask(60, OpShutdown), true));
    h.list().appendRow(Row(CountdownTask(90, operation), enabled));
    h.window.savedTaskCheck()->setChecked(true);
    h.platform().SetCanSuspend(canSuspend);
    h.platform().SetCanHibernate(canHibernate);
    h.pressStart();
    QCOMPARE(h.run().running(), !stopped);
    if (stopped) {
        QCOMPARE(h.list().selectedRow(), 1); // loaded as a double-click would: the editor refuses it
        const auto m = ui::MessageBoxes::last();
        QVERIFY(m.has_value());
        QCOMPARE(m->text, editorMessage);
        QCOMPARE(h.editor().operation(), int(OpNone));
    } else {
        QCOMPARE(h.list().selectedRow(), 0);
    }
}

void RunControlTest::operationsReachThePlatform_data() {
    QTest::addColumn<int>("operation");
    QTest::addColumn<QString>("call"); // empty: no system action
    QTest::newRow("reminder") << int(OpRemind) << QString();
    QTest::newRow("end process") << int(OpEndProcess) << "end-process calc.exe";
    QTest::newRow("shut down") << int(OpShutdown) << "power-off";
    QTest::newRow("restart") << int(OpRestart) << "reboot";
    QTest::newRow("log off") << int(OpLogOff) << "log-off";
    QTest::newRow("lock") << int(OpLock) << "lock";
    QTest::newRow("sleep") << int(OpSleep) << "suspend";
    QTest::newRow("hibernate") << int(OpHibernate) << "hibernate";
}

void RunControlTest::operationsReachThePlatform() {
    QFETCH(int, operation);
    QFETCH(QString, call);
    Harness h;
    h.platform().SetRunningProcesses({"calc.exe"});
    h.compose(CountdownTask(60, operation, "calc.exe"));
    h.run().opertion();
    const auto& calls = h.platform().calls;
    QVERIFY(!calls.empty());
    QCOMPARE(calls.front(), std::string("shutdown-privilege"));
    std::vector<std::string> actions;
    std::copy_if(calls.begin(), calls.end(), std::back_inserter(actions),
                 [](const std::string& c) { return c != "shutdown-privilege"; });
    if (call.isEmpty()) {
        QVERIFY(actions.empty());
    } else {
        QCOMPARE(actions, std::vector<std::string>{call.toStdString()});
    }
    QVERIFY(ui::MessageBoxes::shown().empty());
}

void RunControlTest::unsupportedPowerStateIsReported_data() {
    QTest::addColumn<int>("operation");
    QTest::addColumn<QString>("text");
    QTest::newRow("sleep") << int(OpSleep) << "系统不支持睡眠！";
    QTest::newRow("hibernate") << int(OpHibernate) << "系统不支持休眠！";
}

void RunControlTest::unsupportedPowerStateIsReported() {
    QFETCH(int, operation);
    QFETCH(QString, text);
    Harness h;
    h.compose(CountdownTask(60, operation), false, true);
    // The system loses the ability while the task waits (the editor would refuse it up front).
    h.platform().SetCanSuspend(false);
    h.platform().SetCanHibernate(false);
    ui::MessageBoxes::reset();
    h.run().opertion();
    const auto m = ui::MessageBoxes::last();
    QVERIFY(m.has_value());
    QCOMPARE(m->text, text);
    QCOMPARE(m->title, QStringLiteral("提示"));
    QCOMPARE(m->icon, MessageIcon::Information);
    QVERIFY(m->systemModal);
    QVERIFY(!Contains(h.platform().calls, "suspend"));
    QVERIFY(!Contains(h.platform().calls, "hibernate"));
}

void RunControlTest::refusedActionIsReportedNotHidden() {
    Harness h;
    h.compose(CountdownTask(60, OpShutdown), false, true);
    h.platform().SetActionResult(ActionResult::Fail("无权关闭系统"));
    ui::MessageBoxes::reset();
    h.run().opertion();
    QVERIFY(Contains(h.platform().calls, "power-off"));
    const auto& shown = ui::MessageBoxes::shown();
    QVERIFY(!shown.empty());
    QCOMPARE(shown.front().text, QStringLiteral("无权关闭系统"));
    QCOMPARE(shown.front().title, QStringLiteral("提示"));
    QCOMPARE(shown.front().icon, MessageIcon::Warning);
    QVERIFY(h.run().running()); // the hand-over still follows
}

void RunControlTest::handOver_data() {
    QTest::addColumn<bool>("savedTasks");
    QTest::addColumn<bool>("goOn");
    QTest::addColumn<QString>("expect"); // "loadtask", "restart" or "idle"
    QTest::newRow("saved tasks") << true << false << "loadtask";
    QTest::newRow("both: only loadtask") << true << true << "loadtask";
    QTest::newRow("持续 only") << false << true << "restart";
    QTest::newRow("neither") << false << false << "idle";
}

void RunControlTest::handOver() {
    QFETCH(bool, savedTasks);
    QFETCH(bool, goOn);
    QFETCH(QString, expect);
    Harness h; // an empty list: loadtask tells "没有设定任务！"
    h.compose(CountdownTask(60, OpRemind, "喝水"), savedTasks, goOn);
    ui::MessageBoxes::reset();
    h.run().opertion();
    const auto m = ui::MessageBoxes::last();
    QCOMPARE(m.has_value() && m->text == QStringLiteral("没有设定任务！"), expect == "loadtask");
    QCOMPARE(h.run().running(), expect == "restart");
    QVERIFY(h.platform().calls == std::vector<std::string>{"shutdown-privilege"});
}

QTEST_MAIN(RunControlTest)
#include "run_control_test.moc"
