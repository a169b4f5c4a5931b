// Loading a saved task into the editor and checking the editor's task.
#include "core/tasks/validation.h"
#include "editor/editor_fixture.h"

#include <QCheckBox>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QtTest>

using namespace vantor;
using namespace vantor::test;

class EditorLoadCheckTest : public QObject {
    Q_OBJECT
private slots:
    void weeklyTaskRestoresTimesAndDays();
    void storedValuesOverwriteTheOperationPreset();
    void weekMaskIgnoredUnlessWeekly();
    void shortParamsLeaveTheRestAlone();
    void longStoredCountdownIsKeptWhole();
    void roundTripThroughValues();
    void countdownCheckWritesTheEnd();
    void weeklyCheckWritesTheNextWindow();
    void failureShowsMessageAndFocuses_data();
    void failureShowsMessageAndFocuses();
    void laterFailureKeepsRecomputedPickers();
    void focusByCheckRunsNoLeaveCheck();
    void focusByCheckSelectsTheBoxText();
};

namespace {

TaskRecord Row(const std::string& params) {
    TaskRecord row;
    row.params = params;
    return row;
}

// A weekly reminder on Monday, Wednesday and Friday, 22:00 to 02:00, that was a countdown of 600 seconds
// before.
const char* kWeeklyParams = "1,0,0,0,0,2,22:00:00,2:00:00,600,1010100,,,,,-1,-1,,,0,该休息了";

} // namespace

void EditorLoadCheckTest::weeklyTaskRestoresTimesAndDays() {
    EditorFixture f;
    const DateTime start = DateTime::fromParts(1899, 12, 30, 22, 0, 0);
    const DateTime end = DateTime::fromParts(1899, 12, 30, 2, 0, 0);
    f.editor->loadTask(Row(kWeeklyParams), start, end);

    const EditorValues v = f.editor->values();
    QVERIFY(v.timeOn);
    QVERIFY(!v.idleOn && !v.netOn);
    QCOMPARE(v.timeMode, 2);
    QCOMPARE(v.start, start);
    QCOMPARE(v.end, end);
    QCOMPARE(v.week, (std::array<bool, 7>{true, false, true, false, true, false, false}));
    QCOMPARE(v.operation, 0);
    QCOMPARE(v.tips, std::string("该休息了"));
    QCOMPARE(v.countdownText, std::string("600"));
    // The old countdown text stays in the hidden box; the label between the pickers still says "to".
    QCOMPARE(f.find<QLabel>("Lab_symbol")->text(), QString("至"));
    QVERIFY(!f.find<QListWidget>("List_week")->isHidden());
    QVERIFY(f.find<QWidget>("Fra_time")->isEnabled());
}

void EditorLoadCheckTest::storedValuesOverwriteTheOperationPreset() {
    EditorFixture f;
    f.ui.platform.SetOrdinaryFiles({"/opt/app/tool"});
    f.editor->loadTask(Row("0,1,0,1,1,-1,,,,0000000,0,1,0,0,-1,-1,,,1,/opt/app/tool"), FixedNow(),
                       FixedNow());
    const EditorValues v = f.editor->values();
    QCOMPARE(v.operation, 1);
    QVERIFY(v.fullScreenPause);
    QVERIFY(v.allowMultiple);
    QCOMPARE(v.tips, std::string("/opt/app/tool"));
    QCOMPARE(v.idleHours, std::string("1"));
    QVERIFY(!f.find<QCheckBox>("Chk_mult")->isHidden());
    QCOMPARE(f.find<QLabel>("Label8")->text(), QString("秒，共3,600秒"));
    QCOMPARE(f.find<QLabel>("Lab_tips")->text(), QString("路径"));
}

void EditorLoadCheckTest::weekMaskIgnoredUnlessWeekly() {
    EditorFixture f;
    f.find<QListWidget>("List_week")->item(6)->setCheckState(Qt::Checked);
    f.editor->loadTask(Row("1,0,0,3,0,1,,,,1111111,,,,,-1,-1,,,0,"), FixedNow(), FixedNow());
    QCOMPARE(f.editor->values().week, (std::array<bool, 7>{false, false, false, false, false, false, true}));
    // A short mask unticks the missing days.
    f.editor->loadTask(Row("1,0,0,3,0,2,,,,11,,,,,-1,-1,,,0,"), FixedNow(), FixedNow());
    QCOMPARE(f.editor->values().week, (std::array<bool, 7>{true, true, false, false, false, false, false}));
}

