// The task list actions of the main window: add, change, delete, store the marks, the panel, loading a
// row into the editor, the editing lock and failed writes of the task file.
#include "support/item_view_clicks.h"
#include "support/test_support.h"

#include "core/tasks/task_record.h"
#include "ui/common/message_boxes.h"
#include "ui/editor/task_editor.h"
#include "ui/main_window/main_window.h"
#include "ui/main_window/task_list.h"

#include <QCheckBox>
#include <QComboBox>
#include <QDir>
#include <QFile>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QTest>

#include <unistd.h>

using vantor::DateTime;
using vantor::MessageIcon;
using vantor::test::ClickCheckMark;
using vantor::test::UiFixture;
using vantor::ui::Answer;
using vantor::ui::MainWindow;
using vantor::ui::MessageBoxes;

namespace {

const QByteArray kCountdownLine =
    "True;;10分0秒;倒计时600秒;关机;0;1,0,0,3,0,0,2026/12/8,2026/12/8,600,,0,0,0,0,-1,-1,0,0,0,";
const QByteArray kIdleLine =
    "False;全天;;闲置60秒;提醒;-1;0,1,0,0,0,-1,2026/12/8,2026/12/8,,,0,0,1,0,-1,-1,0,0,0,hi";
const QByteArray kWeeklyLine =
    "True;08:00:00;09:30:00;周135;提醒;2;1,0,0,0,0,2,2026/12/8,2026/12/8,,1010100,0,0,0,0,-1,-1,0,0,0,hello";
const QByteArray kWindowLine = "True;2026/12/9 8:00:00;2026/12/9 9:00:00;时段;锁定;1;1,0,0,6,0,1,2026/12/9 "
                               "8:00:00,2026/12/9 9:00:00,,,0,0,0,0,-1,-1,0,0,0,";
const QString kTaskFile = QStringLiteral("vntask.vnt");

QByteArray Lines(std::initializer_list<QByteArray> lines) {
    QByteArray text;
    for (const QByteArray& l : lines) {
        text += l + "\r\n";
    }
    return text;
}

// A window started on the fixture's folder holding `taskFile`.
struct Started {
    explicit Started(UiFixture& f, const QByteArray& taskFile) {
        f.platform.SetNow(DateTime::fromParts(2026, 12, 8, 10, 0, 0));
        if (!taskFile.isNull()) {
            f.writeFile(kTaskFile, taskFile);
        }
        w = std::make_unique<MainWindow>(f.context);
        w->show();
        w->start();
        MessageBoxes::reset();
    }
    template <typename T> T* child(const char* name) const {
        return w->findChild<T*>(QString::fromLatin1(name));
    }
    void click(const char* button) const { QTest::mouseClick(child<QPushButton>(button), Qt::LeftButton); }
    // The editor's task: a countdown of 600 seconds that shuts down, entered as the user does.
    void enterCountdown() const {
        child<QCheckBox>("Chk_time")->setChecked(true);
        child<QComboBox>("Comb_time")->setCurrentIndex(0);
        child<QLineEdit>("txt_ttime")->setText(QStringLiteral("600"));
        child<QComboBox>("Comb_oper")->setCurrentIndex(vantor::OpShutdown);
    }
    std::unique_ptr<MainWindow> w;
};

QList<QByteArray> FileLines(const UiFixture& f) {
    QList<QByteArray> lines = f.readFile(kTaskFile).split('\n');
    if (!lines.isEmpty() && lines.last().isEmpty()) {
        lines.removeLast();
    }
    return lines;
}

// The task file becomes a folder: nothing can be written in its place.
void MakeTaskFileUnwritable(const UiFixture& f) {
    QFile::remove(f.path(kTaskFile));
    QVERIFY(QDir(f.dir.path()).mkdir(kTaskFile));
}

void VerifyOnlyMessage(const QString& text, MessageIcon icon) {
    QCOMPARE(MessageBoxes::shown().size(), size_t{1});
    QCOMPARE(MessageBoxes::last()->text, text);
    QCOMPARE(MessageBoxes::last()->title, QStringLiteral("提示"));
    QCOMPARE(MessageBoxes::last()->icon, icon);
}

// While it lives, files are opened as an unprivileged user when the tests run as root, to whom a file of
// mode 000 is as readable as any other.
class AsUnprivileged {
public:
    AsUnprivileged() : root_(::geteuid() == 0) {
        if (root_) {
            QVERIFY(::seteuid(65534) == 0);
        }
    }
    ~AsUnprivileged() {
        if (root_) {
            QVERIFY(::seteuid(0) == 0);
        }
    }

private:
    bool root_;
};

} // namespace

