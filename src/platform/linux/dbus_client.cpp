#include "platform/linux/dbus_client.h"

#include <QDBusConnectionInterface>
#include <QDBusVariant>

#include <atomic>

namespace vantor::linux_backend {

namespace {

QString NextConnectionName(QDBusConnection::BusType type) {
    static std::atomic<int> counter{0};
    return QStringLiteral("vantor-%1-%2")
        .arg(type == QDBusConnection::SystemBus ? QStringLiteral("system") : QStringLiteral("session"))
        .arg(counter.fetch_add(1));
}

} // namespace

BusClient::BusClient(QDBusConnection::BusType type)
    : type_(type), connectionName_(NextConnectionName(type)) {}

BusClient::~BusClient() {
    if (opened_) {
        QDBusConnection::disconnectFromBus(connectionName_);
    }
}

bool BusClient::Connected() {
    if (!opened_) {
        // Opened here and not in the constructor: the round trip must not delay the window's first show.
        opened_ = true;
        // The address is looked up here every time: libdbus reads it once per process and keeps it, which
        // would tie every later connection to the first bus ever used.
        const char* var =
            type_ == QDBusConnection::SystemBus ? "DBUS_SYSTEM_BUS_ADDRESS" : "DBUS_SESSION_BUS_ADDRESS";
        const QString address = qEnvironmentVariable(var);
        usable_ = (address.isEmpty() ? QDBusConnection::connectToBus(type_, connectionName_)
                                     : QDBusConnection::connectToBus(address, connectionName_))
                      .isConnected();
    }
    return usable_;
}

DBusReply BusClient::Call(const QString& service, const QString& path, const QString& iface,
                          const QString& method, const QVariantList& args, int timeoutMs, bool interactive) {
    DBusReply reply;
    if (!Connected()) {
        reply.errorName = QStringLiteral("org.freedesktop.DBus.Error.NoServer");
        reply.errorMessage = type_ == QDBusConnection::SystemBus ? QStringLiteral("no system bus")
                                                                 : QStringLiteral("no session bus");
        return reply;
    }
    QDBusMessage msg = QDBusMessage::createMethodCall(service, path, iface, method);
    msg.setArguments(args);
    msg.setAutoStartService(false);
    msg.setInteractiveAuthorizationAllowed(interactive);
    const QDBusMessage answer = QDBusConnection(connectionName_).call(msg, QDBus::Block, timeoutMs);
    if (answer.type() == QDBusMessage::ReplyMessage) {
        reply.ok = true;
        reply.values = answer.arguments();
    } else {
        reply.errorName = answer.errorName();
        reply.errorMessage = answer.errorMessage();
    }
    return reply;
}

std::optional<QVariant> BusClient::Property(const QString& service, const QString& path, const QString& iface,
                                            const QString& name, int timeoutMs) {
    const DBusReply r = Call(service, path, QStringLiteral("org.freedesktop.DBus.Properties"),
                             QStringLiteral("Get"), {iface, name}, timeoutMs);
    if (!r.ok || r.values.isEmpty()) {
        return std::nullopt;
    }
    return qvariant_cast<QDBusVariant>(r.values.front()).variant();
}

bool BusClient::HasOwner(const QString& service) {
    if (!Connected()) {
        return false;
    }
    const DBusReply r =
        Call(QStringLiteral("org.freedesktop.DBus"), QStringLiteral("/org/freedesktop/DBus"),
             QStringLiteral("org.freedesktop.DBus"), QStringLiteral("NameHasOwner"), {service}, 2000);
    return r.ok && !r.values.isEmpty() && r.values.front().toBool();
}

std::string FailureReason(const DBusReply& reply, const std::string& service) {
    const QString& name = reply.errorName;
    std::string why;
    if (name.endsWith(QLatin1String(".NoServer")) || name.endsWith(QLatin1String(".Disconnected"))) {
        why = "无法连接系统的消息总线（D-Bus）";
    } else if (name.endsWith(QLatin1String(".ServiceUnknown")) ||
               name.endsWith(QLatin1String(".NameHasNoOwner"))) {
        why = service + " 没有运行";
    } else if (name.endsWith(QLatin1String(".UnknownMethod")) ||
               name.endsWith(QLatin1String(".UnknownObject")) ||
               name.endsWith(QLatin1String(".UnknownInterface"))) {
        why = service + " 不提供这项操作";
    } else if (name.endsWith(QLatin1String(".AccessDenied")) ||
               name.endsWith(QLatin1String(".InteractiveAuthorizationRequired")) ||
               name == QLatin1String("org.freedesktop.PolicyKit1.Error.NotAuthorized")) {
        why = "当前用户没有这项权限（polkit 未授权）";
    } else if (name.contains(QLatin1String("Inhibit")) || name.contains(QLatin1String("Blocked"))) {
        why = "有程序阻止了这项操作（抑制锁）";
    } else if (name.endsWith(QLatin1String(".NoReply")) || name.endsWith(QLatin1String(".Timeout"))) {
        why = service + " 没有回应";
    } else {
        // No words of our own for this one: its name at least tells a helper what happened.
        why = service + " 拒绝了请求（" + name.toStdString() + "）";
    }
    return why;
}

std::string DescribeFailure(const DBusReply& reply, const std::string& action, const std::string& service) {
    return "无法" + action + "：" + FailureReason(reply, service);
}

} // namespace vantor::linux_backend
