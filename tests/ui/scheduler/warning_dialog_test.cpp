// The warning window Fr_tips: its texts for each operation and run source, the countdown, the keys and
// buttons, and the three ways it closes.
#include "scheduler_harness.h"

#include "ui/common/twips.h"

using namespace vantor;
using namespace vantor::test;

namespace {

const QString kItem3 = QStringLiteral("3、点击“取消”将结束工作。");

QString Warning(const QString& item1, const QString& item2Tail) {
    return item1 + QStringLiteral("\n\n2、点击“继续”跳过本操作，") + item2Tail + QStringLiteral("\n\n") +
           kItem3;
}

// Opens Fr_tips for a task in the editor, as the tick does when the conditions are met.
void OpenFor(Harness& h, const EditorValues& v, bool savedTasks, bool goOn) {
    h.compose(v, savedTasks, goOn);
    h.run().showWarning();
}

} // namespace

class WarningDialogTest : public QObject {
    Q_OBJECT
private slots:
    void warningTexts_data();
    void warningTexts();
    void countdownStepsOncePerTimerEvent();
    void reminderWaitsAndCountsUp();
    void keysAndButtons_data();
    void keysAndButtons();
    void keyOnAFocusedButtonIsTheWindowsKey();
    void frameCloseIsRefused();
    void reopeningStartsFromTheDesign();
    void cancelOutsideSavedTasksOnlyClearsTheStatus();
};

void WarningDialogTest::warningTexts_data() {
    QTest::addColumn<int>("operation");
    QTest::addColumn<QString>("tips");
    QTest::addColumn<bool>("savedTasks");
    QTest::addColumn<bool>("goOn");
    QTest::addColumn<QString>("okCaption");
    QTest::addColumn<QString>("text");
    const QString shut = QStringLiteral("1、系统将在60秒后关机，请注意保存档案。");
    QTest::newRow("shut down, neither: item 2 ends at the comma")
        << int(OpShutdown) << QString() << false << false << "关机" << Warning(shut, QString());
    QTest::newRow("shut down, saved tasks") << int(OpShutdown) << QString() << true << false << "关机"
                                            << Warning(shut, QStringLiteral("执行后续任务。"));
    QTest::newRow("shut down, 持续") << int(OpShutdown) << QString() << false << true << "关机"
                                     << Warning(shut, QStringLiteral("执行关机工作。"));
    QTest::newRow("shut down, both: saved tasks win")
        << int(OpShutdown) << QString() << true << true << "关机"
        << Warning(shut, QStringLiteral("执行后续任务。"));
    QTest::newRow("end process names it")
        << int(OpEndProcess) << "calc.exe" << false << true << "结束"
        << Warning(QStringLiteral("1、系统将在60秒后结束进程“calc.exe”，请注意保存档案。"),
                   QStringLiteral("执行结束进程“calc.exe”工作。"));
    QTest::newRow("hibernate") << int(OpHibernate) << QString() << false << false << "休眠"
                               << Warning(QStringLiteral("1、系统将在60秒后休眠，请注意保存档案。"),
                                          QString());
    QTest::newRow("restart, 持续") << int(OpRestart) << QString() << false << true << "重启"
                                   << Warning(QStringLiteral("1、系统将在60秒后重启，请注意保存档案。"),
                                              QStringLiteral("执行重启工作。"));
    QTest::newRow("log off") << int(OpLogOff) << QString() << false << false << "注销"
                             << Warning(QStringLiteral("1、系统将在60秒后注销，请注意保存档案。"), QString());
    QTest::newRow("sleep, saved tasks") << int(OpSleep) << QString() << true << false << "睡眠"
                                        << Warning(QStringLiteral("1、系统将在60秒后睡眠，请注意保存档案。"),
                                                   QStringLiteral("执行后续任务。"));
    QTest::newRow("lock") << int(OpLock) << QString() << true << false << "锁定"
                          << Warning(QStringLiteral("1、系统将在60秒后锁定，请注意保存档案。"),
                                     QStringLiteral("执行后续任务。"));
}

void WarningDialogTest::warningTexts() {
    QFETCH(int, operation);
    QFETCH(QString, tips);
    QFETCH(bool, savedTasks);
    QFETCH(bool, goOn);
    QFETCH(QString, okCaption);
    QFETCH(QString, text);
    Harness h;
    h.platform().SetRunningProcesses({"calc.exe"});
    OpenFor(h, CountdownTask(5, operation, tips.toStdString()), savedTasks, goOn);
    ui::WarningDialog* d = h.dialog();
    QVERIFY(d->isOpen());
    QCOMPARE(d->textLabel()->text(), text);
    QCOMPARE(d->okButton()->text(), okCaption);
    QVERIFY(d->nextButton()->isVisible());
    QCOMPARE(d->nextButton()->text(), QStringLiteral("继续(N)"));
    QCOMPARE(d->cancelButton()->text(), QStringLiteral("取消(ESC)"));
    QCOMPARE(d->countdownLabel()->text(), QString());
    QCOMPARE(d->countdownTick(), 1);
    QVERIFY(d->okTimer()->isActive());
    QCOMPARE(d->okTimer()->interval(), 1000);
    QVERIFY(!h.window.isVisible()); // the main window steps aside while the warning shows
}