class MainWindowTasksTest : public QObject {
    Q_OBJECT
private slots:
    void addAppendsLineAndRowReturnsUncheckedAfterRestart();
    void failedAppendWarnsAndKeepsNoRow();
    void unreadableTaskFileIsToldAndNeverWrittenOver();
    void addRefusesATextThatWouldBreakTheLine();
    void changeRewritesFileKeepingCheckMark();
    void changeWithoutSelectedRowDoesNothing();
    void failedChangeWarnsAndRestoresRow();
    void deleteAsksAndRewritesOnYes_data();
    void deleteAsksAndRewritesOnYes();
    void deletingLastTaskEmptiesFile();
    void failedDeleteWarnsAndKeepsRow();
    void saveMarksRewritesWithoutMessage();
    void doubleClickRestoresWeeklyTask();
    void doubleClickOnOtherTaskPutsNowIntoPickers();
    void lockRefusesListActionsSilently();
    void panelToggles_data();
    void panelToggles();
};

void MainWindowTasksTest::addAppendsLineAndRowReturnsUncheckedAfterRestart() {
    UiFixture f;
    {
        Started s(f, Lines({kIdleLine}));
        s.enterCountdown();
        s.click("Cmd_addtask");
        VerifyOnlyMessage(QStringLiteral("任务添加成功!"), MessageIcon::Information);
        QCOMPARE(s.w->taskList()->rowCount(), 2);
        QVERIFY(!s.w->taskList()->rowChecked(1));
        const QList<QByteArray> lines = FileLines(f);
        QCOMPARE(lines.size(), 2);
        QCOMPARE(lines[0], kIdleLine + "\r"); // the lines already there stay as they were
        QVERIFY2(lines[1].startsWith("0;;10分0秒;倒计时600秒;关机;0;1,0,0,3,0,0,"), lines[1].constData());
        QVERIFY2(lines[1].endsWith(",600,,0,0,0,0,-1,-1,0,0,0,\r"), lines[1].constData());
        // A mark set in the list reaches the file only with a full rewrite.
        s.w->taskList()->setRowChecked(1, true);
    }
    Started again(f, QByteArray());
    QCOMPARE(again.w->taskList()->rowCount(), 2);
    QVERIFY(!again.w->taskList()->rowChecked(1));
    QCOMPARE(QString::fromStdString(again.w->taskList()->row(1).conditionText),
             QStringLiteral("倒计时600秒"));
}

void MainWindowTasksTest::failedAppendWarnsAndKeepsNoRow() {
    UiFixture f;
    Started s(f, Lines({kIdleLine}));
    MakeTaskFileUnwritable(f);
    s.enterCountdown();
    s.click("Cmd_addtask");
    VerifyOnlyMessage(
        QStringLiteral("无法写入任务文件，任务未保存！\n原因：它不是普通文件（文件夹、设备或管道）"),
        MessageIcon::Warning);
    QCOMPARE(s.w->taskList()->rowCount(), 1);
}

// A task file that cannot be read at start-up (here: mode 000) is named in a warning, and no rewrite or
// append may replace it: the list lacks its tasks.
void MainWindowTasksTest::unreadableTaskFileIsToldAndNeverWrittenOver() {
    UiFixture f;
    const QByteArray tasks = Lines({kCountdownLine, kIdleLine});
    f.writeFile(kTaskFile, tasks);
    QVERIFY(QFile::setPermissions(f.path(kTaskFile), QFileDevice::Permissions()));
    f.platform.SetNow(DateTime::fromParts(2026, 12, 8, 10, 0, 0));
    MainWindow w(f.context);
    w.show();
    {
        AsUnprivileged user;
        w.start();
    }
    QCOMPARE(w.taskList()->rowCount(), 0);
    QCOMPARE(MessageBoxes::shown().size(), size_t{1});
    const vantor::ui::ShownMessage told = *MessageBoxes::last();
    QVERIFY2(told.text.contains(f.path(kTaskFile)), qPrintable(told.text));
    QVERIFY2(told.text.contains(QStringLiteral("没有读取权限")), qPrintable(told.text));
    QCOMPARE(told.title, QStringLiteral("提示"));
    QCOMPARE(told.icon, MessageIcon::Warning);

    const QString refusal =
        QStringLiteral("启动时无法读取任务文件，为免覆盖其中的任务，改动未保存！请排除问题后重新启动程序。");
    for (const char* button : {"Cmd_task_check", "Cmd_addtask"}) {
        MessageBoxes::reset();
        w.findChild<QCheckBox*>(QStringLiteral("Chk_time"))->setChecked(true);
        w.findChild<QComboBox*>(QStringLiteral("Comb_time"))->setCurrentIndex(0);
        w.findChild<QLineEdit*>(QStringLiteral("txt_ttime"))->setText(QStringLiteral("600"));
        w.findChild<QComboBox*>(QStringLiteral("Comb_oper"))->setCurrentIndex(vantor::OpShutdown);
        QTest::mouseClick(w.findChild<QPushButton*>(QString::fromLatin1(button)), Qt::LeftButton);
        VerifyOnlyMessage(refusal, MessageIcon::Warning);
        QCOMPARE(f.readFile(kTaskFile), tasks);
        QCOMPARE(w.taskList()->rowCount(), 0);
    }
}

