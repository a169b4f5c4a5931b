#include "ui/control/remote_control.h"

#include "core/scheduler/snooze.h"
#include "core/tasks/task_record.h"
#include "ui/common/message_boxes.h"
#include "ui/editor/task_editor.h"
#include "ui/history/history_log.h"
#include "ui/main_window/main_window.h"
#include "ui/scheduler/run_control.h"
#include "ui/scheduler/warning_dialog.h"

#include <QEvent>
#include <QLabel>
#include <QTimer>

namespace vantor::ui {

namespace {

ControlAnswer Refused(std::string text) {
    return ControlAnswer{ControlOutcome::Refused, std::move(text)};
}

// Watches the warning window for being put away, which ends the "warning" state.
class HideWatcher : public QObject {
public:
    HideWatcher(QObject* parent, std::function<void()> hidden)
        : QObject(parent), hidden_(std::move(hidden)) {}

protected:
    bool eventFilter(QObject* watched, QEvent* event) override {
        if (event->type() == QEvent::Hide) {
            // Once whatever the closing starts (the operation, the next task) has settled.
            QTimer::singleShot(0, this, hidden_);
        }
        return QObject::eventFilter(watched, event);
    }

private:
    std::function<void()> hidden_;
};

} // namespace

RemoteControl::RemoteControl(MainWindow& window, QObject* parent) : QObject(parent), window_(window) {
    lastState_ = stateWord();
    RunControl* run = window_.runControl();
    connect(run, &RunControl::stateChanged, this, [this, run] {
        if (WarningDialog* dialog = run->warningDialog();
            dialog != nullptr && !dialog->property("vantorWatched").toBool()) {
            dialog->setProperty("vantorWatched", true);
            dialog->installEventFilter(new HideWatcher(this, [this] { checkState(); }));
        }
        checkState();
    });
}

std::string RemoteControl::stateWord() const {
    const WarningDialog* dialog = window_.runControl()->warningDialog();
    if (dialog != nullptr && dialog->isOpen()) {
        return "warning";
    }
    return window_.runControl()->running() ? "running" : "stopped";
}

void RemoteControl::checkState() {
    const std::string now = stateWord();
    if (now != lastState_) {
        lastState_ = now;
        emit stateChanged(QString::fromStdString(now));
    }
}

ControlStatus RemoteControl::status() const {
    ControlStatus s;
    RunControl* run = window_.runControl();
    s.running = run->running();
    const TaskRecord task = ComposeRecord(window_.editor()->values());
    s.operation = window_.editor()->operationText().toStdString();
    s.conditions = task.conditionText;
    if (!task.startText.empty()) {
        s.window = task.endText.empty() ? task.startText : task.startText + " - " + task.endText;
    }
    s.statusLine = window_.stateLabel()->text().toStdString();
    if (const std::optional<DateTime> until = run->snoozedUntil()) {
        s.snoozedUntil = SnoozeClockText(*until);
    }
    if (const WarningDialog* dialog = run->warningDialog(); dialog != nullptr && dialog->isOpen()) {
        s.warningOpen = true;
        s.warningOperation = s.operation;
        const bool reminder = window_.editor()->operation() == OpRemind;
        s.warningSecondsLeft =
            reminder ? -1 : std::max(0, WarningDialog::kCountdownSeconds + 1 - dialog->countdownTick());
    }
    return s;
}

ControlAnswer RemoteControl::start() {
    RunControl* run = window_.runControl();
    const WarningDialog* dialog = run->warningDialog();
    if (dialog != nullptr && dialog->isOpen()) {
        return Refused("A warning is open: answer it first (--skip or --cancel).\n");
    }
    if (run->running()) {
        return Refused("A task is already running.\n");
    }
    MessageBoxes::Redirect messages(Answer::No);
    run->cmdStartClick();
    if (!run->running()) {
        std::string why = messages.text();
        return Refused(why.empty() ? std::string("No task was started.\n") : why);
    }
    return ControlAnswer{ControlOutcome::Done, messages.text() + FormatControlStatus(status())};
}

ControlAnswer RemoteControl::stop() {
    RunControl* run = window_.runControl();
    if (!run->running()) {
        const WarningDialog* dialog = run->warningDialog();
        return Refused(dialog != nullptr && dialog->isOpen()
                           ? "No task is running: a warning is open (--cancel answers it).\n"
                           : "No task is running.\n");
    }
    // The command is the answer to 停止's question.
    MessageBoxes::Redirect messages(Answer::Yes);
    run->cmdStartClick();
    if (run->running()) {
        return Refused(messages.text() + "The task is still running.\n");
    }
    return ControlAnswer{ControlOutcome::Done, "stopped\n"};
}

ControlAnswer RemoteControl::answerWarning(bool skip) {
    WarningDialog* dialog = window_.runControl()->warningDialog();
    if (dialog == nullptr || !dialog->isOpen()) {
        return Refused("No warning is open.\n");
    }
    MessageBoxes::Redirect messages(Answer::No);
    if (skip) {
        dialog->cmdNextClick();
    } else {
        dialog->cmdCancelClick();
    }
    return ControlAnswer{ControlOutcome::Done, messages.text() + FormatControlStatus(status())};
}

ControlAnswer RemoteControl::snooze(int minutes) {
    MessageBoxes::Redirect messages(Answer::No);
    const ActionResult result = window_.runControl()->snooze(minutes);
    if (!result.ok) {
        return Refused(messages.text() + result.error + "\n");
    }
    return ControlAnswer{ControlOutcome::Done, messages.text() + FormatControlStatus(status())};
}

ControlAnswer RemoteControl::history(int count) const {
    std::string text;
    for (const QString& record :
         ReadHistory(window_.context(), static_cast<size_t>(count > 0 ? count : kDefaultHistoryRecords))) {
        text += record.toStdString() + "\n";
    }
    return ControlAnswer{ControlOutcome::Done, text};
}

ControlAnswer RemoteControl::run(const ControlRequest& request) {
    ControlAnswer answer;
    switch (request.command) {
    case ControlCommand::Activate:
    case ControlCommand::Status:
        answer = ControlAnswer{ControlOutcome::Done, FormatControlStatus(status())};
        break;
    case ControlCommand::Start:
        answer = start();
        break;
    case ControlCommand::Stop:
        answer = stop();
        break;
    case ControlCommand::Skip:
        answer = answerWarning(true);
        break;
    case ControlCommand::Cancel:
        answer = answerWarning(false);
        break;
    case ControlCommand::Snooze:
        answer = snooze(request.number);
        break;
    case ControlCommand::History:
        answer = history(request.number);
        break;
    }
    checkState();
    return answer;
}

std::string RemoteControl::answerLine(const std::string& line) {
    std::string error;
    const std::optional<ControlRequest> request = ParseControlRequest(line, &error);
    if (!request) {
        return FormatControlAnswer(ControlAnswer{ControlOutcome::Invalid, error + "\n"});
    }
    return FormatControlAnswer(run(*request));
}

} // namespace vantor::ui
