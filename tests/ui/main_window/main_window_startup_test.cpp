// Start-up of the main window in a temporary program folder, the exit rule and Enter moving the focus.
#include "support/test_support.h"

#include "core/tasks/task_record.h"
#include "ui/common/app_setup.h"
#include "ui/common/emblem.h"
#include "ui/common/message_boxes.h"
#include "ui/common/twips.h"
#include "ui/editor/task_editor.h"
#include "ui/main_window/main_window.h"
#include "ui/main_window/task_list.h"
#include "ui/scheduler/run_control.h"
#include "ui/settings_dialog/settings_dialog.h"
#include "ui/tray/tray_icon.h"

#include <QAbstractSpinBox>
#include <QAccessible>
#include <QCheckBox>
#include <QComboBox>
#include <QGroupBox>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTest>
#include <QTranslator>

using vantor::DateTime;
using vantor::MessageIcon;
using vantor::test::UiFixture;
using vantor::ui::Answer;
using vantor::ui::MainWindow;
using vantor::ui::MessageBoxes;

namespace {

// An enabled countdown task (600 seconds, shut down) and a disabled reminder, as the program writes them.
const QByteArray kEnabledLine =
    "True;;10分0秒;倒计时600秒;关机;0;1,0,0,3,0,0,2026/12/8,2026/12/8,600,,0,0,0,0,-1,-1,0,0,0,";
const QByteArray kDisabledLine =
    "False;全天;;闲置60秒;提醒;-1;0,1,0,0,0,-1,2026/12/8,2026/12/8,,,0,0,1,0,-1,-1,0,0,0,hi";
const QByteArray kNoSettings = "<none>";

QByteArray Lines(std::initializer_list<QByteArray> lines) {
    QByteArray text;
    for (const QByteArray& l : lines) {
        text += l + "\r\n";
    }
    return text;
}

// Arms the editor's own task (countdown 600 seconds, shut down) the way the user does it.
void ArmCountdown(MainWindow& w) {
    w.findChild<QCheckBox*>(QStringLiteral("Chk_time"))->setChecked(true);
    w.findChild<QComboBox*>(QStringLiteral("Comb_time"))->setCurrentIndex(0);
    w.findChild<QLineEdit*>(QStringLiteral("txt_ttime"))->setText(QStringLiteral("600"));
    w.findChild<QComboBox*>(QStringLiteral("Comb_oper"))->setCurrentIndex(vantor::OpShutdown);
    w.savedTaskCheck()->setChecked(false);
    w.runControl()->cmdStartClick();
}

} // namespace

class MainWindowStartupTest : public QObject {
    Q_OBJECT
private slots:
    void startupAppliesTheSettingsAndTaskFile_data();
    void startupAppliesTheSettingsAndTaskFile();
    void startupGivesCaptionColumnsAndDesignStates();
    void checkMarksFollowFieldZero();
    void bigTaskFileLoadsEveryRow();
    void closeBoxWhileIdleAsksAndEndsOnYes_data();
    void closeBoxWhileIdleAsksAndEndsOnYes();
    void closeBoxWhileRunningHidesWithoutQuestion();
    void closeByTheProgramPassesUnasked();
    void enterMovesTheFocusLikeTab();
    void settingsButtonOpensTheOptionsDialog();
    void everyFocusableControlShowsItsFocus();
};

