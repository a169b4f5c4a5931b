// The task list on its own: rows in and out, the check mark under the mouse and the keyboard, the lock,
// selection, double-clicks and the running appearance.
#include "support/item_view_clicks.h"

#include "core/tasks/task_record.h"
#include "ui/main_window/task_list.h"

#include <QBrush>
#include <QHelpEvent>
#include <QLineEdit>
#include <QSignalSpy>
#include <QTest>
#include <QToolTip>

#include <memory>
#include <string>
#include <vector>

using vantor::TaskRecord;
using vantor::test::ClickCheckMark;
using vantor::ui::TaskList;

namespace {

TaskRecord Record(int n, bool enabled) {
    const std::string k = std::to_string(n);
    return {enabled, "2026/12/" + k + " 8:00:00", "2026/12/" + k + " 9:00:00", "时段" + k, "锁定",
            "1",     "1,0,0,6,0,1," + k};
}

std::vector<TaskRecord> Records(int count) {
    std::vector<TaskRecord> all;
    for (int i = 0; i < count; ++i) {
        all.push_back(Record(i, i % 2 == 0));
    }
    return all;
}

// A shown window holding a list with `rows`.
struct Shown {
    explicit Shown(const std::vector<TaskRecord>& rows) : window(std::make_unique<QWidget>()) {
        window->resize(500, 300);
        list = new TaskList(window.get());
        list->setGeometry(10, 10, 480, 280);
        list->appendRows(rows);
        window->show();
        if (!QTest::qWaitForWindowExposed(window.get())) {
            qFatal("the window was not shown");
        }
    }
    QModelIndex cell(int row, int column) const { return list->model()->index(row, column); }
    QString text(int row, int column) const { return cell(row, column).data().toString(); }
    QVariant foreground(int row, int column) const { return cell(row, column).data(Qt::ForegroundRole); }
    void doubleClick(const QPoint& at) const {
        QTest::mouseClick(list->viewport(), Qt::LeftButton, {}, at);
        QTest::mouseDClick(list->viewport(), Qt::LeftButton, {}, at);
    }

    std::unique_ptr<QWidget> window;
    TaskList* list = nullptr;
};

} // namespace

class TaskListTest : public QObject {
    Q_OBJECT
private slots:
    void rowsComeBackAsGiven();
    void hugeFieldShowsABoundedPrefix();
    void manyRowsAreOneInsertion();
    void insertClampsAndRemoveShifts();
    void changedTextsKeepTheMark();
    void markIsClickableInTheFirstColumnOnly();
    void spaceTogglesTheCurrentMark();
    void lockRefusesTheUserNotTheProgram();
    void selectionIsOneWholeRow();
    void doubleClickOnRowOnly();
    void textsAreNotEditable();
    void runningRowTurnsRedAndBack();
    void runningStaysWithItsRowWhenRowsComeAndGo();
    void cutCellShowsItsWholeTextAsToolTip();
};

void TaskListTest::rowsComeBackAsGiven() {
    const std::vector<TaskRecord> records = Records(3);
    Shown s(records);
    QCOMPARE(s.list->rowCount(), 3);
    QVERIFY(s.list->rows() == records);
    for (int i = 0; i < 3; ++i) {
        QVERIFY(s.list->row(i) == records[static_cast<size_t>(i)]);
        QCOMPARE(s.list->rowChecked(i), records[static_cast<size_t>(i)].enabled);
    }
    // Every shown column carries its text; the two hidden ones keep theirs in the record (above) and show
    // none, so assistive tools do not read the parameters out.
    const QStringList texts{"2026/12/1 8:00:00", "2026/12/1 9:00:00", "时段1", "锁定", "", ""};
    for (int c = 0; c < 6; ++c) {
        QCOMPARE(s.text(1, c), texts[c]);
    }
    // Rows past either end read as an empty, unchecked record.
    QVERIFY(s.list->row(3) == TaskRecord{});
    QVERIFY(s.list->row(-1) == TaskRecord{});
    QVERIFY(!s.list->rowChecked(3));
}

