#include "core/shell/control.h"
#include "ui/control/remote_control.h"
#include "ui/control/session_bus.h"

#include <QDBusConnection>
#include <QDBusConnectionInterface>
#include <QDBusContext>
#include <QDBusMessage>
#include <QDBusReply>
#include <QVariantMap>

#include <algorithm>

namespace vantor::ui {

namespace {

constexpr const char* kService = "org.vantor.Vantor";
constexpr const char* kPath = "/org/vantor/Vantor";
constexpr const char* kInterface = "org.vantor.Vantor1";

// The exported object: its public slots are the interface's methods, introspected by QtDBus.
class BusObject : public QObject, protected QDBusContext {
    Q_OBJECT
    Q_CLASSINFO("D-Bus Interface", "org.vantor.Vantor1")
    // "stopped", "running" or "warning".
    Q_PROPERTY(QString State READ state)

public:
    explicit BusObject(RemoteControl& remote) : remote_(remote) {
        connect(&remote_, &RemoteControl::stateChanged, this, &BusObject::announce);
    }
    QString state() const { return QString::fromStdString(remote_.stateWord()); }

public slots:
    QString Status() { return run(ControlCommand::Status); }
    QString Start() { return run(ControlCommand::Start); }
    QString Stop() { return run(ControlCommand::Stop); }
    QString Skip() { return run(ControlCommand::Skip); }
    QString Cancel() { return run(ControlCommand::Cancel); }
    QString Snooze(uint minutes) { return run(ControlCommand::Snooze, minutes); }
    // `count` 0: the default number of records.
    QString History(uint count) { return run(ControlCommand::History, count); }

signals:
    void StateChanged(const QString& state);

private:
    // The bus lets only the session's own user in already; any other sender is still refused.
    bool senderAllowed() {
        QDBusConnectionInterface* bus = connection().interface();
        if (bus == nullptr) {
            return false;
        }
        const QDBusReply<uint> sender = bus->serviceUid(message().service());
        const QDBusReply<uint> self = bus->serviceUid(connection().baseService());
        return sender.isValid() && self.isValid() && sender.value() == self.value();
    }

    QString run(ControlCommand command, uint number = 0) {
        if (!senderAllowed()) {
            sendErrorReply(QDBusError::AccessDenied,
                           QStringLiteral("Only the session's own user may do that."));
            return {};
        }
        // Numbers go through the same reading as the channel's lines.
        const std::optional<ControlRequest> request = ParseControlRequest(
            FormatControlRequest(ControlRequest{command, static_cast<int>(std::min<uint>(number, 99999))}));
        if (!request) {
            sendErrorReply(QDBusError::InvalidArgs, QStringLiteral("The number is out of range."));
            return {};
        }
        const ControlAnswer answer = remote_.run(*request);
        const QString text = QString::fromStdString(answer.text);
        if (answer.outcome != ControlOutcome::Done) {
            sendErrorReply(QStringLiteral("org.vantor.Vantor1.Error.Refused"), text.trimmed());
            return {};
        }
        return text;
    }

    void announce(const QString& state) {
        emit StateChanged(state);
        QDBusMessage changed = QDBusMessage::createSignal(QString::fromLatin1(kPath),
                                                          QStringLiteral("org.freedesktop.DBus.Properties"),
                                                          QStringLiteral("PropertiesChanged"));
        changed << QString::fromLatin1(kInterface) << QVariantMap{{QStringLiteral("State"), state}}
                << QStringList();
        QDBusConnection::sessionBus().send(changed);
    }

    RemoteControl& remote_;
};

} // namespace

std::unique_ptr<QObject> OfferOnSessionBus(RemoteControl& remote) {
    QDBusConnection bus = QDBusConnection::sessionBus();
    if (!bus.isConnected()) {
        return nullptr;
    }
    auto object = std::make_unique<BusObject>(remote);
    if (!bus.registerObject(QString::fromLatin1(kPath), object.get(),
                            QDBusConnection::ExportAllSlots | QDBusConnection::ExportAllSignals |
                                QDBusConnection::ExportAllProperties)) {
        return nullptr;
    }
    if (!bus.registerService(QString::fromLatin1(kService))) {
        // Another copy (of another folder) has the name: it answers there.
        bus.unregisterObject(QString::fromLatin1(kPath));
        return nullptr;
    }
    return object;
}

} // namespace vantor::ui

#include "dbus.moc"
