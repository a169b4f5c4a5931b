#include "platform/linux/power_session.h"

#include <QDBusArgument>
#include <QDBusObjectPath>

#include <chrono>
#include <cstdlib>
#include <thread>
#include <unistd.h>

namespace vantor::linux_backend {

namespace {

const QString kLogind = QStringLiteral("org.freedesktop.login1");
const QString kLogindPath = QStringLiteral("/org/freedesktop/login1");
const QString kManager = QStringLiteral("org.freedesktop.login1.Manager");
const std::string kLogindName = "systemd-logind";
const QString kLogOffManagers[] = {QStringLiteral("org.gnome.SessionManager"),
                                   QStringLiteral("org.kde.Shutdown"), QStringLiteral("org.kde.ksmserver")};
const QString kScreenSavers[] = {
    QStringLiteral("org.freedesktop.ScreenSaver"), QStringLiteral("org.gnome.ScreenSaver"),
    QStringLiteral("org.cinnamon.ScreenSaver"), QStringLiteral("org.mate.ScreenSaver"),
    QStringLiteral("org.xfce.ScreenSaver")};
// Time for the user to type a password into the desktop's polkit prompt.
constexpr int kPasswordWaitMs = 120'000;

} // namespace

QString PowerSession::Ask(const char* method) {
    const DBusReply r = system_.Call(kLogind, kLogindPath, kManager, QString::fromLatin1(method), {}, 3000);
    return r.ok && !r.values.isEmpty() ? r.values.front().toString() : QString();
}

bool PowerSession::Allowed(const QString& answer) {
    // "challenge" means polkit will ask for a password; the request is still possible, so it counts.
    return answer == QLatin1String("yes") || answer == QLatin1String("challenge");
}

Availability PowerSession::LogindAvailability(const char* question) {
    const DBusReply r = system_.Call(kLogind, kLogindPath, kManager, QString::fromLatin1(question), {}, 3000);
    if (!r.ok || r.values.isEmpty()) {
        // The request itself goes to logind and nowhere else: without it, it fails every time.
        return {Availability::Answer::NotAvailable, FailureReason(r, kLogindName)};
    }
    const QString answer = r.values.front().toString();
    if (answer == QLatin1String("challenge")) {
        return {Availability::Answer::Challenge, {}};
    }
    if (answer == QLatin1String("no")) {
        return {Availability::Answer::No, "当前用户没有这项权限（polkit 未授权）"};
    }
    if (answer == QLatin1String("na")) {
        return {Availability::Answer::NotAvailable, "系统不支持这项操作"};
    }
    return {};
}

Availability PowerSession::CanPerform(SystemOperation op) {
    switch (op) {
    case SystemOperation::PowerOff:
        return LogindAvailability("CanPowerOff");
    case SystemOperation::Reboot:
        return LogindAvailability("CanReboot");
    case SystemOperation::Suspend:
        return LogindAvailability("CanSuspend");
    case SystemOperation::Hibernate:
        return LogindAvailability("CanHibernate");
    case SystemOperation::LogOff:
        for (const QString& service : kLogOffManagers) {
            if (session_.HasOwner(service)) {
                return {};
            }
        }
        if (SessionPath()) {
            return {};
        }
        return {Availability::Answer::NotAvailable,
                "没有找到桌面的会话管理器，systemd-logind 也不知道这个会话"};
    case SystemOperation::Lock:
        for (const QString& service : kScreenSavers) {
            if (session_.HasOwner(service)) {
                return {};
            }
        }
        // A locker that listens to logind (xss-lock, swayidle) cannot be seen from here: with a logind
        // session there may be one, so the task is not refused.
        if (SessionPath()) {
            return {};
        }
        return {Availability::Answer::NotAvailable, "没有找到锁屏程序"};
    }
    return {};
}

std::vector<Inhibitor> PowerSession::ListInhibitors() {
    std::vector<Inhibitor> out;
    const DBusReply r =
        system_.Call(kLogind, kLogindPath, kManager, QStringLiteral("ListInhibitors"), {}, 3000);
    if (!r.ok || r.values.isEmpty()) {
        return out;
    }
    // a(ssssuu): what, who, why, mode, user id, process id.
    const QDBusArgument arg = r.values.front().value<QDBusArgument>();
    if (arg.currentType() != QDBusArgument::ArrayType) {
        return out;
    }
    arg.beginArray();
    while (!arg.atEnd()) {
        QString what, who, why, mode;
        uint uid = 0, pid = 0;
        arg.beginStructure();
        arg >> what >> who >> why >> mode >> uid >> pid;
        arg.endStructure();
        out.push_back({what.toStdString(), who.toStdString(), why.toStdString(), mode.toStdString()});
    }
    arg.endArray();
    return out;
}

ActionResult PowerSession::ManagerAction(const char* method, const char* question,
                                         const std::string& action) {
    // Where polkit wants a password, the request must allow the desktop to ask for it; sent without, it
    // is refused every time. Otherwise a scheduled action never stops to wait for a prompt.
    const bool interactive = Ask(question) == QLatin1String("challenge");
    const DBusReply r = system_.Call(kLogind, kLogindPath, kManager, QString::fromLatin1(method),
                                     {interactive}, interactive ? kPasswordWaitMs : 5000, interactive);
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
        managerFailure = DescribeFailure(r, "注销", m.service.toStdString());
    }
    const DBusReply r = SessionCall("TerminateSession", "Terminate");
    if (r.ok) {
        return ActionResult::Ok();
    }
    std::string why = DescribeFailure(r, "注销", kLogindName);
    if (!managerFailure.empty()) {
        why = managerFailure + "；" + why;
    } else {
        why += "；也没有找到桌面的会话管理器";
    }
    return ActionResult::Fail(why);
}

