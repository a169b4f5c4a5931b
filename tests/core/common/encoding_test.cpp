#include "core/common/encoding.h"

#include <gtest/gtest.h>

#include <utility>

namespace vantor {
namespace {

// Stands in for the platform's code page: knows two words, fails on any other byte above 0x7F.
const std::pair<std::string, std::string> kWords[] = {{"\xB9\xD8\xBB\xFA", "关机"},
                                                      {"\xCC\xE1\xD0\xD1", "提醒"}};

std::optional<std::string> Replace(std::string_view in, bool toUtf8) {
    std::string out;
    for (size_t i = 0; i < in.size();) {
        if (static_cast<unsigned char>(in[i]) < 0x80) {
            out += in[i++];
            continue;
        }
        bool found = false;
        for (const auto& [gbk, utf8] : kWords) {
            const std::string& from = toUtf8 ? gbk : utf8;
            if (in.substr(i).starts_with(from)) {
                out += toUtf8 ? utf8 : gbk;
                i += from.size();
                found = true;
                break;
            }
        }
        if (!found) {
            return std::nullopt;
        }
    }
    return out;
}

TextCodec TestCodec(TextEncoding forNewFiles = TextEncoding::Utf8) {
    TextCodec codec([](std::string_view b) { return Replace(b, true); });
    codec.encode = [](std::string_view t) { return Replace(t, false); };
    codec.forNewFiles = forNewFiles;
    return codec;
}

// Plain characters only, as the cases below need.
std::string Utf16(std::u16string_view text, bool littleEndian) {
    std::string out;
    for (const char16_t c : text) {
        const char hi = static_cast<char>(c >> 8), lo = static_cast<char>(c & 0xFF);
        out += littleEndian ? lo : hi;
        out += littleEndian ? hi : lo;
    }
    return out;
}

const std::u16string kLines = u"True;关机\r\n0;提醒\r\n";
const std::string kLinesUtf8 = "True;关机\r\n0;提醒\r\n";

struct DecodeCase {
    const char* name;
    std::string bytes;
    bool ok;
    std::string text;
    std::optional<TextEncoding> encoding;
    bool writtenBackAsItWas; // the encoding found writes exactly these bytes again
};

class DecodeTest : public ::testing::TestWithParam<DecodeCase> {};

// Each file reads as its text, and writing that text back in the encoding found gives a file that reads
// the same (and for a file in one encoding, the same bytes).
TEST_P(DecodeTest, ReadsTheTextAndWritesItBackInItsEncoding) {
    const DecodeCase& c = GetParam();
    const TextCodec codec = TestCodec();
    const DecodedText decoded = DecodeFileText(c.bytes, codec.decode);
    EXPECT_EQ(decoded.ok, c.ok);
    EXPECT_EQ(decoded.text, c.text);
    if (!c.ok) {
        return;
    }
    EXPECT_EQ(decoded.encoding, c.encoding);
    EXPECT_EQ(SniffFileEncoding(c.bytes), c.encoding);
    std::string taken = c.bytes;
    const DecodedText fromTake = TakeFileText(std::move(taken), codec.decode);
    EXPECT_EQ(fromTake.text, c.text);
    EXPECT_EQ(fromTake.encoding, c.encoding);

    const std::string written = EncodeFileText(decoded.text, decoded.encoding, codec);
    if (c.writtenBackAsItWas) {
        EXPECT_EQ(written, c.bytes);
    }
    const DecodedText again = DecodeFileText(written, codec.decode);
    EXPECT_EQ(again.text, c.text);
    EXPECT_EQ(again.encoding, c.encoding);
}

INSTANTIATE_TEST_SUITE_P(
    Files, DecodeTest,
    ::testing::Values(
        DecodeCase{"Utf8", kLinesUtf8, true, kLinesUtf8, TextEncoding::Utf8, true},
        DecodeCase{"Utf8WithMark", "\xEF\xBB\xBF" + kLinesUtf8, true, kLinesUtf8, TextEncoding::Utf8Bom,
                   true},
        DecodeCase{"PlainAscii", "True;a\r\n", true, "True;a\r\n", std::nullopt, true},
        DecodeCase{"Empty", "", true, "", std::nullopt, true},
        DecodeCase{"Gbk", "True;\xB9\xD8\xBB\xFA\r\n0;\xCC\xE1\xD0\xD1\r\n", true, kLinesUtf8,
                   TextEncoding::Legacy, true},
        // The earlier program appended a GBK line to a file in UTF-8: each line keeps its text.
        DecodeCase{"MixedLines", "True;关机\r\nx\n0;\xCC\xE1\xD0\xD1\r", true, "True;关机\r\nx\n0;提醒\r",
                   TextEncoding::Utf8Bom, false},
        DecodeCase{"GbkLineAfterAUtf8Mark",
                   "\xEF\xBB\xBF"
                   "0;\xCC\xE1\xD0\xD1\r\n",
                   true, "0;提醒\r\n", TextEncoding::Utf8Bom, false},
        DecodeCase{"Utf16LeWithMark", "\xFF\xFE" + Utf16(kLines, true), true, kLinesUtf8,
                   TextEncoding::Utf16LeBom, true},
        DecodeCase{"Utf16LeWithoutMark", Utf16(kLines, true), true, kLinesUtf8, TextEncoding::Utf16Le, true},
        DecodeCase{"Utf16BeWithMark", "\xFE\xFF" + Utf16(kLines, false), true, kLinesUtf8,
                   TextEncoding::Utf16BeBom, true},
        DecodeCase{"Utf16BeWithoutMark", Utf16(kLines, false), true, kLinesUtf8, TextEncoding::Utf16Be, true},
        DecodeCase{"Utf16WithALoneSurrogate",
                   "\xFF\xFE" + Utf16(u"a\xD800"
                                      u"b",
                                      true),
                   false,
                   "",
                   {},
                   false},
        DecodeCase{"Utf16CutShort", Utf16(u"Work=0", true) + "W", false, "", {}, false},
        DecodeCase{"NoKnownEncoding", "True;\xB9\xD8\xBB\xFA\r\n0;\xFF\xFE\x80\r\n", false, "", {}, false},
        DecodeCase{"BrokenUtf8AfterAMark",
                   "\xEF\xBB\xBF"
                   "a\xE6\x97\r\n",
                   false,
                   "",
                   {},
                   false},
        DecodeCase{"ZeroByteInTextOfOddLength", std::string("a\0b", 3), false, "", {}, false}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(EncodeFileTextTest, FallsBackToUtf8WithAMarkWhenTheCodePageCannotHoldTheText) {
    const TextCodec codec = TestCodec(TextEncoding::Legacy);
    // New files in the code page, where that codec says so.
    EXPECT_EQ(EncodeFileText("0;关机\r\n", std::nullopt, codec), "0;\xB9\xD8\xBB\xFA\r\n");
    // A character it lacks, or no encoder at all: UTF-8 with a mark, which every reader tells from GBK.
    EXPECT_EQ(EncodeFileText("0;关机😀\r\n", TextEncoding::Legacy, codec), "\xEF\xBB\xBF"
                                                                          "0;关机😀\r\n");
    EXPECT_EQ(EncodeFileText("0;关机\r\n", TextEncoding::Legacy, TextCodec()), "\xEF\xBB\xBF"
                                                                               "0;关机\r\n");
    // Code-page bytes that happen to be valid UTF-8 would read back as other characters.
    TextCodec lookalike = codec;
    lookalike.encode = [](std::string_view) { return std::optional<std::string>("0;中\r\n"); };
    EXPECT_EQ(EncodeFileText("0;x\r\n", TextEncoding::Legacy, lookalike), "\xEF\xBB\xBF"
                                                                          "0;x\r\n");
    // A text that itself begins with U+FEFF keeps it behind a mark, as the reader drops one.
    EXPECT_EQ(EncodeFileText("\xEF\xBB\xBF"
                             "a",
                             TextEncoding::Utf8, codec),
              "\xEF\xBB\xBF\xEF\xBB\xBF"
              "a");
    EXPECT_EQ(DecodeFileText(EncodeFileText("\xEF\xBB\xBF"
                                            "a",
                                            TextEncoding::Utf16Le, codec),
                             {})
                  .text,
              "\xEF\xBB\xBF"
              "a");
}

TEST(TakeFileTextTest, KeepsTheBufferOfUtf8Text) {
    std::string bytes(4000, 'a');
    bytes += "关机";
    const char* buffer = bytes.data();
    const DecodedText text = TakeFileText(std::move(bytes), {});
    EXPECT_EQ(text.text.data(), buffer);
    EXPECT_EQ(text.text.size(), 4006u);
}

} // namespace
} // namespace vantor
