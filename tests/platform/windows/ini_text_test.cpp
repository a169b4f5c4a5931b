// The core's INI reader and writer against the system's profile functions under Wine, both ways, and
// the legacy code page of the stored files.
#include "core/common/text.h"
#include "core/shell/ini.h"
#include "core/tasks/task_file.h"
#include "platform/native.h"
#include "platform/windows/wide.h"
#include "windows_test_support.h"

#include <gtest/gtest.h>

#include <windows.h>

namespace vantor {
namespace {

using windows_backend::Utf8;
using windows_backend::Wide;

// What the system's profile reader gives for a key, with the settings reader's 255-character buffer.
std::string SystemValue(const std::string& path, const char* section, const char* key) {
    wchar_t buffer[255];
    const DWORD n = GetPrivateProfileStringW(Wide(section).c_str(), Wide(key).c_str(), L"", buffer, 255,
                                             Wide(path).c_str());
    return Utf8(std::wstring_view(buffer, n));
}

std::string Utf16LeWithMark(std::string_view ascii) {
    std::string out = "\xFF\xFE";
    for (const char c : ascii) {
        out += c;
        out += '\0';
    }
    return out;
}

const std::string kTexts[] = {
    "[Setting]\r\nLoad=1\r\nTray=0\r\nAttray=1\r\nWork=1\r\n",
    "[setting]\r\n  tray = 1  \r\nWORK=0\r\n",
    "[Setting]\r\nTray=\"0\"\r\nWork='1'\r\nLoad=\"1\r\n",
    ";Tray=1\r\n[Setting]\r\n;Tray=1\r\nTray=2\r\nTray=3\r\n",
    "Tray=1\r\n[Other]\r\nTray=4\r\n[Setting]\r\nWork=1 ;comment\r\n",
    "[Setting]\nTray=1\nWork\nLoad=\n=5",
    "[Setting]\r\nTray=" + std::string(300, '7') + "\r\n",
    "[ Setting ]\r\nTray=1\r\n[Setting]\r\nWork=1\r\n",
    "",
};

class IniAgreement : public ::testing::TestWithParam<std::string> {
protected:
    testing::TempFolder folder;
    std::string path = folder.File("Setting.ini");
};

constexpr const char* kKeys[] = {"Load", "Tray", "Attray", "Work"};

TEST_P(IniAgreement, CoreReadsWhatTheSystemReads) {
    testing::WriteFile(path, GetParam());
    for (const char* section : {"Setting", "Other"}) {
        for (const char* key : kKeys) {
            EXPECT_EQ(IniValue(GetParam(), section, key), SystemValue(path, section, key))
                << section << "." << key;
        }
    }
}

TEST_P(IniAgreement, SystemReadsWhatTheCoreWroteAndNothingElseChanged) {
    for (const char* written : kKeys) {
        testing::WriteFile(path, GetParam());
        testing::WriteFile(path, IniWithValue(GetParam(), "Setting", written, "1"));
        for (const char* key : kKeys) {
            const std::string expected =
                std::string(key) == written ? "1" : IniValue(GetParam(), "Setting", key);
            EXPECT_EQ(SystemValue(path, "Setting", key), expected)
                << "after writing " << written << ": " << key;
        }
        EXPECT_EQ(SystemValue(path, "Other", "Tray"), IniValue(GetParam(), "Other", "Tray"));
    }
}

TEST_P(IniAgreement, CoreReadsWhatTheSystemWrote) {
    testing::WriteFile(path, GetParam());
    ASSERT_TRUE(WritePrivateProfileStringW(L"Setting", L"Attray", L"1", Wide(path).c_str()));
    ASSERT_TRUE(WritePrivateProfileStringW(L"Setting", L"Tray", L"0", Wide(path).c_str()));
    WritePrivateProfileStringW(nullptr, nullptr, nullptr, Wide(path).c_str()); // flush the system's cache
    const std::string text = testing::ReadFile(path);
    for (const char* key : kKeys) {
        EXPECT_EQ(IniValue(text, "Setting", key), SystemValue(path, "Setting", key)) << key << " in\n"
                                                                                     << text;
    }
}

INSTANTIATE_TEST_SUITE_P(Texts, IniAgreement, ::testing::ValuesIn(kTexts));

// Saved by Notepad as "Unicode" (UTF-16 with its mark): the core reads the user's Work=0 as the system
// does, and what it writes stays UTF-16 and reads the same to the system.
TEST(IniUnicode, CoreAndSystemAgreeOnAUtf16File) {
    testing::TempFolder folder;
    const std::string path = folder.File("Setting.ini");
    testing::WriteFile(path, Utf16LeWithMark("[Setting]\r\nWork=0\r\nTray=1\r\n"));
    EXPECT_EQ(ReadIniValue("Setting", "Work", path), "0");
    EXPECT_EQ(SystemValue(path, "Setting", "Work"), "0");
    ASSERT_TRUE(WriteIniValue("Setting", "Attray", "1", path));
    EXPECT_EQ(testing::ReadFile(path), Utf16LeWithMark("[Setting]\r\nWork=0\r\nTray=1\r\nAttray=1\r\n"));
    EXPECT_EQ(SystemValue(path, "Setting", "Attray"), "1");
    EXPECT_EQ(SystemValue(path, "Setting", "Tray"), "1");
}

TEST(Win32LegacyText, ChineseCodePageDecodesAndRefusesBrokenBytes) {
    std::unique_ptr<Platform> platform = CreateNativePlatform();
    EXPECT_EQ(platform->DecodeLegacy("\xB6\xA8\xCA\xB1\xB9\xD8\xBB\xFA 10:00"), "定时关机 10:00");
    EXPECT_EQ(platform->DecodeLegacy(""), "");
    EXPECT_EQ(platform->DecodeLegacy("\xB6"), std::nullopt) << "a lead byte without its trail byte";
    // A GBK task file reads as its Chinese texts through the core's file decoding.
    const std::string line = "True;;10\xB7\xD6\xD6\xD3;\xB9\xD8\xBB\xFA";
    EXPECT_EQ(DecodeFileText(line, [&](std::string_view b) { return platform->DecodeLegacy(b); }).text,
              "True;;10分钟;关机");
    // And back; a character the code page lacks is refused, never written as a look-alike or "?".
    EXPECT_EQ(platform->EncodeLegacy("定时关机 10:00"), "\xB6\xA8\xCA\xB1\xB9\xD8\xBB\xFA 10:00");
    EXPECT_EQ(platform->EncodeLegacy("关机\xF0\x9F\x98\x80"), std::nullopt);
    EXPECT_EQ(platform->NewFileEncoding(), TextEncoding::Legacy);
}

// A task file of the earlier program stays in its code page through "保存停用" (a rewrite of the list) and
// an append, and a new one is written in it; only a text the code page cannot hold makes UTF-8 with a mark.
TEST(Win32LegacyText, TaskFilesStayInTheChineseCodePage) {
    std::unique_ptr<Platform> platform = CreateNativePlatform();
    TextCodec codec([&](std::string_view b) { return platform->DecodeLegacy(b); });
    codec.encode = [&](std::string_view t) { return platform->EncodeLegacy(t); };
    codec.forNewFiles = platform->NewFileEncoding();
    testing::TempFolder folder;
    const std::string path = folder.File("vntask.vnt");
    const std::string gbk =
        "0;;10\xB7\xD6\xD6\xD3;\xB5\xB9\xBC\xC6\xCA\xB1;\xB9\xD8\xBB\xFA;0;x\r\n"; // 10分钟;倒计时;关机
    testing::WriteFile(path, gbk);
    TaskFileRead read = ReadTaskFile(path, codec.decode);
    ASSERT_EQ(read.rows.size(), 1u);
    EXPECT_EQ(read.rows[0].operationText, "关机");
    read.rows[0].enabled = true;
    ASSERT_TRUE(SaveTaskFile(path, read.rows, codec));
    EXPECT_EQ(testing::ReadFile(path), "True" + gbk.substr(1));

    TaskRecord added = read.rows[0];
    added.operationText = "提醒";
    ASSERT_TRUE(AppendTaskLine(path, added, codec));
    EXPECT_EQ(testing::ReadFile(path),
              "True" + gbk.substr(1) +
                  "0;;10\xB7\xD6\xD6\xD3;\xB5\xB9\xBC\xC6\xCA\xB1;\xCC\xE1\xD0\xD1;0;x\r\n");

    const std::string fresh = folder.File("new.vnt");
    ASSERT_TRUE(SaveTaskFile(fresh, read.rows, codec));
    EXPECT_EQ(testing::ReadFile(fresh), "True" + gbk.substr(1));
    added.operationText = "提醒 😀";
    ASSERT_TRUE(SaveTaskFile(fresh, {added}, codec));
    EXPECT_EQ(testing::ReadFile(fresh), "\xEF\xBB\xBF" + FormatSavedLine(added) + "\r\n");
}

} // namespace
} // namespace vantor
