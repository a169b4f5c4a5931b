// Date-time texts: no crash on any text; every date-time the reader accepts is written back as a text
// it reads to the same value, and so is every date-time of the years it accepts.
#include "core/common/datetime.h"
#include "fuzz_check.h"

#include <cstdint>
#include <cstring>
#include <string_view>

using namespace vantor;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const std::string_view text(reinterpret_cast<const char*>(data), size);
    if (const std::optional<DateTime> dt = ParseDateTime(text)) {
        FUZZ_CHECK(ParseDateTime(FormatDateTime(*dt)) == dt);
        FUZZ_CHECK(ParseDateTime(FormatTimeOfDay(*dt)) == DateTime{dt->timeOfDay()});
    }
    if (size >= sizeof(int64_t)) {
        int64_t raw = 0;
        std::memcpy(&raw, data, sizeof raw);
        // Any second from 0100-01-01 to 9999-12-31 23:59:59.
        const int64_t first = DateTime::fromParts(100, 1, 1).seconds;
        const int64_t span = DateTime::fromParts(10000, 1, 1).seconds - first;
        const DateTime dt{first +
                          static_cast<int64_t>(static_cast<uint64_t>(raw) % static_cast<uint64_t>(span))};
        FUZZ_CHECK(ParseDateTime(FormatDateTime(dt)) == dt);
    }
    return 0;
}
