// Leaving an entry box: refused values keep the focus and say why; accepted ones let it go; select-all on
// entry.
#include "editor/editor_fixture.h"
#include "ui/common/twips.h"

#include <QCheckBox>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QScrollBar>
#include <QtTest>

using namespace vantor;
using namespace vantor::test;

Q_DECLARE_METATYPE(vantor::MessageIcon)

class EditorValidateTest : public QObject {
    Q_OBJECT
private slots:
    void refusedValueKeepsFocus_data();
    void refusedValueKeepsFocus();
    void acceptedValueLetsFocusGo_data();
    void acceptedValueLetsFocusGo();
    void tabOutOfRefusedBoxStays();
    void refusedClickDoesNotReachItsTarget();
    void refusedMoveNeverReachesTheTarget();
    void countdownLabelFollowsText_data();
    void countdownLabelFollowsText();
    void idleTotalFollowsEveryIdleBox();
    void focusSelectsWholeText();
    void weekListOpensWhileFocused();
    void weekListScrollingOpensIt();
};

namespace {

// Enables every group so each box can take the focus.
void EnableGroups(EditorFixture& f) {
    f.find<QCheckBox>("Chk_time")->setChecked(true);
    f.find<QCheckBox>("Chk_sysfree")->setChecked(true);
    f.find<QCheckBox>("Chk_net")->setChecked(true);
}

} // namespace

void EditorValidateTest::refusedValueKeepsFocus_data() {
    QTest::addColumn<QString>("box");
    QTest::addColumn<QString>("text");
    QTest::addColumn<QString>("message");
    QTest::addColumn<QString>("title");
    QTest::addColumn<MessageIcon>("icon");
    QTest::addColumn<QString>("textAfter");

    const auto info = MessageIcon::Information;
    const auto warn = MessageIcon::Warning;
    QTest::newRow("countdown not a number") << "txt_ttime"
                                            << "abc"
                                            << "请输入数值！"
                                            << "提示" << info << "abc";
    QTest::newRow("countdown zero") << "txt_ttime"
                                    << "0"
                                    << "请输入大于0的整数！"
                                    << "提示" << info << "0";
    QTest::newRow("countdown fraction") << "txt_ttime"
                                        << "1.5"
                                        << "请输入大于0的整数！"
                                        << "提示" << info << "1.5";
    QTest::newRow("days negative") << "txt_day"
                                   << "-1"
                                   << "请输入大于0的整数！"
                                   << "提示" << info << "-1";
    QTest::newRow("days fraction") << "txt_day"
                                   << "1.5"
                                   << "请输入大于0的整数！"
                                   << "提示" << info << "1.5";
    QTest::newRow("days not a number") << "txt_day"
                                       << "abc"
                                       << "请输入数值！"
                                       << "输入提示" << warn << "abc";
    QTest::newRow("hour 24") << "txt_hour"
                             << "24"
                             << "请输入大于0小于23的整数！"
                             << "输入提示" << warn << "24";
    QTest::newRow("minute 60") << "txt_mini"
                               << "60"
                               << "请输入大于0小于59的整数！"
                               << "输入提示" << warn << "60";
    QTest::newRow("second 60") << "txt_second"
                               << "60"
                               << "请输入大于0小于59的整数！"
                               << "输入提示" << warn << "60";
    QTest::newRow("rate not a number") << "txt_netdata"
                                       << "x"
                                       << "请输入数值！"
                                       << "提示" << info << "x";
    QTest::newRow("rate negative cleared") << "txt_netdata"
                                           << "-0.5"
                                           << "请输入大于等于0的数值！"
                                           << "提示" << info << "";
    QTest::newRow("rate too large cleared") << "txt_netdata"
                                            << "1000000001"
                                            << "输入数值过大！"
                                            << "提示" << info << "";
    QTest::newRow("hold zero") << "txt_net_time"
                               << "0"
                               << "请输入大于0的整数！"
                               << "提示" << info << "0";
    QTest::newRow("hold not a number") << "txt_net_time"
                                       << "x"
                                       << "请输入数值！"
                                       << "提示" << info << "x";
}

