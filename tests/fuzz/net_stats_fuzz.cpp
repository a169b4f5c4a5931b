// The interface counters from any bytes, in both system forms: no crash; a table never holds more rows
// than its buffer; a /proc/net/dev line written from a row reads back as that row.
#include "core/probes/net_stats.h"
#include "fuzz_check.h"

#include <cstdint>
#include <string>
#include <string_view>

using namespace vantor;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const std::string_view bytes(reinterpret_cast<const char*>(data), size);

    const std::vector<InterfaceRow> table =
        DecodeMibIfTable(bytes, [](std::string_view s) { return std::string(s); });
    FUZZ_CHECK(size < 4 || table.size() <= (size - 4) / 860);

    const std::vector<InterfaceRow> rows = ParseProcNetDev(bytes);
    for (size_t i = 0; i < rows.size(); ++i) {
        const InterfaceRow& r = rows[i];
        FUZZ_CHECK(r.index == i + 1 && !r.name.empty());
        const std::string line = r.name + ": " + std::to_string(r.inOctets) + " " +
                                 std::to_string(r.inUcastPkts) + " " + std::to_string(r.inErrors) + " " +
                                 std::to_string(r.inDiscards) + " 0 0 0 " + std::to_string(r.inNUcastPkts) +
                                 " " + std::to_string(r.outOctets) + " " + std::to_string(r.outUcastPkts) +
                                 " " + std::to_string(r.outErrors) + " " + std::to_string(r.outDiscards) +
                                 " 0 0 0 0\n";
        const std::vector<InterfaceRow> back = ParseProcNetDev(line);
        FUZZ_CHECK(back.size() == 1);
        FUZZ_CHECK(back[0].name == r.name && back[0].inOctets == r.inOctets &&
                   back[0].inUcastPkts == r.inUcastPkts && back[0].inErrors == r.inErrors &&
                   back[0].inDiscards == r.inDiscards && back[0].inNUcastPkts == r.inNUcastPkts &&
                   back[0].outOctets == r.outOctets && back[0].outUcastPkts == r.outUcastPkts &&
                   back[0].outErrors == r.outErrors && back[0].outDiscards == r.outDiscards);
    }
    return 0;
}