void EditorLoadCheckTest::shortParamsLeaveTheRestAlone() {
    EditorFixture f;
    f.find<QLineEdit>("txt_netdata")->setText("10");
    f.find<QComboBox>("Comb_updown")->setCurrentIndex(1);
    f.find<QLineEdit>("txt_tips")->setText("before");
    f.editor->loadTask(Row("0,1,0,4,0,-1,,,,0000000,0,0,5"), FixedNow(), FixedNow());
    const EditorValues v = f.editor->values();
    QVERIFY(v.idleOn);
    QCOMPARE(v.operation, 4);
    QCOMPARE(v.idleMinutes, std::string("5"));
    QCOMPARE(v.netRate, std::string("10"));
    QCOMPARE(v.direction, 1);
    QCOMPARE(v.tips, std::string("before"));
}

void EditorLoadCheckTest::longStoredCountdownIsKeptWhole() {
    EditorFixture f;
    f.editor->loadTask(Row("1,0,0,3,0,0,,,99999999999,0000000,,,,,-1,-1,,,0,"), FixedNow(), FixedNow());
    QCOMPARE(f.editor->values().countdownText, std::string("99999999999"));
    // Checking it says why it cannot run instead of running a cut value.
    QVERIFY(!f.editor->conditionCheck());
    QCOMPARE(f.shown().back().text, QString::fromUtf8(kCountdownTooLongText));
    // Shortened, the box's own limit is back.
    f.find<QLineEdit>("txt_ttime")->setText("600");
    QCOMPARE(f.find<QLineEdit>("txt_ttime")->maxLength(), 9);
}

void EditorLoadCheckTest::roundTripThroughValues() {
    EditorFixture f;
    const std::string params = "0,0,1,6,1,-1,,,,0000000,,,,,1,1,12.5,30,0,";
    f.editor->loadTask(Row(params), FixedNow(), FixedNow());
    const EditorValues v = f.editor->values();
    QVERIFY(v.netOn);
    QCOMPARE(v.direction, 1);
    QCOMPARE(v.compare, 1); // set after the direction, which reset it to 0
    QCOMPARE(v.netRate, std::string("12.5"));
    QCOMPARE(v.netHoldSeconds, std::string("30"));
    QCOMPARE(v.operation, 6);
    QVERIFY(f.editor->conditionCheck());
    QCOMPARE(f.editor->operationText(), QString("锁定"));
}

void EditorLoadCheckTest::countdownCheckWritesTheEnd() {
    EditorFixture f;
    f.find<QCheckBox>("Chk_time")->setChecked(true);
    f.find<QComboBox>("Comb_time")->setCurrentIndex(0);
    f.find<QComboBox>("Comb_oper")->setCurrentIndex(3);
    f.find<QLineEdit>("txt_ttime")->setText("600");
    const DateTime endBefore = f.editor->values().end;
    QVERIFY(f.editor->conditionCheck());
    QCOMPARE(f.editor->values().start, FixedNow().addSeconds(601));
    QCOMPARE(f.editor->values().end, endBefore);
    QVERIFY(f.shown().empty());
}

void EditorLoadCheckTest::weeklyCheckWritesTheNextWindow() {
    EditorFixture f; // Monday 10:00
    f.editor->loadTask(Row("1,0,0,0,0,2,,,,1000000,,,,,-1,-1,,,0,提醒"),
                       DateTime::fromParts(1899, 12, 30, 22, 0, 0),
                       DateTime::fromParts(1899, 12, 30, 2, 0, 0));
    QVERIFY(f.editor->conditionCheck());
    // Sunday 22:00 to Monday 02:00 is over: next Monday's, Sunday 22:00 to Monday 02:00 a week on.
    QCOMPARE(f.editor->values().start, DateTime::fromParts(2026, 12, 13, 22, 0, 0));
    QCOMPARE(f.editor->values().end, DateTime::fromParts(2026, 12, 14, 2, 0, 0));
}

