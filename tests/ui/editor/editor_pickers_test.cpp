// The pickers: the user's changes are coupled, the program's values stay as written, Enter moves on.
#include "editor/editor_fixture.h"

#include <QCheckBox>
#include <QComboBox>
#include <QDateTimeEdit>
#include <QLineEdit>
#include <QtTest>

using namespace vantor;
using namespace vantor::test;

class EditorPickersTest : public QObject {
    Q_OBJECT
private slots:
    void userStartChangeSizesTheWindow_data();
    void userStartChangeSizesTheWindow();
    void userEndBeforeStartJumpsToStart();
    void countdownModeLeavesEndAlone();
    void programValuesStayAsWritten();
    void weeklyPickerKeepsTheDayItWasGiven();
    void enterMovesOnLikeTab();
    void steppingWithTheKeyboardCouples();
};

namespace {

QDateTime Qt_(int y, int mo, int d, int h, int mi, int s) {
    return QDateTime(QDate(y, mo, d), QTime(h, mi, s), Qt::UTC);
}

// A change the user makes: the picker's own edit signal, as typing or stepping gives it.
void UserSets(QDateTimeEdit* picker, const QDateTime& value) {
    picker->setDateTime(value);
}

} // namespace

void EditorPickersTest::userStartChangeSizesTheWindow_data() {
    QTest::addColumn<bool>("idle");
    QTest::addColumn<bool>("net");
    QTest::addColumn<QDateTime>("expectedEnd");
    // Start 20:00:00; the end was 19:00:00 (before the start) on the same day.
    QTest::newRow("no idle, no traffic: end follows start") << false << false << Qt_(2026, 12, 7, 20, 0, 0);
    QTest::newRow("idle 1 hour") << true << false << Qt_(2026, 12, 7, 21, 0, 0);
    QTest::newRow("idle 1 hour and hold 300 s") << true << true << Qt_(2026, 12, 7, 21, 5, 0);
    QTest::newRow("hold 300 s only") << false << true << Qt_(2026, 12, 7, 20, 5, 0);
}

void EditorPickersTest::userStartChangeSizesTheWindow() {
    QFETCH(bool, idle);
    QFETCH(bool, net);
    QFETCH(QDateTime, expectedEnd);

    EditorFixture f;
    f.find<QCheckBox>("Chk_time")->setChecked(true);
    f.find<QComboBox>("Comb_time")->setCurrentIndex(1);
    f.find<QLineEdit>("txt_day")->setText("0");
    f.find<QLineEdit>("txt_hour")->setText("1");
    f.find<QLineEdit>("txt_mini")->setText("0");
    f.find<QLineEdit>("txt_second")->setText("0");
    f.find<QLineEdit>("txt_net_time")->setText("300");
    f.find<QCheckBox>("Chk_sysfree")->setChecked(idle);
    f.find<QCheckBox>("Chk_net")->setChecked(net);
    f.editor->setPickers(DateTime::fromParts(2026, 12, 7, 18, 0, 0),
                         DateTime::fromParts(2026, 12, 7, 19, 0, 0));

    auto* start = f.find<QDateTimeEdit>("DTPk_start");
    UserSets(start, Qt_(2026, 12, 7, 20, 0, 0));
    QCOMPARE(f.find<QDateTimeEdit>("DTPk_end")->dateTime(), expectedEnd);
    QCOMPARE(start->dateTime(), Qt_(2026, 12, 7, 20, 0, 0));
}

void EditorPickersTest::userEndBeforeStartJumpsToStart() {
    EditorFixture f;
    f.find<QComboBox>("Comb_time")->setCurrentIndex(1);
    f.editor->setPickers(DateTime::fromParts(2026, 12, 7, 18, 0, 0),
                         DateTime::fromParts(2026, 12, 7, 19, 0, 0));
    auto* end = f.find<QDateTimeEdit>("DTPk_end");
    UserSets(end, Qt_(2026, 12, 7, 17, 0, 0));
    QCOMPARE(end->dateTime(), Qt_(2026, 12, 7, 18, 0, 0));
    UserSets(end, Qt_(2026, 12, 7, 23, 0, 0));
    QCOMPARE(end->dateTime(), Qt_(2026, 12, 7, 23, 0, 0));
}

