// Number texts: no crash on any text; the numeric test and the numeric value agree, and a number written
// as text reads back as the same text.
#include "core/common/numbers.h"
#include "fuzz_check.h"

#include <cmath>
#include <cstdint>
#include <string>
#include <string_view>

using namespace vantor;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const std::string_view text(reinterpret_cast<const char*>(data), size);
    const double lenient = NumericValue(text);
    const std::optional<double> strict = NumericTextValue(text);
    FUZZ_CHECK(strict.has_value() == IsNumeric(text));
    RoundToInt32(lenient);
    for (const double v : {lenient, strict.value_or(0.0)}) {
        if (!std::isfinite(v)) {
            continue;
        }
        const std::string written = NumberText(v);
        FUZZ_CHECK(NumberText(NumericValue(written)) == written);
        if (std::fabs(v) < 1e15) {
            FUZZ_CHECK(IsNumeric(FormatGrouped(v, 2)));
            FUZZ_CHECK(IsNumeric(written));
        }
    }
    return 0;
}