// "1,000" typed for a countdown and the mode then turned to weekly: the text is still stored, and its ","
// would break the line. The task is refused and the box that holds the text gets the focus.
void MainWindowTasksTest::addRefusesATextThatWouldBreakTheLine() {
    UiFixture f;
    Started s(f, Lines({kIdleLine}));
    s.child<QCheckBox>("Chk_time")->setChecked(true);
    s.child<QComboBox>("Comb_time")->setCurrentIndex(0);
    s.child<QLineEdit>("txt_ttime")->setText(QStringLiteral("1,000"));
    s.child<QComboBox>("Comb_time")->setCurrentIndex(2);
    s.child<QListWidget>("List_week")->item(0)->setCheckState(Qt::Checked);
    s.child<QComboBox>("Comb_oper")->setCurrentIndex(vantor::OpShutdown);
    s.click("Cmd_addtask");
    VerifyOnlyMessage(QStringLiteral("倒计时秒数不能包含字符“,”。"), MessageIcon::Warning);
    QCOMPARE(f.readFile(kTaskFile), Lines({kIdleLine}));
    QCOMPARE(s.w->taskList()->rowCount(), 1);
}

void MainWindowTasksTest::changeRewritesFileKeepingCheckMark() {
    UiFixture f;
    Started s(f, Lines({kCountdownLine, kIdleLine}));
    s.w->taskList()->selectRow(1);
    s.enterCountdown();
    s.click("Cmd_revistask");
    VerifyOnlyMessage(QStringLiteral("任务修改成功!"), MessageIcon::Information);
    const QList<QByteArray> lines = FileLines(f);
    QCOMPARE(lines.size(), 2);
    QCOMPARE(lines[0], kCountdownLine + "\r");
    QVERIFY2(lines[1].startsWith("False;;10分0秒;倒计时600秒;关机;0;1,0,0,3,"), lines[1].constData());
    QVERIFY(!s.w->taskList()->rowChecked(1));
    QCOMPARE(QString::fromStdString(s.w->taskList()->row(1).operationText), QStringLiteral("关机"));
}

void MainWindowTasksTest::changeWithoutSelectedRowDoesNothing() {
    UiFixture f;
    Started s(f, Lines({kCountdownLine}));
    s.w->taskList()->clearSelection();
    s.click("Cmd_revistask"); // the editor is empty: even its validation stays silent
    QVERIFY(MessageBoxes::shown().empty());
    QCOMPARE(f.readFile(kTaskFile), Lines({kCountdownLine}));
}

void MainWindowTasksTest::failedChangeWarnsAndRestoresRow() {
    UiFixture f;
    Started s(f, Lines({kCountdownLine, kIdleLine}));
    const vantor::TaskRecord before = s.w->taskList()->row(1);
    MakeTaskFileUnwritable(f);
    s.w->taskList()->selectRow(1);
    s.enterCountdown();
    s.click("Cmd_revistask");
    VerifyOnlyMessage(
        QStringLiteral("无法写入任务文件，改动未保存！\n原因：它不是普通文件（文件夹、设备或管道）"),
        MessageIcon::Warning);
    QVERIFY(s.w->taskList()->row(1) == before);
}

void MainWindowTasksTest::deleteAsksAndRewritesOnYes_data() {
    QTest::addColumn<int>("answer");
    QTest::newRow("yes") << int(Answer::Yes);
    QTest::newRow("no") << int(Answer::No);
}