void MainWindowStartupTest::startupAppliesTheSettingsAndTaskFile_data() {
    QTest::addColumn<QByteArray>("taskFile"); // empty: no task file
    QTest::addColumn<QByteArray>("settings"); // kNoSettings: no Setting.ini
    QTest::addColumn<int>("rows");
    QTest::addColumn<int>("height");
    QTest::addColumn<bool>("warned");
    QTest::addColumn<bool>("inTray");
    QTest::addColumn<bool>("running");

    const QByteArray both = Lines({kEnabledLine, kDisabledLine});
    const QByteArray disabledOnly = Lines({kDisabledLine});
    QTest::newRow("no settings file: list only")
        << both << kNoSettings << 2 << 4395 << false << false << false;
    QTest::newRow("no task file, no settings")
        << QByteArray() << kNoSettings << 0 << 4395 << false << false << false;
    QTest::newRow("work on, no enabled task: warning, tray not applied")
        << disabledOnly << QByteArray("[Setting]\r\nTray=1\r\nWork=1\r\n") << 1 << 6720 << true << false
        << false;
    QTest::newRow("work on, no task file: warning")
        << QByteArray() << QByteArray("[Setting]\r\nWork=1\r\n") << 0 << 6720 << true << false << false;
    QTest::newRow("work unreadable counts as on")
        << QByteArray() << QByteArray("[Setting]\r\nWork=yes\r\n") << 0 << 6720 << true << false << false;
    QTest::newRow("work off, no enabled task: nothing")
        << disabledOnly << QByteArray("[Setting]\r\nTray=1\r\nWork=0\r\n") << 1 << 4395 << false << false
        << false;
    QTest::newRow("tray on with an enabled task: hidden with icon")
        << both << QByteArray("[Setting]\r\nTray=1\r\nWork=0\r\n") << 2 << 4395 << false << true << false;
    QTest::newRow("tray key missing counts as on")
        << both << QByteArray("[Setting]\r\nWork=0\r\n") << 2 << 4395 << false << true << false;
    QTest::newRow("work on with an enabled task: the task is armed")
        << both << QByteArray("[Setting]\r\nTray=0\r\nWork=1\r\n") << 2 << 4395 << false << false << true;
    QTest::newRow("empty lines make no rows")
        << QByteArray("\r\n" + kEnabledLine + "\r\n\r\n\n" + kDisabledLine + "\r\n\r\n") << kNoSettings << 2
        << 4395 << false << false << false;
}

void MainWindowStartupTest::startupAppliesTheSettingsAndTaskFile() {
    QFETCH(QByteArray, taskFile);
    QFETCH(QByteArray, settings);
    QFETCH(int, rows);
    QFETCH(int, height);
    QFETCH(bool, warned);
    QFETCH(bool, inTray);
    QFETCH(bool, running);

    UiFixture f;
    f.platform.SetNow(DateTime::fromParts(2026, 12, 8, 10, 0, 0));
    if (!taskFile.isEmpty()) {
        f.writeFile(QStringLiteral("vntask.vnt"), taskFile);
    }
    if (settings != kNoSettings) {
        f.writeFile(QStringLiteral("Setting.ini"), settings);
    }
    MainWindow w(f.context);
    w.show();
    w.start();

    QCOMPARE(w.taskList()->rowCount(), rows);
    QCOMPARE(w.heightTwips(), height);
    QCOMPARE(w.height(), vantor::ui::Twips(height));
    if (warned) {
        QCOMPARE(MessageBoxes::shown().size(), size_t{1});
        const auto m = *MessageBoxes::last();
        QCOMPARE(m.text, QStringLiteral("未设定任务，不能执行任务！"));
        QCOMPARE(m.title, QStringLiteral("提示"));
        QCOMPARE(m.icon, MessageIcon::Warning);
        QVERIFY(m.systemModal);
    } else if (!running) {
        QVERIFY(MessageBoxes::shown().empty());
    }
    QCOMPARE(w.tray()->iconShown(), inTray);
    QCOMPARE(w.isVisible(), !inTray);
    QCOMPARE(w.runControl()->running(), running);
    if (running) {
        // A picture run (--screenshot) of the same folder draws the window but arms nothing.
        f.context.pictureOnly = true;
        MainWindow picture(f.context);
        picture.start();
        QVERIFY(!picture.runControl()->running());
    }
}