void WarningDialogTest::countdownStepsOncePerTimerEvent() {
    Harness h;
    OpenFor(h, CountdownTask(5, OpRestart), false, false);
    ui::WarningDialog* d = h.dialog();
    // Each event is one second, however many seconds a busy machine held it back.
    h.platform().Advance(5);
    d->timerOkTimer();
    QCOMPARE(d->countdownLabel()->text(), QStringLiteral("倒计时(59)"));
    QVERIFY(d->textLabel()->text().startsWith(QStringLiteral("1、系统将在59秒后重启，")));
    QCOMPARE(d->countdownTick(), 2);
    QVERIFY(h.platform().calls.empty());
    QCOMPARE(h.countDown(), 59);
    QCOMPARE(d->countdownTick(), 0);
    QCOMPARE(d->closeChoice(), int(ui::WarningDialog::ChoiceOk));
    QVERIFY(!d->okTimer()->isActive());
    QVERIFY(Contains(h.platform().calls, "reboot"));
    QVERIFY(h.window.isVisible());
}

void WarningDialogTest::reminderWaitsAndCountsUp() {
    Harness h;
    OpenFor(h, CountdownTask(5, OpRemind, "该开会了"), false, false);
    ui::WarningDialog* d = h.dialog();
    QCOMPARE(d->textLabel()->text(), QStringLiteral("该开会了"));
    QCOMPARE(d->okButton()->text(), QStringLiteral("知道了(0)"));
    QVERIFY(!d->nextButton()->isVisible());
    QCOMPARE(d->okButton()->x(), ui::Twips(ui::WarningDialog::kFormWidthTwips / 5));
    QCOMPARE(d->cancelButton()->x(), ui::Twips(ui::WarningDialog::kFormWidthTwips / 2 + 500));

    d->timerOkTimer();
    QCOMPARE(d->okButton()->text(), QStringLiteral("知道了(1)"));
    // Past the 16-bit limit of 32,767 seconds the reminder keeps counting and keeps working.
    for (int i = 2; i <= 40000; ++i) {
        d->timerOkTimer();
    }
    QVERIFY(d->isOpen());
    QCOMPARE(d->okButton()->text(), QStringLiteral("知道了(40000)"));
    QCOMPARE(d->countdownLabel()->text(), QString());
    h.platform().AdvanceMs(ui::WarningDialog::kKeyGuardMs);
    QTest::keyClick(d, Qt::Key_Space);
    QVERIFY(!d->isOpen());
    QVERIFY(!h.run().running());
}

void WarningDialogTest::keysAndButtons_data() {
    QTest::addColumn<int>("operation");
    QTest::addColumn<QString>("input"); // a key name or a button object name
    QTest::addColumn<bool>("stillOpen");
    QTest::addColumn<bool>("acted");     // the operation was carried out
    QTest::addColumn<bool>("restarted"); // Cmd_start_Click ran: the editor's task runs again
    QTest::newRow("shut down, Esc cancels") << int(OpShutdown) << "Esc" << false << false << false;
    QTest::newRow("shut down, space acts") << int(OpShutdown) << "Space" << false << true << false;
    QTest::newRow("shut down, a letter continues") << int(OpShutdown) << "a" << false << false << true;
    QTest::newRow("shut down, Enter continues") << int(OpShutdown) << "Enter" << false << false << true;
    QTest::newRow("shut down, Shift alone does nothing")
        << int(OpShutdown) << "Shift" << true << false << false;
    QTest::newRow("shut down, Tab moves on") << int(OpShutdown) << "Tab" << true << false << false;
    QTest::newRow("shut down, Cmd_OK") << int(OpShutdown) << "Cmd_OK" << false << true << false;
    QTest::newRow("shut down, Cmd_next") << int(OpShutdown) << "Cmd_next" << false << false << true;
    QTest::newRow("shut down, Cmd_cancel") << int(OpShutdown) << "Cmd_cancel" << false << false << false;
    QTest::newRow("reminder, a letter does nothing") << int(OpRemind) << "a" << true << false << false;
    QTest::newRow("reminder, space acknowledges") << int(OpRemind) << "Space" << false << false << false;
    QTest::newRow("reminder, Esc cancels") << int(OpRemind) << "Esc" << false << false << false;
    // Typed within the first second after the warning appeared: meant for another window.
    QTest::newRow("shut down, early space is ignored")
        << int(OpShutdown) << "early Space" << true << false << false;
    QTest::newRow("shut down, early Esc is ignored")
        << int(OpShutdown) << "early Esc" << true << false << false;
    QTest::newRow("shut down, early letter is ignored")
        << int(OpShutdown) << "early a" << true << false << false;
}

