// One running copy of the program per program folder, and the channel other starts reach it through. The
// first start in a folder holds a lock there (the system drops it when the copy ends, however it ends, so
// a file left behind never blocks a start) and listens on a channel only this user can reach; a later
// start finds the lock held and sends its request over the channel: a plain second start asks for the
// window, the command line for a task's start, stop, status and so on.
#pragma once

#include "platform/platform.h"

#include <QObject>
#include <QString>

#include <deque>
#include <functional>
#include <memory>
#include <mutex>
#include <set>
#include <string>

namespace vantor::ui {

class SingleInstance : public QObject {
    Q_OBJECT
public:
    // `programFolder` is the application context's program folder (the folder of the task file).
    SingleInstance(Platform& platform, const QString& programFolder, QObject* parent = nullptr);
    ~SingleInstance() override;

    // True when this start is the running copy of its folder: the lock is ours (or no lock can be made
    // anywhere, and the program runs unguarded rather than not at all). False when another copy that
    // still runs holds it. With `serve`, the running copy listens on its channel; requests are held
    // until setResponder().
    bool claim(bool serve = true);

    // For a start that is not the running copy: sends one request and waits for the answer, trying for a
    // few seconds to reach a copy that may itself be starting. Blocks: the running copy is another
    // program.
    ControlReply ask(const std::string& request);
    // A plain second start: asks the running copy to bring itself forward. False when it could not be
    // reached.
    bool activateRunningCopy();

    // From now on the running copy's requests are answered by `responder` (called on this object's
    // thread with the request line); those that came while the copy was starting are answered first.
    // A plain second start's request is answered here with activationRequested().
    void setResponder(std::function<std::string(const std::string& request)> responder);

    // Where the lock is held (empty before claim or without a lock).
    QString lockPath() const { return lockPath_; }
    // Whether the channel listens.
    bool serving() const { return server_ != nullptr; }

signals:
    // Another start in this folder asked for the main window.
    void activationRequested();

private:
    struct Pending;
    // Runs on the channel's thread: hands the request to this object's thread and waits for its answer.
    std::string relay(const std::string& request);
    void receive(const std::shared_ptr<Pending>& pending);
    void answer(const std::shared_ptr<Pending>& pending);
    bool tryLock(const QString& path, LockOutcome& outcome);

    Platform& platform_;
    QString folder_;
    std::string channel_;
    QString lockPath_;
    std::unique_ptr<InstanceLock> lock_;
    std::function<std::string(const std::string&)> responder_;
    std::deque<std::shared_ptr<Pending>> early_; // came before the responder
    std::mutex mutex_;                           // guards live_ and every Pending's state
    std::set<std::shared_ptr<Pending>> live_;    // requests whose client is still waiting
    bool closing_ = false;
    std::unique_ptr<ControlServer> server_; // last: stopped first
};

} // namespace vantor::ui