void MainWindowStartupTest::startupGivesCaptionColumnsAndDesignStates() {
    UiFixture f;
    MainWindow w(f.context);
    w.start();
    QCOMPARE(w.windowTitle(), QStringLiteral("VantorV1.2.3"));
    QCOMPARE(w.objectName(), QStringLiteral("Fr_shutdown"));
    QVERIFY(!w.windowFlags().testFlag(Qt::WindowMaximizeButtonHint));
    QVERIFY(w.windowFlags().testFlag(Qt::WindowMinimizeButtonHint));
    // The emblem, not a stock picture, in the title bar and the notification area.
    QCOMPARE(w.windowIcon().pixmap(32, 32).toImage(), vantor::ui::EmblemIcon().pixmap(32, 32).toImage());
    QVERIFY(!vantor::ui::EmblemPixmap().isNull());

    const QStringList titles{"起始时间", "截止时间", "条件设置", "操作", "时间模式", "任务参数"};
    const QList<int> widths{2050, 1900, 1200, 550, 0, 0};
    QCOMPARE(w.taskList()->model()->columnCount(), 6);
    QCOMPARE(w.taskList()->header()->count(), 6);
    for (int c = 0; c < 6; ++c) {
        QCOMPARE(w.taskList()->model()->headerData(c, Qt::Horizontal).toString(), titles[c]);
        QCOMPARE(w.taskList()->isColumnHidden(c), widths[c] == 0);
        if (widths[c] > 0) {
            QCOMPARE(w.taskList()->columnWidth(c), vantor::ui::Twips(widths[c]));
        }
    }
    QCOMPARE(w.startButton()->text(), QStringLiteral("开始"));
    QVERIFY(!w.savedTaskCheck()->isChecked());
    QCOMPARE(w.savedTaskCheck()->toolTip(), QStringLiteral("只执行已保存的任务"));
    QVERIFY(w.continueCheck()->isChecked());
    QCOMPARE(w.continueCheck()->toolTip(), QStringLiteral("完成后继续执行默认任务"));
    QVERIFY(!w.runControl()->running());
    QCOMPARE(w.taskFrame()->title(), QStringLiteral("任务设定"));
    QCOMPARE(w.stateLabel()->accessibleDescription(), QStringLiteral("状态"));
    const auto* saveMarks = w.findChild<QPushButton*>(QStringLiteral("Cmd_task_check"));
    QVERIFY(saveMarks != nullptr);
    QCOMPARE(saveMarks->text(), QStringLiteral("保存停用"));
    QCOMPARE(saveMarks->toolTip(), QStringLiteral("保存任务启用和停用变动"));

    // Assistive tools find the controls by their captions and the frame by its title.
    const QList<QPair<QWidget*, QString>> named{
        {w.startButton(), "开始"},
        {w.findChild<QPushButton*>(QStringLiteral("Cmd_setting")), "设置"},
        {w.savedTaskCheck(), "任务"},
        {w.continueCheck(), "持续"},
        {w.findChild<QPushButton*>(QStringLiteral("Cmd_addtask")), "新增任务"},
        {w.findChild<QPushButton*>(QStringLiteral("Cmd_deltask")), "删除任务"},
        {w.findChild<QPushButton*>(QStringLiteral("Cmd_revistask")), "保存修改"},
        {w.taskFrame(), "任务设定"},
    };
    for (const auto& [widget, name] : named) {
        QAccessibleInterface* a = QAccessible::queryAccessibleInterface(widget);
        QVERIFY(a != nullptr);
        QCOMPARE(a->text(QAccessible::Name), name);
    }
}

void MainWindowStartupTest::checkMarksFollowFieldZero() {
    UiFixture f;
    // True/False in any case and numbers; anything else counts as enabled; a short line fills what it has.
    f.writeFile(QStringLiteral("vntask.vnt"), Lines({"TRUE;a;b;c;d;0;p", "false;a;b;c;d;0;p", "0;a;b;c;d;0;p",
                                                     "2;a;b;c;d;0;p", ";a;b;c;d;0;p", "True;a"}));
    MainWindow w(f.context);
    w.start();
    const QList<bool> expected{true, false, false, true, true, true};
    QCOMPARE(w.taskList()->rowCount(), expected.size());
    for (int i = 0; i < expected.size(); ++i) {
        QCOMPARE(w.taskList()->rowChecked(i), expected[i]);
    }
    const vantor::TaskRecord last = w.taskList()->row(5);
    QCOMPARE(QString::fromStdString(last.startText), QStringLiteral("a"));
    QVERIFY(last.endText.empty() && last.params.empty());
}

