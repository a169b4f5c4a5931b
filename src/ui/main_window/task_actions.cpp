// The task list actions of the main window: add, change, delete, store the marks, the panel, loading a row.
#include "core/common/datetime.h"
#include "core/shell/data_folder.h"
#include "core/tasks/task_file.h"
#include "ui/common/message_boxes.h"
#include "ui/editor/task_editor.h"
#include "ui/main_window/main_window.h"
#include "ui/main_window/main_window_impl.h"
#include "ui/main_window/task_list.h"

#include <QFile>

namespace vantor::ui {

namespace {

// A task file that cannot be written must never be followed by a success message, and the user must
// learn that the list and the file did not change, and why.
void WarnNotWritten(QWidget* parent, bool append, WriteFailure why) {
    MessageBoxes::inform(parent, TaskFileNotWrittenMessage(append, why));
}

// Nothing is written over a task file that start-up could not read (the list lacks its tasks), nor into
// a folder others may have planted tasks in.
bool WritesRefused(QWidget* parent, bool taskFileRead, const AppContext& context) {
    if (!context.folderDistrust.empty()) {
        MessageBoxes::inform(parent, UntrustedFolderRefusal());
        return true;
    }
    if (!taskFileRead) {
        MessageBoxes::inform(parent, TaskFileNotReadRefusal());
        return true;
    }
    return false;
}

} // namespace

void MainWindow::taskset(int model) {
    if (editingLocked()) {
        return;
    }
    TaskList* list = impl_->taskList;
    const int selected = list->selectedRow();
    // Changing needs a row to change: without a selection nothing happens, not even the validation.
    if (model != 0 && selected < 0) {
        return;
    }
    if (!impl_->editor->conditionCheck() || !impl_->editor->availabilityCheck(true) ||
        !impl_->editor->storableCheck()) {
        return;
    }
    if (WritesRefused(this, impl_->taskFileRead, context_)) {
        return;
    }
    TaskRecord record = ComposeRecord(impl_->editor->values());

    if (model == 0) {
        record.enabled = false; // a new task always starts unchecked
        // The file first: a row is only added once its line is safely stored.
        WriteFailure why = WriteFailure::None;
        if (!AppendTaskLine(context_.taskFile(), record, context_.textCodec(), &why)) {
            WarnNotWritten(this, true, why);
            return;
        }
        list->appendRow(record);
        MessageBoxes::inform(this, Message{"任务添加成功!", kNoticeTitle, MessageIcon::Information});
        return;
    }

    const TaskRecord before = list->row(selected);
    list->setRowTexts(selected, record);
    if (!saveTaskFile()) {
        list->setRowTexts(selected, before); // the list keeps matching the file
        return;
    }
    MessageBoxes::inform(this, Message{"任务修改成功!", kNoticeTitle, MessageIcon::Information});
}

bool MainWindow::saveTaskFile() {
    if (WritesRefused(this, impl_->taskFileRead, context_)) {
        return false;
    }
    WriteFailure why = WriteFailure::None;
    if (SaveTaskFile(context_.taskFile(), impl_->taskList->rows(), context_.textCodec(), &why)) {
        return true;
    }
    WarnNotWritten(this, false, why);
    return false;
}

void MainWindow::cmdDeltaskClick() {
    TaskList* list = impl_->taskList;
    if (editingLocked() || list->rowCount() == 0) {
        return;
    }
    const int selected = list->selectedRow();
    if (selected < 0) {
        return;
    }
    const TaskRecord row = list->row(selected);
    const QString question = QStringLiteral("是否删除任务：") + QString::fromStdString(row.startText) +
                             QString::fromStdString(row.conditionText) + QStringLiteral(",") +
                             QString::fromStdString(row.operationText);
    if (MessageBoxes::ask(this, question, QString::fromUtf8(kNoticeTitle), /*defaultNo=*/false) !=
        Answer::Yes) {
        return;
    }
    list->removeRow(selected);
    if (!saveTaskFile()) {
        // The file still holds the task: so does the list.
        list->insertRow(selected, row);
        list->selectRow(selected);
    }
}

void MainWindow::cmdTaskCheckClick() {
    if (editingLocked()) {
        return;
    }
    saveTaskFile();
}

void MainWindow::labTaskClick() {
    const bool open = heightTwips() == kCompactHeight;
    setHeightTwips(open ? kPanelHeight : kCompactHeight);
    QPalette p = impl_->labTask->palette();
    p.setColor(QPalette::WindowText, open ? QColor(255, 0, 0) : QColor(0, 0, 0));
    impl_->labTask->setPalette(p);
}

void MainWindow::taskListDoubleClick() {
    TaskList* list = impl_->taskList;
    if (list->rowCount() == 0 || list->selectedRow() < 0) {
        return;
    }
    const TaskRecord row = list->row(list->selectedRow());
    const DateTime now = context_.platform.Now();
    DateTime start = now;
    DateTime end = now;
    if (row.timeMode == "2") {
        // Weekly rows keep their window as times of day; the pickers get them on day 0.
        start = ParseDateTime(row.startText).value_or(now);
        end = ParseDateTime(row.endText).value_or(now);
    }
    loadSelectedIntoEditor(start, end);
}

void MainWindow::loadSelectedIntoEditor(DateTime start, DateTime end) {
    TaskList* list = impl_->taskList;
    if (editingLocked() || list->rowCount() == 0 || list->selectedRow() < 0) {
        return;
    }
    impl_->editor->loadTask(list->row(list->selectedRow()), start, end);
}

} // namespace vantor::ui
