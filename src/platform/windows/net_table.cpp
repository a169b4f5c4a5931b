#include "platform/windows/net_table.h"

#include <windows.h>

#include <winsock2.h>
#include <ws2ipdef.h>

#include <iphlpapi.h>
#include <netioapi.h>

#include <cstddef>
#include <string_view>

namespace vantor::windows_backend {

// The core decodes the table from its bytes at these sizes and offsets.
static_assert(sizeof(MIB_IF_ROW2) == 1352);
static_assert(offsetof(MIB_IF_TABLE2, Table) == 8);
static_assert(offsetof(MIB_IF_ROW2, InOctets) == 1208 && offsetof(MIB_IF_ROW2, OutQLen) == 1344);

std::optional<std::vector<InterfaceRow>> ReadInterfaceTable2() {
    MIB_IF_TABLE2* table = nullptr;
    if (GetIfTable2(&table) != NO_ERROR || table == nullptr) {
        return std::nullopt;
    }
    const size_t bytes = offsetof(MIB_IF_TABLE2, Table) + table->NumEntries * sizeof(MIB_IF_ROW2);
    std::vector<InterfaceRow> rows =
        DecodeMibIfTable2(std::string_view(reinterpret_cast<const char*>(table), bytes));
    FreeMibTable(table);
    return rows;
}

} // namespace vantor::windows_backend