void MainWindowStartupTest::bigTaskFileLoadsEveryRow() {
    UiFixture f;
    QByteArray text;
    for (int i = 0; i < 10000; ++i) {
        text += (i % 2 == 0 ? kEnabledLine : kDisabledLine) + "\r\n";
    }
    f.writeFile(QStringLiteral("vntask.vnt"), text);
    MainWindow w(f.context);
    w.start();
    QCOMPARE(w.taskList()->rowCount(), 10000);
    QVERIFY(w.taskList()->rowChecked(0));
    QVERIFY(!w.taskList()->rowChecked(9999));
    QCOMPARE(w.taskList()->row(9998), w.taskList()->row(0));
}

void MainWindowStartupTest::closeBoxWhileIdleAsksAndEndsOnYes_data() {
    QTest::addColumn<int>("answer");
    QTest::addColumn<bool>("closes");
    QTest::newRow("yes ends the program") << int(Answer::Yes) << true;
    QTest::newRow("no keeps the window") << int(Answer::No) << false;
}

void MainWindowStartupTest::closeBoxWhileIdleAsksAndEndsOnYes() {
    QFETCH(int, answer);
    QFETCH(bool, closes);
    UiFixture f;
    MainWindow w(f.context);
    w.show();
    w.start();
    w.totray(); // an icon is there, so removing it on exit can be seen
    w.show();
    QVERIFY(w.tray()->iconShown());

    MessageBoxes::setNextAnswer(static_cast<Answer>(answer));
    QCOMPARE(vantor::test::UserClose(&w), closes);
    QCOMPARE(MessageBoxes::shown().size(), size_t{1});
    const auto m = *MessageBoxes::last();
    QCOMPARE(m.text, QStringLiteral("是否退出Vantor?"));
    QCOMPARE(m.title, QStringLiteral("提示"));
    QCOMPARE(m.icon, MessageIcon::Question);
    QVERIFY(m.yesNo);
    QVERIFY(m.defaultNo);
    QCOMPARE(w.tray()->iconShown(), !closes);
}

void MainWindowStartupTest::closeBoxWhileRunningHidesWithoutQuestion() {
    UiFixture f;
    f.platform.SetNow(DateTime::fromParts(2026, 12, 8, 10, 0, 0));
    MainWindow w(f.context);
    w.show();
    w.start();
    ArmCountdown(w);
    QVERIFY(w.runControl()->running());
    MessageBoxes::reset();

    QVERIFY(!vantor::test::UserClose(&w));
    QVERIFY(MessageBoxes::shown().empty());
    QVERIFY(!w.isVisible());
    QVERIFY(w.tray()->iconShown());
    QVERIFY(w.runControl()->running());
}

void MainWindowStartupTest::closeByTheProgramPassesUnasked() {
    UiFixture f;
    MainWindow w(f.context);
    w.show();
    w.start();
    QVERIFY(w.close());
    QVERIFY(MessageBoxes::shown().empty());
    QVERIFY(!w.isVisible());
}

void MainWindowStartupTest::enterMovesTheFocusLikeTab() {
    UiFixture f;
    MainWindow w(f.context);
    w.show();
    w.start();
    QApplication::setActiveWindow(&w);
    QVERIFY(QTest::qWaitForWindowActive(&w));
    auto* ttime = w.findChild<QLineEdit*>(QStringLiteral("txt_ttime"));
    QVERIFY(ttime != nullptr);
    w.savedTaskCheck()->setFocus();
    QCOMPARE(QApplication::focusWidget(), w.savedTaskCheck());
    QTest::keyClick(w.savedTaskCheck(), Qt::Key_Return);
    QCOMPARE(QApplication::focusWidget(), w.continueCheck());
    QTest::keyClick(w.continueCheck(), Qt::Key_Enter, Qt::KeypadModifier);
    QVERIFY(QApplication::focusWidget() != w.continueCheck());
    // In a text box too.
    w.findChild<QCheckBox*>(QStringLiteral("Chk_sysfree"))->setChecked(true);
    auto* day = w.findChild<QLineEdit*>(QStringLiteral("txt_day"));
    auto* hour = w.findChild<QLineEdit*>(QStringLiteral("txt_hour"));
    day->setFocus();
    QTest::keyClicks(day, QStringLiteral("1"));
    QTest::keyClick(day, Qt::Key_Return);
    QCOMPARE(QApplication::focusWidget(), hour);
    QCOMPARE(day->text(), QStringLiteral("1"));
    // In a picker the focus moves on once, to the next picker.
    w.findChild<QCheckBox*>(QStringLiteral("Chk_time"))->setChecked(true);
    w.findChild<QComboBox*>(QStringLiteral("Comb_time"))->setCurrentIndex(vantor::ModeWindow);
    auto* start = w.findChild<QWidget*>(QStringLiteral("DTPk_start"));
    start->setFocus();
    QTest::keyClick(start, Qt::Key_Return);
    QCOMPARE(QApplication::focusWidget(), w.findChild<QWidget*>(QStringLiteral("DTPk_end")));
    // Other keys are the control's own.
    w.savedTaskCheck()->setFocus();
    QTest::keyClick(w.savedTaskCheck(), Qt::Key_Space);
    QCOMPARE(QApplication::focusWidget(), w.savedTaskCheck());
    QVERIFY(w.savedTaskCheck()->isChecked());
}

