// Interface tables: MIB_IFTABLE decoding, /proc/net/dev parsing, the collection and the per-sample totals.
#include "core/probes/net_stats.h"

#include <gtest/gtest.h>

#include <array>
#include <stdexcept>

namespace vantor {
namespace {

// Builds MIB_IFTABLE buffers byte by byte at the platform's offsets.
class TableBuilder {
public:
    struct Row {
        std::u16string name;
        uint32_t index = 0, type = 0, mtu = 0, speed = 0;
        std::vector<uint8_t> phys;
        uint32_t physLen = 0;
        uint32_t admin = 0, oper = 0, lastChange = 0;
        uint32_t inOctets = 0, inUcast = 0, inNUcast = 0, inDiscards = 0, inErrors = 0, inUnknown = 0;
        uint32_t outOctets = 0, outUcast = 0, outNUcast = 0, outDiscards = 0, outErrors = 0, outQLen = 0;
        std::string descr;
        uint32_t descrLen = 0;
    };

    static std::string Build(const std::vector<Row>& rows, uint32_t count) {
        std::string buf(4 + rows.size() * 860, '\0');
        Put(buf, 0, count);
        for (size_t i = 0; i < rows.size(); ++i) {
            size_t base = 4 + i * 860;
            const Row& r = rows[i];
            for (size_t k = 0; k < r.name.size(); ++k) {
                buf[base + 2 * k] = static_cast<char>(r.name[k] & 0xFF);
                buf[base + 2 * k + 1] = static_cast<char>(r.name[k] >> 8);
            }
            uint32_t fields[] = {r.index, r.type, r.mtu, r.speed, r.physLen};
            for (size_t k = 0; k < 5; ++k) {
                Put(buf, base + 512 + 4 * k, fields[k]);
            }
            for (size_t k = 0; k < r.phys.size(); ++k) {
                buf[base + 532 + k] = static_cast<char>(r.phys[k]);
            }
            uint32_t rest[] = {r.admin,       r.oper,      r.lastChange, r.inOctets,  r.inUcast,  r.inNUcast,
                               r.inDiscards,  r.inErrors,  r.inUnknown,  r.outOctets, r.outUcast, r.outNUcast,
                               r.outDiscards, r.outErrors, r.outQLen,    r.descrLen};
            for (size_t k = 0; k < 16; ++k) {
                Put(buf, base + 540 + 4 * k, rest[k]);
            }
            for (size_t k = 0; k < r.descr.size(); ++k) {
                buf[base + 604 + k] = r.descr[k];
            }
        }
        return buf;
    }

private:
    static void Put(std::string& buf, size_t at, uint32_t v) {
        for (size_t k = 0; k < 4; ++k) {
            buf[at + k] = static_cast<char>((v >> (8 * k)) & 0xFF);
        }
    }
};

TEST(AdapterAddressText, ZeroBytesAsDoubleZeroOthersWithoutLeadingZero) {
    EXPECT_EQ(AdapterAddressText({0x00, 0x0C, 0x29, 0x0A, 0xB5, 0x1F}), "00-C-29-A-B5-1F");
    EXPECT_EQ(AdapterAddressText({}), "");
    EXPECT_EQ(AdapterAddressText({0xFF}), "FF");
    EXPECT_EQ(AdapterAddressText({1, 2, 3, 4, 5, 6, 7, 8, 9}), "1-2-3-4-5-6-7-8"); // at most 8 bytes
}

TEST(DecodeMibIfTable, ReadsEveryFieldAtItsOffset) {
    TableBuilder::Row r;
    r.name = u"\\DEVICE\\TCPIP_{AB}网";
    r.index = 11, r.type = 6, r.mtu = 1500, r.speed = 100000000;
    r.phys = {0x00, 0x0C, 0x29, 0x0A, 0xB5, 0x1F}, r.physLen = 6;
    r.admin = 1, r.oper = 5, r.lastChange = 12345;
    r.inOctets = 0xFFFFFFF0u, r.inUcast = 2, r.inNUcast = 3, r.inDiscards = 4, r.inErrors = 5,
    r.inUnknown = 6;
    r.outOctets = 7000, r.outUcast = 8, r.outNUcast = 9, r.outDiscards = 10, r.outErrors = 11, r.outQLen = 12;
    r.descr = std::string("Intel(R) PRO/1000") + '\0';
    r.descrLen = static_cast<uint32_t>(r.descr.size());

    auto rows = DecodeMibIfTable(TableBuilder::Build({r}, 1));
    ASSERT_EQ(rows.size(), 1u);
    const InterfaceRow& d = rows[0];
    EXPECT_EQ(d.name, "\\DEVICE\\TCPIP_{AB}网");
    EXPECT_EQ(d.index, 11u);
    EXPECT_EQ(d.type, 6u);
    EXPECT_EQ(d.mtu, 1500u);
    EXPECT_EQ(d.speed, 100000000u);
    EXPECT_EQ(AdapterAddressText(d.physAddr), "00-C-29-A-B5-1F");
    EXPECT_EQ(d.adminStatus, 1u);
    EXPECT_EQ(d.operStatus, 5u);
    EXPECT_EQ(d.lastChange, 12345u);
    EXPECT_EQ(d.inOctets, 0xFFFFFFF0u);
    EXPECT_EQ(d.inUcastPkts, 2u);
    EXPECT_EQ(d.inNUcastPkts, 3u);
    EXPECT_EQ(d.inDiscards, 4u);
    EXPECT_EQ(d.inErrors, 5u);
    EXPECT_EQ(d.inUnknownProtos, 6u);
    EXPECT_EQ(d.outOctets, 7000u);
    EXPECT_EQ(d.outUcastPkts, 8u);
    EXPECT_EQ(d.outNUcastPkts, 9u);
    EXPECT_EQ(d.outDiscards, 10u);
    EXPECT_EQ(d.outErrors, 11u);
    EXPECT_EQ(d.outQLen, 12u);
    EXPECT_EQ(d.description, "Intel(R) PRO/1000");
}

TEST(DecodeMibIfTable, NoPhysicalAddressGivesEmptyText) {
    TableBuilder::Row r;
    r.phys = {0xAA, 0xBB}; // bytes present but the length says none
    r.physLen = 0;
    auto rows = DecodeMibIfTable(TableBuilder::Build({r}, 1));
    ASSERT_EQ(rows.size(), 1u);
    EXPECT_EQ(CInterface::FromRow(rows[0]).AdapterAddress, "");
}

TEST(DecodeMibIfTable, DescriptionCutToItsLengthAndPassedThroughTheCodePage) {
    TableBuilder::Row r;
    r.descr = "Loopback Pseudo-Interface 1";
    r.descrLen = 8;
    auto plain = DecodeMibIfTable(TableBuilder::Build({r}, 1));
    EXPECT_EQ(plain[0].description, "Loopback");

    r.descr = "\xCD\xF8\xBF\xA8"; // "网卡" in the Chinese code page
    r.descrLen = 4;
    auto decoded = DecodeMibIfTable(TableBuilder::Build({r}, 1), [](std::string_view bytes) {
        return bytes == "\xCD\xF8\xBF\xA8" ? std::string("网卡") : std::string("?");
    });
    EXPECT_EQ(decoded[0].description, "网卡");
    auto undecoded = DecodeMibIfTable(TableBuilder::Build({r}, 1));
    EXPECT_EQ(undecoded[0].description, "????");
}

TEST(DecodeMibIfTable, CountBeyondTheBufferKeepsOnlyWholeRows) {
    TableBuilder::Row r;
    r.inOctets = 1;
    std::string buf = TableBuilder::Build({r, r}, 5);
    EXPECT_EQ(DecodeMibIfTable(buf).size(), 2u);
    EXPECT_EQ(DecodeMibIfTable(buf.substr(0, buf.size() - 1)).size(), 1u);
    EXPECT_TRUE(DecodeMibIfTable("").empty());
    EXPECT_TRUE(DecodeMibIfTable(TableBuilder::Build({}, 0)).empty());
}

// MIB_IF_TABLE2 bytes: entry count, padding, then rows of 1352 bytes; values put at the platform's offsets.
std::string Table2(uint32_t count, size_t rows) {
    std::string buf(8 + rows * 1352, '\0');
    for (size_t k = 0; k < 4; ++k) {
        buf[k] = static_cast<char>((count >> (8 * k)) & 0xFF);
    }
    return buf;
}
void Put64(std::string& buf, size_t at, uint64_t v) {
    for (size_t k = 0; k < 8; ++k) {
        buf[at + k] = static_cast<char>((v >> (8 * k)) & 0xFF);
    }
}
void PutWide(std::string& buf, size_t at, std::u16string_view text) {
    for (size_t k = 0; k < text.size(); ++k) {
        buf[at + 2 * k] = static_cast<char>(text[k] & 0xFF);
        buf[at + 2 * k + 1] = static_cast<char>(text[k] >> 8);
    }
}

TEST(DecodeMibIfTable2, ReadsWideTextsAndSixtyFourBitCountersAtTheirOffsets) {
    std::string buf = Table2(3, 2); // a count beyond the buffer keeps the whole rows only
    const size_t row = 8 + 1352;    // the second row
    Put64(buf, row + 8, 7);         // InterfaceIndex (32 bits, followed by the GUID)
    PutWide(buf, row + 28, u"以太网 2");
    PutWide(buf, row + 542, u"Intel(R) 网卡");
    Put64(buf, row + 1056, 6); // PhysicalAddressLength (32 bits, then the address)
    for (uint8_t k = 0; k < 6; ++k) {
        buf[row + 1060 + k] =
            static_cast<char>(std::array<uint8_t, 6>{0x00, 0x0C, 0x29, 0x0A, 0xB5, 0x1F}[k]);
    }
    Put64(buf, row + 1124, 1500 | (uint64_t{6} << 32)); // Mtu, Type
    Put64(buf, row + 1156, 1 | (uint64_t{1} << 32));    // OperStatus up, AdminStatus up
    Put64(buf, row + 1192, 10'000'000'000ull);          // TransmitLinkSpeed
    Put64(buf, row + 1208, 5'000'000'000ull);           // InOctets, past 4 GiB
    Put64(buf, row + 1216, 11);
    Put64(buf, row + 1280, 6'000'000'000ull); // OutOctets
    Put64(buf, row + 1312, 13);               // OutErrors
    Put64(buf, row + 1344, 14);               // OutQLen, the row's last field

    const std::vector<InterfaceRow> rows = DecodeMibIfTable2(buf);
    ASSERT_EQ(rows.size(), 2u);
    const InterfaceRow& r = rows[1];
    EXPECT_EQ(r.index, 7u);
    EXPECT_EQ(r.name, "以太网 2");
    EXPECT_EQ(r.description, "Intel(R) 网卡");
    EXPECT_EQ(AdapterAddressText(r.physAddr), "00-C-29-A-B5-1F");
    EXPECT_EQ(r.mtu, 1500u);
    EXPECT_EQ(r.type, 6u);
    EXPECT_EQ(r.operStatus, 1u);
    EXPECT_EQ(r.adminStatus, 1u);
    EXPECT_EQ(r.speed, 10'000'000'000ull);
    EXPECT_EQ(r.inOctets, 5'000'000'000ull);
    EXPECT_EQ(r.inUcastPkts, 11u);
    EXPECT_EQ(r.outOctets, 6'000'000'000ull);
    EXPECT_EQ(r.outErrors, 13u);
    EXPECT_EQ(r.outQLen, 14u);
    EXPECT_TRUE(DecodeMibIfTable2(buf.substr(0, 7)).empty());
}

TEST(CIpHelper, LoopbackOnlyTableTotalsAreThatRowsCounters) {
    TableBuilder::Row lo;
    lo.name = u"loopback";
    lo.type = 24;
    lo.inOctets = 4096, lo.outOctets = 2048;
    std::string buf = TableBuilder::Build({lo}, 1);
    CIpHelper helper([&] { return std::optional(DecodeMibIfTable(buf)); });
    const CInterfaces& all = helper.Interfaces();
    ASSERT_EQ(all.Count(), 1u);
    EXPECT_EQ(all.Item(1).InterfaceName, "loopback");
    EXPECT_EQ(all.Item(1).InterfaceType, 24);
    EXPECT_DOUBLE_EQ(helper.BytesReceived(), 4096);
    EXPECT_DOUBLE_EQ(helper.BytesSent(), 2048);
    EXPECT_TRUE(helper.TableRead());
}

TEST(CIpHelper, TotalsSumWideCountersWithoutWrapping) {
    InterfaceRow a, b;
    a.inOctets = 0xFFFFFFFFull;
    b.inOctets = 0x1'0000'0000ull; // a 64-bit counter past 32 bits
    a.outOctets = 1;
    CIpHelper helper([&] { return std::optional(std::vector<InterfaceRow>{a, b}); });
    helper.Interfaces();
    EXPECT_DOUBLE_EQ(helper.BytesReceived(), 4294967295.0 + 4294967296.0);
    EXPECT_DOUBLE_EQ(helper.BytesSent(), 1);
}

TEST(CIpHelper, UnreadableTableGivesEmptySnapshotAndZeroTotals) {
    int reads = 0;
    CIpHelper helper([&]() -> std::optional<std::vector<InterfaceRow>> {
        if (++reads == 1) {
            InterfaceRow r;
            r.inOctets = 500;
            return std::vector<InterfaceRow>{r};
        }
        return std::nullopt;
    });
    EXPECT_EQ(helper.Interfaces().Count(), 1u);
    EXPECT_DOUBLE_EQ(helper.BytesReceived(), 500);
    // Each reading is a fresh snapshot: the failed one leaves nothing of the earlier one.
    EXPECT_EQ(helper.Interfaces().Count(), 0u);
    EXPECT_DOUBLE_EQ(helper.BytesReceived(), 0);
    EXPECT_FALSE(helper.TableRead());
    EXPECT_THROW(helper.Interfaces().Item(1), std::out_of_range);
}

TEST(CInterface, CountersAreKeptBitForBitAsSigned32) {
    InterfaceRow r;
    r.inOctets = 0xFFFFFFFFull;
    r.outOctets = 0x80000000ull;
    r.speed = 0x1'0000'0005ull; // 64-bit speed: low 32 bits kept
    r.index = 7;
    CInterface c = CInterface::FromRow(r);
    EXPECT_EQ(c.OctetsReceived, -1);
    EXPECT_EQ(c.OctetsSent, INT32_MIN);
    EXPECT_EQ(c.Speed, 5);
    EXPECT_EQ(c.InterfaceIndex, 7);
}

TEST(CInterfaces, AddTakesTheObjectOverAndPositionsStartAtOne) {
    CInterfaces list;
    auto first = std::make_unique<CInterface>();
    first->InterfaceName = "eth0";
    CInterface& added = list.Add(first);
    EXPECT_EQ(first, nullptr);
    EXPECT_EQ(added.InterfaceName, "eth0");
    std::unique_ptr<CInterface> empty;
    list.Add(empty).InterfaceName = "wlan0";
    EXPECT_EQ(list.Count(), 2u);
    EXPECT_EQ(list.Item(1).InterfaceName, "eth0");
    EXPECT_EQ(list.Item(2).InterfaceName, "wlan0");
    EXPECT_THROW(list.Item(0), std::out_of_range);
    EXPECT_THROW(list.Item(3), std::out_of_range);
    list.Remove(1);
    EXPECT_EQ(list.Item(1).InterfaceName, "wlan0");
    EXPECT_THROW(list.Remove(2), std::out_of_range);
}

TEST(ParseProcNetDev, ReadsSixtyFourBitCountersAndSkipsMalformedLines) {
    const char* fixture = "Inter-|   Receive                                                |  Transmit\n"
                          " face |bytes    packets errs drop fifo frame compressed multicast|bytes    "
                          "packets errs drop fifo colls "
                          "carrier compressed\n"
                          "    lo: 8589934592   100    0    0    0     0          0         0 8589934592     "
                          "100    0    0    0     0 "
                          "      0          0\n"
                          "  eth0:   123456     789    1    2    0     0          0        33    654321     "
                          "987    3    4    0     0 "
                          "      0          0\n"
                          "  bad0: 1 2 3\n"
                          "  bad1: 1 2 3 4 5 6 7 8 9 10 11 12 13 14 15 x6\n"
                          "wlan0:5 1 0 0 0 0 0 0 6 1 0 0 0 0 0 0";
    auto rows = ParseProcNetDev(fixture);
    ASSERT_EQ(rows.size(), 3u);
    EXPECT_EQ(rows[0].name, "lo");
    EXPECT_EQ(rows[0].inOctets, 8589934592ull);
    EXPECT_EQ(rows[0].outOctets, 8589934592ull);
    EXPECT_EQ(rows[1].name, "eth0");
    EXPECT_EQ(rows[1].inOctets, 123456u);
    EXPECT_EQ(rows[1].inUcastPkts, 789u);
    EXPECT_EQ(rows[1].inErrors, 1u);
    EXPECT_EQ(rows[1].inDiscards, 2u);
    EXPECT_EQ(rows[1].inNUcastPkts, 33u);
    EXPECT_EQ(rows[1].outOctets, 654321u);
    EXPECT_EQ(rows[1].outUcastPkts, 987u);
    EXPECT_EQ(rows[1].outErrors, 3u);
    EXPECT_EQ(rows[1].outDiscards, 4u);
    EXPECT_EQ(rows[2].name, "wlan0");
    EXPECT_EQ(rows[2].inOctets, 5u);
    EXPECT_EQ(rows[2].outOctets, 6u);
    EXPECT_TRUE(ParseProcNetDev("").empty());
}

} // namespace
} // namespace vantor
