// Knowing before acting: the system's answer on an operation at the task check, the programs that hold
// it back named in the warning (and a blocked one not forced at the end), and what falls due while the
// computer sleeps waiting for the waking user.
#include "scheduler_harness.h"

#include "ui/history/history_log.h"

using namespace vantor;
using namespace vantor::test;

Q_DECLARE_METATYPE(vantor::Availability::Answer)

class KnowBeforeActingTest : public QObject {
    Q_OBJECT
private slots:
    void init() { ui::MessageBoxes::reset(); }
    void availabilityAtTheCheck_data();
    void availabilityAtTheCheck();
    void inhibitorsAreNamedAndABlockIsNotForced();
    void whatFellDueDuringASleepWaitsForTheWakingUser_data();
    void whatFellDueDuringASleepWaitsForTheWakingUser();
};

void KnowBeforeActingTest::availabilityAtTheCheck_data() {
    QTest::addColumn<int>("operation");
    QTest::addColumn<Availability::Answer>("answer");
    QTest::addColumn<QString>("reason");
    QTest::addColumn<bool>("byUser"); // the user pressed Start; else a chain armed it
    QTest::addColumn<bool>("armed");
    QTest::addColumn<QString>("message"); // empty: nothing shown
    using A = Availability::Answer;
    QTest::newRow("yes: nothing to say")
        << int(OpShutdown) << A::Yes << QString() << true << true << QString();
    QTest::newRow("na: refused, naming operation and reason")
        << int(OpHibernate) << A::NotAvailable << QStringLiteral("系统不支持这项操作") << true << false
        << QStringLiteral("无法休眠：系统不支持这项操作");
    QTest::newRow("na on a chain: refused all the same")
        << int(OpShutdown) << A::NotAvailable << QStringLiteral("systemd-logind 没有运行") << false << false
        << QStringLiteral("无法关机：systemd-logind 没有运行");
    QTest::newRow("challenge: armed, the password is announced")
        << int(OpRestart) << A::Challenge << QString() << true << true
        << QStringLiteral("执行重启时系统将要求输入密码。");
    QTest::newRow("challenge on a chain: armed without a box nobody may close")
        << int(OpRestart) << A::Challenge << QString() << false << true << QString();
    QTest::newRow("no: armed with a warning, it may change until then")
        << int(OpSleep) << A::No << QStringLiteral("当前用户没有这项权限（polkit 未授权）") << true << true
        << QStringLiteral("到时可能无法睡眠：当前用户没有这项权限（polkit 未授权）");
}

void KnowBeforeActingTest::availabilityAtTheCheck() {
    QFETCH(int, operation);
    QFETCH(Availability::Answer, answer);
    QFETCH(QString, reason);
    QFETCH(bool, byUser);
    QFETCH(bool, armed);
    QFETCH(QString, message);
    Harness h;
    const std::optional<SystemOperation> op = SystemOperationOf(operation);
    QVERIFY(op);
    h.platform().SetAvailability(*op, Availability{answer, reason.toStdString()});
    h.compose(CountdownTask(30, operation));
    ui::MessageBoxes::reset();
    if (byUser) {
        h.pressStart();
    } else {
        h.run().cmdStartClick(ui::RunControl::StartCause::Chain);
    }
    QCOMPARE(h.run().running(), armed);
    if (message.isEmpty()) {
        QVERIFY(ui::MessageBoxes::shown().empty());
    } else {
        QCOMPARE(ui::MessageBoxes::shown().size(), size_t(1));
        QCOMPARE(ui::MessageBoxes::last()->text, message);
    }

    // Adding the task to the list asks the same question.
    if (!armed) {
        ui::MessageBoxes::reset();
        h.window.taskset(0);
        QCOMPARE(h.list().rowCount(), 0);
        QCOMPARE(ui::MessageBoxes::last()->text, message);
    }
}