void MainWindowTasksTest::deleteAsksAndRewritesOnYes() {
    QFETCH(int, answer);
    UiFixture f;
    Started s(f, Lines({kCountdownLine, kIdleLine}));
    s.w->taskList()->selectRow(0);
    MessageBoxes::setNextAnswer(static_cast<Answer>(answer));
    s.click("Cmd_deltask");
    QCOMPARE(MessageBoxes::shown().size(), size_t{1});
    const auto m = *MessageBoxes::last();
    // The start text of a countdown is empty: the condition follows the question directly.
    QCOMPARE(m.text, QStringLiteral("是否删除任务：倒计时600秒,关机"));
    QCOMPARE(m.title, QStringLiteral("提示"));
    QCOMPARE(m.icon, MessageIcon::Question);
    QVERIFY(m.yesNo);
    if (static_cast<Answer>(answer) == Answer::Yes) {
        QCOMPARE(s.w->taskList()->rowCount(), 1);
        QCOMPARE(f.readFile(kTaskFile), Lines({kIdleLine}));
    } else {
        QCOMPARE(s.w->taskList()->rowCount(), 2);
        QCOMPARE(f.readFile(kTaskFile), Lines({kCountdownLine, kIdleLine}));
    }
}

void MainWindowTasksTest::deletingLastTaskEmptiesFile() {
    UiFixture f;
    Started s(f, Lines({kIdleLine}));
    s.w->taskList()->selectRow(0);
    MessageBoxes::setNextAnswer(Answer::Yes);
    s.click("Cmd_deltask");
    QCOMPARE(s.w->taskList()->rowCount(), 0);
    QVERIFY(f.readFile(kTaskFile).isEmpty());
    Started again(f, QByteArray());
    QCOMPARE(again.w->taskList()->rowCount(), 0);
}

// The user marked the task file read-only: it is not replaced (Linux would let the folder rename over
// it), and the message says why.
void MainWindowTasksTest::failedDeleteWarnsAndKeepsRow() {
    UiFixture f;
    const QByteArray tasks = Lines({kCountdownLine, kIdleLine});
    Started s(f, tasks);
    QVERIFY(QFile::setPermissions(f.path(kTaskFile),
                                  QFileDevice::ReadOwner | QFileDevice::ReadGroup | QFileDevice::ReadOther));
    s.w->taskList()->selectRow(0);
    MessageBoxes::setNextAnswer(Answer::Yes);
    s.click("Cmd_deltask");
    QCOMPARE(MessageBoxes::shown().size(), size_t{2});
    QCOMPARE(MessageBoxes::last()->text,
             QStringLiteral("无法写入任务文件，改动未保存！\n原因：文件设为只读"));
    QCOMPARE(f.readFile(kTaskFile), tasks);
    QCOMPARE(MessageBoxes::last()->icon, MessageIcon::Warning);
    QCOMPARE(s.w->taskList()->rowCount(), 2);
    QCOMPARE(QString::fromStdString(s.w->taskList()->row(0).conditionText), QStringLiteral("倒计时600秒"));
    QVERIFY(s.w->taskList()->rowChecked(0));
}

void MainWindowTasksTest::saveMarksRewritesWithoutMessage() {
    UiFixture f;
    // Lines as appends leave them ("0" in field 0); the user ticks the second one.
    QByteArray idleAppended = kIdleLine;
    idleAppended.replace(0, 5, "0");
    Started s(f, Lines({kCountdownLine, idleAppended}));
    ClickCheckMark(s.w->taskList(), s.w->taskList()->model()->index(1, 0));
    QVERIFY(s.w->taskList()->rowChecked(1));
    s.click("Cmd_task_check");
    QVERIFY(MessageBoxes::shown().empty());
    QByteArray idleChecked = kIdleLine;
    idleChecked.replace(0, 5, "True");
    QCOMPARE(f.readFile(kTaskFile), Lines({kCountdownLine, idleChecked}));
}

void MainWindowTasksTest::doubleClickRestoresWeeklyTask() {
    UiFixture f;
    Started s(f, Lines({kCountdownLine, kWeeklyLine}));
    s.w->labTaskClick(); // open the panel so the row can be reached
    vantor::ui::TaskList* list = s.w->taskList();
    const QRect rect = list->visualRect(list->model()->index(1, 0));
    // A user's double-click: a click, then the second press that the system reports as a double-click.
    QTest::mouseClick(list->viewport(), Qt::LeftButton, {}, rect.center());
    QTest::mouseDClick(list->viewport(), Qt::LeftButton, {}, rect.center());
    const vantor::EditorValues v = s.w->editor()->values();
    QVERIFY(v.timeOn);
    QCOMPARE(v.timeMode, int(vantor::ModeWeekly));
    QCOMPARE(v.start.timeOfDay(), int64_t{8 * 3600});
    QCOMPARE(v.end.timeOfDay(), int64_t{9 * 3600 + 30 * 60});
    const std::array<bool, 7> week{true, false, true, false, true, false, false};
    QVERIFY(v.week == week);
    QCOMPARE(v.operation, int(vantor::OpRemind));
    QCOMPARE(QString::fromStdString(v.tips), QStringLiteral("hello"));
}

