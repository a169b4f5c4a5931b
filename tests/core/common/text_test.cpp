#include "core/common/text.h"

#include <gtest/gtest.h>

#include <utility>

namespace vantor {
namespace {

using Strings = std::vector<std::string>;

TEST(SplitTest, KeepsEveryEmptyField) {
    EXPECT_EQ(Split("a;;b", ';'), (Strings{"a", "", "b"}));
    EXPECT_EQ(Split("", ';'), (Strings{""}));
    EXPECT_EQ(Split(";", ';'), (Strings{"", ""}));
    EXPECT_EQ(Split("True;a", ';'), (Strings{"True", "a"}));
    EXPECT_EQ(Split("1,0,", ','), (Strings{"1", "0", ""}));
}

TEST(Utf8Test, RefusesBrokenAndOverlongSequences) {
    EXPECT_TRUE(IsValidUtf8(""));
    EXPECT_TRUE(IsValidUtf8("abc"));
    EXPECT_TRUE(IsValidUtf8("关机"));
    EXPECT_TRUE(IsValidUtf8("\xF0\x9F\x98\x80"));
    EXPECT_FALSE(IsValidUtf8("\xB9\xD8\xBB\xFA")); // 关机 in GBK
    EXPECT_FALSE(IsValidUtf8("\xC0\xAF"));         // overlong "/"
    EXPECT_FALSE(IsValidUtf8("\xED\xA0\x80"));     // surrogate
    EXPECT_FALSE(IsValidUtf8("\xE5\x85"));         // cut short
    EXPECT_FALSE(IsValidUtf8("\xF4\x90\x80\x80")); // above U+10FFFF
}

TEST(Utf8Test, FindsAFaultAtAnyPlaceInLongAsciiRuns) {
    // Long plain-ASCII stretches are passed several bytes at a time: a fault right after, inside or at
    // the end of such a stretch must still be seen, and a sequence across the stretch's edge read whole.
    const std::string ascii(21, 'a');
    for (size_t at = 0; at <= ascii.size(); ++at) {
        std::string broken = ascii;
        broken.insert(at, "\xB9\xD8");
        EXPECT_FALSE(IsValidUtf8(broken)) << at;
        std::string fine = ascii;
        fine.insert(at, "关机");
        EXPECT_TRUE(IsValidUtf8(fine)) << at;
    }
    EXPECT_FALSE(IsValidUtf8(ascii + "\xE5\x85"));
}

TEST(Utf8Test, FindsAFaultAtAnyPlaceInLongChineseRuns) {
    // Common three-byte sequences are passed whole in one step: a missing or stray continuation byte, a
    // sequence cut short at the end and the narrower rules of E0 and ED must still be seen in such a run.
    const std::string chinese = "任务设置倒计时私\xEE\x80\x80\xEF\xBF\xBD"; // private use and U+FFFD too
    EXPECT_TRUE(IsValidUtf8(chinese));
    for (size_t at = 0; at <= chinese.size(); at += 3) {
        for (const char* bad : {"\xE4\x41\x80", "\xE4\xB8\x41", "\xE4\xB8", "\xE0\x9F\xBF", "\xED\xA0\x80",
                                "\xEF\xBF\xC0", "\xBF"}) {
            std::string broken = chinese;
            broken.insert(at, bad);
            EXPECT_FALSE(IsValidUtf8(broken)) << at << " " << bad;
        }
    }
    EXPECT_FALSE(IsValidUtf8(chinese + "\xE4\xB8"));
    EXPECT_FALSE(IsValidUtf8(chinese + "\xEF"));
}

TEST(CharCountTest, CountsChineseCharactersOnceEach) {
    EXPECT_EQ(CharCount(""), 0u);
    EXPECT_EQ(CharCount("OK"), 2u);
    EXPECT_EQ(CharCount("剩余:1分0秒"), 7u);
    EXPECT_EQ(PadToWidth("剩余", 5), "剩余   ");
    EXPECT_EQ(PadToWidth("abcdef", 3), "abcdef");
    EXPECT_EQ(PadToWidth("abc", 3), "abc");
}

struct BoolCase {
    const char* text;
    std::optional<bool> value;
};

class StoredBoolTest : public ::testing::TestWithParam<BoolCase> {};

TEST_P(StoredBoolTest, ReadsWordsAndNumbers) {
    EXPECT_EQ(ParseStoredBool(GetParam().text), GetParam().value);
}

INSTANTIATE_TEST_SUITE_P(Texts, StoredBoolTest,
                         ::testing::Values(BoolCase{"True", true}, BoolCase{"true", true},
                                           BoolCase{"TRUE", true}, BoolCase{"False", false},
                                           BoolCase{"fAlSe", false}, BoolCase{"0", false},
                                           BoolCase{"1", true}, BoolCase{"-1", true}, BoolCase{"2", true},
                                           BoolCase{"0.0", false}, BoolCase{"0.5", true},
                                           BoolCase{" 1 ", true}, BoolCase{"", std::nullopt},
                                           BoolCase{"yes", std::nullopt}, BoolCase{"Truex", std::nullopt},
                                           BoolCase{"1a", std::nullopt}));

TEST(ForEachLineTest, GivesTheLinesOfSplitLines) {
    for (const char* text : {"", "a\r\nb\r\n", "a\nb", "a\r\n\r\nb", "\n", "a\r", "\r\r\n", "a\rb\n"}) {
        Strings lines;
        ForEachLine(text, [&lines](std::string_view line) { lines.emplace_back(line); });
        EXPECT_EQ(lines, SplitLines(text)) << text;
    }
}

TEST(SplitLinesTest, EndsLinesAtCrLfLfOrCrAndKeepsALastOpenLine) {
    EXPECT_EQ(SplitLines(""), Strings{});
    EXPECT_EQ(SplitLines("a\r\nb\r\n"), (Strings{"a", "b"}));
    EXPECT_EQ(SplitLines("a\nb"), (Strings{"a", "b"}));
    EXPECT_EQ(SplitLines("a\r\n\r\nb"), (Strings{"a", "", "b"}));
    EXPECT_EQ(SplitLines("\n"), (Strings{""}));
    EXPECT_EQ(SplitLines("a\r"), (Strings{"a"}));
    EXPECT_EQ(SplitLines("\r\r\n"), (Strings{"", ""})); // a CR alone ends a line too
    EXPECT_EQ(SplitLines("a\rb\n\rc"), (Strings{"a", "b", "", "c"}));
}

} // namespace
} // namespace vantor
