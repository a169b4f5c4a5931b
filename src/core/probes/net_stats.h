// Interface byte counters: the table rows, their decoding from the system's forms, and the per-sample
// reader (CIpHelper) that sums received and sent bytes over every interface, loopback included.
#pragma once

#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace vantor {

// One interface as the operating system reports it (a plain value the platform fills).
struct InterfaceRow {
    std::string name;
    std::string description;
    uint32_t index = 0;
    uint32_t type = 0;
    uint64_t speed = 0;            // bits per second
    std::vector<uint8_t> physAddr; // at most 8 bytes
    uint32_t adminStatus = 0;
    uint32_t operStatus = 0;
    uint32_t lastChange = 0;
    uint32_t mtu = 0;
    uint64_t inOctets = 0;
    uint64_t inUcastPkts = 0;
    uint64_t inNUcastPkts = 0;
    uint64_t inDiscards = 0;
    uint64_t inErrors = 0;
    uint64_t inUnknownProtos = 0;
    uint64_t outOctets = 0;
    uint64_t outUcastPkts = 0;
    uint64_t outNUcastPkts = 0;
    uint64_t outDiscards = 0;
    uint64_t outErrors = 0;
    uint64_t outQLen = 0;
};

// "00-C-29-A-B5-1F": zero bytes as "00", others upper-case hex without a leading zero, joined by "-".
std::string AdapterAddressText(const std::vector<uint8_t>& bytes);

// Rows of a MIB_IFTABLE buffer (entry count, then rows of 860 bytes); rows that do not fit are dropped.
// Descriptions go through `decode` (the system code page) when given.
std::vector<InterfaceRow> DecodeMibIfTable(std::string_view buffer,
                                           const std::function<std::string(std::string_view)>& decode = {});

// Rows of a MIB_IF_TABLE2 buffer (entry count, padding to 8 bytes, rows of 1352 bytes with 64-bit
// counters that do not wrap at 4 GiB); rows that do not fit are dropped. Name and description are the
// row's wide-character alias and description.
std::vector<InterfaceRow> DecodeMibIfTable2(std::string_view buffer);

// Rows of Linux's /proc/net/dev (64-bit counters); malformed lines are skipped.
std::vector<InterfaceRow> ParseProcNetDev(std::string_view text);

// One interface row with read/write properties (counters kept bit for bit as signed 32-bit values).
class CInterface {
public:
    std::string InterfaceName;
    int32_t InterfaceIndex = 0;
    int32_t InterfaceType = 0;
    int32_t Speed = 0;
    std::string AdapterAddress;
    int32_t AdminStatus = 0;
    int32_t OperationalStatus = 0;
    double LastChange = 0;
    int32_t OctetsReceived = 0;
    int32_t UnicastPacketsReceived = 0;
    int32_t MaximumTransmissionUnit = 0;
    int32_t NonunicastPacketsReceived = 0;
    int32_t DiscardedIncomingPackets = 0;
    int32_t IncomingErrors = 0;
    int32_t UnknownProtocolPackets = 0;
    int32_t OctetsSent = 0;
    int32_t UnicastPacketsSent = 0;
    int32_t NonunicastPacketsSent = 0;
    int32_t DiscardedOutgoingPackets = 0;
    int32_t OutgoingErrors = 0;
    int32_t OutputQueueLength = 0;
    std::string InterfaceDescription;

    static CInterface FromRow(const InterfaceRow& row);
};

// Ordered collection without keys, 1-based positions.
class CInterfaces {
public:
    // Takes the object over: the caller's pointer is left empty.
    CInterface& Add(std::unique_ptr<CInterface>& objInterface);
    const CInterface& Item(size_t position) const; // throws std::out_of_range for a missing position
    size_t Count() const { return items_.size(); }
    void Remove(size_t position);
    auto begin() const { return items_.begin(); }
    auto end() const { return items_.end(); }

private:
    std::vector<std::unique_ptr<CInterface>> items_;
};

// One traffic sample: reading Interfaces() takes a fresh snapshot through the reader and recomputes the
// totals. Totals are summed from the 64-bit counters in double precision, so they do not wrap.
class CIpHelper {
public:
    using TableReader = std::function<std::optional<std::vector<InterfaceRow>>()>;
    explicit CIpHelper(TableReader reader) : reader_(std::move(reader)) {}

    const CInterfaces& Interfaces();
    void SetInterfaces(std::unique_ptr<CInterfaces> interfaces);
    double BytesReceived() const { return received_; }
    double BytesSent() const { return sent_; }
    bool TableRead() const { return tableRead_; } // false when the last reading failed

private:
    void LoadInterfaceTable();
    TableReader reader_;
    std::unique_ptr<CInterfaces> interfaces_ = std::make_unique<CInterfaces>();
    double received_ = 0;
    double sent_ = 0;
    bool tableRead_ = false;
};

} // namespace vantor