// A field of megabytes (a damaged file) would take the window seconds and hundreds of megabytes to lay
// out: its cell shows the first 1,000 characters; the record keeps every one.
void TaskListTest::hugeFieldShowsABoundedPrefix() {
    TaskRecord huge = Record(1, true);
    huge.conditionText = std::string(10'000'000, 'x');
    huge.startText = std::string(999, 'a') + "时段";
    Shown s({huge});
    QCOMPARE(s.text(0, 2), QString(1000, QLatin1Char('x')) + QChar(0x2026));
    QCOMPARE(s.text(0, 0), QString(999, QLatin1Char('a')) + QStringLiteral("时…"));
    QCOMPARE(s.list->row(0).conditionText.size(), size_t{10'000'000});
}

void TaskListTest::manyRowsAreOneInsertion() {
    Shown s(Records(2));
    s.list->selectRow(1);
    QSignalSpy inserted(s.list->model(), &QAbstractItemModel::rowsInserted);
    QSignalSpy reset(s.list->model(), &QAbstractItemModel::modelReset);
    s.list->appendRows(Records(5000));
    QCOMPARE(inserted.count(), 1);
    QCOMPARE(inserted[0][1].toInt(), 2);
    QCOMPARE(inserted[0][2].toInt(), 5001);
    QCOMPARE(reset.count(), 0);
    QCOMPARE(s.list->rowCount(), 5002);
    QCOMPARE(s.list->selectedRow(), 1); // appending leaves the selection alone
    QVERIFY(s.list->row(5001) == Record(4999, false));
    s.list->appendRows({});
    QCOMPARE(inserted.count(), 1);
}

void TaskListTest::insertClampsAndRemoveShifts() {
    Shown s(Records(2));
    s.list->insertRow(-4, Record(7, true));
    s.list->insertRow(99, Record(8, false));
    s.list->insertRow(2, Record(9, true));
    QCOMPARE(s.list->rowCount(), 5);
    QVERIFY(s.list->row(0) == Record(7, true));
    QVERIFY(s.list->row(2) == Record(9, true));
    QVERIFY(s.list->row(4) == Record(8, false));
    s.list->appendRow(Record(10, true));
    QVERIFY(s.list->row(5) == Record(10, true));

    s.list->removeRow(6);
    s.list->removeRow(-1);
    QCOMPARE(s.list->rowCount(), 6);
    s.list->removeRow(0);
    QCOMPARE(s.list->rowCount(), 5);
    QVERIFY(s.list->row(0) == Record(0, true));
    QVERIFY(s.list->row(4) == Record(10, true));
}

void TaskListTest::changedTextsKeepTheMark() {
    Shown s(Records(2));
    s.list->setRowTexts(0, Record(5, false));
    TaskRecord expected = Record(5, false);
    expected.enabled = true; // row 0 was checked
    QVERIFY(s.list->row(0) == expected);
    QCOMPARE(s.text(0, 2), QStringLiteral("时段5"));
    s.list->setRowTexts(2, Record(6, true)); // no such row: nothing happens
    QCOMPARE(s.list->rowCount(), 2);

    s.list->setRowChecked(1, true);
    QVERIFY(s.list->rowChecked(1));
    s.list->setRowChecked(1, false);
    QVERIFY(!s.list->rowChecked(1));
    s.list->setRowChecked(5, true);
    QVERIFY(!s.list->rowChecked(5));
}