void EditorValidateTest::refusedValueKeepsFocus() {
    QFETCH(QString, box);
    QFETCH(QString, text);
    QFETCH(QString, message);
    QFETCH(QString, title);
    QFETCH(MessageIcon, icon);
    QFETCH(QString, textAfter);

    EditorFixture f;
    EnableGroups(f);
    f.find<QComboBox>("Comb_time")->setCurrentIndex(0);
    QVERIFY(f.activate());
    auto* edit = f.find<QLineEdit>(box.toLatin1().constData());
    edit->setFocus();
    QApplication::processEvents();
    QCOMPARE(QApplication::focusWidget(), edit);
    edit->setText(text);

    f.find<QComboBox>("Comb_updown")->setFocus();
    QApplication::processEvents();

    QCOMPARE(f.shown().size(), size_t{1});
    QCOMPARE(f.shown()[0].text, message);
    QCOMPARE(f.shown()[0].title, title);
    QCOMPARE(f.shown()[0].icon, icon);
    QCOMPARE(QApplication::focusWidget(), edit);
    QCOMPARE(edit->text(), textAfter);
}

void EditorValidateTest::acceptedValueLetsFocusGo_data() {
    QTest::addColumn<QString>("box");
    QTest::addColumn<QString>("text");

    QTest::newRow("empty countdown") << "txt_ttime"
                                     << "";
    QTest::newRow("countdown 600") << "txt_ttime"
                                   << "600";
    QTest::newRow("longest day count") << "txt_day"
                                       << "9999999";
    QTest::newRow("zero days") << "txt_day"
                               << "0";
    QTest::newRow("hour 23") << "txt_hour"
                             << "23";
    QTest::newRow("hour 0") << "txt_hour"
                            << "0";
    QTest::newRow("minute 59") << "txt_mini"
                               << "59";
    QTest::newRow("rate at the limit") << "txt_netdata"
                                       << "1000000000";
    QTest::newRow("rate fraction") << "txt_netdata"
                                   << "12.5";
    QTest::newRow("hold 30") << "txt_net_time"
                             << "30";
}

void EditorValidateTest::acceptedValueLetsFocusGo() {
    QFETCH(QString, box);
    QFETCH(QString, text);

    EditorFixture f;
    EnableGroups(f);
    f.find<QComboBox>("Comb_time")->setCurrentIndex(0);
    QVERIFY(f.activate());
    auto* edit = f.find<QLineEdit>(box.toLatin1().constData());
    edit->setFocus();
    edit->setText(text);
    auto* target = f.find<QComboBox>("Comb_updown");
    target->setFocus();
    QApplication::processEvents();

    QVERIFY(f.shown().empty());
    QCOMPARE(QApplication::focusWidget(), target);
    QCOMPARE(edit->text(), text);
}

void EditorValidateTest::tabOutOfRefusedBoxStays() {
    EditorFixture f;
    EnableGroups(f);
    QVERIFY(f.activate());
    auto* hour = f.find<QLineEdit>("txt_hour");
    hour->setFocus();
    QTest::keyClicks(hour, "30");
    QTest::keyClick(hour, Qt::Key_Tab);
    QApplication::processEvents();

    QCOMPARE(f.shown().size(), size_t{1});
    QCOMPARE(QApplication::focusWidget(), hour);
    // Corrected, the same key moves on.
    hour->setText("3");
    QTest::keyClick(hour, Qt::Key_Tab);
    QApplication::processEvents();
    QCOMPARE(QApplication::focusWidget(), f.find<QLineEdit>("txt_mini"));
    QCOMPARE(f.shown().size(), size_t{1});
}

void EditorValidateTest::refusedClickDoesNotReachItsTarget() {
    EditorFixture f;
    EnableGroups(f);
    QVERIFY(f.activate());
    auto* day = f.find<QLineEdit>("txt_day");
    day->setFocus();
    day->setText("abc");
    auto* net = f.find<QCheckBox>("Chk_net");
    QTest::mouseClick(net, Qt::LeftButton);
    QApplication::processEvents();

    QCOMPARE(f.shown().size(), size_t{1});
    QCOMPARE(QApplication::focusWidget(), day);
    QVERIFY(net->isChecked());
    // Once the value is right, the next click does its work.
    day->setText("1");
    QTest::mouseClick(net, Qt::LeftButton);
    QApplication::processEvents();
    QVERIFY(!net->isChecked());
}

