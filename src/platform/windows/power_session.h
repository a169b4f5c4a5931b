// Power and session: the shutdown privilege, ending the session, sleep and hibernation with their
// support tests, locking the workstation.
#pragma once

#include "platform/platform.h"
#include "platform/windows/exit_request.h"

namespace vantor::windows_backend {

void EnableShutdownPrivilege();
ActionResult EndSession(SessionEnd end);
bool SuspendAllowed();
bool HibernateAllowed();
// Whether the operation can be done: the shutdown privilege in the token, sleep and hibernation allowed.
Availability PerformAvailability(SystemOperation op);
ActionResult SuspendNow();
ActionResult HibernateNow();
ActionResult LockSession();

} // namespace vantor::windows_backend