void TaskListTest::markIsClickableInTheFirstColumnOnly() {
    Shown s(Records(2));
    for (int c = 1; c < 6; ++c) {
        QVERIFY(!s.cell(0, c).data(Qt::CheckStateRole).isValid());
    }
    QCOMPARE(s.cell(0, 0).data(Qt::CheckStateRole).toInt(), int(Qt::Checked));
    ClickCheckMark(s.list, s.cell(0, 0));
    QVERIFY(!s.list->rowChecked(0));
    ClickCheckMark(s.list, s.cell(1, 0));
    QVERIFY(s.list->rowChecked(1));
    ClickCheckMark(s.list, s.cell(1, 0));
    QVERIFY(!s.list->rowChecked(1));
    QCOMPARE(s.list->row(1).conditionText, std::string("时段1")); // the texts stay as they were

    // A click on the text beside the mark selects the row and leaves the mark.
    QTest::mouseClick(s.list->viewport(), Qt::LeftButton, {}, s.list->visualRect(s.cell(0, 1)).center());
    QVERIFY(!s.list->rowChecked(0));
    QCOMPARE(s.list->selectedRow(), 0);
}

void TaskListTest::spaceTogglesTheCurrentMark() {
    Shown s(Records(2));
    s.list->setFocus();
    s.list->selectRow(1);
    QTest::keyClick(s.list, Qt::Key_Space);
    QVERIFY(s.list->rowChecked(1));
    QVERIFY(s.list->rowChecked(0));
    QTest::keyClick(s.list, Qt::Key_Space);
    QVERIFY(!s.list->rowChecked(1));
}

void TaskListTest::lockRefusesTheUserNotTheProgram() {
    Shown s(Records(2));
    bool locked = true;
    s.list->setLockedQuery([&locked] { return locked; });
    ClickCheckMark(s.list, s.cell(0, 0));
    ClickCheckMark(s.list, s.cell(1, 0));
    QVERIFY(s.list->rowChecked(0));
    QVERIFY(!s.list->rowChecked(1));
    s.list->selectRow(1);
    QTest::keyClick(s.list, Qt::Key_Space);
    QVERIFY(!s.list->rowChecked(1));
    s.list->model()->setData(s.cell(1, 0), int(Qt::Checked), Qt::CheckStateRole); // as assistive tools do
    QVERIFY(!s.list->rowChecked(1));

    // The program still sets marks while locked (a finished task is unticked while the run goes on).
    s.list->setRowChecked(0, false);
    QVERIFY(!s.list->rowChecked(0));

    locked = false;
    ClickCheckMark(s.list, s.cell(1, 0));
    QVERIFY(s.list->rowChecked(1));
}

void TaskListTest::selectionIsOneWholeRow() {
    Shown s(Records(3));
    QCOMPARE(s.list->selectedRow(), -1);
    s.list->selectRow(2);
    QCOMPARE(s.list->selectedRow(), 2);
    QCOMPARE(s.list->currentIndex().row(), 2);
    QVERIFY(s.list->selectionModel()->isRowSelected(2, {}));

    // The user picks another row: it replaces the selection, whichever column is clicked.
    QTest::mouseClick(s.list->viewport(), Qt::LeftButton, {}, s.list->visualRect(s.cell(0, 3)).center());
    QCOMPARE(s.list->selectedRow(), 0);
    QVERIFY(s.list->selectionModel()->isRowSelected(0, {}));
    QVERIFY(!s.list->selectionModel()->isRowSelected(2, {}));
    QTest::mouseClick(s.list->viewport(), Qt::LeftButton, Qt::ControlModifier,
                      s.list->visualRect(s.cell(1, 1)).center());
    QCOMPARE(s.list->selectionModel()->selectedRows().size(), 1);

    s.list->selectRow(3);
    QCOMPARE(s.list->selectedRow(), -1);
    s.list->selectRow(1);
    s.list->selectRow(-1);
    QCOMPARE(s.list->selectedRow(), -1);
}

void TaskListTest::doubleClickOnRowOnly() {
    Shown s(Records(2));
    QSignalSpy spy(s.list, &TaskList::rowDoubleClicked);
    s.doubleClick(s.list->visualRect(s.cell(1, 2)).center());
    QCOMPARE(spy.count(), 1);
    QCOMPARE(s.list->selectedRow(), 1);
    // Below the last row there is nothing to load.
    const QRect last = s.list->visualRect(s.cell(1, 0));
    s.doubleClick(QPoint(last.center().x(), last.bottom() + 3 * last.height()));
    QCOMPARE(spy.count(), 1);
}

