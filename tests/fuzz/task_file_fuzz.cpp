// The task file read from any bytes: no crash; a saved list reads back as the list; a task appended to
// the file reads back after the rows start-up showed.
#include "core/tasks/task_file.h"
#include "fuzz_check.h"

#include <cstdint>
#include <string>
#include <string_view>

namespace {

using namespace vantor;

// Stands in for the legacy code page: each byte above 0x7F is one character, so that any bytes decode,
// as they mostly do with the real one.
std::optional<std::string> Latin1(std::string_view bytes) {
    std::string out;
    for (const char c : bytes) {
        const auto b = static_cast<unsigned char>(c);
        if (b < 0x80) {
            out += c;
        } else {
            out += static_cast<char>(0xC0 | (b >> 6));
            out += static_cast<char>(0x80 | (b & 0x3F));
        }
    }
    return out;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const std::string_view bytes(reinterpret_cast<const char*>(data), size);
    const LegacyDecoder legacy = Latin1;
    const std::vector<TaskRecord> rows = ParseTaskText(DecodeFileText(bytes, legacy));

    std::string saved;
    for (const TaskRecord& r : rows) {
        saved += FormatSavedLine(r) + "\r\n";
    }
    FUZZ_CHECK(ParseTaskText(DecodeFileText(saved, legacy)) == rows);

    const TaskRecord added{true,
                           "",
                           "10分0秒",
                           "倒计时600秒",
                           "关机",
                           "0",
                           "1,0,0,3,0,0,2026/12/8,2026/12/8,600,,0,0,0,0,-1,-1,0,0,0,"};
    std::vector<TaskRecord> expected = rows;
    expected.push_back(added);
    expected.back().enabled = false; // a new task comes back unchecked
    FUZZ_CHECK(ParseTaskText(DecodeFileText(AppendedTaskText(bytes, true, added, legacy), legacy)) ==
               expected);
    return 0;
}
