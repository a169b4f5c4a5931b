#include "core/common/file_io.h"
#include "core/shell/ini.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <random>

namespace vantor {
namespace {

namespace fs = std::filesystem;

struct IniCase {
    const char* name;
    const char* text;
    const char* section;
    const char* key;
    const char* value;
};

class IniValueTest : public ::testing::TestWithParam<IniCase> {};

TEST_P(IniValueTest, FindsTheKeyOfTheSection) {
    const auto& c = GetParam();
    EXPECT_EQ(IniValue(c.text, c.section, c.key), c.value);
}

INSTANTIATE_TEST_SUITE_P(
    Texts, IniValueTest,
    ::testing::Values(
        IniCase{"Plain", "[Setting]\r\nTray=1\r\nWork=0\r\n", "Setting", "Work", "0"},
        IniCase{"NamesIgnoreCase", "[setting]\r\nTRAY=1\r\n", "Setting", "Tray", "1"},
        IniCase{"BlanksTrimmed", " [ Setting ] \r\n  Tray =  1 \r\n", "Setting", "Tray", "1"},
        IniCase{"LfOnly", "[Setting]\nTray=1\n", "Setting", "Tray", "1"},
        IniCase{"MissingKey", "[Setting]\r\nTray=1\r\n", "Setting", "Work", ""},
        IniCase{"MissingSection", "[Other]\r\nWork=1\r\n", "Setting", "Work", ""},
        IniCase{"KeyOfAnotherSection", "[Setting]\r\nTray=1\r\n[Other]\r\nWork=1\r\n", "Setting", "Work", ""},
        IniCase{"KeyBeforeAnySection", "Work=1\r\n[Setting]\r\n", "Setting", "Work", ""},
        IniCase{"CommentIsNoKey", "[Setting]\r\n;Work=1\r\n", "Setting", "Work", ""},
        IniCase{"QuotesRemoved", "[Setting]\r\nWork=\"1\"\r\n", "Setting", "Work", "1"},
        IniCase{"SingleQuotesRemoved", "[Setting]\r\nWork='0'\r\n", "Setting", "Work", "0"},
        IniCase{"UnmatchedQuotesKept", "[Setting]\r\nWork='0\"\r\n", "Setting", "Work", "'0\""},
        IniCase{"EqualsInValue", "[Setting]\r\nA=b=c\r\n", "Setting", "A", "b=c"},
        IniCase{"ValueOfTwo", "[Setting]\r\nTray=2\r\n", "Setting", "Tray", "2"},
        // The system's profile reader takes a line without "=" as its key with an empty value.
        IniCase{"BareKeyIsAnEmptyValue", "[Setting]\r\nWork\r\nWork=1\r\n", "Setting", "Work", ""},
        IniCase{"FirstSectionWins", "[Setting]\r\nA=1\r\n[Setting]\r\nA=2\r\n", "Setting", "A", "1"},
        IniCase{"EmptyText", "", "Setting", "Tray", ""}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(IniValueTest, CutsValuesAt254Characters) {
    const std::string longAscii(300, 'x');
    EXPECT_EQ(IniValue("[S]\r\nK=" + longAscii + "\r\n", "S", "K"), std::string(254, 'x'));
    std::string longChinese;
    for (int i = 0; i < 260; ++i) {
        longChinese += "关";
    }
    const std::string cut = IniValue("[S]\r\nK=" + longChinese + "\r\n", "S", "K");
    EXPECT_EQ(cut.size(), 254u * 3); // whole characters, never half of one
}

TEST(IniWithValueTest, ReplacesAnExistingValueInPlace) {
    EXPECT_EQ(IniWithValue("[Other]\r\nTray=5\r\n[setting]\r\nTRAY=0\r\nWork=1\r\n", "Setting", "Tray", "1"),
              "[Other]\r\nTray=5\r\n[setting]\r\nTray=1\r\nWork=1\r\n");
}

TEST(IniWithValueTest, ReplacesABareKeyLineWhichTheSystemWouldReadFirst) {
    EXPECT_EQ(IniWithValue("[Setting]\r\nWork\r\nTray=0\r\n", "Setting", "Work", "1"),
              "[Setting]\r\nWork=1\r\nTray=0\r\n");
}

TEST(IniWithValueTest, AddsAMissingKeyAtTheEndOfItsSection) {
    EXPECT_EQ(IniWithValue("[Setting]\r\nTray=1\r\n\r\n[Other]\r\nx=y\r\n", "Setting", "Work", "0"),
              "[Setting]\r\nTray=1\r\nWork=0\r\n\r\n[Other]\r\nx=y\r\n");
}

TEST(IniWithValueTest, AddsAMissingSectionAtTheEndKeepingOtherLines) {
    EXPECT_EQ(IniWithValue("; note\r\n[Other]\r\nx=y", "Setting", "Load", "1"),
              "; note\r\n[Other]\r\nx=y\r\n[Setting]\r\nLoad=1\r\n");
    EXPECT_EQ(IniWithValue("", "Setting", "Load", "1"), "[Setting]\r\nLoad=1\r\n");
}

class IniFileTest : public ::testing::Test {
protected:
    void SetUp() override {
        dir_ = fs::temp_directory_path() / ("vantor_ini_" + std::to_string(std::random_device{}()));
        fs::create_directories(dir_);
        path_ = (dir_ / "Setting.ini").string();
    }
    void TearDown() override { fs::remove_all(dir_); }

    void WriteBytes(const std::string& bytes) { std::ofstream(path_, std::ios::binary) << bytes; }
    std::string Bytes() { return ReadFileBytes(path_).bytes; }

    fs::path dir_;
    std::string path_;
};

TEST_F(IniFileTest, MissingFileReadsEmpty) {
    EXPECT_EQ(ReadIniValue("Setting", "Tray", path_), "");
}

TEST_F(IniFileTest, WritingCreatesFileAndSectionInUtf8WithCrLf) {
    ASSERT_TRUE(WriteIniValue("Setting", "Load", "1", path_));
    ASSERT_TRUE(WriteIniValue("Setting", "Tray", "1", path_));
    ASSERT_TRUE(WriteIniValue("Setting", "Attray", "1", path_));
    ASSERT_TRUE(WriteIniValue("Setting", "Work", "1", path_));
    EXPECT_EQ(Bytes(), "[Setting]\r\nLoad=1\r\nTray=1\r\nAttray=1\r\nWork=1\r\n");
    ASSERT_TRUE(WriteIniValue("Setting", "Tray", "0", path_));
    EXPECT_EQ(ReadIniValue("setting", "TRAY", path_), "0");
    EXPECT_EQ(std::distance(fs::directory_iterator(dir_), fs::directory_iterator()), 1); // no temporary left
}

// Plain ASCII text in UTF-16 little-endian, as Windows' editors save "Unicode".
std::string Utf16Le(std::string_view ascii) {
    std::string out;
    for (const char c : ascii) {
        out += c;
        out += '\0';
    }
    return out;
}

// The user's Work=0 holds whatever the encoding, and a rewrite keeps the encoding the file had; text in
// no known encoding reads as a missing file and is never replaced.
TEST_F(IniFileTest, ReadsEachEncodingAndRewritesItInItsOwn) {
    for (const std::string mark : {"\xFF\xFE", ""}) {
        WriteBytes(mark + Utf16Le("[Setting]\r\nWork=0\r\n"));
        EXPECT_EQ(ReadIniValue("Setting", "Work", path_), "0");
        ASSERT_TRUE(WriteIniValue("Setting", "Tray", "1", path_));
        EXPECT_EQ(Bytes(), mark + Utf16Le("[Setting]\r\nWork=0\r\nTray=1\r\n"));
    }

    WriteBytes("\xEF\xBB\xBF[Setting]\r\nNote=关机\r\n");
    EXPECT_EQ(ReadIniValue("Setting", "Note", path_), "关机");
    const std::string gbk = "[Setting]\r\nNote=\xB9\xD8\xBB\xFA\r\nWork=1\r\n"; // 关机 in GBK
    TextCodec codec([&](std::string_view b) -> std::optional<std::string> {
        return b == gbk ? std::optional<std::string>("[Setting]\r\nNote=关机\r\nWork=1\r\n") : std::nullopt;
    });
    codec.encode = [](std::string_view t) -> std::optional<std::string> {
        return t == "[Setting]\r\nNote=关机\r\nWork=0\r\n"
                   ? std::optional<std::string>("[Setting]\r\nNote=\xB9\xD8\xBB\xFA\r\nWork=0\r\n")
                   : std::nullopt;
    };
    WriteBytes(gbk);
    EXPECT_EQ(ReadIniValue("Setting", "Note", path_, codec.decode), "关机");
    ASSERT_TRUE(WriteIniValue("Setting", "Work", "0", path_, codec));
    EXPECT_EQ(Bytes(), "[Setting]\r\nNote=\xB9\xD8\xBB\xFA\r\nWork=0\r\n");

    WriteBytes("[Setting]\r\nWork=0\r\nNote=\xFF\x80\r\n");
    EXPECT_EQ(ReadIniText(path_, codec.decode), std::nullopt);
    EXPECT_FALSE(WriteIniValue("Setting", "Work", "1", path_, codec));
    EXPECT_EQ(Bytes(), "[Setting]\r\nWork=0\r\nNote=\xFF\x80\r\n");
}

// A settings file that cannot be read (here a folder) gives the defaults, like a missing one, and is
// never replaced.
TEST_F(IniFileTest, UnreadableFileReadsAsMissingAndIsNotReplaced) {
    fs::create_directory(path_);
    EXPECT_EQ(ReadIniText(path_), std::nullopt);
    EXPECT_EQ(ReadIniValue("Setting", "Tray", path_), "");
    EXPECT_FALSE(WriteIniValue("Setting", "Work", "0", path_));
    EXPECT_TRUE(fs::is_directory(path_));
    EXPECT_FALSE(WriteIniValue("Setting", "Work", "0", (dir_ / "missing" / "Setting.ini").string()));
}

struct SwitchCase {
    const char* text;
    std::optional<bool> value;
};
class IniSwitchTest : public ::testing::TestWithParam<SwitchCase> {};

TEST_P(IniSwitchTest, ReadsNumbersAndWords) {
    EXPECT_EQ(IniSwitch(GetParam().text), GetParam().value);
}

INSTANTIATE_TEST_SUITE_P(Values, IniSwitchTest,
                         ::testing::Values(SwitchCase{"0", false}, SwitchCase{"1", true},
                                           SwitchCase{"2", true}, SwitchCase{"-1", true},
                                           SwitchCase{"True", true}, SwitchCase{"tRUE", true},
                                           SwitchCase{"False", false}, SwitchCase{"", std::nullopt},
                                           SwitchCase{"on", std::nullopt}, SwitchCase{"1x", std::nullopt}));

struct CheckCase {
    const char* text;
    std::optional<int> state;
};
class IniCheckStateTest : public ::testing::TestWithParam<CheckCase> {};

TEST_P(IniCheckStateTest, GivesZeroOneOrTwoOnly) {
    EXPECT_EQ(IniCheckState(GetParam().text), GetParam().state);
}

INSTANTIATE_TEST_SUITE_P(Values, IniCheckStateTest,
                         ::testing::Values(CheckCase{"0", 0}, CheckCase{"1", 1}, CheckCase{"2", 2},
                                           CheckCase{" 1 ", 1}, CheckCase{"3", std::nullopt},
                                           CheckCase{"-1", std::nullopt}, CheckCase{"1.5", std::nullopt},
                                           CheckCase{"True", std::nullopt}, CheckCase{"", std::nullopt},
                                           CheckCase{"abc", std::nullopt}));

} // namespace
} // namespace vantor
