#include "ui/common/single_instance.h"

#include "core/shell/control.h"
#include "core/shell/instance.h"

#include <QDeadlineTimer>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QThread>

#include <condition_variable>

namespace vantor::ui {

namespace {

// How long a later start keeps trying to reach a running copy that holds the lock but may not listen yet.
constexpr int kReachMs = 5000;
constexpr int kRetryMs = 100;
// How long a request waits for the running copy's window to take it (it may still be starting, or a
// message of its start-up may be open); a request not taken by then is answered as busy and dropped.
constexpr int kTakeMs = 10000;
// The client waits a little longer than that for its answer.
constexpr int kAnswerMs = kTakeMs + 5000;

std::string Refusal(const char* why) {
    return FormatControlAnswer(ControlAnswer{ControlOutcome::Refused, why});
}

} // namespace

struct SingleInstance::Pending {
    enum class State { Waiting, Taken, Answered, Dropped };
    std::string request;
    std::string answer;
    State state = State::Waiting;
    std::condition_variable changed;
};

SingleInstance::SingleInstance(Platform& platform, const QString& programFolder, QObject* parent)
    : QObject(parent), platform_(platform) {
    // Every path to the folder (a link, a trailing "/") must lead to the same lock and channel.
    const QString canonical = QFileInfo(programFolder).canonicalFilePath();
    folder_ = canonical.isEmpty() ? QDir::cleanPath(programFolder) : canonical;
    channel_ = InstanceChannelName(QFile::encodeName(folder_).toStdString());
}

SingleInstance::~SingleInstance() {
    {
        // Clients still waiting are told at once; the channel's thread is then free to stop.
        const std::lock_guard<std::mutex> hold(mutex_);
        closing_ = true;
        for (const std::shared_ptr<Pending>& p : live_) {
            if (p->state == Pending::State::Waiting || p->state == Pending::State::Taken) {
                p->answer = Refusal("Vantor is closing.");
                p->state = Pending::State::Answered;
                p->changed.notify_all();
            }
        }
    }
    server_.reset();
}

bool SingleInstance::tryLock(const QString& path, LockOutcome& outcome) {
    lock_ = platform_.LockInstance(QFile::encodeName(path).toStdString(), outcome);
    if (lock_) {
        lockPath_ = path;
    }
    return lock_ != nullptr;
}

bool SingleInstance::claim(bool serve) {
    LockOutcome outcome = LockOutcome::Unusable;
    if (!tryLock(folder_ + QLatin1Char('/') + QString::fromUtf8(kInstanceLockFileName), outcome)) {
        if (outcome == LockOutcome::HeldByOther) {
            return false;
        }
        // The folder takes no lock (read-only, or something that is no file stands under the lock's
        // name): the copies of this folder meet in the user's private folder instead.
        const QString runtime = QFile::decodeName(platform_.PrivateRuntimeFolder().c_str());
        if (!runtime.isEmpty() &&
            !tryLock(runtime + QLatin1Char('/') + QString::fromStdString(channel_) + QStringLiteral(".lock"),
                     outcome) &&
            outcome == LockOutcome::HeldByOther) {
            return false;
        }
    }
    if (serve && lock_) {
        server_ =
            platform_.ServeControl(channel_, [this](const std::string& request) { return relay(request); });
    }
    return true;
}

ControlReply SingleInstance::ask(const std::string& request) {
    const QDeadlineTimer deadline(kReachMs);
    for (;;) {
        ControlReply reply = platform_.AskControl(channel_, request, kAnswerMs);
        if (reply.status != ControlReply::Status::NoServer || deadline.hasExpired()) {
            return reply;
        }
        QThread::msleep(kRetryMs);
    }
}

bool SingleInstance::activateRunningCopy() {
    const ControlReply reply = ask(FormatControlRequest(ControlRequest{ControlCommand::Activate, 0}));
    if (reply.status != ControlReply::Status::Answered) {
        return false;
    }
    const std::optional<ControlAnswer> answer = ParseControlAnswer(reply.answer);
    return answer && answer->outcome == ControlOutcome::Done;
}

void SingleInstance::setResponder(std::function<std::string(const std::string&)> responder) {
    responder_ = std::move(responder);
    while (!early_.empty()) {
        const std::shared_ptr<Pending> p = early_.front();
        early_.pop_front();
        answer(p);
    }
}

std::string SingleInstance::relay(const std::string& request) {
    auto pending = std::make_shared<Pending>();
    pending->request = request;
    std::unique_lock<std::mutex> hold(mutex_);
    if (closing_) {
        return Refusal("Vantor is closing.");
    }
    live_.insert(pending);
    QMetaObject::invokeMethod(
        this, [this, pending] { receive(pending); }, Qt::QueuedConnection);
    const auto settled = [&pending] {
        return pending->state == Pending::State::Answered || pending->state == Pending::State::Dropped;
    };
    if (!pending->changed.wait_for(hold, std::chrono::milliseconds(kTakeMs), settled) &&
        pending->state == Pending::State::Waiting) {
        // Never carried out late: the client is told now that nothing was done.
        pending->state = Pending::State::Dropped;
        pending->answer = Refusal("Vantor is busy (a message of its own may be open); nothing was done.");
    }
    // Once taken, a request is seen through: the client learns what it did.
    pending->changed.wait(hold, settled);
    live_.erase(pending);
    return pending->answer;
}

void SingleInstance::receive(const std::shared_ptr<Pending>& pending) {
    if (!responder_) {
        early_.push_back(pending);
        return;
    }
    answer(pending);
}

void SingleInstance::answer(const std::shared_ptr<Pending>& pending) {
    {
        const std::lock_guard<std::mutex> hold(mutex_);
        if (pending->state != Pending::State::Waiting) {
            return;
        }
        pending->state = Pending::State::Taken;
    }
    std::string text;
    const std::optional<ControlRequest> request = ParseControlRequest(pending->request);
    if (request && request->command == ControlCommand::Activate) {
        emit activationRequested();
        text = FormatControlAnswer(ControlAnswer{ControlOutcome::Done, {}});
    } else {
        text = responder_(pending->request);
    }
    const std::lock_guard<std::mutex> hold(mutex_);
    if (pending->state == Pending::State::Taken) {
        pending->answer = std::move(text);
        pending->state = Pending::State::Answered;
        pending->changed.notify_all();
    }
}

} // namespace vantor::ui