void MainWindowStartupTest::settingsButtonOpensTheOptionsDialog() {
    UiFixture f;
    MainWindow w(f.context);
    w.setWindowFlag(Qt::WindowStaysOnTopHint, true);
    w.show();
    w.start();
    QTest::mouseClick(w.findChild<QPushButton*>(QStringLiteral("Cmd_setting")), Qt::LeftButton);
    QVERIFY(!w.windowFlags().testFlag(Qt::WindowStaysOnTopHint));
    QVERIFY(w.isVisible());
    auto* dialog = vantor::ui::SettingsDialog::instance();
    QVERIFY(dialog != nullptr);
    QVERIFY(dialog->isVisible());
    QVERIFY(!dialog->isModal());
    dialog->close();
}

void MainWindowStartupTest::everyFocusableControlShowsItsFocus() {
    QTranslator translations;
    vantor::ui::SetUpApplication(translations);
    UiFixture f;
    MainWindow w(f.context);
    w.start();
    w.labTaskClick(); // the task panel with its list and buttons
    for (const char* check : {"Chk_time", "Chk_sysfree", "Chk_net"}) {
        w.findChild<QCheckBox*>(QString::fromLatin1(check))->setChecked(true); // their frames usable
    }
    w.findChild<QComboBox*>(QStringLiteral("Comb_time"))->setCurrentIndex(2); // pickers and week list
    w.show();
    QApplication::setActiveWindow(&w);
    QVERIFY(QTest::qWaitForWindowActive(&w));

    int checked = 0;
    QStringList unmarked;
    for (QWidget* control : w.findChildren<QWidget*>()) {
        if (!(control->focusPolicy() & Qt::TabFocus) || control->focusProxy() != nullptr ||
            !control->isVisibleTo(&w) || !control->isEnabledTo(&w)) {
            continue;
        }
        // A picker's text part takes its focus; the picker's frame is what shows it.
        QWidget* shown = qobject_cast<QAbstractSpinBox*>(control->parentWidget()) != nullptr
                             ? control->parentWidget()
                             : control;
        const QRect area = QRect(shown->mapTo(&w, QPoint(0, 0)), shown->size()).adjusted(-2, -2, 2, 2);
        if (QWidget* focused = QApplication::focusWidget()) {
            focused->clearFocus();
        }
        const QImage without = w.grab(area).toImage();
        // Given by the program, as Enter or a failed check gives it: no Tab was pressed.
        control->setFocus(Qt::OtherFocusReason);
        QVERIFY2(control->hasFocus(), qPrintable(control->objectName()));
        const QImage with = w.grab(area).toImage();
        if (with == without) {
            unmarked << control->objectName() + QLatin1Char('/') + control->metaObject()->className();
        }
        ++checked;
    }
    QVERIFY2(unmarked.isEmpty(),
             qPrintable(unmarked.join(QLatin1Char(' ')) + QStringLiteral(" show no focus")));
    QVERIFY(checked >= 25);
}

QTEST_MAIN(MainWindowStartupTest)
#include "main_window_startup_test.moc"
