// The settings file read and written from any text: no crash; writing a key makes it read back as
// written and leaves every other key of every section as it read before.
#include "core/common/text.h"
#include "core/shell/ini.h"
#include "fuzz_check.h"

#include <array>
#include <cctype>
#include <cstdint>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

namespace {

using namespace vantor;

std::string_view Trim(std::string_view s) {
    while (!s.empty() && (s.front() == ' ' || s.front() == '\t')) {
        s.remove_prefix(1);
    }
    while (!s.empty() && (s.back() == ' ' || s.back() == '\t')) {
        s.remove_suffix(1);
    }
    return s;
}

bool SameName(std::string_view a, std::string_view b) {
    a = Trim(a);
    b = Trim(b);
    if (a.size() != b.size()) {
        return false;
    }
    for (size_t i = 0; i < a.size(); ++i) {
        const auto x = static_cast<unsigned char>(a[i]);
        const auto y = static_cast<unsigned char>(b[i]);
        if (std::tolower(x) != std::tolower(y)) {
            return false;
        }
    }
    return true;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    if (size < 1) {
        return 0;
    }
    static const std::array<const char*, 5> kKeys = {"Tray", "Work", "Load", "attray", " Work "};
    static const std::array<const char*, 4> kValues = {"0", "1", "2", "on"};
    const char* key = kKeys[data[0] % kKeys.size()];
    const char* value = kValues[(data[0] / kKeys.size()) % kValues.size()];
    const DecodedText decoded =
        DecodeFileText(std::string_view(reinterpret_cast<const char*>(data) + 1, size - 1), {});
    if (!decoded.ok) {
        return 0;
    }
    const std::string& text = decoded.text;

    const std::string written = IniWithValue(text, kSettingsSection, key, value);
    FUZZ_CHECK(IniValue(written, kSettingsSection, key) == value);

    // Every section and key name the text mentions, as the reader would see it.
    std::vector<std::pair<std::string, std::string>> probes;
    std::string section;
    for (const std::string& line : SplitLines(text)) {
        const std::string_view t = Trim(line);
        if (!t.empty() && t.front() == '[' && t.find(']') != std::string_view::npos) {
            section = std::string(t.substr(1, t.find(']') - 1));
        } else if (const size_t eq = t.find('='); eq != std::string_view::npos) {
            probes.emplace_back(section, std::string(t.substr(0, eq)));
        }
    }
    for (const auto& [s, k] : probes) {
        if (SameName(s, kSettingsSection) && SameName(k, key)) {
            continue;
        }
        FUZZ_CHECK(IniValue(written, s, k) == IniValue(text, s, k));
    }
    return 0;
}
