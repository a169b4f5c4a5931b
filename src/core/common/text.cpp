#include "core/common/text.h"

#include "core/common/numbers.h"

#include <algorithm>
#include <bit>
#include <cctype>
#include <cstdint>
#include <cstring>

namespace vantor {

namespace {

// Length of the valid UTF-8 sequence at bytes[i], or 0 when none starts there.
size_t Utf8SequenceLength(std::string_view bytes, size_t i) {
    const auto b = [&](size_t k) { return static_cast<unsigned char>(bytes[k]); };
    const unsigned char c = b(i);
    if (c < 0x80) {
        return 1;
    }
    size_t len = 0;
    unsigned char lo = 0x80, hi = 0xBF;
    if (c >= 0xC2 && c <= 0xDF) {
        len = 2;
    } else if (c >= 0xE0 && c <= 0xEF) {
        len = 3;
        if (c == 0xE0) {
            lo = 0xA0; // no overlong forms
        } else if (c == 0xED) {
            hi = 0x9F; // no surrogates
        }
    } else if (c >= 0xF0 && c <= 0xF4) {
        len = 4;
        if (c == 0xF0) {
            lo = 0x90;
        } else if (c == 0xF4) {
            hi = 0x8F; // nothing above U+10FFFF
        }
    } else {
        return 0;
    }
    if (i + len > bytes.size()) {
        return 0;
    }
    if (b(i + 1) < lo || b(i + 1) > hi) {
        return 0;
    }
    for (size_t k = 2; k < len; ++k) {
        if (b(i + k) < 0x80 || b(i + k) > 0xBF) {
            return 0;
        }
    }
    return len;
}

bool IsContinuation(char c) {
    return (static_cast<unsigned char>(c) & 0xC0) == 0x80;
}

std::string_view TrimBlanks(std::string_view s) {
    while (!s.empty() && (s.front() == ' ' || s.front() == '\t')) {
        s.remove_prefix(1);
    }
    while (!s.empty() && (s.back() == ' ' || s.back() == '\t')) {
        s.remove_suffix(1);
    }
    return s;
}

bool EqualsNoCase(std::string_view a, std::string_view b) {
    return a.size() == b.size() && std::equal(a.begin(), a.end(), b.begin(), [](char x, char y) {
               return std::tolower(static_cast<unsigned char>(x)) ==
                      std::tolower(static_cast<unsigned char>(y));
           });
}

} // namespace

std::vector<std::string> Split(std::string_view text, char sep) {
    std::vector<std::string> out;
    size_t pos = 0;
    while (true) {
        const size_t next = text.find(sep, pos);
        if (next == std::string_view::npos) {
            out.emplace_back(text.substr(pos));
            return out;
        }
        out.emplace_back(text.substr(pos, next - pos));
        pos = next + 1;
    }
}

bool IsValidUtf8(std::string_view bytes) {
    size_t i = 0;
    while (i < bytes.size()) {
        // Task files are mostly ASCII: pass eight such bytes at a time.
        if (bytes.size() - i >= 8) {
            uint64_t word = 0;
            std::memcpy(&word, bytes.data() + i, sizeof word);
            const uint64_t high = word & 0x8080808080808080ULL;
            if (high == 0) {
                i += 8;
                continue;
            }
            if constexpr (std::endian::native == std::endian::little) {
                // The plain bytes before the first one with its high bit set are passed at once too.
                i += static_cast<size_t>(std::countr_zero(high)) / 8;
            }
        }
        // Chinese text is mostly three-byte sequences whose lead byte takes any two continuation bytes
        // (E1 to EC, EE, EF; E0 and ED have narrower rules and take the general path).
        const auto lead = static_cast<unsigned char>(bytes[i]);
        if (((lead >= 0xE1 && lead <= 0xEC) || lead >= 0xEE) && lead <= 0xEF && bytes.size() - i >= 3 &&
            IsContinuation(bytes[i + 1]) && IsContinuation(bytes[i + 2])) {
            i += 3;
            continue;
        }
        const size_t len = Utf8SequenceLength(bytes, i);
        if (len == 0) {
            return false;
        }
        i += len;
    }
    return true;
}

size_t CharCount(std::string_view utf8) {
    return static_cast<size_t>(std::count_if(
        utf8.begin(), utf8.end(), [](char c) { return (static_cast<unsigned char>(c) & 0xC0) != 0x80; }));
}

std::string PadToWidth(std::string text, size_t width) {
    const size_t count = CharCount(text);
    if (count < width) {
        text.append(width - count, ' ');
    }
    return text;
}

std::optional<bool> ParseStoredBool(std::string_view text) {
    const std::string_view t = TrimBlanks(text);
    if (EqualsNoCase(t, "true")) {
        return true;
    }
    if (EqualsNoCase(t, "false")) {
        return false;
    }
    if (const auto v = NumericTextValue(t)) {
        return *v != 0.0;
    }
    return std::nullopt;
}

std::string_view PrefixOfChars(std::string_view utf8, size_t maxChars) {
    size_t chars = 0;
    for (size_t i = 0; i < utf8.size(); ++i) {
        if (!IsContinuation(utf8[i])) {
            if (chars == maxChars) {
                return utf8.substr(0, i);
            }
            ++chars;
        }
    }
    return utf8;
}

std::vector<std::string> SplitLines(std::string_view text) {
    std::vector<std::string> lines;
    ForEachLine(text, [&lines](std::string_view line) { lines.emplace_back(line); });
    return lines;
}

} // namespace vantor