void WarningDialogTest::keysAndButtons() {
    QFETCH(int, operation);
    QFETCH(QString, input);
    QFETCH(bool, stillOpen);
    QFETCH(bool, acted);
    QFETCH(bool, restarted);
    Harness h;
    // 持续 off: only Cmd_next restarts the task, so a running scheduler afterwards tells which path ran.
    OpenFor(h, CountdownTask(30, operation, "提醒内容"), false, false);
    h.window.stateLabel()->setText(QStringLiteral("剩余:0秒"));
    ui::WarningDialog* d = h.dialog();
    if (input.startsWith(QStringLiteral("early "))) {
        input.remove(0, 6);
        h.platform().AdvanceMs(ui::WarningDialog::kKeyGuardMs - 1);
    } else {
        h.platform().AdvanceMs(ui::WarningDialog::kKeyGuardMs);
    }
    if (input == "Esc") {
        QTest::keyClick(d, Qt::Key_Escape);
    } else if (input == "Space") {
        QTest::keyClick(d, Qt::Key_Space);
    } else if (input == "Enter") {
        QTest::keyClick(d, Qt::Key_Return);
    } else if (input == "Shift") {
        QTest::keyClick(d, Qt::Key_Shift);
    } else if (input == "a") {
        QTest::keyClick(d, Qt::Key_A);
    } else if (input == "Tab") {
        d->activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(d));
        QWidget* before = QApplication::focusWidget();
        QVERIFY(before != nullptr);
        QTest::keyClick(before, Qt::Key_Tab);
        QVERIFY(QApplication::focusWidget() != before); // the focus went to the next button
    } else {
        auto* b = d->findChild<QPushButton*>(input);
        QVERIFY(b != nullptr);
        QTest::mouseClick(b, Qt::LeftButton);
    }
    QCOMPARE(d->isOpen(), stillOpen);
    QCOMPARE(Contains(h.platform().calls, "power-off"), acted);
    QCOMPARE(h.run().running(), restarted);
    if (stillOpen) {
        QVERIFY(!h.window.isVisible());
        return;
    }
    QVERIFY(h.window.isVisible());
    QCOMPARE(d->countdownTick(), 0);
    QVERIFY(!d->okTimer()->isActive());
    if (input == "Esc" || input == "Cmd_cancel") {
        QCOMPARE(h.label(), QString()); // cancelled: the scheduler stays stopped
    }
}

void WarningDialogTest::keyOnAFocusedButtonIsTheWindowsKey() {
    Harness h;
    OpenFor(h, CountdownTask(30, OpLogOff), false, false);
    ui::WarningDialog* d = h.dialog();
    h.platform().AdvanceMs(ui::WarningDialog::kKeyGuardMs);
    // Space on the focused Cancel button is still the window's "do it now".
    QTest::keyClick(d->cancelButton(), Qt::Key_Space);
    QVERIFY(!d->isOpen());
    QVERIFY(Contains(h.platform().calls, "log-off"));
}

void WarningDialogTest::frameCloseIsRefused() {
    Harness h;
    OpenFor(h, CountdownTask(30, OpShutdown), false, false);
    ui::WarningDialog* d = h.dialog();
    QVERIFY(!d->close());
    QVERIFY(d->isOpen());
    QVERIFY(d->isVisible());
    d->timerOkTimer(); // the countdown goes on
    QCOMPARE(d->countdownLabel()->text(), QStringLiteral("倒计时(59)"));
    QVERIFY(h.platform().calls.empty());
}

void WarningDialogTest::reopeningStartsFromTheDesign() {
    Harness h;
    OpenFor(h, CountdownTask(30, OpRemind, "喝水"), false, false);
    h.dialog()->cmdOkClick();
    QCOMPARE(h.dialog()->closeChoice(), int(ui::WarningDialog::ChoiceOk));
    OpenFor(h, CountdownTask(30, OpRestart, ""), false, false);
    ui::WarningDialog* d = h.dialog();
    QVERIFY(d->nextButton()->isVisible());
    QCOMPARE(d->okButton()->text(), QStringLiteral("重启"));
    QCOMPARE(d->countdownTick(), 1);
    QVERIFY(d->okButton()->x() < d->nextButton()->x());
    QVERIFY(d->nextButton()->x() < d->cancelButton()->x());
}

void WarningDialogTest::cancelOutsideSavedTasksOnlyClearsTheStatus() {
    Harness h;
    h.list().appendRow(Row(CountdownTask(30, OpShutdown), true));
    h.list().selectRow(0);
    OpenFor(h, CountdownTask(30, OpShutdown), true, true);
    h.window.stateLabel()->setText(QStringLiteral("剩余:0秒"));
    h.dialog()->cmdCancelClick();
    QCOMPARE(h.label(), QString());
    QVERIFY(h.list().rowChecked(0)); // only a cancelled reminder leaves the selection
    QVERIFY(!h.run().running());
    QVERIFY(h.platform().calls.empty());
}

QTEST_MAIN(WarningDialogTest)
#include "warning_dialog_test.moc"
