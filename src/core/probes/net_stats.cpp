// Interface byte counters: decoding the system's interface tables and summing them per sample.
#include "core/probes/net_stats.h"

#include "core/common/encoding.h"
#include "core/common/text.h"

#include <cstddef>
#include <stdexcept>

namespace vantor {

namespace {

// Byte offsets inside one MIB_IFROW (860 bytes, little-endian, no padding between the fields).
constexpr size_t kRowSize = 860;
constexpr size_t kOffName = 0; // WCHAR[256]
constexpr size_t kNameBytes = 512;
constexpr size_t kOffIndex = 512;
constexpr size_t kOffType = 516;
constexpr size_t kOffMtu = 520;
constexpr size_t kOffSpeed = 524;
constexpr size_t kOffPhysAddrLen = 528;
constexpr size_t kOffPhysAddr = 532; // BYTE[8]
constexpr size_t kPhysAddrMax = 8;
constexpr size_t kOffAdminStatus = 540;
constexpr size_t kOffOperStatus = 544;
constexpr size_t kOffLastChange = 548;
constexpr size_t kOffInOctets = 552;
constexpr size_t kOffInUcastPkts = 556;
constexpr size_t kOffInNUcastPkts = 560;
constexpr size_t kOffInDiscards = 564;
constexpr size_t kOffInErrors = 568;
constexpr size_t kOffInUnknownProtos = 572;
constexpr size_t kOffOutOctets = 576;
constexpr size_t kOffOutUcastPkts = 580;
constexpr size_t kOffOutNUcastPkts = 584;
constexpr size_t kOffOutDiscards = 588;
constexpr size_t kOffOutErrors = 592;
constexpr size_t kOffOutQLen = 596;
constexpr size_t kOffDescrLen = 600;
constexpr size_t kOffDescr = 604; // BYTE[256]
constexpr size_t kDescrBytes = 256;
static_assert(kOffName + kNameBytes == kOffIndex);
static_assert(kOffPhysAddr + kPhysAddrMax == kOffAdminStatus);
static_assert(kOffDescr + kDescrBytes == kRowSize, "MIB_IFROW fields must add up to 860 bytes");

// Byte offsets inside one MIB_IF_ROW2 (1352 bytes, little-endian, 64-bit counters aligned to 8).
constexpr size_t kRow2Size = 1352;
constexpr size_t kTable2Header = 8; // NumEntries, then padding up to the rows' alignment
constexpr size_t kOff2Index = 8;
constexpr size_t kOff2Alias = 28;        // WCHAR[257]
constexpr size_t kOff2Description = 542; // WCHAR[257]
constexpr size_t kWideTextBytes = 514;
constexpr size_t kOff2PhysAddrLen = 1056;
constexpr size_t kOff2PhysAddr = 1060; // BYTE[32]
constexpr size_t kOff2Mtu = 1124;
constexpr size_t kOff2Type = 1128;
constexpr size_t kOff2OperStatus = 1156;
constexpr size_t kOff2AdminStatus = 1160;
constexpr size_t kOff2TransmitLinkSpeed = 1192;
constexpr size_t kOff2InOctets =
    1208; // then InUcastPkts, InNUcastPkts, InDiscards, InErrors, InUnknownProtos
constexpr size_t kOff2OutOctets = 1280; // then OutUcastPkts, OutNUcastPkts, OutDiscards, OutErrors
constexpr size_t kOff2OutQLen = 1344;
static_assert(kOff2Alias + kWideTextBytes == kOff2Description);
static_assert(kOff2OutQLen + 8 == kRow2Size, "MIB_IF_ROW2 fields must add up to 1352 bytes");

uint32_t ReadU32(std::string_view bytes, size_t offset) {
    uint32_t v = 0;
    for (size_t i = 0; i < 4; ++i) {
        v |= static_cast<uint32_t>(static_cast<unsigned char>(bytes[offset + i])) << (8 * i);
    }
    return v;
}

uint64_t ReadU64(std::string_view bytes, size_t offset) {
    return ReadU32(bytes, offset) | (static_cast<uint64_t>(ReadU32(bytes, offset + 4)) << 32);
}

// The wide name up to its first NUL; unpaired surrogates become U+FFFD rather than broken UTF-8.
std::string DecodeWideName(std::string_view bytes) {
    std::string out;
    for (size_t i = 0; i + 1 < bytes.size(); i += 2) {
        uint32_t unit =
            static_cast<unsigned char>(bytes[i]) | (static_cast<unsigned char>(bytes[i + 1]) << 8);
        if (unit == 0) {
            break;
        }
        if (unit >= 0xD800 && unit <= 0xDBFF && i + 3 < bytes.size()) {
            uint32_t low =
                static_cast<unsigned char>(bytes[i + 2]) | (static_cast<unsigned char>(bytes[i + 3]) << 8);
            if (low >= 0xDC00 && low <= 0xDFFF) {
                AppendUtf8(out, 0x10000 + ((unit - 0xD800) << 10) + (low - 0xDC00));
                i += 2;
                continue;
            }
        }
        if (unit >= 0xD800 && unit <= 0xDFFF) {
            unit = 0xFFFD;
        }
        AppendUtf8(out, unit);
    }
    return out;
}

// The description's bytes: dwDescrLen counts bytes of the code-page text (usually with its NUL), so the
// cut happens on the bytes before decoding; a multi-byte character is never split by a character count.
std::string DecodeDescription(std::string_view row,
                              const std::function<std::string(std::string_view)>& decode) {
    size_t len = ReadU32(row, kOffDescrLen);
    if (len > kDescrBytes) {
        len = kDescrBytes;
    }
    std::string_view raw = row.substr(kOffDescr, len);
    size_t nul = raw.find('\0');
    if (nul != std::string_view::npos) {
        raw = raw.substr(0, nul);
    }
    if (decode) {
        return decode(raw);
    }
    if (IsValidUtf8(raw)) {
        return std::string(raw);
    }
    // Without the code page, non-ASCII bytes cannot be read; keep the ASCII part legible.
    std::string out;
    for (char c : raw) {
        out += (static_cast<unsigned char>(c) < 0x80) ? c : '?';
    }
    return out;
}

uint64_t ParseCounter(std::string_view field, bool& ok) {
    if (field.empty()) {
        ok = false;
        return 0;
    }
    uint64_t v = 0;
    for (char c : field) {
        if (c < '0' || c > '9') {
            ok = false;
            return 0;
        }
        uint64_t digit = static_cast<uint64_t>(c - '0');
        if (v > (UINT64_MAX - digit) / 10) {
            ok = false;
            return 0;
        }
        v = v * 10 + digit;
    }
    return v;
}

std::string_view Trim(std::string_view s) {
    while (!s.empty() && (s.front() == ' ' || s.front() == '\t')) {
        s.remove_prefix(1);
    }
    while (!s.empty() && (s.back() == ' ' || s.back() == '\t' || s.back() == '\r')) {
        s.remove_suffix(1);
    }
    return s;
}

// Counters are kept bit for bit: the low 32 bits of the value as a signed number.
int32_t Bits32(uint64_t v) {
    return static_cast<int32_t>(static_cast<uint32_t>(v));
}

} // namespace

std::string AdapterAddressText(const std::vector<uint8_t>& bytes) {
    static const char* kHex = "0123456789ABCDEF";
    std::string out;
    size_t n = bytes.size() < kPhysAddrMax ? bytes.size() : kPhysAddrMax;
    for (size_t i = 0; i < n; ++i) {
        uint8_t b = bytes[i];
        if (b == 0) {
            out += "00";
        } else {
            if (b >= 0x10) {
                out += kHex[b >> 4];
            }
            out += kHex[b & 0x0F];
        }
        out += '-';
    }
    if (!out.empty()) {
        out.pop_back();
    }
    return out;
}

std::vector<InterfaceRow> DecodeMibIfTable(std::string_view buffer,
                                           const std::function<std::string(std::string_view)>& decode) {
    std::vector<InterfaceRow> rows;
    if (buffer.size() < 4) {
        return rows;
    }
    // A count larger than the buffer holds would read past its end; only whole rows are taken.
    uint64_t count = ReadU32(buffer, 0);
    uint64_t fit = (buffer.size() - 4) / kRowSize;
    if (count > fit) {
        count = fit;
    }
    rows.reserve(static_cast<size_t>(count));
    for (uint64_t i = 0; i < count; ++i) {
        std::string_view row = buffer.substr(4 + static_cast<size_t>(i) * kRowSize, kRowSize);
        InterfaceRow r;
        r.name = DecodeWideName(row.substr(kOffName, kNameBytes));
        r.index = ReadU32(row, kOffIndex);
        r.type = ReadU32(row, kOffType);
        r.mtu = ReadU32(row, kOffMtu);
        r.speed = ReadU32(row, kOffSpeed);
        size_t addrLen = ReadU32(row, kOffPhysAddrLen);
        if (addrLen > kPhysAddrMax) {
            addrLen = kPhysAddrMax;
        }
        for (size_t k = 0; k < addrLen; ++k) {
            r.physAddr.push_back(static_cast<uint8_t>(row[kOffPhysAddr + k]));
        }
        r.adminStatus = ReadU32(row, kOffAdminStatus);
        r.operStatus = ReadU32(row, kOffOperStatus);
        r.lastChange = ReadU32(row, kOffLastChange);
        r.inOctets = ReadU32(row, kOffInOctets);
        r.inUcastPkts = ReadU32(row, kOffInUcastPkts);
        r.inNUcastPkts = ReadU32(row, kOffInNUcastPkts);
        r.inDiscards = ReadU32(row, kOffInDiscards);
        r.inErrors = ReadU32(row, kOffInErrors);
        r.inUnknownProtos = ReadU32(row, kOffInUnknownProtos);
        r.outOctets = ReadU32(row, kOffOutOctets);
        r.outUcastPkts = ReadU32(row, kOffOutUcastPkts);
        r.outNUcastPkts = ReadU32(row, kOffOutNUcastPkts);
        r.outDiscards = ReadU32(row, kOffOutDiscards);
        r.outErrors = ReadU32(row, kOffOutErrors);
        r.outQLen = ReadU32(row, kOffOutQLen);
        r.description = DecodeDescription(row, decode);
        rows.push_back(std::move(r));
    }
    return rows;
}

std::vector<InterfaceRow> DecodeMibIfTable2(std::string_view buffer) {
    std::vector<InterfaceRow> rows;
    if (buffer.size() < kTable2Header) {
        return rows;
    }
    uint64_t count = ReadU32(buffer, 0);
    const uint64_t fit = (buffer.size() - kTable2Header) / kRow2Size;
    if (count > fit) {
        count = fit;
    }
    rows.reserve(static_cast<size_t>(count));
    for (uint64_t i = 0; i < count; ++i) {
        const std::string_view row =
            buffer.substr(kTable2Header + static_cast<size_t>(i) * kRow2Size, kRow2Size);
        InterfaceRow r;
        r.name = DecodeWideName(row.substr(kOff2Alias, kWideTextBytes));
        r.description = DecodeWideName(row.substr(kOff2Description, kWideTextBytes));
        r.index = ReadU32(row, kOff2Index);
        r.type = ReadU32(row, kOff2Type);
        r.mtu = ReadU32(row, kOff2Mtu);
        r.speed = ReadU64(row, kOff2TransmitLinkSpeed);
        size_t addrLen = ReadU32(row, kOff2PhysAddrLen);
        if (addrLen > kPhysAddrMax) {
            addrLen = kPhysAddrMax; // the address text shows at most 8 bytes
        }
        for (size_t k = 0; k < addrLen; ++k) {
            r.physAddr.push_back(static_cast<uint8_t>(row[kOff2PhysAddr + k]));
        }
        r.adminStatus = ReadU32(row, kOff2AdminStatus);
        r.operStatus = ReadU32(row, kOff2OperStatus);
        r.inOctets = ReadU64(row, kOff2InOctets);
        r.inUcastPkts = ReadU64(row, kOff2InOctets + 8);
        r.inNUcastPkts = ReadU64(row, kOff2InOctets + 16);
        r.inDiscards = ReadU64(row, kOff2InOctets + 24);
        r.inErrors = ReadU64(row, kOff2InOctets + 32);
        r.inUnknownProtos = ReadU64(row, kOff2InOctets + 40);
        r.outOctets = ReadU64(row, kOff2OutOctets);
        r.outUcastPkts = ReadU64(row, kOff2OutOctets + 8);
        r.outNUcastPkts = ReadU64(row, kOff2OutOctets + 16);
        r.outDiscards = ReadU64(row, kOff2OutOctets + 24);
        r.outErrors = ReadU64(row, kOff2OutOctets + 32);
        r.outQLen = ReadU64(row, kOff2OutQLen);
        rows.push_back(std::move(r));
    }
    return rows;
}

std::vector<InterfaceRow> ParseProcNetDev(std::string_view text) {
    std::vector<InterfaceRow> rows;
    while (!text.empty()) {
        size_t eol = text.find('\n');
        std::string_view line = text.substr(0, eol);
        text = (eol == std::string_view::npos) ? std::string_view{} : text.substr(eol + 1);

        size_t colon = line.find(':');
        if (colon == std::string_view::npos) {
            continue; // the two header lines
        }
        std::string_view name = Trim(line.substr(0, colon));
        if (name.empty() || name.find('|') != std::string_view::npos) {
            continue;
        }
        // receive: bytes packets errs drop fifo frame compressed multicast;
        // transmit: bytes packets errs drop fifo colls carrier compressed
        std::vector<uint64_t> values;
        bool ok = true;
        std::string_view rest = line.substr(colon + 1);
        while (ok) {
            rest = Trim(rest);
            if (rest.empty()) {
                break;
            }
            size_t end = rest.find_first_of(" \t");
            values.push_back(ParseCounter(rest.substr(0, end), ok));
            rest = (end == std::string_view::npos) ? std::string_view{} : rest.substr(end);
        }
        if (!ok || values.size() < 16) {
            continue;
        }
        InterfaceRow r;
        r.name = std::string(name);
        r.description = r.name;
        r.index = static_cast<uint32_t>(rows.size() + 1);
        r.inOctets = values[0];
        r.inUcastPkts = values[1];
        r.inErrors = values[2];
        r.inDiscards = values[3];
        r.inNUcastPkts = values[7];
        r.outOctets = values[8];
        r.outUcastPkts = values[9];
        r.outErrors = values[10];
        r.outDiscards = values[11];
        rows.push_back(std::move(r));
    }
    return rows;
}

CInterface CInterface::FromRow(const InterfaceRow& row) {
    CInterface c;
    c.InterfaceDescription = row.description;
    c.AdapterAddress = AdapterAddressText(row.physAddr);
    c.AdminStatus = Bits32(row.adminStatus);
    c.InterfaceIndex = Bits32(row.index);
    c.DiscardedIncomingPackets = Bits32(row.inDiscards);
    c.IncomingErrors = Bits32(row.inErrors);
    c.NonunicastPacketsReceived = Bits32(row.inNUcastPkts);
    c.OctetsReceived = Bits32(row.inOctets);
    c.UnicastPacketsReceived = Bits32(row.inUcastPkts);
    c.UnknownProtocolPackets = Bits32(row.inUnknownProtos);
    // dwLastChange counts hundredths of a second of system uptime; kept as a duration in days.
    c.LastChange = static_cast<double>(row.lastChange) / 100.0 / 86400.0;
    c.MaximumTransmissionUnit = Bits32(row.mtu);
    c.OperationalStatus = Bits32(row.operStatus);
    c.DiscardedOutgoingPackets = Bits32(row.outDiscards);
    c.OutgoingErrors = Bits32(row.outErrors);
    c.NonunicastPacketsSent = Bits32(row.outNUcastPkts);
    c.OctetsSent = Bits32(row.outOctets);
    c.OutputQueueLength = Bits32(row.outQLen);
    c.UnicastPacketsSent = Bits32(row.outUcastPkts);
    c.Speed = Bits32(row.speed);
    c.InterfaceType = Bits32(row.type);
    c.InterfaceName = row.name;
    return c;
}

CInterface& CInterfaces::Add(std::unique_ptr<CInterface>& objInterface) {
    // An empty reference stands for a fresh object, as the caller's next use of its variable would be.
    if (!objInterface) {
        objInterface = std::make_unique<CInterface>();
    }
    items_.push_back(std::move(objInterface));
    objInterface.reset();
    return *items_.back();
}

const CInterface& CInterfaces::Item(size_t position) const {
    if (position < 1 || position > items_.size()) {
        throw std::out_of_range("CInterfaces::Item: no element at this position");
    }
    return *items_[position - 1];
}

void CInterfaces::Remove(size_t position) {
    if (position < 1 || position > items_.size()) {
        throw std::out_of_range("CInterfaces::Remove: no element at this position");
    }
    items_.erase(items_.begin() + static_cast<std::ptrdiff_t>(position - 1));
}

const CInterfaces& CIpHelper::Interfaces() {
    interfaces_ = std::make_unique<CInterfaces>();
    LoadInterfaceTable();
    return *interfaces_;
}

void CIpHelper::SetInterfaces(std::unique_ptr<CInterfaces> interfaces) {
    interfaces_ = interfaces ? std::move(interfaces) : std::make_unique<CInterfaces>();
}

void CIpHelper::LoadInterfaceTable() {
    received_ = 0;
    sent_ = 0;
    tableRead_ = false;
    if (!reader_) {
        return;
    }
    std::optional<std::vector<InterfaceRow>> rows = reader_();
    if (!rows) {
        return; // an unreadable table leaves the snapshot empty and the totals 0
    }
    tableRead_ = true;
    for (const InterfaceRow& row : *rows) {
        auto item = std::make_unique<CInterface>(CInterface::FromRow(row));
        received_ += static_cast<double>(row.inOctets);
        sent_ += static_cast<double>(row.outOctets);
        interfaces_->Add(item);
    }
}

} // namespace vantor
