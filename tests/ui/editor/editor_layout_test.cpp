// The editor's design: start states, captions, item lists, limits, geometry and the time-mode layouts.
#include "editor/editor_fixture.h"
#include "support/item_view_clicks.h"
#include "ui/common/twips.h"

#include <QCheckBox>
#include <QComboBox>
#include <QDateTimeEdit>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QtTest>

using namespace vantor;
using namespace vantor::test;
using vantor::ui::Twips;
using vantor::ui::TwipsRect;

class EditorLayoutTest : public QObject {
    Q_OBJECT
private slots:
    void startStates();
    void captionsAndItems();
    void designGeometry_data();
    void designGeometry();
    void entryBoxesHaveLimitsAndNames();
    void conditionChecksSwitchTheirFrames();
    void modeLayout_data();
    void modeLayout();
    void modeChangeResetsPickersToNow();
    void directionResetsComparison();
    void runningAppearance();
    void clickOnADayTicksIt();
};

void EditorLayoutTest::startStates() {
    EditorFixture f;
    for (const char* name : {"Chk_time", "Chk_sysfree", "Chk_net", "chk_fullscr", "Chk_mult"}) {
        QVERIFY2(!f.find<QCheckBox>(name)->isChecked(), name);
    }
    for (const char* name : {"Fra_time", "Fra_oper", "Fra_net"}) {
        QVERIFY2(!f.find<QGroupBox>(name)->isEnabled(), name);
    }
    for (const char* name : {"Comb_oper", "Comb_time", "Comb_updown", "Comb_netcompare"}) {
        QCOMPARE(f.find<QComboBox>(name)->currentIndex(), -1);
        QVERIFY2(!f.find<QComboBox>(name)->isEditable(), name);
    }
    QVERIFY(f.find<QListWidget>("List_week")->isHidden());
    QVERIFY(f.find<QLineEdit>("txt_tips")->isHidden());
    QVERIFY(f.find<QLabel>("Lab_tips")->isHidden());
    QVERIFY(f.find<QCheckBox>("Chk_mult")->isHidden());
    QVERIFY(f.find<QCheckBox>("chk_fullscr")->isEnabled());
    QVERIFY(!f.find<QLineEdit>("txt_ttime")->isHidden());
    QVERIFY(f.find<QDateTimeEdit>("DTPk_start")->isHidden());
    QVERIFY(f.find<QDateTimeEdit>("DTPk_end")->isHidden());
    QCOMPARE(f.find<QLabel>("Lab_symbol")->text(), QString("秒"));
    QCOMPARE(f.find<QLabel>("Label8")->text(), QString("秒"));
    const EditorValues v = f.editor->values();
    QCOMPARE(v.week, (std::array<bool, 7>{}));
    QVERIFY(v.tips.empty() && v.countdownText.empty() && v.netRate.empty());
    // The area the window leaves to the editor.
    QCOMPARE(f.editor->size(), QSize(Twips(6135), Twips(3250)));
}

void EditorLayoutTest::captionsAndItems() {
    EditorFixture f;
    QCOMPARE(f.find<QGroupBox>("Frm_condition")->title(), QString("条件设置"));
    QCOMPARE(f.find<QGroupBox>("Fra_time")->title(), QString("时间设定"));
    QCOMPARE(f.find<QGroupBox>("Fra_oper")->title(), QString("系统闲置设定"));
    QCOMPARE(f.find<QGroupBox>("Fra_net")->title(), QString("网络流量设定"));
    QCOMPARE(f.find<QCheckBox>("Chk_time")->text(), QString("时间"));
    QCOMPARE(f.find<QCheckBox>("Chk_sysfree")->text(), QString("系统闲置"));
    QCOMPARE(f.find<QCheckBox>("Chk_net")->text(), QString("网络流量"));
    QCOMPARE(f.find<QCheckBox>("chk_fullscr")->text(), QString("全屏暂停"));
    QCOMPARE(f.find<QCheckBox>("chk_fullscr")->toolTip(), QString("全屏状态时任务暂停"));
    // A session that cannot know the foreground window (Wayland) is told so, on a box that is greyed out.
    f.ui.platform.SetCanKnowForegroundWindow(false);
    ui::TaskEditor onWayland(f.ui.context, nullptr);
    QCOMPARE(onWayland.findChild<QCheckBox*>("chk_fullscr")->toolTip(),
             QString("全屏状态时任务暂停（此桌面无法得知前台窗口，本项不起作用）"));
    QVERIFY(!onWayland.findChild<QCheckBox*>("chk_fullscr")->isEnabled());
    QCOMPARE(f.find<QCheckBox>("Chk_mult")->text(), QString("多开"));
    QCOMPARE(f.find<QLabel>("Lab_tips")->text(), QString("提醒"));
    QCOMPARE(f.find<QLabel>("Label3")->text(), QString("KB/秒，持续"));
    QCOMPARE(f.find<QLabel>("Label9")->text(), QString("秒"));
    QCOMPARE(f.find<QLabel>("Lab_time")->text(), QString("闲置"));
    QCOMPARE(f.find<QLabel>("Label5")->text(), QString("天"));
    QCOMPARE(f.find<QLabel>("Label6")->text(), QString("时"));
    QCOMPARE(f.find<QLabel>("Label7")->text(), QString("分"));

    auto items = [&f](const char* name) {
        QStringList out;
        auto* list = f.find<QComboBox>(name);
        for (int i = 0; i < list->count(); ++i) {
            out << list->itemText(i);
        }
        return out;
    };
    QCOMPARE(items("Comb_oper"),
             QStringList({"提醒", "运行", "结束", "关机", "重启", "注销", "锁定", "睡眠", "休眠"}));
    QCOMPARE(items("Comb_time"), QStringList({"倒计时", "时段", "每周"}));
    QCOMPARE(items("Comb_updown"), QStringList({"下载", "上传"}));
    QCOMPARE(items("Comb_netcompare"), QStringList({"小于等于", "大于等于"}));
    auto* week = f.find<QListWidget>("List_week");
    QStringList days;
    for (int i = 0; i < week->count(); ++i) {
        days << week->item(i)->text();
        QVERIFY(week->item(i)->flags().testFlag(Qt::ItemIsUserCheckable));
    }
    QCOMPARE(days, QStringList({"星期一", "星期二", "星期三", "星期四", "星期五", "星期六", "星期日"}));
}

