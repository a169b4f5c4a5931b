// The channel between the running copy of a folder and a later start: a local socket (Qt Network).
#include "core/shell/instance.h"
#include "ui/common/single_instance.h"

#include <QDeadlineTimer>
#include <QLocalServer>
#include <QLocalSocket>
#include <QThread>

namespace vantor::ui {

namespace {

// How long a second start keeps trying to reach a running copy that may itself be starting.
constexpr int kReachMs = 5000;
constexpr int kRetryMs = 100;

} // namespace

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

} // namespace vantor::ui
