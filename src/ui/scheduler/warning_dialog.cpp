#include "ui/scheduler/warning_dialog.h"

#include "core/scheduler/meters.h"
#include "core/scheduler/run_rules.h"
#include "core/shell/app_texts.h"
#include "core/tasks/system_operation.h"
#include "core/tasks/task_record.h"
#include "ui/common/accessible_roles.h"
#include "ui/common/app_context.h"
#include "ui/common/twips.h"
#include "ui/editor/task_editor.h"
#include "ui/main_window/main_window.h"
#include "ui/main_window/task_list.h"
#include "ui/scheduler/run_control.h"

#include <QCheckBox>
#include <QKeyEvent>
#include <QLabel>
#include <QPushButton>
#include <QScreen>
#include <QTimer>

#include <algorithm>
#include <limits>

namespace vantor::ui {

namespace {

constexpr int kTickMs = 1000;

// Design geometry (twips): the text, the countdown line and the three buttons in a row.
constexpr int kTextLeft = 360;
constexpr int kTextTop = 240;
constexpr int kTextWidth = 5280;
constexpr int kTextHeight = 1680;
constexpr int kCountdownTop = 2010;
constexpr int kButtonTop = 2460;
constexpr int kButtonWidth = 1215;
constexpr int kButtonHeight = 420;
constexpr int kOkLeft = 480;
constexpr int kNextLeft = 2400;
constexpr int kCancelLeft = 4320;
// Room left on the screen for the frame and title bar the window system puts around the window.
constexpr int kFrameAllowancePx = 48;
// A text too long for the screen's height widens the window in steps of this much.
constexpr int kWidenStepTwips = 600;

QPushButton* MakeButton(QWidget* parent, const char* name, const QString& caption) {
    auto* b = new QPushButton(caption, parent);
    b->setObjectName(QString::fromLatin1(name));
    // Keys are the window's business (space = OK, Esc = cancel, others = continue), not the focused
    // button's, so no button reacts to Enter on its own.
    b->setAutoDefault(false);
    b->setDefault(false);
    return b;
}

} // namespace

WarningDialog::WarningDialog(RunControl& run, MainWindow& window)
    : QDialog(nullptr,
              Qt::Dialog | Qt::WindowTitleHint | Qt::WindowSystemMenuHint | Qt::WindowCloseButtonHint),
      run_(run), window_(window) {
    // Read out as an alert: its text is spoken when it appears, not only its title and focused button.
    SetAccessibleRole(this, QAccessible::AlertMessage);
    setObjectName(QStringLiteral("Fr_tips"));
    // Whatever else of the program's is open (a notice, a question), the warning is the one the user can
    // answer: it blocks the other windows until it closes, and nothing opened before it blocks it.
    setWindowModality(Qt::ApplicationModal);

    lbTxt_ = new QLabel(this);
    lbTxt_->setObjectName(QStringLiteral("Lb_txt"));
    lbTxt_->setWordWrap(true);
    lbTxt_->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    // Assistive tools read the reminder or the warning itself as the label's name; the label's role goes
    // into its description.
    lbTxt_->setAccessibleDescription(QStringLiteral("提示内容"));

    label1_ = new QLabel(this);
    label1_->setObjectName(QStringLiteral("Label1"));
    label1_->setAccessibleDescription(QStringLiteral("倒计时"));

    cmdOk_ = MakeButton(this, "Cmd_OK", QStringLiteral("确定"));
    cmdNext_ = MakeButton(this, "Cmd_next", QStringLiteral("继续(N)"));
    cmdCancel_ = MakeButton(this, "Cmd_cancel", QStringLiteral("取消(ESC)"));
    for (QPushButton* b : {cmdOk_, cmdNext_, cmdCancel_}) {
        b->installEventFilter(this);
    }
    connect(cmdOk_, &QPushButton::clicked, this, &WarningDialog::cmdOkClick);
    connect(cmdNext_, &QPushButton::clicked, this, &WarningDialog::cmdNextClick);
    connect(cmdCancel_, &QPushButton::clicked, this, &WarningDialog::cmdCancelClick);
    placeDesignLayout();
    createSnoozeButton();

    timerOk_ = new QTimer(this);
    timerOk_->setObjectName(QStringLiteral("Timer_ok"));
    timerOk_->setInterval(kTickMs);
    connect(timerOk_, &QTimer::timeout, this, &WarningDialog::timerOkTimer);
}

WarningDialog::~WarningDialog() = default;

void WarningDialog::placeDesignLayout() {
    setFixedSize(Twips(kFormWidthTwips), Twips(kFormHeightTwips));
    lbTxt_->setGeometry(TwipsRect(kTextLeft, kTextTop, kTextWidth, kTextHeight));
    label1_->setGeometry(TwipsRect(kTextLeft, kCountdownTop, 2400, 300));
    cmdOk_->setGeometry(TwipsRect(kOkLeft, kButtonTop, kButtonWidth, kButtonHeight));
    cmdNext_->setGeometry(TwipsRect(kNextLeft, kButtonTop, kButtonWidth, kButtonHeight));
    cmdCancel_->setGeometry(TwipsRect(kCancelLeft, kButtonTop, kButtonWidth, kButtonHeight));
    cmdNext_->setVisible(true);
}

void WarningDialog::placeReminderLayout() {
    // Two buttons left: spread them over the window.
    cmdNext_->setVisible(false);
    cmdOk_->setGeometry(TwipsRect(kFormWidthTwips / 5, kButtonTop, kButtonWidth, kButtonHeight));
    cmdCancel_->setGeometry(TwipsRect(kFormWidthTwips / 2 + 500, kButtonTop, kButtonWidth, kButtonHeight));
}

bool WarningDialog::isReminder() const {
    return window_.editor()->operation() == OpRemind;
}

QString WarningDialog::warningText(int secondsLeft) const {
    std::string text = WarningText(secondsLeft, warningOperation_, window_.savedTaskCheck()->isChecked(),
                                   window_.continueCheck()->isChecked());
    for (const std::string& line : inhibitorLines_) {
        text += "\n\n" + line;
    }
    return QString::fromStdString(text);
}

bool WarningDialog::readInhibitors() {
    inhibitorLines_.clear();
    const std::optional<SystemOperation> op = SystemOperationOf(window_.editor()->operation());
    if (!op) {
        return false;
    }
    const std::vector<Inhibitor> inhibitors = run_.context().platform.ListInhibitors();
    inhibitorLines_ = InhibitorLines(*op, inhibitors);
    return BlockedByInhibitor(*op, inhibitors);
}

bool WarningDialog::holdWhileBlocked() {
    if (!readInhibitors()) {
        return false;
    }
    // Not forced: the user decides with the buttons (OK tries anyway, and the system says why it refuses).
    timerOk_->stop();
    lbTxt_->setText(warningText(0));
    label1_->setText(QString::fromUtf8(kStillBlockedText));
    // The history says why nothing happened when it was due: "未执行：视频会议 正在阻止关机（通话中）".
    std::string why;
    for (const std::string& line : inhibitorLines_) {
        const std::string notice = "注意：";
        why += (why.empty() ? "" : "；") + (line.rfind(notice, 0) == 0 ? line.substr(notice.size()) : line);
    }
    run_.recordHistory(HistoryOutcome::NotStarted, why);
    return true;
}

void WarningDialog::fitText() {
    const QRect text = TwipsRect(kTextLeft, kTextTop, kTextWidth, kTextHeight);
    const QSize design(Twips(kFormWidthTwips), Twips(kFormHeightTwips));
    const QScreen* shownOn = screen();
    const QRect free = shownOn != nullptr ? shownOn->availableGeometry() : QRect(QPoint(0, 0), design * 4);
    const int maxExtraHeight = std::max(0, free.height() - kFrameAllowancePx - design.height());
    const int maxExtraWidth = std::max(0, free.width() - kFrameAllowancePx - design.width());
    // Taller first; only a text that the screen's height cannot hold makes the window wider.
    int extraWidth = 0;
    int needed = lbTxt_->heightForWidth(text.width());
    while (needed - text.height() > maxExtraHeight && extraWidth < maxExtraWidth) {
        extraWidth = std::min(extraWidth + Twips(kWidenStepTwips), maxExtraWidth);
        needed = lbTxt_->heightForWidth(text.width() + extraWidth);
    }
    const int extraHeight = std::clamp(needed - text.height(), 0, maxExtraHeight);
    if (extraWidth == 0 && extraHeight == 0) {
        return;
    }
    lbTxt_->setGeometry(text.x(), text.y(), text.width() + extraWidth, text.height() + extraHeight);
    label1_->move(label1_->x(), label1_->y() + extraHeight);
    for (QPushButton* b : {cmdOk_, cmdNext_, cmdCancel_}) {
        b->move(b->x() + extraWidth / 2, b->y() + extraHeight);
    }
    setFixedSize(design.width() + extraWidth, design.height() + extraHeight);
    // Centred in the free area, so the grown window stays on the screen.
    move(free.x() + (free.width() - width()) / 2, free.y() + (free.height() - height()) / 2);
}

void WarningDialog::openWarning() {
    if (open_) {
        return;
    }
    // Every opening starts from the design, as a freshly loaded window would.
    QString caption = QString::fromStdString(TipsCaption());
    if (window_.context().platform.IsDryRun()) {
        caption += QString::fromUtf8(kDryRunMark);
    }
    setWindowTitle(caption);
    setWindowFlag(Qt::WindowStaysOnTopHint, true);
    placeDesignLayout();
    label1_->setText(QString());
    cmdOk_->setText(QStringLiteral("确定"));
    window_.hide();
    timerOk_->start();
    countdownTick_ = 1;
    lastStepMs_ = run_.context().platform.MonotonicMs();
    inhibitorLines_.clear();

    TaskEditor* editor = window_.editor();
    if (isReminder()) {
        lbTxt_->setText(editor->tips());
        cmdOk_->setText(QStringLiteral("知道了(%1)").arg(countdownTick_ - 1));
        placeReminderLayout();
    } else {
        cmdOk_->setText(editor->operationText());
        readInhibitors();
        warningOperation_ = WarningOperationText(editor->operation(), editor->operationText().toStdString(),
                                                 editor->tips().toStdString());
        lbTxt_->setText(warningText(kCountdownSeconds + 1 - countdownTick_));
    }
    // The whole text is read, also where it is read out: the text is the window's description.
    fitText();
    placeSnoozeButton();
    setAccessibleDescription(lbTxt_->text());
    open_ = true;
    bringForward();
}

void WarningDialog::bringForward() {
    if (!open_) {
        return;
    }
    // A window minimised at its last opening would open minimised again: never, nothing would be seen.
    setWindowState(windowState() & ~Qt::WindowMinimized);
    show();
    raise();
    activateWindow();
    // The window takes the keyboard now: the keys of someone typing elsewhere are not its answer.
    keysFromMs_ = window_.context().platform.MonotonicMs() + kKeyGuardMs;
}

void WarningDialog::changeEvent(QEvent* event) {
    QDialog::changeEvent(event);
    // Minimised while it counts down, the warning would leave nothing on the screen before the action:
    // it comes back.
    if (event->type() == QEvent::WindowStateChange && open_ && isMinimized()) {
        QTimer::singleShot(0, this, &WarningDialog::bringForward);
    }
}

bool WarningDialog::keysGuarded() const {
    return window_.context().platform.MonotonicMs() < keysFromMs_;
}

void WarningDialog::timerOkTimer() {
    if (!open_) {
        return;
    }
    // One step per timer event, never the wall time elapsed.
    const uint64_t nowMs = run_.context().platform.MonotonicMs();
    const bool slept = SleptBetween(lastStepMs_, nowMs);
    lastStepMs_ = nowMs;
    if (isReminder()) {
        cmdOk_->setText(QStringLiteral("知道了(%1)").arg(countdownTick_));
    } else {
        if (slept) {
            // The computer slept during the countdown: whoever wakes it gets the whole warning again, not
            // the seconds that were left.
            countdownTick_ = 0;
        }
        const int left = kCountdownSeconds - countdownTick_;
        lbTxt_->setText(warningText(left));
        setAccessibleDescription(lbTxt_->text());
        label1_->setText(QStringLiteral("倒计时(%1)").arg(left));
        if (countdownTick_ == kCountdownSeconds) {
            if (!holdWhileBlocked()) {
                cmdOkClick();
            }
            return; // closed (the counter is back at 0), or held open without its timer
        }
    }
    if (countdownTick_ < std::numeric_limits<int>::max()) {
        ++countdownTick_;
    }
}

void WarningDialog::cmdOkClick() {
    closeWith(ChoiceOk);
}
void WarningDialog::cmdNextClick() {
    closeWith(ChoiceNext);
}
void WarningDialog::cmdCancelClick() {
    closeWith(ChoiceCancel);
}

void WarningDialog::reject() {
    // Only the three buttons, their keys and the end of the countdown close this window.
}

void WarningDialog::closeWith(int choice) {
    if (!open_) {
        return;
    }
    closeChoice_ = choice;
    run_.recordWarningAnswer(choice);
    open_ = false;
    hide();
    // Whatever follows (the operation, the next task, nothing), the main window is back: also when it had
    // been minimised for want of a notification area.
    window_.showAgain();
    countdownTick_ = 0;
    timerOk_->stop();

    switch (
        OnTipsClosed(closeChoice_, window_.editor()->operation(), window_.savedTaskCheck()->isChecked())) {
    case TipsCloseAction::Perform:
        run_.opertion();
        break;
    case TipsCloseAction::RestartScheduler:
        run_.cmdStartClick(RunControl::StartCause::Chain);
        break;
    case TipsCloseAction::UncheckAndLoadTask: {
        // A cancelled reminder leaves the saved-task selection and the next task is loaded: the row that
        // was armed, wherever the list's selection has moved meanwhile.
        TaskList* list = window_.taskList();
        const int row = run_.armedRow();
        if (row >= 0 && row < list->rowCount()) {
            list->setRowChecked(row, false);
        }
        run_.loadtask();
        break;
    }
    case TipsCloseAction::ClearStatus:
        window_.stateLabel()->setText(QString());
        break;
    }
}

bool WarningDialog::handleKey(QKeyEvent* event) {
    if (!open_) {
        return false;
    }
    // Within the first second, and a key held down since before (its repeats), are swallowed: only a key
    // pressed on purpose answers the warning.
    if (keysGuarded() || event->isAutoRepeat()) {
        return true;
    }
    if (event->key() == Qt::Key_Escape) {
        cmdCancelClick();
        return true;
    }
    if (event->key() == Qt::Key_Space) {
        cmdOkClick();
        return true;
    }
    // Other character keys continue; a key without a character (Shift, arrows) is no key press here, and
    // Tab moves between the buttons as in any window rather than skipping the operation.
    if (event->text().isEmpty() || event->key() == Qt::Key_Tab || event->key() == Qt::Key_Backtab) {
        return false;
    }
    if (cmdNext_->isVisible()) {
        cmdNextClick();
    }
    return true;
}

void WarningDialog::keyPressEvent(QKeyEvent* event) {
    if (!handleKey(event)) {
        QDialog::keyPressEvent(event);
    }
}

bool WarningDialog::eventFilter(QObject* watched, QEvent* event) {
    // The window sees a key before the focused button does.
    if (event->type() == QEvent::KeyPress && handleKey(static_cast<QKeyEvent*>(event))) {
        return true;
    }
    return QDialog::eventFilter(watched, event);
}

} // namespace vantor::ui