void EditorLayoutTest::designGeometry_data() {
    QTest::addColumn<QString>("name");
    QTest::addColumn<QRect>("rect");
    QTest::newRow("Frm_condition") << "Frm_condition" << TwipsRect(120, 120, 5295, 615);
    QTest::newRow("Fra_time") << "Fra_time" << TwipsRect(120, 800, 5895, 615);
    QTest::newRow("Fra_oper") << "Fra_oper" << TwipsRect(120, 1500, 5895, 615);
    QTest::newRow("Fra_net") << "Fra_net" << TwipsRect(120, 2200, 5895, 615);
    QTest::newRow("List_week") << "List_week" << TwipsRect(5400, 1040, 1600, 270);
    QTest::newRow("txt_ttime") << "txt_ttime" << TwipsRect(1320, 240, 2070, 315);
    QTest::newRow("Lab_symbol") << "Lab_symbol" << TwipsRect(3480, 285, 2200, 255);
}

void EditorLayoutTest::designGeometry() {
    QFETCH(QString, name);
    QFETCH(QRect, rect);
    EditorFixture f;
    QCOMPARE(f.find<QWidget>(name.toLatin1().constData())->geometry(), rect);
}

void EditorLayoutTest::entryBoxesHaveLimitsAndNames() {
    EditorFixture f;
    QCOMPARE(f.find<QLineEdit>("txt_ttime")->maxLength(), 9);
    QCOMPARE(f.find<QLineEdit>("txt_day")->maxLength(), 7);
    for (const char* name : {"txt_hour", "txt_mini", "txt_second"}) {
        QCOMPARE(f.find<QLineEdit>(name)->maxLength(), 2);
    }
    // Idle row positions, left to right.
    const std::pair<const char*, int> lefts[] = {{"Lab_time", 120},  {"txt_day", 600},     {"Label5", 1395},
                                                 {"txt_hour", 1620}, {"Label6", 2100},     {"txt_mini", 2340},
                                                 {"Label7", 2820},   {"txt_second", 3060}, {"Label8", 3540}};
    for (const auto& [name, left] : lefts) {
        QCOMPARE(f.find<QWidget>(name)->x(), Twips(left));
    }
    QCOMPARE(f.find<QLineEdit>("txt_day")->width(), Twips(735));
    QCOMPARE(f.find<QLabel>("Label8")->width(), Twips(2235));
    QCOMPARE(f.find<QLineEdit>("txt_tips")->geometry().topLeft(), QPoint(Twips(550), Twips(2880)));
    QCOMPARE(f.find<QLineEdit>("txt_tips")->width(), Twips(4575));
    QCOMPARE(f.find<QLabel>("Lab_tips")->pos(), QPoint(Twips(120), Twips(2920)));
    QCOMPARE(f.find<QCheckBox>("Chk_mult")->pos(), QPoint(Twips(5280), Twips(2910)));
    // Typing stops at the limit.
    f.find<QCheckBox>("Chk_sysfree")->setChecked(true);
    auto* hour = f.find<QLineEdit>("txt_hour");
    QTest::keyClicks(hour, "123");
    QCOMPARE(hour->text(), QString("12"));
    // Every entry box says what it holds.
    for (const char* name : {"txt_ttime", "txt_day", "txt_hour", "txt_mini", "txt_second", "txt_netdata",
                             "txt_net_time", "txt_tips", "Comb_oper", "Comb_time", "Comb_updown",
                             "Comb_netcompare", "DTPk_start", "DTPk_end", "List_week"}) {
        QVERIFY2(!f.find<QWidget>(name)->accessibleName().isEmpty(), name);
    }
    QCOMPARE(f.find<QLineEdit>("txt_ttime")->accessibleName(), QString("倒计时秒数"));
    QCOMPARE(f.find<QLineEdit>("txt_day")->accessibleName(), QString("闲置天数"));
}

