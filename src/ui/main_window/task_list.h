// The task list Lstvew_task: one saved task per row with a check mark, six columns (two hidden).
#pragma once

#include "core/tasks/task_record.h"

#include <QTreeView>

#include <functional>
#include <vector>

namespace vantor::ui {

class TaskListModel;

// A tree view over a flat model that keeps the rows as plain records: the view builds nothing per row
// beyond what it lays out, so a task file of thousands of lines fills the list in a few milliseconds.
class TaskList : public QTreeView {
    Q_OBJECT
public:
    explicit TaskList(QWidget* parent);

    // The six columns with their titles and widths; the last two are hidden but carry their texts.
    // Safe to call again.
    void createColumns();

    int rowCount() const;
    TaskRecord row(int index) const;
    std::vector<TaskRecord> rows() const;
    void appendRow(const TaskRecord& record);              // check mark from record.enabled
    void appendRows(std::vector<TaskRecord> records);      // many rows at once, one insertion
    void insertRow(int index, const TaskRecord& record);   // check mark from record.enabled
    void setRowTexts(int index, const TaskRecord& record); // columns only; the check mark stays
    void removeRow(int index);
    void setRowChecked(int index, bool checked);
    bool rowChecked(int index) const;
    int selectedRow() const; // -1 when none
    void selectRow(int index);
    // Running appearance of the selected row: red text of its columns 0 to 3 and the selection hidden
    // (true); the list's own text colour and the selection shown (false).
    void setRunningAppearance(bool running);
    // While this answers true a click on a check mark has no effect.
    void setLockedQuery(std::function<bool()> locked);

signals:
    void rowDoubleClicked();

protected:
    bool event(QEvent* event) override;

private:
    TaskListModel* model_;
};

} // namespace vantor::ui
