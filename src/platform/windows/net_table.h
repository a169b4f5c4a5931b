// The interface table with 64-bit counters (GetIfTable2), decoded by the core.
#pragma once

#include "core/probes/net_stats.h"

#include <optional>
#include <vector>

namespace vantor::windows_backend {

// Every interface, loopback included; nullopt when the table cannot be read.
std::optional<std::vector<InterfaceRow>> ReadInterfaceTable2();

} // namespace vantor::windows_backend
