#include "ui/common/single_instance.h"

#include "core/shell/instance.h"

#include <QDateTime>
#include <QDeadlineTimer>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QFileSystemWatcher>
#include <QLockFile>
#include <QThread>

namespace vantor::ui {

namespace {

// How long a second start waits for the running copy (which may itself be starting) to take its request.
constexpr int kReachMs = 5000;
constexpr int kPollMs = 50;

// A request found when the running copy starts to watch is only honoured when it is this fresh: an older
// one was left by a start whose running copy has since gone, and must not pull a window out of the tray.
constexpr qint64 kFreshRequestMs = 10000;

QString Beside(const QString& file, const char* name) {
    return QFileInfo(file).absolutePath() + QLatin1Char('/') + QString::fromUtf8(name);
}

} // namespace

SingleInstance::SingleInstance(const QString& programFolder, QObject* parent) : QObject(parent) {
    // Every path to the folder (a link, a trailing "/") must lead to the same lock and request file.
    const QString canonical = QFileInfo(programFolder).canonicalFilePath();
    folder_ = canonical.isEmpty() ? QDir::cleanPath(programFolder) : canonical;
    channel_ = QString::fromStdString(InstanceChannelName(folder_.toStdString()));
}

SingleInstance::~SingleInstance() = default;

bool SingleInstance::tryLock(const QString& path, bool& heldByOther) {
    // The request file belongs to whichever lock decides: the one held here, or another copy's.
    requestPath_ = Beside(path, kActivateRequestFileName);
    lock_ = std::make_unique<QLockFile>(path);
    // Held for as long as the program runs: only a lock whose writer no longer runs is stale, never one
    // that is merely old.
    lock_->setStaleLockTime(0);
    if (lock_->tryLock(0)) {
        return true;
    }
    heldByOther = lock_->error() == QLockFile::LockFailedError;
    lock_.reset();
    return false;
}

bool SingleInstance::claim() {
    bool heldByOther = false;
    if (!tryLock(folder_ + QLatin1Char('/') + QString::fromUtf8(kInstanceLockFileName), heldByOther)) {
        if (heldByOther) {
            return false;
        }
        // A folder that takes no new file (read-only): the copies of this folder meet in a folder of
        // their own under the temporary folder instead.
        const QString meeting = QDir::tempPath() + QLatin1Char('/') + channel_;
        QDir().mkpath(meeting);
        if (!tryLock(meeting + QLatin1Char('/') + QString::fromUtf8(kInstanceLockFileName), heldByOther) &&
            heldByOther) {
            return false;
        }
    }
    if (lock_) {
        watch();
    }
    return true;
}

void SingleInstance::watch() {
    // A request that came while this copy was starting is taken now; a stale one is cleared away.
    const QFileInfo pending(requestPath_);
    if (pending.exists() && pending.lastModified().msecsTo(QDateTime::currentDateTime()) > kFreshRequestMs) {
        QFile::remove(requestPath_);
    }
    // The folder is watched rather than the file, which does not exist between requests. The system tells
    // of changes in it (inotify, change notifications): no timer runs while nothing happens.
    watcher_ = new QFileSystemWatcher(this);
    watcher_->addPath(QFileInfo(requestPath_).absolutePath());
    connect(watcher_, &QFileSystemWatcher::directoryChanged, this, &SingleInstance::takeRequest);
    takeRequest();
}

void SingleInstance::takeRequest() {
    // Removing the file is taking the request: a change of the folder that is no request removes nothing,
    // and one request is never answered twice.
    if (QFile::remove(requestPath_)) {
        emit activationRequested();
    }
}

bool SingleInstance::activateRunningCopy() {
    QFile request(requestPath_);
    const QByteArray text = QByteArray::fromStdString(std::string(kActivateRequest));
    if (!request.open(QIODevice::WriteOnly | QIODevice::Truncate) || request.write(text) != text.size() ||
        !request.flush()) {
        return false;
    }
    request.close();
    const QDeadlineTimer deadline(kReachMs);
    while (!deadline.hasExpired()) {
        if (!QFile::exists(requestPath_)) {
            return true;
        }
        QThread::msleep(kPollMs);
    }
    // Nobody took it: leave nothing behind that a later copy could take for a fresh request.
    QFile::remove(requestPath_);
    return false;
}

QString SingleInstance::lockPath() const {
    return lock_ ? lock_->fileName() : QString();
}

} // namespace vantor::ui
