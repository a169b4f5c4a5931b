// Small text helpers shared by the core: splitting, UTF-8 checks, character counts, padding, booleans.
#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace vantor {

// Splits on every occurrence of sep, keeping empty fields ("a;;b" -> {"a", "", "b"}; "" -> {""}).
std::vector<std::string> Split(std::string_view text, char sep);

bool IsValidUtf8(std::string_view bytes);

// Number of characters (code points) of a UTF-8 text; Chinese characters count one each.
size_t CharCount(std::string_view utf8);

// Appends blanks until the text is `width` characters long (nothing when it is already that long).
std::string PadToWidth(std::string text, size_t width);

// Stored booleans: True/False in any letter case, or a number (0 = false, other numbers = true).
// Anything else (an empty text included) is no boolean: nullopt.
std::optional<bool> ParseStoredBool(std::string_view text);

// Splits a file's text into lines ended by CR LF, LF or a CR alone; a last line without an end is kept.
std::vector<std::string> SplitLines(std::string_view text);

// The lines of SplitLines handed to `f` one by one as views into `text`, with no copies: how a large file
// is read without a second copy of it in memory.
template <typename F> void ForEachLine(std::string_view text, F&& f) {
    constexpr size_t npos = std::string_view::npos;
    // The next CR and the next LF are each looked for once and kept until the lines pass them, so a file
    // that has only one kind of line end is not searched twice for every line.
    size_t lf = text.find('\n');
    size_t cr = text.find('\r');
    size_t pos = 0;
    while (pos < text.size()) {
        if (lf != npos && lf < pos) {
            lf = text.find('\n', pos);
        }
        if (cr != npos && cr < pos) {
            cr = text.find('\r', pos);
        }
        const size_t end = lf < cr ? lf : cr;
        if (end == npos) {
            f(text.substr(pos));
            return;
        }
        f(text.substr(pos, end - pos));
        pos = end + 1;
        if (text[end] == '\r' && pos < text.size() && text[pos] == '\n') {
            ++pos;
        }
    }
}

// The longest start of a UTF-8 text that holds at most `maxChars` characters (code points).
std::string_view PrefixOfChars(std::string_view utf8, size_t maxChars);

} // namespace vantor