void MainWindowTasksTest::doubleClickOnOtherTaskPutsNowIntoPickers() {
    UiFixture f;
    Started s(f, Lines({kWindowLine}));
    s.w->taskList()->selectRow(0);
    s.w->taskListDoubleClick();
    const vantor::EditorValues v = s.w->editor()->values();
    const DateTime now = DateTime::fromParts(2026, 12, 8, 10, 0, 0);
    QCOMPARE(v.timeMode, int(vantor::ModeWindow));
    QVERIFY(v.start == now); // not the stored window
    QVERIFY(v.end == now);
    QCOMPARE(v.operation, int(vantor::OpLock));
}

void MainWindowTasksTest::lockRefusesListActionsSilently() {
    UiFixture f;
    const QByteArray file = Lines({kCountdownLine, kIdleLine});
    Started s(f, file);
    s.w->savedTaskCheck()->setEnabled(false); // what the running state does
    s.w->taskList()->selectRow(1);
    s.enterCountdown();
    MessageBoxes::reset();
    for (const char* button : {"Cmd_addtask", "Cmd_revistask", "Cmd_deltask", "Cmd_task_check"}) {
        s.w->taskFrame()->setEnabled(true); // even with the buttons reachable the lock holds
        s.click(button);
    }
    QVERIFY(MessageBoxes::shown().empty());
    QCOMPARE(s.w->taskList()->rowCount(), 2);
    QCOMPARE(f.readFile(kTaskFile), file);

    // A click on a check mark has no effect.
    vantor::ui::TaskList* list = s.w->taskList();
    ClickCheckMark(list, list->model()->index(1, 0));
    QVERIFY(!list->rowChecked(1));
    ClickCheckMark(list, list->model()->index(0, 0));
    QVERIFY(list->rowChecked(0));
    QCOMPARE(f.readFile(kTaskFile), file);

    // Loading a row is refused too: the editor keeps the user's countdown.
    s.w->taskListDoubleClick();
    QCOMPARE(QString::fromStdString(s.w->editor()->values().countdownText), QStringLiteral("600"));
    QCOMPARE(s.w->editor()->operation(), int(vantor::OpShutdown));

    // The panel still opens.
    s.w->labTaskClick();
    QCOMPARE(s.w->heightTwips(), 7275);

    // Unlocked, the mark can be changed again.
    s.w->savedTaskCheck()->setEnabled(true);
    ClickCheckMark(list, list->model()->index(1, 0));
    QVERIFY(list->rowChecked(1));
}

void MainWindowTasksTest::panelToggles_data() {
    QTest::addColumn<int>("from");
    QTest::addColumn<int>("to");
    QTest::addColumn<QColor>("colour");
    QTest::newRow("closed opens, red") << 4395 << 7275 << QColor(255, 0, 0);
    QTest::newRow("open closes, black") << 7275 << 4395 << QColor(0, 0, 0);
    QTest::newRow("after the start-up warning it closes") << 6720 << 4395 << QColor(0, 0, 0);
    // From the keyboard as well: Tab reaches it, Enter and space work it.
    QTest::newRow("Enter opens") << 4395 << 7275 << QColor(255, 0, 0);
    QTest::newRow("space closes") << 7275 << 4395 << QColor(0, 0, 0);
}

void MainWindowTasksTest::panelToggles() {
    QFETCH(int, from);
    QFETCH(int, to);
    QFETCH(QColor, colour);
    UiFixture f;
    Started s(f, QByteArray());
    s.w->setHeightTwips(from);
    auto* label = s.child<QLabel>("lab_task");
    QVERIFY(label != nullptr);
    QCOMPARE(label->text(), QStringLiteral("任务设置"));
    const QString row = QString::fromUtf8(QTest::currentDataTag());
    if (row.startsWith(QStringLiteral("Enter")) || row.startsWith(QStringLiteral("space"))) {
        QCOMPARE(label->focusPolicy() & Qt::TabFocus, Qt::TabFocus);
        QTest::keyClick(label, row.startsWith(QStringLiteral("Enter")) ? Qt::Key_Return : Qt::Key_Space);
    } else {
        QTest::mouseClick(label, Qt::LeftButton);
    }
    QCOMPARE(s.w->heightTwips(), to);
    QCOMPARE(label->palette().color(QPalette::WindowText), colour);
}

QTEST_MAIN(MainWindowTasksTest)
#include "main_window_tasks_test.moc"
