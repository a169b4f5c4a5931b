// Interface counters on Linux: /proc/net/dev and sysfs fixtures, the interfaces that count, the cached
// details, and real loopback traffic that does not count.
#include "linux_test_support.h"
#include "platform/linux/net_counters.h"
#include "platform/native.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <arpa/inet.h>
#include <netinet/in.h>
#include <sys/socket.h>
#include <sys/stat.h>
#include <unistd.h>

namespace vantor {
namespace {

using linux_backend::InterfaceReader;
using linux_backend::ParseHardwareAddress;
using testing::TempDir;
using testing::WriteFile;

// One /proc/net/dev line with the received and sent bytes; the other counters are 0.
std::string DevLine(const std::string& name, const std::string& rx, const std::string& tx) {
    return name + ": " + rx + " 0 0 0 0 0 0 0 " + tx + " 0 0 0 0 0 0 0\n";
}

const std::string kProcNetDev = "Inter-|   Receive |  Transmit\n face |bytes packets|bytes packets\n" +
                                DevLine("lo", "5000000000", "5000000000") +
                                DevLine("eth0", "987654321", "123456789") + DevLine("wlan0", "0", "0") +
                                DevLine("wwan0", "5000000000", "6000000000") + DevLine("ppp0", "10", "20") +
                                DevLine("docker0", "30", "40") + DevLine("veth3c1", "30", "40") +
                                DevLine("tun0", "50", "60") + DevLine("eth0.10", "70", "80");

struct SysfsInterface {
    std::string name, index, type, mtu, speed, flags, operstate, address;
    std::vector<std::string> marks = {}; // entries that tell what it is: device, wireless, bridge, tun_flags
    std::string uevent = {};
};

struct NetFixture : ::testing::Test {
    void SetUp() override {
        WriteFile(dir.File("dev"), kProcNetDev);
        mkdir(dir.File("net").c_str(), 0755);
        const std::string mac = "02:42:ac:11:00:02";
        for (const SysfsInterface& i :
             {SysfsInterface{"lo", "1", "772", "65536", "", "0x9", "unknown", "00:00:00:00:00:00"},
              SysfsInterface{
                  "eth0", "2", "1", "1500", "1000", "0x1003", "up", "00:0c:29:0a:b5:1f", {"device"}},
              SysfsInterface{
                  "wlan0", "3", "1", "1500", "", "0x1002", "down", "a4:5e:60:01:02:03", {"wireless"}},
              SysfsInterface{"wwan0", "4", "65534", "1500", "", "0x1091", "up", "", {}, "DEVTYPE=wwan\n"},
              SysfsInterface{"ppp0", "5", "512", "1492", "", "0x1091", "unknown", ""},
              SysfsInterface{"docker0", "6", "1", "1500", "", "0x1003", "up", mac, {"bridge"}},
              SysfsInterface{"veth3c1", "7", "1", "1500", "10000", "0x1003", "up", mac},
              SysfsInterface{"tun0", "8", "65534", "1500", "", "0x1091", "unknown", "", {"tun_flags"}},
              SysfsInterface{"eth0.10", "9", "1", "1500", "1000", "0x1003", "up", "00:0c:29:0a:b5:1f"}}) {
            const std::string d = dir.File("net/" + i.name);
            mkdir(d.c_str(), 0755);
            for (const auto& [file, value] : {std::pair{"ifindex", i.index},
                                              {"type", i.type},
                                              {"mtu", i.mtu},
                                              {"flags", i.flags},
                                              {"operstate", i.operstate},
                                              {"address", i.address},
                                              {"uevent", i.uevent}}) {
                WriteFile(d + "/" + file, value + "\n");
            }
            if (!i.speed.empty()) {
                WriteFile(d + "/speed", i.speed + "\n");
            }
            for (const std::string& mark : i.marks) {
                mkdir((d + "/" + mark).c_str(), 0755);
            }
        }
    }
    const InterfaceRow* Find(const std::vector<InterfaceRow>& rows, const std::string& name) {
        for (const InterfaceRow& r : rows) {
            if (r.name == name) {
                return &r;
            }
        }
        return nullptr;
    }
    TempDir dir;
};

struct CountedCase {
    const char* name;
    bool counted;
};

class InterfaceSelection : public NetFixture, public ::testing::WithParamInterface<CountedCase> {};

TEST_P(InterfaceSelection, OnlyInterfacesThatReachANetworkCount) {
    InterfaceReader reader(dir.File("dev"), dir.File("net"));
    const auto rows = reader.Read(1000);
    ASSERT_TRUE(rows.has_value());
    EXPECT_EQ(Find(*rows, GetParam().name) != nullptr, GetParam().counted);
}

INSTANTIATE_TEST_SUITE_P(Sysfs, InterfaceSelection,
                         ::testing::Values(CountedCase{"eth0", true}, CountedCase{"wlan0", true},
                                           CountedCase{"wwan0", true}, CountedCase{"ppp0", true},
                                           CountedCase{"lo", false}, CountedCase{"docker0", false},
                                           CountedCase{"veth3c1", false}, CountedCase{"tun0", false},
                                           CountedCase{"eth0.10", false}),
                         [](const auto& info) {
                             std::string n = info.param.name;
                             std::replace(n.begin(), n.end(), '.', '_');
                             return n;
                         });

TEST_F(NetFixture, RowsCarryCountersAndSysfsDetails) {
    InterfaceReader reader(dir.File("dev"), dir.File("net"));
    const auto rows = reader.Read(1000);
    ASSERT_TRUE(rows.has_value());
    ASSERT_EQ(rows->size(), 4u);

    const InterfaceRow* wwan = Find(*rows, "wwan0");
    ASSERT_NE(wwan, nullptr);
    EXPECT_EQ(wwan->inOctets, 5'000'000'000u) << "64-bit counters must not wrap at 4 GiB";
    EXPECT_EQ(wwan->outOctets, 6'000'000'000u);
    EXPECT_TRUE(wwan->physAddr.empty());

    const InterfaceRow* eth = Find(*rows, "eth0");
    ASSERT_NE(eth, nullptr);
    EXPECT_EQ(eth->inOctets, 987654321u);
    EXPECT_EQ(eth->outOctets, 123456789u);
    EXPECT_EQ(eth->index, 2u);
    EXPECT_EQ(eth->type, 6u);
    EXPECT_EQ(eth->mtu, 1500u);
    EXPECT_EQ(eth->speed, 1'000'000'000u);
    EXPECT_EQ(eth->adminStatus, 1u);
    EXPECT_EQ(eth->operStatus, 5u);
    EXPECT_EQ(AdapterAddressText(eth->physAddr), "00-C-29-A-B5-1F");
    EXPECT_EQ(eth->description, "eth0");

    const InterfaceRow* wlan = Find(*rows, "wlan0");
    ASSERT_NE(wlan, nullptr);
    EXPECT_EQ(wlan->type, 71u);
    EXPECT_EQ(wlan->adminStatus, 2u);
    EXPECT_EQ(wlan->operStatus, 2u);
    EXPECT_EQ(wlan->speed, 0u) << "a down interface has no speed";
}

TEST_F(NetFixture, DetailsAreReadAgainOnlyAfterAWhile) {
    InterfaceReader reader(dir.File("dev"), dir.File("net"));
    ASSERT_TRUE(reader.Read(1000).has_value());
    WriteFile(dir.File("net/eth0/mtu"), "9000\n");
    EXPECT_EQ(Find(*reader.Read(2000), "eth0")->mtu, 1500u) << "a one-second sample must not reread sysfs";
    EXPECT_EQ(Find(*reader.Read(12000), "eth0")->mtu, 9000u);
}

TEST_F(NetFixture, CountersAreFreshOnEveryRead) {
    InterfaceReader reader(dir.File("dev"), dir.File("net"));
    ASSERT_TRUE(reader.Read(1000).has_value());
    std::string changed = kProcNetDev;
    changed.replace(changed.find("987654321"), 9, "987654999");
    WriteFile(dir.File("dev"), changed);
    EXPECT_EQ(Find(*reader.Read(1500), "eth0")->inOctets, 987654999u);
}

TEST_F(NetFixture, MissingTableIsNoReading) {
    InterfaceReader reader(dir.File("no-such-file"), dir.File("net"));
    EXPECT_FALSE(reader.Read(1000).has_value());
}

TEST_F(NetFixture, InterfaceWithoutSysfsEntryCountsWithItsCounters) {
    InterfaceReader reader(dir.File("dev"), dir.File("no-sysfs"));
    const auto rows = reader.Read(1000);
    ASSERT_TRUE(rows.has_value());
    EXPECT_EQ(Find(*rows, "eth0")->inOctets, 987654321u);
    EXPECT_EQ(Find(*rows, "eth0")->mtu, 0u);
}

struct AddressCase {
    const char* text;
    std::vector<uint8_t> bytes;
};

class HardwareAddresses : public ::testing::TestWithParam<AddressCase> {};

TEST_P(HardwareAddresses, Parse) {
    EXPECT_EQ(ParseHardwareAddress(GetParam().text), GetParam().bytes);
}

INSTANTIATE_TEST_SUITE_P(
    Texts, HardwareAddresses,
    ::testing::Values(AddressCase{"00:0c:29:0a:b5:1f\n", {0x00, 0x0c, 0x29, 0x0a, 0xb5, 0x1f}},
                      AddressCase{"A4:5E:60:01:02:03", {0xa4, 0x5e, 0x60, 0x01, 0x02, 0x03}},
                      AddressCase{"00:00:00:00:00:00\n", {}}, AddressCase{"", {}},
                      AddressCase{"0c:29:x1", {}}, AddressCase{"0c:2", {}},
                      // InfiniBand's 20 bytes: the table has room for 8.
                      AddressCase{"80:00:02:08:fe:80:00:00:00:00:00:00:00:02:c9:03:00:0a:f1:23",
                                  {0x80, 0x00, 0x02, 0x08, 0xfe, 0x80, 0x00, 0x00}}));

uint64_t Total(const std::vector<InterfaceRow>& rows, bool received) {
    uint64_t sum = 0;
    for (const InterfaceRow& r : rows) {
        sum += received ? r.inOctets : r.outOctets;
    }
    return sum;
}

TEST(RealCounters, LoopbackTrafficIsNoNetworkTraffic) {
    // A local copy over 127.0.0.1 must not pass for a download.
    auto platform = CreateNativePlatform();
    const auto before = platform->ReadInterfaceTable();
    ASSERT_TRUE(before.has_value());
    for (const InterfaceRow& r : *before) {
        EXPECT_NE(r.name, "lo");
    }

    const int rx = socket(AF_INET, SOCK_DGRAM, 0);
    const int tx = socket(AF_INET, SOCK_DGRAM, 0);
    ASSERT_GE(rx, 0);
    ASSERT_GE(tx, 0);
    sockaddr_in addr{};
    addr.sin_family = AF_INET;
    addr.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    ASSERT_EQ(bind(rx, reinterpret_cast<sockaddr*>(&addr), sizeof addr), 0);
    socklen_t len = sizeof addr;
    ASSERT_EQ(getsockname(rx, reinterpret_cast<sockaddr*>(&addr), &len), 0);
    const std::string payload(1000, 'x');
    char sink[2000];
    uint64_t sent = 0;
    for (int i = 0; i < 300; ++i) {
        const ssize_t n =
            sendto(tx, payload.data(), payload.size(), 0, reinterpret_cast<sockaddr*>(&addr), sizeof addr);
        ASSERT_EQ(n, static_cast<ssize_t>(payload.size()));
        sent += static_cast<uint64_t>(n);
        (void)!recv(rx, sink, sizeof sink, 0);
    }
    close(rx);
    close(tx);

    const auto after = platform->ReadInterfaceTable();
    ASSERT_TRUE(after.has_value());
    EXPECT_LT(Total(*after, true) - Total(*before, true), sent);
    EXPECT_LT(Total(*after, false) - Total(*before, false), sent);
}

} // namespace
} // namespace vantor
