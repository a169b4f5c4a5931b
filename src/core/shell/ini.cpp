#include "core/shell/ini.h"

#include "core/common/file_io.h"
#include "core/common/numbers.h"
#include "core/common/text.h"

#include <algorithm>
#include <cctype>
#include <utility>
#include <vector>

namespace vantor {

namespace {

// The settings reader hands back at most this many characters, as the fixed buffer of the original
// settings reader did.
constexpr size_t kMaxValueChars = 254;

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
    return a.size() == b.size() && std::equal(a.begin(), a.end(), b.begin(), [](char x, char y) {
               return std::tolower(static_cast<unsigned char>(x)) ==
                      std::tolower(static_cast<unsigned char>(y));
           });
}

// The section name of a "[name]" line, or nullopt for any other line.
std::optional<std::string_view> SectionName(std::string_view line) {
    line = Trim(line);
    if (line.size() < 2 || line.front() != '[') {
        return std::nullopt;
    }
    const size_t close = line.find(']');
    if (close == std::string_view::npos) {
        return std::nullopt;
    }
    return line.substr(1, close - 1);
}

// Whether a line is "key=value" or a bare "key" for this key (comment lines never are). The system's
// profile reader takes a bare key as the key with an empty value, so it counts here too: a value written
// after it would never be read.
bool IsKeyLine(std::string_view line, std::string_view key) {
    const std::string_view t = Trim(line);
    if (t.empty() || t.front() == ';') {
        return false;
    }
    return SameName(t.substr(0, t.find('=')), key);
}

std::string JoinCrLf(const std::vector<std::string>& lines) {
    std::string out;
    for (const auto& l : lines) {
        out += l;
        out += "\r\n";
    }
    return out;
}

} // namespace

std::string IniValue(std::string_view iniText, std::string_view section, std::string_view key) {
    bool inSection = false;
    for (const std::string& line : SplitLines(iniText)) {
        if (const auto name = SectionName(line)) {
            if (inSection) {
                break; // only the first section of that name counts
            }
            inSection = SameName(*name, section);
            continue;
        }
        if (inSection && IsKeyLine(line, key)) {
            const std::string_view t = Trim(line);
            const size_t eq = t.find('=');
            std::string_view value =
                eq == std::string_view::npos ? std::string_view() : Trim(t.substr(eq + 1));
            // A value in matching single or double quotes loses them, as the system's reader does.
            if (value.size() >= 2 && (value.front() == '"' || value.front() == '\'') &&
                value.back() == value.front()) {
                value = value.substr(1, value.size() - 2);
            }
            return std::string(PrefixOfChars(value, kMaxValueChars));
        }
    }
    return {};
}

std::string IniWithValue(std::string_view iniText, std::string_view section, std::string_view key,
                         std::string_view value) {
    std::vector<std::string> lines = SplitLines(iniText);
    const std::string keyLine = std::string(Trim(key)) + "=" + std::string(value);
    size_t sectionStart = lines.size(); // index of the header line
    size_t insertAt = lines.size();     // after the section's last non-empty line
    bool inSection = false;
    for (size_t i = 0; i < lines.size(); ++i) {
        if (const auto name = SectionName(lines[i])) {
            if (inSection) {
                break;
            }
            inSection = SameName(*name, section);
            if (inSection) {
                sectionStart = i;
                insertAt = i + 1;
            }
            continue;
        }
        if (!inSection) {
            continue;
        }
        if (IsKeyLine(lines[i], key)) {
            lines[i] = keyLine;
            return JoinCrLf(lines);
        }
        if (!Trim(lines[i]).empty()) {
            insertAt = i + 1;
        }
    }
    if (sectionStart == lines.size()) {
        lines.push_back("[" + std::string(Trim(section)) + "]");
        lines.push_back(keyLine);
    } else {
        lines.insert(lines.begin() + static_cast<std::ptrdiff_t>(insertAt), keyLine);
    }
    return JoinCrLf(lines);
}

std::optional<std::string> ReadIniText(const std::string& path, const LegacyDecoder& legacy) {
    const FileBytes file = ReadFileBytes(path);
    if (!file.exists || file.readError) {
        return std::nullopt;
    }
    DecodedText decoded = DecodeFileText(file.bytes, legacy);
    return decoded.ok ? std::optional(std::move(decoded.text)) : std::nullopt;
}

std::string ReadIniValue(const std::string& section, const std::string& key, const std::string& path,
                         const LegacyDecoder& legacy) {
    const std::optional<std::string> text = ReadIniText(path, legacy);
    return text ? IniValue(*text, section, key) : std::string();
}

bool WriteIniValue(const std::string& section, const std::string& key, const std::string& value,
                   const std::string& path, const TextCodec& codec, WriteFailure* why) {
    const FileBytes file = ReadFileBytes(path);
    const DecodedText decoded = file.exists && !file.readError ? DecodeFileText(file.bytes, codec.decode)
                                                               : DecodedText{!file.readError, {}, {}};
    if (!decoded.ok) {
        // Never replace a file we could not read: its other lines would be lost.
        if (why != nullptr) {
            *why = file.failure == ReadFailure::NotAFile ? WriteFailure::NotAFile : WriteFailure::Unreadable;
        }
        return false;
    }
    return WriteFileAtomically(
        path, EncodeFileText(IniWithValue(decoded.text, section, key, value), decoded.encoding, codec), why);
}

std::optional<bool> IniSwitch(std::string_view value) {
    return ParseStoredBool(value);
}

std::optional<int> IniCheckState(std::string_view value) {
    const auto v = NumericTextValue(value);
    if (v && (*v == 0.0 || *v == 1.0 || *v == 2.0)) {
        return static_cast<int>(*v);
    }
    return std::nullopt;
}

} // namespace vantor