void EditorLayoutTest::conditionChecksSwitchTheirFrames() {
    EditorFixture f;
    const std::pair<const char*, const char*> groups[] = {
        {"Chk_time", "Fra_time"}, {"Chk_sysfree", "Fra_oper"}, {"Chk_net", "Fra_net"}};
    for (const auto& [check, frame] : groups) {
        f.find<QCheckBox>(check)->setChecked(true);
        QVERIFY2(f.find<QGroupBox>(frame)->isEnabled(), frame);
    }
    f.find<QLineEdit>("txt_netdata")->setText("10");
    f.find<QCheckBox>("Chk_net")->setChecked(false);
    QVERIFY(!f.find<QGroupBox>("Fra_net")->isEnabled());
    f.find<QCheckBox>("Chk_net")->setChecked(true);
    QCOMPARE(f.find<QLineEdit>("txt_netdata")->text(), QString("10"));
}

void EditorLayoutTest::modeLayout_data() {
    QTest::addColumn<int>("mode");
    QTest::addColumn<bool>("countdownShown");
    QTest::addColumn<bool>("pickersShown");
    QTest::addColumn<bool>("weekShown");
    QTest::addColumn<int>("startLeft");
    QTest::addColumn<int>("endLeft");
    QTest::addColumn<int>("pickerWidth");
    QTest::addColumn<QString>("format");
    QTest::addColumn<int>("symbolLeft");
    QTest::addColumn<int>("symbolWidth");
    QTest::addColumn<QString>("symbol");

    QTest::newRow("countdown") << 0 << true << false << false << 1320 << 3720 << 2070 << "yyyy-MM-dd HH:mm:ss"
                               << 3480 << 2200 << "秒";
    QTest::newRow("time window") << 1 << false << true << false << 1320 << 3720 << 2070
                                 << "yyyy-MM-dd HH:mm:ss" << 3480 << 500 << "至";
    QTest::newRow("weekly") << 2 << false << true << true << 2920 << 4420 << 1300 << "HH:mm:ss" << 4220 << 500
                            << "至";
}

void EditorLayoutTest::modeLayout() {
    QFETCH(int, mode);
    QFETCH(bool, countdownShown);
    QFETCH(bool, pickersShown);
    QFETCH(bool, weekShown);
    QFETCH(int, startLeft);
    QFETCH(int, endLeft);
    QFETCH(int, pickerWidth);
    QFETCH(QString, format);
    QFETCH(int, symbolLeft);
    QFETCH(int, symbolWidth);
    QFETCH(QString, symbol);

    EditorFixture f;
    auto* time = f.find<QComboBox>("Comb_time");
    // From every other layout, so nothing is left over from the one before.
    for (int from = 0; from < 3; ++from) {
        time->setCurrentIndex(-1);
        time->setCurrentIndex(from);
        time->setCurrentIndex(mode);
        auto* start = f.find<QDateTimeEdit>("DTPk_start");
        auto* end = f.find<QDateTimeEdit>("DTPk_end");
        auto* sym = f.find<QLabel>("Lab_symbol");
        auto* week = f.find<QListWidget>("List_week");
        QCOMPARE(!f.find<QLineEdit>("txt_ttime")->isHidden(), countdownShown);
        QCOMPARE(!start->isHidden(), pickersShown);
        QCOMPARE(!end->isHidden(), pickersShown);
        QCOMPARE(!week->isHidden(), weekShown);
        QCOMPARE(start->x(), Twips(startLeft));
        QCOMPARE(end->x(), Twips(endLeft));
        QCOMPARE(start->width(), Twips(pickerWidth));
        QCOMPARE(end->width(), Twips(pickerWidth));
        QCOMPARE(start->displayFormat(), format);
        QCOMPARE(end->displayFormat(), format);
        QCOMPARE(sym->x(), Twips(symbolLeft));
        QCOMPARE(sym->width(), Twips(symbolWidth));
        QCOMPARE(sym->text(), symbol);
        if (weekShown) {
            QCOMPARE(week->geometry(), TwipsRect(1320, 1040, 1600, 270));
        }
    }
}

