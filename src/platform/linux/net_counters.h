// The interface table on Linux: /proc/net/dev counters with a few sysfs details per interface, for the
// interfaces that reach a network (see ReachesANetwork).
#pragma once

#include "core/probes/net_stats.h"

#include <chrono>
#include <map>
#include <optional>
#include <string>
#include <vector>

namespace vantor::linux_backend {

class InterfaceReader {
public:
    // `procNetDev` and `sysClassNet` are the system's paths; tests point them at fixture files.
    explicit InterfaceReader(std::string procNetDev = "/proc/net/dev",
                             std::string sysClassNet = "/sys/class/net")
        : procNetDev_(std::move(procNetDev)), sysClassNet_(std::move(sysClassNet)) {}

    std::optional<std::vector<InterfaceRow>> Read(uint64_t nowMs);

private:
    // What sysfs says about one interface; it rarely changes, so it is read again only now and then to
    // keep a once-a-second sample cheap.
    struct Details {
        uint32_t index = 0;
        uint32_t type = 0;
        uint64_t speed = 0;
        uint32_t mtu = 0;
        uint32_t adminStatus = 0;
        uint32_t operStatus = 0;
        std::vector<uint8_t> address;
        bool counted = true; // reaches a network
        uint64_t readAtMs = 0;
    };
    Details ReadDetails(const std::string& name, uint64_t nowMs) const;

    std::string procNetDev_;
    std::string sysClassNet_;
    std::map<std::string, Details> details_;
};

// Whether the interface whose sysfs folder is `dir` (ending in "/") carries the computer's own network
// traffic: one with a device behind it, a wireless or mobile-broadband one, or ppp; not loopback nor the
// virtual ones (bridges, veth, tun/tap, VLANs, bonds), whose bytes are local or counted twice. Without a
// sysfs folder nothing tells, and it counts.
bool ReachesANetwork(const std::string& dir, long long arpType);

// "00:0c:29:0a:b5:1f" as bytes (at most 8); empty when the text is not such an address.
std::vector<uint8_t> ParseHardwareAddress(const std::string& text);

} // namespace vantor::linux_backend
