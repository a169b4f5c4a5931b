// Power and session actions through systemd-logind and the desktop's session manager and screen saver.
#pragma once

#include "platform/linux/dbus_client.h"
#include "platform/platform.h"

#include <optional>
#include <vector>

namespace vantor::linux_backend {

class PowerSession {
public:
    // `lockWaitMs`: how long a lock request may take to show in the session's locked state.
    PowerSession(BusClient& system, BusClient& session, int lockWaitMs = 2000)
        : system_(system), session_(session), lockWaitMs_(lockWaitMs) {}

    bool CanSuspend() { return Allowed(Ask("CanSuspend")); }
    bool CanHibernate() { return Allowed(Ask("CanHibernate")); }
    ActionResult PowerOff() { return ManagerAction("PowerOff", "CanPowerOff", "关机"); }
    ActionResult Reboot() { return ManagerAction("Reboot", "CanReboot", "重启"); }
    ActionResult Suspend() { return ManagerAction("Suspend", "CanSuspend", "睡眠"); }
    ActionResult Hibernate() { return ManagerAction("Hibernate", "CanHibernate", "休眠"); }
    ActionResult LogOff();
    // Asked, never done: logind's Can... answers; for log off a session manager or a logind session, for
    // lock a screen saver or a logind session a locker may listen to.
    Availability CanPerform(SystemOperation op);
    // logind's inhibitors as ListInhibitors gives them; empty when logind cannot be asked.
    std::vector<Inhibitor> ListInhibitors();
    // logind's lock request succeeds even where no screen locker listens: the session must say it is
    // locked shortly after, or the desktop's screen saver is asked.
    ActionResult Lock();

private:
    // logind's answer to a Can... question: "yes", "challenge", "no", "na"; empty when it cannot answer.
    QString Ask(const char* method);
    static bool Allowed(const QString& answer);
    Availability LogindAvailability(const char* question);
    ActionResult ManagerAction(const char* method, const char* question, const std::string& action);
    // Calls a method of this process's logind session: by $XDG_SESSION_ID on the manager, else on the
    // session object that GetSessionByPID names.
    DBusReply SessionCall(const char* managerMethod, const char* sessionMethod);
    // The object path of this process's logind session; nullopt when logind cannot tell.
    std::optional<QString> SessionPath();
    // Whether the session says it is locked within the wait.
    bool LockedSoon(const QString& sessionPath);

    BusClient& system_;
    BusClient& session_;
    int lockWaitMs_;
};

} // namespace vantor::linux_backend