void TaskListTest::textsAreNotEditable() {
    Shown s(Records(1));
    for (int c = 0; c < 6; ++c) {
        QVERIFY(!(s.cell(0, c).flags() & Qt::ItemIsEditable));
    }
    s.doubleClick(s.list->visualRect(s.cell(0, 2)).center());
    s.list->selectRow(0);
    QTest::keyClick(s.list, Qt::Key_F2);
    QVERIFY(s.list->findChild<QLineEdit*>() == nullptr);
    QCOMPARE(s.text(0, 2), QStringLiteral("时段0"));
}

void TaskListTest::runningRowTurnsRedAndBack() {
    Shown s(Records(2));
    const QPalette shown = s.window->palette();
    s.list->selectRow(1);
    s.list->setRunningAppearance(true);
    for (int c = 0; c < 6; ++c) {
        const QVariant colour = s.foreground(1, c);
        if (c <= 3) {
            QCOMPARE(colour.value<QBrush>().color(), QColor(Qt::red));
        } else {
            QVERIFY(!colour.isValid());
        }
        QVERIFY(!s.foreground(0, c).isValid());
    }
    // The selection is hidden: its highlight is the list's background and its text stays red.
    QCOMPARE(s.list->palette().color(QPalette::Highlight), s.list->palette().color(QPalette::Base));
    QCOMPARE(s.list->palette().color(QPalette::HighlightedText), QColor(Qt::red));

    s.list->setRunningAppearance(false);
    for (int c = 0; c < 6; ++c) {
        QVERIFY(!s.foreground(1, c).isValid()); // the list's own text colour
    }
    QCOMPARE(s.list->palette().color(QPalette::Text), QColor(Qt::black));
    QCOMPARE(s.list->palette().color(QPalette::Highlight), shown.color(QPalette::Highlight));
    QCOMPARE(s.list->palette().color(QPalette::HighlightedText), shown.color(QPalette::HighlightedText));
}

void TaskListTest::runningStaysWithItsRowWhenRowsComeAndGo() {
    Shown s(Records(3));
    s.list->selectRow(1);
    s.list->setRunningAppearance(true);
    auto redRows = [&s] {
        std::vector<int> red;
        for (int r = 0; r < s.list->rowCount(); ++r) {
            if (s.foreground(r, 0).isValid()) {
                red.push_back(r);
            }
        }
        return red;
    };
    QCOMPARE(redRows(), std::vector<int>{1});
    s.list->insertRow(0, Record(7, true));
    QCOMPARE(redRows(), std::vector<int>{2});
    s.list->appendRows(Records(4));
    s.list->appendRow(Record(8, false));
    QCOMPARE(s.list->rowCount(), 9);
    QCOMPARE(redRows(), std::vector<int>{2});
    s.list->removeRow(0);
    s.list->removeRow(3);
    QCOMPARE(redRows(), std::vector<int>{1});
    QVERIFY(s.list->row(1) == Record(1, false));
}

void TaskListTest::cutCellShowsItsWholeTextAsToolTip() {
    TaskRecord r = Record(1, true);
    r.conditionText = "周135+闲置1时0分0秒+下载小于等于100KB/S持续60秒";
    Shown shown({r});
    const QRect cell = shown.list->visualRect(shown.cell(0, 2));
    QVERIFY(shown.list->fontMetrics().horizontalAdvance(shown.text(0, 2)) > cell.width()); // the cell cuts it
    QHelpEvent hover(QEvent::ToolTip, cell.center(), shown.list->viewport()->mapToGlobal(cell.center()));
    QCoreApplication::sendEvent(shown.list->viewport(), &hover);
    QTRY_COMPARE(QToolTip::text(), QString::fromStdString(r.conditionText));
}

QTEST_MAIN(TaskListTest)
#include "task_list_test.moc"
