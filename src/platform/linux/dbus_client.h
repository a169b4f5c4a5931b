// Blocking D-Bus calls for the Linux backend on private, lazily opened connections to the system and
// session buses, with failures turned into reasons a user can read.
#pragma once

#include <QDBusConnection>
#include <QDBusMessage>
#include <QString>
#include <QVariant>

#include <optional>
#include <string>

namespace vantor::linux_backend {

struct DBusReply {
    bool ok = false;
    QVariantList values;  // the reply's arguments when ok
    QString errorName;    // e.g. org.freedesktop.DBus.Error.AccessDenied
    QString errorMessage; // the service's own words
};

// One bus connection, opened on first use and closed with the object. Each object owns its own
// connection, so a backend built after the bus address changed (tests) talks to the new bus.
class BusClient {
public:
    explicit BusClient(QDBusConnection::BusType type);
    ~BusClient();
    BusClient(const BusClient&) = delete;
    BusClient& operator=(const BusClient&) = delete;

    // False when the bus cannot be reached at all.
    bool Connected();
    // `interactive`: the service may ask the user for a password (polkit) before it answers.
    DBusReply Call(const QString& service, const QString& path, const QString& iface, const QString& method,
                   const QVariantList& args = {}, int timeoutMs = 5000, bool interactive = false);
    // A property read through org.freedesktop.DBus.Properties.Get.
    std::optional<QVariant> Property(const QString& service, const QString& path, const QString& iface,
                                     const QString& name, int timeoutMs = 2000);
    // Whether some program currently owns the name (no auto-start of services).
    bool HasOwner(const QString& service);

private:
    QDBusConnection::BusType type_;
    QString connectionName_;
    bool opened_ = false;
    bool usable_ = false;
};

// Why a call failed, in the user's words: "systemd-logind 没有运行".
std::string FailureReason(const DBusReply& reply, const std::string& service);

// The reason for a failed call in the user's words, naming the action ("关机") and the service:
// "无法关机：当前用户没有这项权限（polkit 未授权）".
std::string DescribeFailure(const DBusReply& reply, const std::string& action, const std::string& service);

} // namespace vantor::linux_backend