std::optional<QString> PowerSession::SessionPath() {
    const QByteArray id = qgetenv("XDG_SESSION_ID");
    const DBusReply r = !id.isEmpty()
                            ? system_.Call(kLogind, kLogindPath, kManager, QStringLiteral("GetSession"),
                                           {QString::fromUtf8(id)})
                            : system_.Call(kLogind, kLogindPath, kManager, QStringLiteral("GetSessionByPID"),
                                           {static_cast<uint>(getpid())});
    if (!r.ok || r.values.isEmpty()) {
        return std::nullopt;
    }
    return qvariant_cast<QDBusObjectPath>(r.values.front()).path();
}

bool PowerSession::LockedSoon(const QString& sessionPath) {
    // The locker sets the hint once its shield is up, a moment after the request.
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::milliseconds(lockWaitMs_);
    for (;;) {
        const std::optional<QVariant> locked =
            system_.Property(kLogind, sessionPath, QStringLiteral("org.freedesktop.login1.Session"),
                             QStringLiteral("LockedHint"));
        if (locked && locked->toBool()) {
            return true;
        }
        if (!locked || std::chrono::steady_clock::now() >= deadline) {
            return false;
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(100));
    }
}

ActionResult PowerSession::Lock() {
    const DBusReply r = SessionCall("LockSession", "Lock");
    if (r.ok) {
        if (const std::optional<QString> path = SessionPath(); path && LockedSoon(*path)) {
            return ActionResult::Ok();
        }
    }
    // Nothing locked through logind (no locker listens to it, or logind is missing): the desktop's own
    // screen savers lock at once when they take the request.
    struct Saver {
        QString service, path, iface;
    };
    const Saver savers[] = {
        {QStringLiteral("org.freedesktop.ScreenSaver"), QStringLiteral("/org/freedesktop/ScreenSaver"),
         QStringLiteral("org.freedesktop.ScreenSaver")},
        {QStringLiteral("org.gnome.ScreenSaver"), QStringLiteral("/org/gnome/ScreenSaver"),
         QStringLiteral("org.gnome.ScreenSaver")},
        {QStringLiteral("org.cinnamon.ScreenSaver"), QStringLiteral("/org/cinnamon/ScreenSaver"),
         QStringLiteral("org.cinnamon.ScreenSaver")},
        {QStringLiteral("org.mate.ScreenSaver"), QStringLiteral("/org/mate/ScreenSaver"),
         QStringLiteral("org.mate.ScreenSaver")},
        {QStringLiteral("org.xfce.ScreenSaver"), QStringLiteral("/org/xfce/ScreenSaver"),
         QStringLiteral("org.xfce.ScreenSaver")},
    };
    for (const Saver& s : savers) {
        if (session_.HasOwner(s.service) &&
            session_.Call(s.service, s.path, s.iface, QStringLiteral("Lock")).ok) {
            return ActionResult::Ok();
        }
    }
    const std::string why =
        r.ok ? "已向 systemd-logind 发出锁定请求，但没有锁屏程序锁定屏幕" : FailureReason(r, kLogindName);
    return ActionResult::Fail("无法锁定屏幕：" + why + "；也没有屏幕保护程序响应");
}

} // namespace vantor::linux_backend
