// The main window Fr_shutdown: start-up, the task editor, the task list, the run controls and exit.
#pragma once

#include "ui/common/app_context.h"

#include <QWidget>

#include <string>

class QCheckBox;
class QGroupBox;
class QLabel;
class QPushButton;

namespace vantor::ui {

class HistoryWindow;
class RunControl;
class TaskEditor;
class TaskList;
class TrayIcon;

class MainWindow : public QWidget {
    Q_OBJECT
public:
    explicit MainWindow(AppContext& context, QWidget* parent = nullptr);
    ~MainWindow() override;

    // Form_Load's start-up sequence: caption, height, columns, program folder, task file, settings,
    // tray and the scheduler. Kept apart from the constructor so tests prepare the folder first.
    void start();

    AppContext& context() { return context_; }
    TaskEditor* editor() const;
    TaskList* taskList() const;
    RunControl* runControl() const;
    TrayIcon* tray() const;
    QLabel* stateLabel() const;        // lab_state
    QPushButton* startButton() const;  // Cmd_start
    QCheckBox* savedTaskCheck() const; // Chck_task
    QCheckBox* continueCheck() const;  // Chck_goon
    QGroupBox* taskFrame() const;      // Frm_task

    void totray();
    // Back from the notification area, a minimised state or a warning: restored, at the place the user
    // gave it, raised and activated.
    void showAgain();
    int heightTwips() const;
    void setHeightTwips(int twips);

    // taskset: model 0 adds the editor's task, other values change the selected row.
    void taskset(int model);
    // Rewrites the task file from the list; false (after telling the user) when it could not be written.
    bool saveTaskFile();
    // LoadTaskIntoEditor for the selected row (used by the scheduler with its computed times).
    void loadSelectedIntoEditor(DateTime start, DateTime end);
    // Lstvew_task_DblClick.
    void taskListDoubleClick();

    // Handlers of the window's own controls.
    void cmdDeltaskClick();   // delete the selected row after the question
    void cmdTaskCheckClick(); // "保存停用": store the check marks
    void labTaskClick();      // open or close the task panel
    void cmdSettingClick();   // the options dialog

    // True while the scheduler holds the editing lock (Chck_task disabled).
    bool editingLocked() const;

    // The history in its read-only window, read afresh, brought to the front.
    void showHistory();
    HistoryWindow* historyWindow() const; // nullptr before first use
    // "退出" of the notification icon's menu: the stop question while a task runs, then the exit question.
    void exitFromMenu();

protected:
    void closeEvent(QCloseEvent* event) override;
    void hideEvent(QHideEvent* event) override;
    void showEvent(QShowEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    // Gives the window its design size, or as much of it as the screen's free area holds (the controls
    // then scroll), and keeps a shown window inside that area.
    void fitToScreen();
    void keepOnScreen();
    // Gives the notification icon's menu its actions.
    void connectTrayMenu();
    // A caption, marked as a dry run's where actions are only printed.
    QString titled(const std::string& caption) const;

    class Impl;
    Impl* impl_;
    AppContext& context_;
};

} // namespace vantor::ui
