// What the control channel and D-Bus may ask of the running copy: each command does what the button of
// the same meaning does (开始, 停止, "继续" and "取消" in the warning), through the same handlers, with the
// messages those show given back as text instead of boxes; "推迟" and the history as the warning and the
// history window have them.
#pragma once

#include "core/shell/control.h"

#include <QObject>

#include <string>

namespace vantor::ui {

class MainWindow;

class RemoteControl : public QObject {
    Q_OBJECT
public:
    explicit RemoteControl(MainWindow& window, QObject* parent = nullptr);

    // One request line in, the answer's bytes out; a line that is not understood is answered as such and
    // changes nothing.
    std::string answerLine(const std::string& line);
    ControlAnswer run(const ControlRequest& request);
    ControlStatus status() const;
    // A short word for the state: "stopped", "running" or "warning".
    std::string stateWord() const;

signals:
    // The state word may have changed (polled once a second while anything can change it).
    void stateChanged(const QString& state);

private:
    ControlAnswer start();
    ControlAnswer stop();
    ControlAnswer answerWarning(bool skip);
    ControlAnswer snooze(int minutes);
    ControlAnswer history(int count) const;
    void checkState();

    MainWindow& window_;
    std::string lastState_;
};

} // namespace vantor::ui
