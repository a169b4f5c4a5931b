// The running copy's commands on the session bus (Linux): name org.vantor.Vantor, object
// /org/vantor/Vantor, interface org.vantor.Vantor1, the same commands as the command line.
#pragma once

#include <QObject>

#include <memory>

namespace vantor::ui {

class RemoteControl;

// Offers `remote`'s commands on the session bus for as long as the returned object lives; nullptr where
// there is no session bus (or no D-Bus at all, as on Windows) or another copy owns the name.
std::unique_ptr<QObject> OfferOnSessionBus(RemoteControl& remote);

} // namespace vantor::ui