void EditorValidateTest::refusedMoveNeverReachesTheTarget() {
    EditorFixture f;
    EnableGroups(f);
    f.find<QComboBox>("Comb_time")->setCurrentIndex(2);
    QVERIFY(f.activate());
    auto* day = f.find<QLineEdit>("txt_day");
    day->setFocus();
    day->setText("abc");
    // The week list opens when it gets the focus: a cancelled move must not open it.
    auto* week = f.find<QListWidget>("List_week");
    week->setFocus();
    QApplication::processEvents();
    QCOMPARE(QApplication::focusWidget(), day);
    QCOMPARE(week->height(), ui::Twips(270));
}

void EditorValidateTest::countdownLabelFollowsText_data() {
    QTest::addColumn<QString>("text");
    QTest::addColumn<QString>("label");

    QTest::newRow("zero") << "0"
                          << "秒";
    QTest::newRow("empty") << ""
                           << "秒";
    QTest::newRow("3661") << "3661"
                          << "秒(1时1分1秒)";
    QTest::newRow("one day") << "86400"
                             << "秒(1天0秒)";
}

void EditorValidateTest::countdownLabelFollowsText() {
    QFETCH(QString, text);
    QFETCH(QString, label);
    EditorFixture f;
    f.find<QComboBox>("Comb_time")->setCurrentIndex(0);
    auto* box = f.find<QLineEdit>("txt_ttime");
    box->setText("5");
    box->setText(text);
    QCOMPARE(f.find<QLabel>("Lab_symbol")->text(), label);

    // A text that is no number leaves the caption as it was.
    box->setText("12");
    box->setText("12a");
    QCOMPARE(f.find<QLabel>("Lab_symbol")->text(), QString("秒(12秒)"));
}

void EditorValidateTest::idleTotalFollowsEveryIdleBox() {
    EditorFixture f;
    auto* label = f.find<QLabel>("Label8");
    QCOMPARE(label->text(), QString("秒"));
    f.find<QLineEdit>("txt_day")->setText("1");
    f.find<QLineEdit>("txt_hour")->setText("1");
    f.find<QLineEdit>("txt_mini")->setText("1");
    f.find<QLineEdit>("txt_second")->setText("1");
    QCOMPARE(label->text(), QString("秒，共90,061秒"));
    for (const char* name : {"txt_day", "txt_hour", "txt_mini", "txt_second"}) {
        f.find<QLineEdit>(name)->setText("0");
    }
    QCOMPARE(label->text(), QString("秒，共0秒"));
}

void EditorValidateTest::focusSelectsWholeText() {
    EditorFixture f;
    EnableGroups(f);
    f.find<QComboBox>("Comb_oper")->setCurrentIndex(0);
    QVERIFY(f.activate());
    for (const char* name : {"txt_ttime", "txt_day", "txt_hour", "txt_mini", "txt_second", "txt_netdata",
                             "txt_net_time", "txt_tips"}) {
        auto* box = f.find<QLineEdit>(name);
        box->setText("12");
        box->deselect();
        box->setFocus(Qt::OtherFocusReason);
        QApplication::processEvents();
        QVERIFY2(QApplication::focusWidget() == box, name);
        QVERIFY2(box->selectedText() == box->text(), name);
    }
}

void EditorValidateTest::weekListOpensWhileFocused() {
    EditorFixture f;
    f.find<QCheckBox>("Chk_time")->setChecked(true);
    f.find<QComboBox>("Comb_time")->setCurrentIndex(2);
    QVERIFY(f.activate());
    auto* list = f.find<QListWidget>("List_week");
    QCOMPARE(list->height(), ui::Twips(270));
    list->setFocus();
    QApplication::processEvents();
    QCOMPARE(list->height(), ui::Twips(1620));
    f.find<QComboBox>("Comb_time")->setFocus();
    QApplication::processEvents();
    QCOMPARE(list->height(), ui::Twips(270));
}

void EditorValidateTest::weekListScrollingOpensIt() {
    EditorFixture f;
    f.find<QCheckBox>("Chk_time")->setChecked(true);
    f.find<QComboBox>("Comb_time")->setCurrentIndex(2);
    f.editor->show();
    auto* list = f.find<QListWidget>("List_week");
    QApplication::processEvents();
    list->verticalScrollBar()->triggerAction(QAbstractSlider::SliderSingleStepAdd);
    QCOMPARE(list->height(), ui::Twips(1620));
}

QTEST_MAIN(EditorValidateTest)
#include "editor_validate_test.moc"
