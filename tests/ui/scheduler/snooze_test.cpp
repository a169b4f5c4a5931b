// "推迟" in the warning: the warning closes, the task stays armed and says until when, and the same warning
// comes back after that time with its countdown from the start; each answer lands in the history.
#include "scheduler_harness.h"

#include "core/scheduler/snooze.h"
#include "ui/common/twips.h"
#include "ui/history/history_log.h"
#include "ui/tray/tray_icon.h"

#include <QAction>
#include <QFileInfo>
#include <QMenu>

using namespace vantor;
using namespace vantor::test;

namespace {

QString Until(DateTime t) {
    return QString::fromStdString(SnoozedUntilText(t));
}

// The outcome column of each history record.
QStringList Outcomes(const ui::AppContext& context) {
    QStringList out;
    for (const QString& line : ui::ReadHistory(context)) {
        out.append(line.section(QLatin1Char('\t'), 4));
    }
    return out;
}

} // namespace

class SnoozeTest : public QObject {
    Q_OBJECT
private slots:
    void snoozedWarningComesBackFromTheStart();
    void stopWhileSnoozedAndRefusals();
    void nothingIsWrittenIntoAnUntrustedFolder();
};

void SnoozeTest::snoozedWarningComesBackFromTheStart() {
    Harness h;
    h.platform().SetNow(DateTime::fromParts(2026, 12, 10, 9, 0, 0));
    h.compose(CountdownTask(5, OpShutdown));
    h.pressStart();
    QVERIFY(h.tickUntilStopped(10) > 0);
    QVERIFY(h.warningOpen());
    ui::WarningDialog* d = h.dialog();

    // The existing buttons stay where the design has them; "推迟" sits clear of all three.
    QCOMPARE(d->okButton()->x(), ui::Twips(480));
    QCOMPARE(d->nextButton()->x(), ui::Twips(2400));
    QCOMPARE(d->cancelButton()->x(), ui::Twips(4320));
    QPushButton* snooze = d->snoozeButton();
    QVERIFY(snooze->isVisible());
    QCOMPARE(snooze->text(), QStringLiteral("推迟"));
    for (QWidget* other : {static_cast<QWidget*>(d->okButton()), static_cast<QWidget*>(d->nextButton()),
                           static_cast<QWidget*>(d->cancelButton()), static_cast<QWidget*>(d->textLabel()),
                           static_cast<QWidget*>(d->countdownLabel())}) {
        QVERIFY2(!snooze->geometry().intersects(other->geometry()), qPrintable(other->objectName()));
    }
    QStringList choices;
    for (QAction* a : snooze->menu()->actions()) {
        choices.append(a->text());
    }
    QCOMPARE(choices, (QStringList{"5分钟", "10分钟", "30分钟"}));

    // Half-way through the countdown, five minutes more.
    for (int i = 0; i < 30; ++i) {
        d->timerOkTimer();
    }
    const DateTime snoozedAt = h.platform().Now();
    snooze->menu()->findChild<QAction*>(QStringLiteral("Act_snooze5"))->trigger();
    QTRY_VERIFY(!h.warningOpen());
    QVERIFY(h.run().running());
    QCOMPARE(h.startCaption(), QStringLiteral("停止"));
    QCOMPARE(h.run().snoozedUntil(), snoozedAt.addSeconds(300));
    QCOMPARE(h.label(), QStringLiteral("已推迟至 09:05"));
    QVERIFY(h.window.tray()->tipText().endsWith(QStringLiteral("“关机”已推迟至 09:05")));
    QVERIFY(h.window.isVisible());

    for (int i = 1; i < 300; ++i) {
        h.tick();
    }
    QVERIFY(!h.warningOpen());
    QCOMPARE(h.label(), Until(snoozedAt.addSeconds(300)));
    h.tick();
    QVERIFY(h.warningOpen());
    QVERIFY(!h.run().running());
    QVERIFY(!h.run().snoozedUntil());
    QCOMPARE(d->countdownTick(), 1);
    QVERIFY(d->textLabel()->text().startsWith(QStringLiteral("1、系统将在60秒后关机，")));
    d->timerOkTimer();
    QCOMPARE(d->countdownLabel()->text(), QStringLiteral("倒计时(59)"));
    QVERIFY(h.platform().calls.empty());

    // Twice is allowed; then the countdown runs out and the operation is done.
    QVERIFY(h.run().snooze(10).ok);
    QCOMPARE(h.label(), Until(h.platform().Now().addSeconds(600)));
    QCOMPARE(h.tickUntilStopped(700), 600);
    QCOMPARE(h.countDown(), 60);
    QVERIFY(Contains(h.platform().calls, "power-off"));

    QCOMPARE(Outcomes(h.context), (QStringList{"推迟至 09:05", "推迟至 09:15", "完成"}));
    const QString record = ui::ReadHistory(h.context).constLast();
    QCOMPARE(record.section(QLatin1Char('\t'), 1, 3), QStringLiteral("关机\t-\t倒计时5秒"));
}

void SnoozeTest::stopWhileSnoozedAndRefusals() {
    Harness h;
    // Nothing open: refused with the reason, nothing changes.
    const ActionResult none = h.run().snooze(5);
    QVERIFY(!none.ok);
    QVERIFY(!none.error.empty());

    h.compose(CountdownTask(1, OpRemind, "喝水"));
    h.pressStart();
    QVERIFY(h.tickUntilStopped(5) > 0);
    QVERIFY(h.warningOpen());
    QVERIFY(h.dialog()->snoozeButton()->isVisible()); // the reminder can be postponed too
    QVERIFY(!h.run().snooze(0).ok);
    QVERIFY(!h.run().snooze(kSnoozeMaxMinutes + 1).ok);
    QVERIFY(h.warningOpen());
    QVERIFY(h.run().snooze(30).ok);

    // Stopping the task ends the postponement: the warning does not come back.
    ui::MessageBoxes::setNextAnswer(ui::Answer::Yes);
    h.pressStart();
    QVERIFY(!h.run().running());
    QVERIFY(!h.run().snoozedUntil());
    QCOMPARE(h.label(), QString());
    h.platform().Advance(3600);
    QVERIFY(!h.warningOpen());
    QVERIFY(h.window.tray()->tipText().endsWith(QStringLiteral("无任务")));
}

void SnoozeTest::nothingIsWrittenIntoAnUntrustedFolder() {
    // A folder others may write could hold planted files: the answers are not recorded there.
    Harness h;
    h.context.folderDistrust = "其他用户也可以修改它";
    h.compose(CountdownTask(1, OpRemind, "喝水"));
    h.pressStart();
    QVERIFY(h.tickUntilStopped(5) > 0);
    QVERIFY(h.warningOpen());
    QVERIFY(h.run().snooze(5).ok);
    QVERIFY(!QFileInfo::exists(h.context.programFolder + QString::fromUtf8(kHistoryFileName)));
    QVERIFY(ui::ReadHistory(h.context).isEmpty());
}

QTEST_MAIN(SnoozeTest)
#include "snooze_test.moc"
