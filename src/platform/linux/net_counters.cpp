#include "platform/linux/net_counters.h"

#include <cerrno>
#include <fcntl.h>
#include <unistd.h>

namespace vantor::linux_backend {

namespace {

constexpr uint64_t kDetailsRefreshMs = 10'000;

// Values of the system's interface table for the type and status fields.
constexpr uint32_t kTypeOther = 1;
constexpr uint32_t kTypeEthernet = 6;
constexpr uint32_t kTypeLoopback = 24;
constexpr uint32_t kTypeWireless = 71;
constexpr uint32_t kAdminUp = 1;
constexpr uint32_t kAdminDown = 2;
constexpr uint32_t kOperNonOperational = 0;
constexpr uint32_t kOperDisconnected = 2;
constexpr uint32_t kOperOperational = 5;

// Whole small file in one go; /proc files must be read with read(2) until EOF, not sized by stat.
std::optional<std::string> ReadSmallFile(const std::string& path) {
    const int fd = open(path.c_str(), O_RDONLY | O_CLOEXEC);
    if (fd < 0) {
        return std::nullopt;
    }
    std::string text;
    char buf[8192];
    for (;;) {
        const ssize_t n = read(fd, buf, sizeof buf);
        if (n < 0 && errno == EINTR) {
            continue;
        }
        if (n < 0) {
            close(fd);
            return std::nullopt;
        }
        if (n == 0) {
            break;
        }
        text.append(buf, static_cast<size_t>(n));
    }
    close(fd);
    return text;
}

std::optional<long long> ReadNumber(const std::string& path) {
    const std::optional<std::string> text = ReadSmallFile(path);
    if (!text || text->empty()) {
        return std::nullopt;
    }
    try {
        return std::stoll(*text, nullptr, 0);
    } catch (...) {
        return std::nullopt;
    }
}

int HexDigit(char c) {
    if (c >= '0' && c <= '9') {
        return c - '0';
    }
    if (c >= 'a' && c <= 'f') {
        return c - 'a' + 10;
    }
    if (c >= 'A' && c <= 'F') {
        return c - 'A' + 10;
    }
    return -1;
}

} // namespace

std::vector<uint8_t> ParseHardwareAddress(const std::string& text) {
    const std::string s = text.substr(0, text.find_first_of(" \t\r\n"));
    if (s.empty()) {
        return {};
    }
    std::vector<uint8_t> bytes;
    for (size_t i = 0;;) {
        if (i + 2 > s.size()) {
            return {};
        }
        const int hi = HexDigit(s[i]);
        const int lo = HexDigit(s[i + 1]);
        if (hi < 0 || lo < 0) {
            return {};
        }
        bytes.push_back(static_cast<uint8_t>(hi * 16 + lo));
        i += 2;
        if (i == s.size()) {
            break;
        }
        if (s[i] != ':') {
            return {};
        }
        ++i;
    }
    if (bytes.size() > 8) {
        bytes.resize(8);
    }
    // Loopback and tunnels report all-zero addresses: the table shows those as having none.
    for (const uint8_t b : bytes) {
        if (b != 0) {
            return bytes;
        }
    }
    return {};
}

bool ReachesANetwork(const std::string& dir, long long arpType) {
    constexpr long long kArpLoopback = 772;
    constexpr long long kArpPpp = 512;
    if (arpType == kArpLoopback) {
        return false;
    }
    if (access(dir.c_str(), F_OK) != 0) {
        return true; // nothing tells what it is: its bytes count rather than go missing
    }
    // A card, a USB adapter or a modem has a device behind it; virtual interfaces (bridges, veth, tun/tap,
    // VLANs, bonds, tunnels) have none and carry bytes that a real interface counts as well.
    if (access((dir + "device").c_str(), F_OK) == 0 || arpType == kArpPpp ||
        access((dir + "wireless").c_str(), F_OK) == 0 || access((dir + "phy80211").c_str(), F_OK) == 0) {
        return true;
    }
    const std::string uevent = ReadSmallFile(dir + "uevent").value_or("");
    return uevent.find("DEVTYPE=wwan") != std::string::npos ||
           uevent.find("DEVTYPE=wlan") != std::string::npos;
}

InterfaceReader::Details InterfaceReader::ReadDetails(const std::string& name, uint64_t nowMs) const {
    const std::string dir = sysClassNet_ + "/" + name + "/";
    Details d;
    d.readAtMs = nowMs;
    d.index = static_cast<uint32_t>(ReadNumber(dir + "ifindex").value_or(0));
    d.mtu = static_cast<uint32_t>(ReadNumber(dir + "mtu").value_or(0));
    const long long speedMbps = ReadNumber(dir + "speed").value_or(0);
    d.speed = speedMbps > 0 ? static_cast<uint64_t>(speedMbps) * 1'000'000u : 0;
    const long long arpType = ReadNumber(dir + "type").value_or(-1);
    d.counted = ReachesANetwork(dir, arpType);
    if (arpType == 772) {
        d.type = kTypeLoopback;
    } else if (arpType == 1) {
        d.type = access((dir + "wireless").c_str(), F_OK) == 0 ? kTypeWireless : kTypeEthernet;
    } else {
        d.type = kTypeOther;
    }
    const long long flags = ReadNumber(dir + "flags").value_or(0);
    d.adminStatus = (flags & 0x1) != 0 ? kAdminUp : kAdminDown;
    const std::string oper = ReadSmallFile(dir + "operstate").value_or("");
    // Loopback says "unknown" while it works perfectly well.
    if (oper.rfind("up", 0) == 0 || (oper.rfind("unknown", 0) == 0 && (flags & 0x1) != 0)) {
        d.operStatus = kOperOperational;
    } else if (oper.rfind("down", 0) == 0 || oper.rfind("lowerlayerdown", 0) == 0) {
        d.operStatus = kOperDisconnected;
    } else {
        d.operStatus = kOperNonOperational;
    }
    d.address = ParseHardwareAddress(ReadSmallFile(dir + "address").value_or(""));
    return d;
}

std::optional<std::vector<InterfaceRow>> InterfaceReader::Read(uint64_t nowMs) {
    const std::optional<std::string> text = ReadSmallFile(procNetDev_);
    if (!text) {
        return std::nullopt;
    }
    std::vector<InterfaceRow> rows = ParseProcNetDev(*text);
    std::map<std::string, Details> seen;
    std::vector<InterfaceRow> counted;
    counted.reserve(rows.size());
    for (InterfaceRow& row : rows) {
        auto it = details_.find(row.name);
        Details d = (it != details_.end() && nowMs < it->second.readAtMs + kDetailsRefreshMs)
                        ? it->second
                        : ReadDetails(row.name, nowMs);
        if (!d.counted) {
            seen.emplace(row.name, std::move(d));
            continue;
        }
        if (d.index != 0) {
            row.index = d.index; // else the position the table gave it
        }
        row.type = d.type;
        row.speed = d.speed;
        row.mtu = d.mtu;
        row.adminStatus = d.adminStatus;
        row.operStatus = d.operStatus;
        row.physAddr = d.address;
        if (row.description.empty()) {
            row.description = row.name;
        }
        seen.emplace(row.name, std::move(d));
        counted.push_back(std::move(row));
    }
    details_ = std::move(seen); // interfaces that went away are forgotten
    return counted;
}

} // namespace vantor::linux_backend
