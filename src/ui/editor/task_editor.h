// The task editor of the main window: the condition side (time, idle, traffic) and the operation side.
// It is also the working copy of the running task: the scheduler reads its values every second.
#pragma once

#include "core/tasks/task_record.h"
#include "ui/common/app_context.h"

#include <QString>
#include <QWidget>

namespace vantor::ui {

// Child controls carry the object names of the window design (Chk_time, Comb_time, txt_ttime, DTPk_start,
// DTPk_end, Lab_symbol, List_week, Fra_time, Fra_oper, Fra_net, Frm_condition, txt_day, txt_hour,
// txt_mini, txt_second, Label8, Comb_updown, Comb_netcompare, txt_netdata, txt_net_time, Chk_sysfree,
// Chk_net, Comb_oper, chk_fullscr, txt_tips, Lab_tips, Chk_mult) so tests and assistive tools find them.
// The editor widget lies at the top-left of the main window, so its coordinates are the window's.
class TaskEditor : public QWidget {
    Q_OBJECT
public:
    TaskEditor(AppContext& context, QWidget* parent);
    ~TaskEditor() override;

    // The editor's values as the core reads them.
    EditorValues values() const;

    // LoadTaskIntoEditor: writes the row's parameters and the two date-times into the controls in the
    // fixed order (each assignment runs the same handlers as a user's change). A parameter text with
    // fewer than 20 values leaves the matching controls unchanged.
    void loadTask(const TaskRecord& row, DateTime start, DateTime end);

    // conditioncheck: validates the task at the platform's "now", writes the recomputed pickers, and on
    // a failure shows the message and moves the focus.
    bool conditionCheck();

    // After a passed check: asks the system whether it can carry out the task's operation here. One it
    // cannot is refused (message, focus on Comb_oper); with `showNotes`, one that needs a password or is
    // not allowed at the moment is let through with a note (no note on a chained run: nobody may be
    // there to close it, and the run would wait for that).
    bool availabilityCheck(bool showNotes);

    // Before a task is stored: refuses (message, focus) a text that would break the task line.
    bool storableCheck();

    // Picker values written by code stay as written (no coupling).
    void setPickers(DateTime start, DateTime end);
    void setStartPicker(DateTime start);

    // The running appearance: disables (true) or enables (false) List_week, Frm_condition, the frames of
    // the checked conditions, txt_tips and Chk_mult; frames of unchecked conditions stay as they are.
    void setRunning(bool running);

    int operation() const;         // Comb_oper index
    QString operationText() const; // Comb_oper text
    QString tips() const;          // txt_tips text

    class Impl;

private:
    Impl* impl_;
};

} // namespace vantor::ui
