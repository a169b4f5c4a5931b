// Without D-Bus (Windows) the command line and the notification icon are the ways in.
#include "ui/control/session_bus.h"

namespace vantor::ui {

std::unique_ptr<QObject> OfferOnSessionBus(RemoteControl& remote) {
    (void)remote;
    return nullptr;
}

} // namespace vantor::ui
