// The interface table under Wine: the system's own row layout decodes as the core reads it, the loopback
// interface is listed, and the totals grow with local traffic.
#include "core/probes/net_stats.h"
#include "platform/native.h"

#include <gtest/gtest.h>

#include <winsock2.h>
#include <ws2ipdef.h>

#include <iphlpapi.h>
#include <netioapi.h>

#include <cstddef>
#include <cstring>
#include <vector>

namespace vantor {
namespace {

TEST(Win32InterfaceTable, SystemsRowLayoutDecodesAsTheCoreReadsIt) {
    std::vector<char> buffer(offsetof(MIB_IF_TABLE2, Table) + 2 * sizeof(MIB_IF_ROW2));
    auto* table = reinterpret_cast<MIB_IF_TABLE2*>(buffer.data());
    table->NumEntries = 2;
    MIB_IF_ROW2& row = table->Table[1];
    row.InterfaceIndex = 12;
    std::wcscpy(row.Alias, L"以太网");
    std::wcscpy(row.Description, L"Realtek 网卡");
    row.PhysicalAddressLength = 6;
    const unsigned char mac[] = {0x00, 0x0C, 0x29, 0x0A, 0xB5, 0x1F};
    std::memcpy(row.PhysicalAddress, mac, sizeof mac);
    row.Mtu = 1500;
    row.Type = IF_TYPE_ETHERNET_CSMACD;
    row.OperStatus = IfOperStatusUp;
    row.AdminStatus = NET_IF_ADMIN_STATUS_UP;
    row.TransmitLinkSpeed = 1'000'000'000;
    row.InOctets = 5'000'000'000ull;
    row.InUcastPkts = 3;
    row.InNUcastPkts = 4;
    row.InDiscards = 5;
    row.InErrors = 6;
    row.InUnknownProtos = 7;
    row.OutOctets = 6'000'000'000ull;
    row.OutUcastPkts = 8;
    row.OutNUcastPkts = 9;
    row.OutDiscards = 10;
    row.OutErrors = 11;
    row.OutQLen = 12;

    const std::vector<InterfaceRow> rows = DecodeMibIfTable2(std::string_view(buffer.data(), buffer.size()));
    ASSERT_EQ(rows.size(), 2u);
    const InterfaceRow& r = rows[1];
    EXPECT_EQ(r.index, 12u);
    EXPECT_EQ(r.name, "以太网");
    EXPECT_EQ(r.description, "Realtek 网卡");
    EXPECT_EQ(AdapterAddressText(r.physAddr), "00-C-29-A-B5-1F");
    EXPECT_EQ(r.mtu, 1500u);
    EXPECT_EQ(r.type, static_cast<uint32_t>(IF_TYPE_ETHERNET_CSMACD));
    EXPECT_EQ(r.operStatus, static_cast<uint32_t>(IfOperStatusUp));
    EXPECT_EQ(r.adminStatus, static_cast<uint32_t>(NET_IF_ADMIN_STATUS_UP));
    EXPECT_EQ(r.speed, 1'000'000'000u);
    EXPECT_EQ(r.inOctets, 5'000'000'000ull);
    EXPECT_EQ(
        (std::vector<uint64_t>{r.inUcastPkts, r.inNUcastPkts, r.inDiscards, r.inErrors, r.inUnknownProtos}),
        (std::vector<uint64_t>{3, 4, 5, 6, 7}));
    EXPECT_EQ(r.outOctets, 6'000'000'000ull);
    EXPECT_EQ((std::vector<uint64_t>{r.outUcastPkts, r.outNUcastPkts, r.outDiscards, r.outErrors, r.outQLen}),
              (std::vector<uint64_t>{8, 9, 10, 11, 12}));
}

// Sends `bytes` through a TCP connection on 127.0.0.1 and reads them back; true when all arrived.
bool LoopbackTraffic(size_t bytes) {
    WSADATA wsa;
    if (WSAStartup(MAKEWORD(2, 2), &wsa) != 0) {
        return false;
    }
    SOCKET server = socket(AF_INET, SOCK_STREAM, IPPROTO_TCP);
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    int length = sizeof address;
    bool ok = bind(server, reinterpret_cast<sockaddr*>(&address), sizeof address) == 0 &&
              listen(server, 1) == 0 &&
              getsockname(server, reinterpret_cast<sockaddr*>(&address), &length) == 0;
    SOCKET client = socket(AF_INET, SOCK_STREAM, IPPROTO_TCP);
    ok = ok && connect(client, reinterpret_cast<sockaddr*>(&address), sizeof address) == 0;
    SOCKET accepted = ok ? accept(server, nullptr, nullptr) : INVALID_SOCKET;
    std::vector<char> data(64 * 1024, 'v');
    size_t received = 0;
    for (size_t sent = 0; ok && sent < bytes; sent += data.size()) {
        ok = send(client, data.data(), static_cast<int>(data.size()), 0) == static_cast<int>(data.size());
        for (size_t got = 0; ok && got < data.size();) {
            const int n = recv(accepted, data.data(), static_cast<int>(data.size() - got), 0);
            ok = n > 0;
            got += ok ? static_cast<size_t>(n) : 0;
            received += ok ? static_cast<size_t>(n) : 0;
        }
    }
    closesocket(accepted);
    closesocket(client);
    closesocket(server);
    WSACleanup();
    return ok && received >= bytes;
}

TEST(Win32InterfaceTable, LoopbackIsListedAndTotalsGrowWithLocalTraffic) {
    std::unique_ptr<Platform> platform = CreateNativePlatform();
    const auto before = platform->ReadInterfaceTable();
    ASSERT_TRUE(before.has_value());
    bool loopback = false;
    for (const InterfaceRow& r : *before) {
        loopback = loopback || r.type == IF_TYPE_SOFTWARE_LOOPBACK;
    }
    EXPECT_TRUE(loopback) << "no loopback row among " << before->size();

    CIpHelper first([&] { return before; });
    first.Interfaces();
    constexpr size_t kTraffic = 4 * 1024 * 1024;
    ASSERT_TRUE(LoopbackTraffic(kTraffic));
    CIpHelper second([&] { return platform->ReadInterfaceTable(); });
    second.Interfaces();
    EXPECT_GE(second.BytesReceived() - first.BytesReceived(), kTraffic);
    EXPECT_GE(second.BytesSent() - first.BytesSent(), kTraffic);
}

} // namespace
} // namespace vantor
