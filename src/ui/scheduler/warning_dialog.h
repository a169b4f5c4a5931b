// The warning window Fr_tips: the reminder, or the 60-second countdown before an operation, with OK,
// Continue and Cancel.
#pragma once

#include <QDialog>
#include <QString>

#include <cstdint>
#include <string>
#include <vector>

class QLabel;
class QPushButton;
class QTimer;

namespace vantor::ui {

class MainWindow;
class RunControl;

class WarningDialog : public QDialog {
    Q_OBJECT
public:
    // CloseChoice values: how the window is being closed.
    enum Choice : int { ChoiceNone = 0, ChoiceOk = 1, ChoiceNext = 2, ChoiceCancel = 3 };
    static constexpr int kCountdownSeconds = 60;
    // Window design in twips.
    static constexpr int kFormWidthTwips = 6000;
    static constexpr int kFormHeightTwips = 3300;

    WarningDialog(RunControl& run, MainWindow& window);
    ~WarningDialog() override;

    // Key presses that reach the window within this time after it appears are ignored: they were meant
    // for the window the user was typing in.
    static constexpr int kKeyGuardMs = 1000;

    // Form_Load, then shown modeless: caption, topmost, main window hidden, the texts of the operation.
    void openWarning();
    bool isOpen() const { return open_; }
    // The open warning to the front: restored (also when it was minimised), on top and active. The tray
    // icon and a second start of the program bring it rather than the main window while it is open.
    void bringForward();

    void timerOkTimer(); // one step of Timer_ok
    void cmdOkClick();
    void cmdNextClick();
    void cmdCancelClick();

    int countdownTick() const { return countdownTick_; }
    int closeChoice() const { return closeChoice_; }

    QLabel* textLabel() const { return lbTxt_; }             // Lb_txt
    QLabel* countdownLabel() const { return label1_; }       // Label1
    QPushButton* okButton() const { return cmdOk_; }         // Cmd_OK
    QPushButton* nextButton() const { return cmdNext_; }     // Cmd_next
    QPushButton* cancelButton() const { return cmdCancel_; } // Cmd_cancel
    QTimer* okTimer() const { return timerOk_; }             // Timer_ok

    QPushButton* snoozeButton() const { return cmdSnooze_; } // Cmd_snooze, "推迟" with its minutes
    // Closes the window for a postponement: the main window back, the countdown stopped, nothing chained
    // and CloseChoice left as it was (the run control keeps the task armed and opens the window again).
    void closeForSnooze();

    // The frame's close (title-bar button, system menu, Alt+F4) and QDialog's Esc both land here: refused.
    void reject() override;

protected:
    void keyPressEvent(QKeyEvent* event) override;
    void changeEvent(QEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    bool handleKey(QKeyEvent* event);
    void closeWith(int choice);
    void placeDesignLayout();
    void placeReminderLayout();
    // Lets the text area, and the window with it, grow until the whole text shows, as far as the screen
    // allows; the countdown line and the buttons move down with the text's end.
    void fitText();
    bool keysGuarded() const;
    bool isReminder() const;
    QString warningText(int secondsLeft) const;
    // "推迟" beside the countdown line, above the buttons, which stay where they are.
    void createSnoozeButton();
    void placeSnoozeButton();
    // The lines under the warning text naming the programs that hold the operation back, read afresh;
    // true when one of them blocks it.
    bool readInhibitors();
    // At the end of the countdown, an operation another program still blocks is not forced through: the
    // window stays open with "仍被阻止" and its buttons. True when it does.
    bool holdWhileBlocked();

    RunControl& run_;
    MainWindow& window_;
    QLabel* lbTxt_ = nullptr;
    QLabel* label1_ = nullptr;
    QPushButton* cmdOk_ = nullptr;
    QPushButton* cmdNext_ = nullptr;
    QPushButton* cmdCancel_ = nullptr;
    QTimer* timerOk_ = nullptr;
    QPushButton* cmdSnooze_ = nullptr;
    // Counted in 32 bits: a reminder left open for days keeps counting instead of wrapping at 32,767.
    int countdownTick_ = 0;
    int closeChoice_ = ChoiceNone;
    bool open_ = false;
    uint64_t keysFromMs_ = 0;      // the steady clock's time from which keys count
    std::string warningOperation_; // WarningOperationText
    std::vector<std::string> inhibitorLines_;
    uint64_t lastStepMs_ = 0; // steady clock at the opening or the last step of Timer_ok
};

} // namespace vantor::ui
