// The task file read from any bytes: no crash; a saved list reads back as the list; a task appended to
// the file reads back after the rows start-up showed; both written in the encoding the file had.
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

// The reverse of Latin1: characters up to U+00FF to one byte each; nullopt for any other.
std::optional<std::string> Latin1Encode(std::string_view text) {
    std::string out;
    for (size_t i = 0; i < text.size(); ++i) {
        const auto b = static_cast<unsigned char>(text[i]);
        if (b < 0x80) {
            out += text[i];
        } else if ((b == 0xC2 || b == 0xC3) && i + 1 < text.size()) {
            out += static_cast<char>(((b & 0x03) << 6) | (static_cast<unsigned char>(text[++i]) & 0x3F));
        } else {
            return std::nullopt;
        }
    }
    return out;
}

std::vector<TaskRecord> Rows(std::string_view bytes, const LegacyDecoder& legacy) {
    const DecodedText decoded = DecodeFileText(bytes, legacy);
    FUZZ_CHECK(decoded.ok);
    return ParseTaskText(decoded.text);
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const std::string_view bytes(reinterpret_cast<const char*>(data), size);
    TextCodec codec(Latin1);
    codec.encode = Latin1Encode;
    const DecodedText decoded = DecodeFileText(bytes, codec.decode);
    if (!decoded.ok) {
        FUZZ_CHECK(!AppendedTaskText(bytes, true, TaskRecord{}, codec));
        return 0;
    }
    const std::vector<TaskRecord> rows = ParseTaskText(decoded.text);

    // The list saved back in the encoding the file had reads as the same list.
    std::string saved;
    for (const TaskRecord& r : rows) {
        saved += FormatSavedLine(r) + "\r\n";
    }
    FUZZ_CHECK(Rows(EncodeFileText(saved, decoded.encoding, codec), codec.decode) == rows);

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
    const std::optional<std::string> appended = AppendedTaskText(bytes, true, added, codec);
    FUZZ_CHECK(appended.has_value());
    FUZZ_CHECK(Rows(*appended, codec.decode) == expected);
    return 0;
}
