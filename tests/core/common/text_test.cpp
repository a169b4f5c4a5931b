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

TEST(DecodeFileTextTest, DropsBomAndKeepsUtf8) {
    const LegacyDecoder never = [](std::string_view) -> std::optional<std::string> {
        ADD_FAILURE() << "valid UTF-8 must not be decoded again";
        return std::nullopt;
    };
    EXPECT_EQ(DecodeFileText("\xEF\xBB\xBF关机", never), "关机");
    EXPECT_EQ(DecodeFileText("关机", never), "关机");
    EXPECT_EQ(DecodeFileText("", never), "");
}

TEST(DecodeFileTextTest, UsesTheLegacyDecoderForOtherBytes) {
    const LegacyDecoder gbk = [](std::string_view b) -> std::optional<std::string> {
        if (b == "\xB9\xD8\xBB\xFA") {
            return std::string("关机");
        }
        return std::nullopt;
    };
    EXPECT_EQ(DecodeFileText("\xB9\xD8\xBB\xFA", gbk), "关机");
}

TEST(DecodeFileTextTest, ReplacesUndecodableBytesAndKeepsTheRest) {
    const LegacyDecoder fails = [](std::string_view) -> std::optional<std::string> { return std::nullopt; };
    EXPECT_EQ(DecodeFileText("a\xFF"
                             "b",
                             fails),
              "a\xEF\xBF\xBD"
              "b");
    EXPECT_EQ(DecodeFileText("a\xFF"
                             "b",
                             {}),
              "a\xEF\xBF\xBD"
              "b");
    // A file marked as UTF-8 is not handed to the legacy decoder.
    const LegacyDecoder never = [](std::string_view) -> std::optional<std::string> {
        return std::string("x");
    };
    EXPECT_EQ(DecodeFileText("\xEF\xBB\xBF"
                             "a\xFF",
                             never),
              "a\xEF\xBF\xBD");
}

// TakeFileText answers as DecodeFileText does, whatever the bytes, and keeps the buffer of UTF-8 text.
TEST(TakeFileTextTest, AnswersAsDecodeFileText) {
    const LegacyDecoder gbk = [](std::string_view b) -> std::optional<std::string> {
        if (b == "\xB9\xD8\xBB\xFA") {
            return std::string("关机");
        }
        return std::nullopt;
    };
    for (const std::string bytes : {"", "关机", "\xEF\xBB\xBF关机", "\xEF\xBB\xBF", "\xB9\xD8\xBB\xFA",
                                    "a\xFF"
                                    "b",
                                    "\xEF\xBB\xBF\xB9\xD8\xBB\xFA"}) {
        std::string taken = bytes;
        EXPECT_EQ(TakeFileText(std::move(taken), gbk), DecodeFileText(bytes, gbk)) << bytes;
    }
}

TEST(TakeFileTextTest, KeepsTheBufferOfUtf8Text) {
    std::string bytes(4000, 'a');
    bytes += "关机";
    const char* buffer = bytes.data();
    const std::string text = TakeFileText(std::move(bytes), {});
    EXPECT_EQ(text.data(), buffer);
    EXPECT_EQ(text.size(), 4006u);

    std::string marked = "\xEF\xBB\xBF" + std::string(4000, 'b');
    const char* markedBuffer = marked.data();
    const std::string unmarked = TakeFileText(std::move(marked), {});
    EXPECT_EQ(unmarked.data(), markedBuffer);
    EXPECT_EQ(unmarked, std::string(4000, 'b'));
}

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
