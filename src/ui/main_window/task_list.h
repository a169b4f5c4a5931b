// The task list Lstvew_task: one saved task per row with a check mark, six columns (two hidden).
#pragma once

#include "core/tasks/task_record.h"

#include <QTreeWidget>

#include <functional>
#include <vector>

namespace vantor::ui {

class TaskList : public QTreeWidget {
    Q_OBJECT
public:
    explicit TaskList(QWidget* parent);

    // The six columns with their titles and widths; the last two are hidden but carry their texts.
    // Safe to call again.
    void createColumns();

    int rowCount() const;
    TaskRecord row(int index) const;
    std::vector<TaskRecord> rows() const;
    void appendRow(const TaskRecord& record);                // check mark from record.enabled
    void appendRows(const std::vector<TaskRecord>& records); // many rows at once, without repaints
    void insertRow(int index, const TaskRecord& record);     // check mark from record.enabled
    void setRowTexts(int index, const TaskRecord& record);   // columns only; the check mark stays
    void removeRow(int index);
    void setRowChecked(int index, bool checked);
    bool rowChecked(int index) const;
    int selectedRow() const; // -1 when none
    void selectRow(int index);
    // Running appearance of the selected row: red text of the row and its sub-items 1 to 3 and the
    // selection hidden (true); black and shown (false).
    void setRunningAppearance(bool running);
    // While this answers true a click on a check mark is undone at once.
    void setLockedQuery(std::function<bool()> locked);

signals:
    void rowDoubleClicked();

private:
    void onItemChanged(QTreeWidgetItem* item, int column);

    std::function<bool()> locked_;
    bool undoing_ = false;
};

} // namespace vantor::ui
