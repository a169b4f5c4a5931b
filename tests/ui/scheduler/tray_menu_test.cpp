// The notification icon's right-click menu: its entries follow the run state, and each does what the
// window's own controls do.
#include "scheduler_harness.h"

#include "ui/history/history_window.h"
#include "ui/tray/tray_icon.h"

#include <QAction>
#include <QMenu>
#include <QPlainTextEdit>

using namespace vantor;
using namespace vantor::test;

namespace {

// The visible entries, separators left out.
QStringList Entries(QMenu* menu) {
    QStringList out;
    for (QAction* a : menu->actions()) {
        if (a->isVisible() && !a->isSeparator()) {
            out.append(a->text());
        }
    }
    return out;
}

QAction* Entry(QMenu* menu, const QString& text) {
    for (QAction* a : menu->actions()) {
        if (a->text() == text) {
            return a;
        }
    }
    return nullptr;
}

} // namespace

class TrayMenuTest : public QObject {
    Q_OBJECT
private slots:
    void entriesFollowTheRunAndAct();
};

void TrayMenuTest::entriesFollowTheRunAndAct() {
    Harness h;
    ui::TrayIcon* tray = h.window.tray();
    QCOMPARE(Entries(tray->menu()), (QStringList{"显示窗口", "开始", "历史记录", "退出"}));

    h.compose(CountdownTask(3, OpShutdown));
    h.window.totray();
    QVERIFY(!h.window.isVisible());
    Entry(tray->menu(), QStringLiteral("开始"))->trigger();
    QVERIFY(h.run().running());
    QCOMPARE(Entries(tray->menu()), (QStringList{"显示窗口", "停止", "历史记录", "退出"}));

    QVERIFY(h.tickUntilStopped(10) > 0);
    QVERIFY(h.warningOpen());
    QMenu* menu = tray->menu();
    QCOMPARE(Entries(menu), (QStringList{"显示窗口", "开始", "推迟", "历史记录", "退出"}));
    // Clicked as a person does: the menu works while the warning holds the program's other windows.
    menu->popup(QPoint(20, 20));
    QVERIFY(QTest::qWaitForWindowExposed(menu));
    QAction* snoozeEntry = Entry(menu, QStringLiteral("推迟"));
    QTest::mouseClick(menu, Qt::LeftButton, {}, menu->actionGeometry(snoozeEntry).center());
    QMenu* snooze = snoozeEntry->menu();
    QTRY_VERIFY(snooze->isVisible());
    QCOMPARE(Entries(snooze), (QStringList{"5分钟", "10分钟", "30分钟"}));
    QAction* ten = Entry(snooze, QStringLiteral("10分钟"));
    QTest::mouseClick(snooze, Qt::LeftButton, {}, snooze->actionGeometry(ten).center());
    QTRY_VERIFY(!h.warningOpen());
    QVERIFY(h.run().snoozedUntil().has_value());
    QVERIFY(!h.window.isVisible()); // it was in the notification area before the warning, and stays there
    QVERIFY(tray->iconShown());
    QCOMPARE(Entries(tray->menu()), (QStringList{"显示窗口", "停止", "历史记录", "退出"}));

    // The history opens read-only with the postponement in it.
    Entry(tray->menu(), QStringLiteral("历史记录"))->trigger();
    ui::HistoryWindow* history = h.window.historyWindow();
    QVERIFY(history != nullptr && history->isVisible());
    QVERIFY(history->textBox()->isReadOnly());
    QVERIFY(history->textBox()->toPlainText().contains(QStringLiteral("\t关机\t-\t倒计时3秒\t推迟至 ")));

    Entry(tray->menu(), QStringLiteral("显示窗口"))->trigger();
    QVERIFY(h.window.isVisible());
    QVERIFY(!tray->iconShown());

    // 退出 while the task runs: first the stop question, then the exit question; No keeps the program.
    ui::MessageBoxes::setNextAnswer(ui::Answer::Yes);
    ui::MessageBoxes::setNextAnswer(ui::Answer::No);
    Entry(tray->menu(), QStringLiteral("退出"))->trigger();
    const auto& shown = ui::MessageBoxes::shown();
    QCOMPARE(shown.size(), size_t{2});
    QCOMPARE(shown[0].text, QStringLiteral("是否停止当前任务？"));
    QCOMPARE(shown[1].text, QStringLiteral("是否退出Vantor?"));
    QVERIFY(!h.run().running());
    QVERIFY(h.window.isVisible());
}

QTEST_MAIN(TrayMenuTest)
#include "tray_menu_test.moc"