void EditorPickersTest::countdownModeLeavesEndAlone() {
    EditorFixture f;
    f.find<QCheckBox>("Chk_sysfree")->setChecked(true);
    f.find<QLineEdit>("txt_hour")->setText("1");
    f.find<QComboBox>("Comb_time")->setCurrentIndex(0);
    f.editor->setPickers(DateTime::fromParts(2026, 12, 7, 18, 0, 0),
                         DateTime::fromParts(2026, 12, 7, 19, 0, 0));
    UserSets(f.find<QDateTimeEdit>("DTPk_start"), Qt_(2026, 12, 7, 20, 0, 0));
    QCOMPARE(f.find<QDateTimeEdit>("DTPk_end")->dateTime(), Qt_(2026, 12, 7, 19, 0, 0));
}

void EditorPickersTest::programValuesStayAsWritten() {
    EditorFixture f;
    f.find<QCheckBox>("Chk_sysfree")->setChecked(true);
    f.find<QLineEdit>("txt_hour")->setText("1");
    f.find<QComboBox>("Comb_time")->setCurrentIndex(1);
    // An end before the start, and a window shorter than the idle time: neither is "corrected".
    f.editor->setPickers(DateTime::fromParts(2026, 12, 7, 20, 0, 0),
                         DateTime::fromParts(2026, 12, 7, 19, 0, 0));
    QCOMPARE(f.editor->values().start, DateTime::fromParts(2026, 12, 7, 20, 0, 0));
    QCOMPARE(f.editor->values().end, DateTime::fromParts(2026, 12, 7, 19, 0, 0));
    f.editor->setStartPicker(DateTime::fromParts(2026, 12, 7, 22, 0, 0));
    QCOMPARE(f.editor->values().start, DateTime::fromParts(2026, 12, 7, 22, 0, 0));
    QCOMPARE(f.editor->values().end, DateTime::fromParts(2026, 12, 7, 19, 0, 0));
}

void EditorPickersTest::weeklyPickerKeepsTheDayItWasGiven() {
    EditorFixture f;
    f.find<QComboBox>("Comb_time")->setCurrentIndex(2);
    // The next weekly window lies on another day than the one the time-only format was set on.
    f.editor->setPickers(DateTime::fromParts(2026, 12, 14, 8, 0, 0),
                         DateTime::fromParts(2026, 12, 14, 9, 0, 0));
    QCOMPARE(f.editor->values().start, DateTime::fromParts(2026, 12, 14, 8, 0, 0));
    QCOMPARE(f.editor->values().end, DateTime::fromParts(2026, 12, 14, 9, 0, 0));
    // A stored weekly time is a time of day on day 0.
    f.editor->setPickers(DateTime::fromParts(1899, 12, 30, 22, 0, 0),
                         DateTime::fromParts(1899, 12, 30, 2, 0, 0));
    QCOMPARE(f.editor->values().start, DateTime::fromParts(1899, 12, 30, 22, 0, 0));
    QCOMPARE(f.editor->values().end, DateTime::fromParts(1899, 12, 30, 2, 0, 0));
}

void EditorPickersTest::enterMovesOnLikeTab() {
    EditorFixture f;
    f.find<QCheckBox>("Chk_time")->setChecked(true);
    f.find<QComboBox>("Comb_time")->setCurrentIndex(1);
    QVERIFY(f.activate());
    auto* start = f.find<QDateTimeEdit>("DTPk_start");
    auto* end = f.find<QDateTimeEdit>("DTPk_end");
    start->setFocus();
    QApplication::processEvents();
    const QDateTime before = start->dateTime();
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Return);
    QApplication::processEvents();
    QVERIFY(end->hasFocus());
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Enter);
    QApplication::processEvents();
    QVERIFY(!end->hasFocus());
    QCOMPARE(start->dateTime(), before);
}

void EditorPickersTest::steppingWithTheKeyboardCouples() {
    EditorFixture f;
    f.find<QCheckBox>("Chk_time")->setChecked(true);
    f.find<QCheckBox>("Chk_sysfree")->setChecked(true);
    f.find<QLineEdit>("txt_hour")->setText("1");
    f.find<QComboBox>("Comb_time")->setCurrentIndex(2);
    QVERIFY(f.activate());
    f.editor->setPickers(DateTime::fromParts(1899, 12, 30, 18, 0, 0),
                         DateTime::fromParts(1899, 12, 30, 18, 30, 0));
    auto* start = f.find<QDateTimeEdit>("DTPk_start");
    start->setFocus();
    start->setCurrentSection(QDateTimeEdit::HourSection);
    QTest::keyClick(start, Qt::Key_Up);
    QCOMPARE(f.editor->values().start, DateTime::fromParts(1899, 12, 30, 19, 0, 0));
    QCOMPARE(f.editor->values().end, DateTime::fromParts(1899, 12, 30, 20, 0, 0));
}

QTEST_MAIN(EditorPickersTest)
#include "editor_pickers_test.moc"