void KnowBeforeActingTest::inhibitorsAreNamedAndABlockIsNotForced() {
    Harness h;
    h.platform().SetInhibitors({
        {"shutdown:sleep", "视频会议", "通话中", "block"},
        {"sleep", "NetworkManager", "", "delay"},
        {"idle", "影音播放器", "正在播放", "block"}, // holds off the screen saver, not a shut-down
        {"sleep:shutdown", "软件更新", "正在安装更新", "delay"},
    });
    h.compose(CountdownTask(2, OpShutdown));
    h.pressStart();
    QCOMPARE(h.tickUntilStopped(5), 3);
    ui::WarningDialog* d = h.dialog();
    QVERIFY(d->isOpen());
    const QString lines = QStringLiteral(
        "\n\n注意：视频会议 正在阻止关机（通话中）\n\n注意：软件更新 正在推迟关机（正在安装更新）");
    QVERIFY2(d->textLabel()->text().endsWith(QStringLiteral("3、点击“取消”将结束工作。") + lines),
             qPrintable(d->textLabel()->text()));

    // Still blocked when the countdown ends: not forced, the window waits for the user.
    QCOMPARE(h.countDown(60), -1);
    QVERIFY(d->isOpen());
    QVERIFY(!d->okTimer()->isActive());
    QCOMPARE(d->countdownLabel()->text(), QStringLiteral("仍被阻止"));
    QVERIFY(d->textLabel()->text().startsWith(QStringLiteral("1、系统将在0秒后关机，")));
    QVERIFY(!Contains(h.platform().calls, "power-off"));
    QVERIFY(d->okButton()->isVisible() && d->nextButton()->isVisible() && d->cancelButton()->isVisible());
    const QStringList history = ui::ReadHistory(h.context);
    QVERIFY(!history.isEmpty());
    QCOMPARE(
        history.last().section(QLatin1Char('\t'), 4),
        QStringLiteral("未执行：视频会议 正在阻止关机（通话中）；软件更新 正在推迟关机（正在安装更新）"));
    d->cmdOkClick(); // the user's own choice: tried, and the system says why if it refuses
    QVERIFY(Contains(h.platform().calls, "power-off"));

    // Released before the end: the countdown acts as usual; only a delay left is no block.
    h.platform().calls.clear();
    h.platform().SetInhibitors({{"sleep:shutdown", "软件更新", "正在安装更新", "delay"}});
    h.compose(CountdownTask(2, OpShutdown));
    h.pressStart();
    QCOMPARE(h.tickUntilStopped(5), 3);
    QCOMPARE(h.countDown(), 60);
    QVERIFY(Contains(h.platform().calls, "power-off"));
}

void KnowBeforeActingTest::whatFellDueDuringASleepWaitsForTheWakingUser_data() {
    QTest::addColumn<bool>("idleTask"); // else a countdown that ends during the sleep
    QTest::newRow("countdown due during the sleep") << false;
    QTest::newRow("idle time reached during the sleep") << true;
}

void KnowBeforeActingTest::whatFellDueDuringASleepWaitsForTheWakingUser() {
    QFETCH(bool, idleTask);
    Harness h;
    EditorValues v = CountdownTask(120, OpShutdown);
    if (idleTask) {
        v.timeOn = false;
        v.idleOn = true;
        v.idleSeconds = "120";
        h.platform().SetLastInputMs(h.platform().MonotonicMs());
    }
    h.compose(v);
    h.pressStart();
    for (int i = 0; i < 10; ++i) {
        h.tick();
    }
    QVERIFY(!h.warningOpen());

    h.platform().Advance(3600); // an hour asleep
    h.run().timerMainTimer();
    if (idleTask) {
        // Nobody was idle at the computer while it slept: the idle time counts from the waking.
        QVERIFY(!h.warningOpen());
        QVERIFY2(h.label().startsWith(QStringLiteral("闲置:0秒")), qPrintable(h.label()));
        QCOMPARE(h.tickUntilStopped(200), 120);
    }
    QVERIFY(h.warningOpen());
    // The whole warning, also when the computer goes back to sleep with seconds left and wakes again.
    for (int i = 0; i < 50; ++i) {
        h.dialog()->timerOkTimer();
    }
    h.platform().Advance(600);
    h.dialog()->timerOkTimer(); // the first step after waking shows the whole warning again
    QCOMPARE(h.dialog()->countdownLabel()->text(), QStringLiteral("倒计时(60)"));
    QCOMPARE(h.countDown(), 60);
    QVERIFY(Contains(h.platform().calls, "power-off"));
}

QTEST_MAIN(KnowBeforeActingTest)
#include "know_before_acting_test.moc"
