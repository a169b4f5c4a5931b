#include "ui/common/single_instance.h"

#include "core/shell/instance.h"

#include <QDeadlineTimer>
#include <QDir>
#include <QFileInfo>
#include <QLocalServer>
#include <QLocalSocket>
#include <QLockFile>
#include <QThread>

namespace vantor::ui {

namespace {

// How long a second start keeps trying to reach a running copy that may itself be starting.
constexpr int kReachMs = 5000;
constexpr int kRetryMs = 100;

} // namespace

SingleInstance::SingleInstance(const QString& programFolder, QObject* parent) : QObject(parent) {
    // Every path to the folder (a link, a trailing "/") must lead to the same lock and channel.
    const QString canonical = QFileInfo(programFolder).canonicalFilePath();
    folder_ = canonical.isEmpty() ? QDir::cleanPath(programFolder) : canonical;
    channel_ = QString::fromStdString(InstanceChannelName(folder_.toStdString()));
}

SingleInstance::~SingleInstance() = default;

bool SingleInstance::tryLock(const QString& path, bool& heldByOther) {
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
        // A folder that takes no new file (read-only): the copies of this folder meet in the temporary
        // folder instead, under the channel's name.
        if (!tryLock(QDir::tempPath() + QLatin1Char('/') + channel_ + QStringLiteral(".lock"), heldByOther) &&
            heldByOther) {
            return false;
        }
    }
    listen();
    return true;
}

void SingleInstance::listen() {
    server_ = new QLocalServer(this);
    server_->setSocketOptions(QLocalServer::UserAccessOption);
    // A channel left behind by a killed copy would refuse the name; the lock says that copy is gone.
    QLocalServer::removeServer(channel_);
    if (!server_->listen(channel_)) {
        return; // the program still runs; a second start then ends without reaching it
    }
    connect(server_, &QLocalServer::newConnection, this, [this] {
        while (QLocalSocket* socket = server_->nextPendingConnection()) {
            connect(socket, &QLocalSocket::disconnected, socket, &QObject::deleteLater);
            const auto handle = [this, socket] {
                if (socket->canReadLine() &&
                    socket->readLine() == QByteArray::fromStdString(std::string(kActivateRequest))) {
                    emit activationRequested();
                }
            };
            connect(socket, &QLocalSocket::readyRead, this, handle);
            handle(); // the request may have arrived with the connection
        }
    });
}

bool SingleInstance::activateRunningCopy() {
    const QDeadlineTimer deadline(kReachMs);
    while (!deadline.hasExpired()) {
        QLocalSocket socket;
        socket.connectToServer(channel_);
        if (socket.waitForConnected(kRetryMs * 5)) {
            socket.write(QByteArray::fromStdString(std::string(kActivateRequest)));
            const bool sent = socket.waitForBytesWritten(kReachMs);
            socket.disconnectFromServer();
            if (sent) {
                return true;
            }
        }
        // The running copy may have taken the lock and not be listening yet.
        QThread::msleep(kRetryMs);
    }
    return false;
}

QString SingleInstance::lockPath() const {
    return lock_ ? lock_->fileName() : QString();
}

} // namespace vantor::ui