void EditorLoadCheckTest::failureShowsMessageAndFocuses_data() {
    QTest::addColumn<QString>("params");
    QTest::addColumn<QString>("message");
    QTest::addColumn<QString>("focus");
    QTest::newRow("no condition") << "0,0,0,-1,0,-1,,,,0000000,,,,,-1,-1,,,0,"
                                  << "请设定条件！"
                                  << "Chk_time";
    QTest::newRow("no operation") << "1,0,0,-1,0,0,,,5,0000000,,,,,-1,-1,,,0,"
                                  << "请选择操作方式！"
                                  << "Comb_oper";
    QTest::newRow("no time mode") << "1,0,0,3,0,-1,,,,0000000,,,,,-1,-1,,,0,"
                                  << "请选择时间设定模式！"
                                  << "Comb_time";
    QTest::newRow("countdown empty") << "1,0,0,3,0,0,,,,0000000,,,,,-1,-1,,,0,"
                                     << "请输入大于0的数值!"
                                     << "txt_ttime";
    QTest::newRow("no weekday") << "1,0,0,3,0,2,,,,0000000,,,,,-1,-1,,,0,"
                                << "请勾选星期！!"
                                << "List_week";
    QTest::newRow("idle empty") << "0,1,0,3,0,-1,,,,0000000,,,,,-1,-1,,,0,"
                                << "请输入闲置时间！"
                                << "txt_day";
    QTest::newRow("no direction") << "0,0,1,3,0,-1,,,,0000000,,,,,-1,-1,,,0,"
                                  << "请选择网络模式！"
                                  << "Comb_updown";
    QTest::newRow("no rate") << "0,0,1,3,0,-1,,,,0000000,,,,,0,0,,5,0,"
                             << "请输入网络流量标准！"
                             << "txt_netdata";
    QTest::newRow("reminder of spaces") << "0,1,0,0,0,-1,,,,0000000,,,1,,-1,-1,,,0,   "
                                        << "请输入提醒内容、程序路径或进程名称！"
                                        << "txt_tips";
}

void EditorLoadCheckTest::failureShowsMessageAndFocuses() {
    QFETCH(QString, params);
    QFETCH(QString, message);
    QFETCH(QString, focus);
    EditorFixture f;
    QVERIFY(f.activate());
    f.editor->loadTask(Row(params.toStdString()), FixedNow(), FixedNow());
    QVERIFY(!f.editor->conditionCheck());
    QApplication::processEvents();
    QCOMPARE(f.shown().size(), size_t{1});
    QCOMPARE(f.shown()[0].text, message);
    QCOMPARE(QApplication::focusWidget(), f.find<QWidget>(focus.toLatin1().constData()));
}

void EditorLoadCheckTest::laterFailureKeepsRecomputedPickers() {
    EditorFixture f;
    // Weekly on Monday 08:00-09:00 (today's window is over) with an empty idle time.
    f.editor->loadTask(Row("1,1,0,3,0,2,,,,1000000,,,,,-1,-1,,,0,"),
                       DateTime::fromParts(1899, 12, 30, 8, 0, 0),
                       DateTime::fromParts(1899, 12, 30, 9, 0, 0));
    QVERIFY(!f.editor->conditionCheck());
    QCOMPARE(f.shown().back().text, QString("请输入闲置时间！"));
    QCOMPARE(f.editor->values().start, DateTime::fromParts(2026, 12, 14, 8, 0, 0));
    QCOMPARE(f.editor->values().end, DateTime::fromParts(2026, 12, 14, 9, 0, 0));
}

void EditorLoadCheckTest::focusByCheckRunsNoLeaveCheck() {
    EditorFixture f;
    QVERIFY(f.activate());
    f.find<QCheckBox>("Chk_sysfree")->setChecked(true);
    auto* hour = f.find<QLineEdit>("txt_hour");
    hour->setFocus();
    QApplication::processEvents();
    hour->setText("99"); // written by a task file, not typed
    // No operation: the check moves the focus to Comb_oper; only its own message is shown and the focus
    // does not stay behind in the box.
    QVERIFY(!f.editor->conditionCheck());
    QApplication::processEvents();
    QCOMPARE(f.shown().size(), size_t{1});
    QCOMPARE(f.shown()[0].text, QString("请选择操作方式！"));
    QCOMPARE(QApplication::focusWidget(), f.find<QWidget>("Comb_oper"));
}

void EditorLoadCheckTest::focusByCheckSelectsTheBoxText() {
    EditorFixture f;
    QVERIFY(f.activate());
    // A countdown that rounds to nothing, then a reminder of spaces: the box the check sends the user to
    // has its text selected, so typing replaces it.
    const std::pair<const char*, const char*> cases[] = {
        {"1,0,0,3,0,0,,,0.4,0000000,,,,,-1,-1,,,0,", "txt_ttime"},
        {"0,1,0,0,0,-1,,,,0000000,,,1,,-1,-1,,,0,   ", "txt_tips"},
    };
    for (const auto& [params, name] : cases) {
        f.find<QComboBox>("Comb_time")->setFocus();
        QApplication::processEvents();
        f.editor->loadTask(Row(params), FixedNow(), FixedNow());
        auto* box = f.find<QLineEdit>(name);
        box->deselect();
        QVERIFY2(!f.editor->conditionCheck(), name);
        QApplication::processEvents();
        QVERIFY2(QApplication::focusWidget() == box, name);
        QVERIFY2(!box->text().isEmpty(), name);
        QVERIFY2(box->selectedText() == box->text(), name);
    }
}

QTEST_MAIN(EditorLoadCheckTest)
#include "editor_load_check_test.moc"