void EditorLayoutTest::modeChangeResetsPickersToNow() {
    EditorFixture f;
    auto* time = f.find<QComboBox>("Comb_time");
    time->setCurrentIndex(1);
    f.editor->setPickers(DateTime::fromParts(2027, 1, 1, 8, 0, 0), DateTime::fromParts(2027, 1, 1, 9, 0, 0));
    f.ui.platform.SetNow(DateTime::fromParts(2026, 12, 8, 11, 22, 33));
    time->setCurrentIndex(2);
    QCOMPARE(f.editor->values().start, DateTime::fromParts(2026, 12, 8, 11, 22, 33));
    QCOMPARE(f.editor->values().end, DateTime::fromParts(2026, 12, 8, 11, 22, 33));

    // Picking the same mode again resets them as well.
    f.editor->setPickers(DateTime::fromParts(2027, 1, 1, 8, 0, 0), DateTime::fromParts(2027, 1, 1, 9, 0, 0));
    f.ui.platform.SetNow(DateTime::fromParts(2026, 12, 8, 12, 0, 0));
    QApplication::processEvents();
    emit time->activated(2);
    QCOMPARE(f.editor->values().start, DateTime::fromParts(2026, 12, 8, 12, 0, 0));
    QCOMPARE(f.editor->values().end, DateTime::fromParts(2026, 12, 8, 12, 0, 0));

    // Countdown text and week ticks stay.
    f.find<QListWidget>("List_week")->item(3)->setCheckState(Qt::Checked);
    f.find<QLineEdit>("txt_ttime")->setText("600");
    time->setCurrentIndex(0);
    time->setCurrentIndex(2);
    QCOMPARE(f.find<QLineEdit>("txt_ttime")->text(), QString("600"));
    QVERIFY(f.editor->values().week[3]);
}

void EditorLayoutTest::directionResetsComparison() {
    EditorFixture f;
    auto* compare = f.find<QComboBox>("Comb_netcompare");
    compare->setCurrentIndex(1);
    f.find<QComboBox>("Comb_updown")->setCurrentIndex(1);
    QCOMPARE(compare->currentIndex(), 0);
    compare->setCurrentIndex(1);
    QApplication::processEvents();
    emit f.find<QComboBox>("Comb_updown")->activated(1);
    QCOMPARE(compare->currentIndex(), 0);
}

void EditorLayoutTest::runningAppearance() {
    EditorFixture f;
    f.find<QCheckBox>("Chk_time")->setChecked(true);
    f.find<QComboBox>("Comb_oper")->setCurrentIndex(1);
    f.editor->setRunning(true);
    for (const char* name : {"List_week", "Frm_condition", "Fra_time", "txt_tips", "Chk_mult"}) {
        QVERIFY2(!f.find<QWidget>(name)->isEnabled(), name);
    }
    f.editor->setRunning(false);
    for (const char* name : {"List_week", "Frm_condition", "Fra_time", "txt_tips", "Chk_mult"}) {
        QVERIFY2(f.find<QWidget>(name)->isEnabled(), name);
    }
    // Groups whose condition is off stay disabled.
    QVERIFY(!f.find<QGroupBox>("Fra_oper")->isEnabled());
    QVERIFY(!f.find<QGroupBox>("Fra_net")->isEnabled());
}

QTEST_MAIN(EditorLayoutTest)
void EditorLayoutTest::clickOnADayTicksIt() {
    EditorFixture f;
    f.find<QCheckBox>("Chk_time")->setChecked(true);
    f.find<QComboBox>("Comb_time")->setCurrentIndex(2);
    QVERIFY(f.activate());
    auto* week = f.find<QListWidget>("List_week");
    week->setFocus(); // opens to full height
    QApplication::processEvents();
    const QModelIndex tuesday = week->model()->index(1, 0);
    const QRect rect = week->visualRect(tuesday);
    const QPoint onName(rect.right() - 4, rect.center().y());
    QVERIFY(!CheckMarkRect(week, tuesday).contains(onName));

    QTest::mouseClick(week->viewport(), Qt::LeftButton, {}, onName);
    QCOMPARE(week->item(1)->checkState(), Qt::Checked);
    QTest::mouseClick(week->viewport(), Qt::LeftButton, {}, onName);
    QCOMPARE(week->item(1)->checkState(), Qt::Unchecked);
    // A click on the box itself turns it over once, not twice.
    ClickCheckMark(week, tuesday);
    QCOMPARE(week->item(1)->checkState(), Qt::Checked);
    QCOMPARE(f.editor->values().week, (std::array<bool, 7>{false, true, false, false, false, false, false}));
}

#include "editor_layout_test.moc"
