// Power and session actions through systemd-logind and the desktop's session manager and screen saver.
#pragma once

#include "platform/linux/dbus_client.h"
#include "platform/platform.h"

namespace vantor::linux_backend {

class PowerSession {
public:
    PowerSession(BusClient& system, BusClient& session) : system_(system), session_(session) {}

    bool CanSuspend() { return CanDo("CanSuspend"); }
    bool CanHibernate() { return CanDo("CanHibernate"); }
    ActionResult PowerOff() { return ManagerAction("PowerOff", "power off"); }
    ActionResult Reboot() { return ManagerAction("Reboot", "restart"); }
    ActionResult Suspend() { return ManagerAction("Suspend", "sleep"); }
    ActionResult Hibernate() { return ManagerAction("Hibernate", "hibernate"); }
    ActionResult LogOff();
    ActionResult Lock();

private:
    bool CanDo(const char* method);
    ActionResult ManagerAction(const char* method, const std::string& action);
    // Calls a method of this process's logind session: by $XDG_SESSION_ID on the manager, else on the
    // session object that GetSessionByPID names.
    DBusReply SessionCall(const char* managerMethod, const char* sessionMethod);

    BusClient& system_;
    BusClient& session_;
};

} // namespace vantor::linux_backend
