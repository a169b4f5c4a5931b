// The settings file Setting.ini: reading and writing keys of a section in the INI form.
#pragma once

#include "core/common/encoding.h"
#include "core/common/file_io.h"

#include <optional>
#include <string>
#include <string_view>

namespace vantor {

inline constexpr const char* kSettingsFileName = "Setting.ini";
inline constexpr const char* kSettingsSection = "Setting";

// Value of a key in an INI text; section and key names compared without regard to letter case; blanks
// around names and values trimmed; empty when the section or key is missing; at most 254 characters.
std::string IniValue(std::string_view iniText, std::string_view section, std::string_view key);

// The INI text with the key set: an existing value replaced, a missing key added at the end of its
// section, a missing section added at the end. Other sections, keys and lines are kept as they are.
std::string IniWithValue(std::string_view iniText, std::string_view section, std::string_view key,
                         std::string_view value);

// The text of an INI file in any encoding DecodeFileText knows; nullopt when it is missing or cannot be
// read (a folder, a pipe, a device, a file far too large, no permission, text in no known encoding),
// which every reader takes as a missing file: the defaults apply.
std::optional<std::string> ReadIniText(const std::string& path, const LegacyDecoder& legacy = {});

// ReadIniValue(section, key, file): empty text when the file, section or key is missing or the file
// cannot be read.
std::string ReadIniValue(const std::string& section, const std::string& key, const std::string& path,
                         const LegacyDecoder& legacy = {});

// Writes one key; creates the file and the section when missing; the file keeps its encoding (a new one
// is in the codec's). Returns false when the file could not be read or written (the old file is then
// left as it was), with the reason in `why` when given.
bool WriteIniValue(const std::string& section, const std::string& key, const std::string& value,
                   const std::string& path, const TextCodec& codec = {}, WriteFailure* why = nullptr);

// A setting read as a switch: true for a number other than 0 or the word True, false for 0 or False,
// nullopt for anything else (a missing key included) -- each reader decides what that means.
std::optional<bool> IniSwitch(std::string_view value);

// A setting read as a check-box state for the options dialog: 0 unchecked, 1 checked, 2 partially
// checked; nullopt leaves the box unchecked.
std::optional<int> IniCheckState(std::string_view value);

} // namespace vantor
