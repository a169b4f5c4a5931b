#include "platform/linux/power_session.h"

#include <QDBusObjectPath>

#include <cstdlib>
#include <unistd.h>

namespace vantor::linux_backend {

namespace {

const QString kLogind = QStringLiteral("org.freedesktop.login1");
const QString kLogindPath = QStringLiteral("/org/freedesktop/login1");
const QString kManager = QStringLiteral("org.freedesktop.login1.Manager");
const std::string kLogindName = "systemd-logind";

} // namespace

bool PowerSession::CanDo(const char* method) {
    const DBusReply r = system_.Call(kLogind, kLogindPath, kManager, QString::fromLatin1(method), {}, 3000);
    if (!r.ok || r.values.isEmpty()) {
        return false;
    }
    // "challenge" means polkit would ask for a password; the request is still possible, so it counts.
    const QString answer = r.values.front().toString();
    return answer == QLatin1String("yes") || answer == QLatin1String("challenge");
}

ActionResult PowerSession::ManagerAction(const char* method, const std::string& action) {
    // interactive = false: a background scheduler must never stop and wait for a password prompt.
    const DBusReply r = system_.Call(kLogind, kLogindPath, kManager, QString::fromLatin1(method), {false});
    if (r.ok) {
        return ActionResult::Ok();
    }
    return ActionResult::Fail(DescribeFailure(r, action, kLogindName));
}

DBusReply PowerSession::SessionCall(const char* managerMethod, const char* sessionMethod) {
    const QByteArray id = qgetenv("XDG_SESSION_ID");
    if (!id.isEmpty()) {
        return system_.Call(kLogind, kLogindPath, kManager, QString::fromLatin1(managerMethod),
                            {QString::fromUtf8(id)});
    }
    const DBusReply bySelf = system_.Call(kLogind, kLogindPath, kManager, QStringLiteral("GetSessionByPID"),
                                          {static_cast<uint>(getpid())});
    if (!bySelf.ok || bySelf.values.isEmpty()) {
        return bySelf;
    }
    const QString path = qvariant_cast<QDBusObjectPath>(bySelf.values.front()).path();
    return system_.Call(kLogind, path, QStringLiteral("org.freedesktop.login1.Session"),
                        QString::fromLatin1(sessionMethod));
}

ActionResult PowerSession::LogOff() {
    // The desktop's own session manager first: it lets programs save their work before the session ends.
    struct Manager {
        QString service, path, iface, method;
        QVariantList args;
    };
    const Manager managers[] = {
        // 1 = no confirmation dialog: the user already confirmed in our warning dialog.
        {QStringLiteral("org.gnome.SessionManager"),
         QStringLiteral("/org/gnome/SessionManager"),
         QStringLiteral("org.gnome.SessionManager"),
         QStringLiteral("Logout"),
         {1u}},
        {QStringLiteral("org.kde.Shutdown"),
         QStringLiteral("/Shutdown"),
         QStringLiteral("org.kde.Shutdown"),
         QStringLiteral("logout"),
         {}},
        {QStringLiteral("org.kde.ksmserver"),
         QStringLiteral("/KSMServer"),
         QStringLiteral("org.kde.KSMServerInterface"),
         QStringLiteral("logout"),
         {0, 0, 0}},
    };
    std::string managerFailure;
    for (const Manager& m : managers) {
        if (!session_.HasOwner(m.service)) {
            continue;
        }
        const DBusReply r = session_.Call(m.service, m.path, m.iface, m.method, m.args);
        if (r.ok) {
            return ActionResult::Ok();
        }
        managerFailure = DescribeFailure(r, "log off", m.service.toStdString());
    }
    const DBusReply r = SessionCall("TerminateSession", "Terminate");
    if (r.ok) {
        return ActionResult::Ok();
    }
    std::string why = DescribeFailure(r, "log off", kLogindName);
    if (!managerFailure.empty()) {
        why = managerFailure + "; " + why;
    } else {
        why += "; no desktop session manager was found";
    }
    return ActionResult::Fail(why);
}

ActionResult PowerSession::Lock() {
    const DBusReply r = SessionCall("LockSession", "Lock");
    if (r.ok) {
        return ActionResult::Ok();
    }
    struct Saver {
        QString service, path, iface;
    };
    const Saver savers[] = {
        {QStringLiteral("org.freedesktop.ScreenSaver"), QStringLiteral("/org/freedesktop/ScreenSaver"),
         QStringLiteral("org.freedesktop.ScreenSaver")},
        {QStringLiteral("org.gnome.ScreenSaver"), QStringLiteral("/org/gnome/ScreenSaver"),
         QStringLiteral("org.gnome.ScreenSaver")},
    };
    for (const Saver& s : savers) {
        if (session_.HasOwner(s.service) &&
            session_.Call(s.service, s.path, s.iface, QStringLiteral("Lock")).ok) {
            return ActionResult::Ok();
        }
    }
    return ActionResult::Fail(DescribeFailure(r, "lock the screen", kLogindName) +
                              "; no screen saver answered");
}

} // namespace vantor::linux_backend
