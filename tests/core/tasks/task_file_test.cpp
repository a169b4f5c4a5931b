#include "core/common/file_io.h"
#include "core/tasks/task_file.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <random>

#if defined(__linux__)
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>
#endif

namespace vantor {
namespace {

namespace fs = std::filesystem;

TaskRecord Row(bool enabled, const std::string& start, const std::string& tips) {
    return TaskRecord{enabled,
                      start,
                      "10分0秒",
                      "倒计时600秒",
                      "关机",
                      "0",
                      "1,0,0,3,0,0,2026/12/8,2026/12/8,600,,0,0,0,0,-1,-1,0,0,0," + tips};
}

TEST(TaskLineTest, FormatsSavedAndAppendedLines) {
    const TaskRecord r = Row(true, "", "");
    EXPECT_EQ(FormatSavedLine(r),
              "True;;10分0秒;倒计时600秒;关机;0;1,0,0,3,0,0,2026/12/8,2026/12/8,600,,0,0,0,0,-1,-1,0,0,0,");
    EXPECT_EQ(FormatSavedLine(Row(false, "x", "")).substr(0, 8), "False;x;");
    EXPECT_EQ(FormatAppendedLine(r),
              "0;;10分0秒;倒计时600秒;关机;0;1,0,0,3,0,0,2026/12/8,2026/12/8,600,,0,0,0,0,-1,-1,0,0,0,");
}

struct ParseCase {
    const char* name;
    const char* text;
    std::vector<TaskRecord> rows;
};

class ParseTaskTextTest : public ::testing::TestWithParam<ParseCase> {};

TEST_P(ParseTaskTextTest, ReadsRowsByPosition) {
    EXPECT_EQ(ParseTaskText(GetParam().text), GetParam().rows);
}

INSTANTIATE_TEST_SUITE_P(
    Texts, ParseTaskTextTest,
    ::testing::Values(ParseCase{"EmptyText", "", {}},
                      ParseCase{"EmptyLinesSkipped",
                                "\r\n\r\nFalse;a;b;c;d;e;f\r\n\r\n",
                                {{false, "a", "b", "c", "d", "e", "f"}}},
                      ParseCase{"LfOnly",
                                "true;a\nFALSE;b\n",
                                {{true, "a", "", "", "", "", ""}, {false, "b", "", "", "", "", ""}}},
                      ParseCase{"TrueAndOneLetter", "True;a\r\n", {{true, "a", "", "", "", "", ""}}},
                      ParseCase{"NonBooleanFieldZeroCountsAsEnabled",
                                ";a\r\nyes;b\r\n",
                                {{true, "a", "", "", "", "", ""}, {true, "b", "", "", "", "", ""}}},
                      ParseCase{"NumbersAsBooleans",
                                "0;a\r\n1;b\r\n-1;c\r\n",
                                {{false, "a", "", "", "", "", ""},
                                 {true, "b", "", "", "", "", ""},
                                 {true, "c", "", "", "", "", ""}}},
                      ParseCase{"LoneFieldGivesEmptyColumns", "True\r\n", {{true, "", "", "", "", "", ""}}},
                      ParseCase{"BlankLineIsNotEmpty", " \r\n", {{true, "", "", "", "", "", ""}}},
                      ParseCase{"ExtraSemicolonShiftsFields",
                                "True;a;b;c;d;e;f;g\r\n",
                                {{true, "a", "b", "c", "d", "e", "f"}}},
                      ParseCase{"TipsWithCommaKeptInParams",
                                "0;;1秒;倒计时1秒;提醒;0;1,0,a,b\r\n",
                                {{false, "", "1秒", "倒计时1秒", "提醒", "0", "1,0,a,b"}}}),
    [](const auto& info) { return std::string(info.param.name); });

INSTANTIATE_TEST_SUITE_P(
    LineEnds, ParseTaskTextTest,
    ::testing::Values(ParseCase{"LastLineWithoutItsEnd",
                                "True;a\r\nFalse;b",
                                {{true, "a", "", "", "", "", ""}, {false, "b", "", "", "", "", ""}}},
                      ParseCase{"LastLineEndingInCr", "\r\n\r\nTrue;a\r", {{true, "a", "", "", "", "", ""}}},
                      ParseCase{"CrAloneEndsALine",
                                "True;a\rFalse;b\r\rTrue;c\n\r",
                                {{true, "a", "", "", "", "", ""},
                                 {false, "b", "", "", "", "", ""},
                                 {true, "c", "", "", "", "", ""}}},
                      ParseCase{"OnlyACr", "\r", {}},
                      ParseCase{
                          "TrailingSemicolon", "True;a;b;c;d;e;\r\n", {{true, "a", "b", "c", "d", "e", ""}}}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(ParseTaskTextTest, AppendedLinesAfterARewriteReadBack) {
    const std::string text = FormatSavedLine(Row(true, "", "a")) + "\r\n" +
                             FormatSavedLine(Row(false, "", "b")) + "\r\n" +
                             FormatAppendedLine(Row(true, "", "c")) + "\r\n";
    const auto rows = ParseTaskText(text);
    ASSERT_EQ(rows.size(), 3u);
    EXPECT_EQ(rows[0], Row(true, "", "a"));
    EXPECT_EQ(rows[1], Row(false, "", "b"));
    EXPECT_EQ(rows[2], Row(false, "", "c")); // a new task comes back unchecked
}

class TaskFileTest : public ::testing::Test {
protected:
    void SetUp() override {
        dir_ = fs::temp_directory_path() / ("vantor_tasks_" + std::to_string(std::random_device{}()));
        fs::create_directories(dir_);
        path_ = (dir_ / kTaskFileName).string();
    }
    void TearDown() override { fs::remove_all(dir_); }

    void WriteBytes(const std::string& bytes) { std::ofstream(path_, std::ios::binary) << bytes; }
    std::string Bytes() { return ReadFileBytes(path_).bytes; }

    fs::path dir_;
    std::string path_;
};

// Two task lines as a Chinese Windows system wrote them: GBK text, its own date-time form.
const std::string kGbkFile =
    "True;2026/12/8 1:48:46;2026/12/9;\xCA\xB1\xB6\xCE+\xCF\xD0\xD6\xC3"
    "1800\xC3\xEB;\xB9\xD8\xBB\xFA;1;1,1,0,3,0,1,2026/12/8 1:48:46,2026/12/9,,,0,0,30,0,-1,-1,0,0,0,\r\n"
    "0;;1\xB7\xD6"
    "30\xC3\xEB;\xB5\xB9\xBC\xC6\xCA\xB1"
    "90\xC3\xEB;\xCC\xE1\xD0\xD1;0;1,0,0,0,0,0,2026/12/8,2026/12/"
    "8,90,,0,0,0,0,-1,-1,0,0,0,\xB8\xC3\xD0\xDD\xCF\xA2"
    "\xC1\xCB\r\n";
const std::string kGbkFileAsUtf8 =
    "True;2026/12/8 1:48:46;2026/12/9;时段+闲置1800秒;关机;1;1,1,0,3,0,1,2026/12/8 "
    "1:48:46,2026/12/9,,,0,0,30,0,-1,-1,0,0,0,\r\n"
    "0;;1分30秒;倒计时90秒;提醒;0;1,0,0,0,0,0,2026/12/8,2026/12/8,90,,0,0,0,0,-1,-1,0,0,"
    "0,该休息了\r\n";

// Stands in for the platform's GBK decoder: knows exactly the file above.
const LegacyDecoder kTestGbk = [](std::string_view bytes) -> std::optional<std::string> {
    if (bytes == kGbkFile) {
        return kGbkFileAsUtf8;
    }
    return std::nullopt;
};

TEST_F(TaskFileTest, MissingFileIsNoErrorAndNoRows) {
    const TaskFileRead read = ReadTaskFile(path_, kTestGbk);
    EXPECT_FALSE(read.exists);
    EXPECT_FALSE(read.readError);
    EXPECT_TRUE(read.rows.empty());
}

TEST_F(TaskFileTest, UnreadableFileReportsAReadError) {
    fs::create_directory(path_);
    const TaskFileRead read = ReadTaskFile(path_, kTestGbk);
    EXPECT_TRUE(read.exists);
    EXPECT_TRUE(read.readError);
}

TEST_F(TaskFileTest, ReadsALegacyFileWithWindowsDateTimes) {
    WriteBytes(kGbkFile);
    const TaskFileRead read = ReadTaskFile(path_, kTestGbk);
    ASSERT_EQ(read.rows.size(), 2u);
    const TaskRecord& window = read.rows[0];
    EXPECT_TRUE(window.enabled);
    EXPECT_EQ(window.conditionText, "时段+闲置1800秒");
    EXPECT_EQ(window.operationText, "关机");
    EXPECT_EQ(ParseDateTime(window.startText), DateTime::fromParts(2026, 12, 8, 1, 48, 46));
    EXPECT_EQ(ParseDateTime(window.endText), DateTime::fromParts(2026, 12, 9));
    EXPECT_FALSE(read.rows[1].enabled);
    EXPECT_EQ(read.rows[1].operationText, "提醒");
    EXPECT_EQ(SplitParams(read.rows[1].params)[PTipsText], "该休息了");
}

TEST_F(TaskFileTest, SaveWritesUtf8WithCrLfAndReadsBack) {
    const std::vector<TaskRecord> rows = {Row(true, "", "提醒文字"), Row(false, "全天", "")};
    ASSERT_TRUE(SaveTaskFile(path_, rows));
    const std::string bytes = Bytes();
    EXPECT_EQ(bytes, FormatSavedLine(rows[0]) + "\r\n" + FormatSavedLine(rows[1]) + "\r\n");
    EXPECT_NE(bytes.substr(0, 3), "\xEF\xBB\xBF");
    EXPECT_EQ(ReadTaskFile(path_, kTestGbk).rows, rows);
    EXPECT_EQ(std::distance(fs::directory_iterator(dir_), fs::directory_iterator()), 1); // no temporary left
}

// A list far larger than one read of the file, with a byte-order mark in front as some editors write it.
TEST_F(TaskFileTest, ReadsALargeFileWholeWithOrWithoutAByteOrderMark) {
    std::vector<TaskRecord> rows;
    for (int i = 0; i < 3000; ++i) {
        rows.push_back(Row(i % 3 != 0, i % 2 == 0 ? "" : "2026/12/8 1:48:46", "提醒" + std::to_string(i)));
    }
    ASSERT_TRUE(SaveTaskFile(path_, rows));
    EXPECT_EQ(ReadTaskFile(path_, kTestGbk).rows, rows);

    WriteBytes("\xEF\xBB\xBF" + Bytes());
    const TaskFileRead read = ReadTaskFile(path_, kTestGbk);
    EXPECT_FALSE(read.readError);
    EXPECT_EQ(read.rows, rows);
}

TEST_F(TaskFileTest, SavingAnEmptyListEmptiesTheFile) {
    ASSERT_TRUE(SaveTaskFile(path_, {Row(true, "", "")}));
    ASSERT_TRUE(SaveTaskFile(path_, {}));
    EXPECT_TRUE(fs::exists(path_));
    EXPECT_EQ(Bytes(), "");
    EXPECT_TRUE(ReadTaskFile(path_, kTestGbk).rows.empty());
}

TEST_F(TaskFileTest, UnreadableFileIsNeitherReplacedNorAppendedTo) {
    fs::create_directory(path_);
    EXPECT_FALSE(SaveTaskFile(path_, {Row(false, "", "new")}));
    EXPECT_FALSE(AppendTaskLine(path_, Row(false, "", "new"), kTestGbk));
    EXPECT_TRUE(fs::is_directory(path_));
}

TEST_F(TaskFileTest, SaveIntoAMissingFolderFails) {
    EXPECT_FALSE(SaveTaskFile((dir_ / "missing" / kTaskFileName).string(), {Row(true, "", "")}));
    EXPECT_FALSE(AppendTaskLine((dir_ / "missing" / kTaskFileName).string(), Row(true, "", ""), kTestGbk));
}

TEST_F(TaskFileTest, AppendCreatesTheFileWithAZeroLine) {
    ASSERT_TRUE(AppendTaskLine(path_, Row(true, "", "x"), kTestGbk));
    EXPECT_EQ(Bytes(), FormatAppendedLine(Row(true, "", "x")) + "\r\n");
}

TEST_F(TaskFileTest, AppendKeepsExistingLinesExactly) {
    const std::string existing = "True;a;b;c;d;e;f\r\n\r\nweird line without fields\nFalse;x\r\n";
    WriteBytes(existing);
    ASSERT_TRUE(AppendTaskLine(path_, Row(false, "", "y"), kTestGbk));
    EXPECT_EQ(Bytes(), existing + FormatAppendedLine(Row(false, "", "y")) + "\r\n");
}

TEST_F(TaskFileTest, AppendEndsAnOpenLastLineFirst) {
    WriteBytes("True;a");
    ASSERT_TRUE(AppendTaskLine(path_, Row(false, "", "y"), kTestGbk));
    const auto rows = ReadTaskFile(path_, kTestGbk).rows;
    ASSERT_EQ(rows.size(), 2u);
    EXPECT_EQ(rows[0].startText, "a");
    EXPECT_EQ(rows[1], Row(false, "", "y"));
}

// A file of the earlier program stays in its code page, so that program still reads it; where the code
// page cannot be written, it becomes UTF-8 with a mark, never UTF-8 the earlier program takes for GBK.
TEST_F(TaskFileTest, AppendToALegacyFileKeepsItsCodePage) {
    const TaskRecord added = Row(false, "", "x");
    const std::string addedLine = FormatAppendedLine(added) + "\r\n";
    const std::string addedGbk =
        "0;;10\xB7\xD6"
        "0\xC3\xEB;\xB5\xB9\xBC\xC6\xCA\xB1"
        "600\xC3\xEB;\xB9\xD8\xBB\xFA;0;1,0,0,3,0,0,2026/12/8,2026/12/8,600,,0,0,0,0,-1,-1,0,0,0,x\r\n";
    TextCodec codec(kTestGbk);
    codec.encode = [&](std::string_view text) -> std::optional<std::string> {
        return text == kGbkFileAsUtf8 + addedLine ? std::optional(kGbkFile + addedGbk) : std::nullopt;
    };
    WriteBytes(kGbkFile);
    ASSERT_TRUE(AppendTaskLine(path_, added, codec));
    EXPECT_EQ(Bytes(), kGbkFile + addedGbk);

    WriteBytes(kGbkFile);
    ASSERT_TRUE(AppendTaskLine(path_, added, kTestGbk)); // no encoder for the code page
    EXPECT_EQ(Bytes(), "\xEF\xBB\xBF" + kGbkFileAsUtf8 + addedLine);
    EXPECT_EQ(ReadTaskFile(path_, {}).rows.size(), 3u);
}

// Text in no known encoding makes the file unreadable, like a read error: nothing is written over it.
TEST_F(TaskFileTest, UndecodableFileIsAReadErrorAndIsNotAppendedTo) {
    const std::string bytes = "True;;;\xFF\xFE\x80;;;\r\n";
    WriteBytes(bytes);
    const TaskFileRead read = ReadTaskFile(path_, kTestGbk);
    EXPECT_TRUE(read.readError);
    EXPECT_EQ(read.failure, ReadFailure::Undecodable);
    WriteFailure why = WriteFailure::None;
    EXPECT_FALSE(AppendTaskLine(path_, Row(false, "", "x"), kTestGbk, &why));
    EXPECT_EQ(TaskFileNotWrittenMessage(true, why).text,
              "无法写入任务文件，任务未保存！\n原因：无法读取文件现有的内容");
    EXPECT_EQ(Bytes(), bytes);
}

struct AppendCase {
    const char* name;
    std::string bytes;
};

class AppendReadBackTest : public TaskFileTest, public ::testing::WithParamInterface<AppendCase> {};

// Whatever the file held, it reads back after an append as the rows start-up showed plus the new one.
TEST_P(AppendReadBackTest, GivesTheRowsStartUpReadPlusTheNewOne) {
    // A decoder that takes any bytes for the legacy code page, as a real one mostly does, and so turns
    // UTF-8 text into mojibake when it is asked when it should not be.
    const LegacyDecoder anything = [](std::string_view bytes) -> std::optional<std::string> {
        return bytes == kGbkFile ? kGbkFileAsUtf8 : "False;鏃舵\r\n";
    };
    WriteBytes(GetParam().bytes);
    std::vector<TaskRecord> expected = ReadTaskFile(path_, anything).rows;
    ASSERT_TRUE(AppendTaskLine(path_, Row(true, "", "/usr/bin/true"), anything));
    expected.push_back(Row(false, "", "/usr/bin/true"));
    EXPECT_EQ(ReadTaskFile(path_, anything).rows, expected);
}

INSTANTIATE_TEST_SUITE_P(
    Files, AppendReadBackTest,
    ::testing::Values(AppendCase{"Utf8WithAByteOrderMarkAndOneDamagedSequence",
                                 "\xEF\xBB\xBFTrue;;;时段\xE6\x97;关机;1;x\r\n"},
                      AppendCase{
                          "LastLineEndedByABareCr",
                          "0;;1秒;倒计时1秒;运行;0;1,0,0,1,0,0,2026/12/8,2026/12/8,1,,0,0,0,0,-1,-1,0,0,0,/"
                          "usr/bin/true\r"},
                      AppendCase{"OnlyACr", "\r"}, AppendCase{"LegacyCodePage", kGbkFile},
                      AppendCase{"UndecodableBytesWithoutAMark", "True;\xFF\xFE;b\r\n"},
                      AppendCase{"TextThatItselfBeginsWithAMark", "\xEF\xBB\xBF\xEF\xBB\xBFTrue;a"}),
    [](const auto& info) { return std::string(info.param.name); });

#if defined(__linux__)
// Two copies of the program saving at once, killed at random moments, 200 times over: the file is always
// one whole version, never torn, mixed or empty.
TEST_F(TaskFileTest, SavesKilledAtRandomLeaveOneWholeVersion) {
    std::vector<TaskRecord> versions[2];
    for (int i = 0; i < 150; ++i) {
        versions[0].push_back(Row(true, "", "版本一的第" + std::to_string(i) + "个任务"));
        versions[1].push_back(Row(false, "全天", "v2 task " + std::to_string(i)));
    }
    std::string bytes[2];
    for (int v = 1; v >= 0; --v) {
        ASSERT_TRUE(SaveTaskFile(path_, versions[v]));
        bytes[v] = Bytes();
    }
    std::mt19937 random(20261208);
    int seen[2] = {0, 0};
    for (int round = 0; round < 200; ++round) {
        pid_t savers[2];
        for (int v = 0; v < 2; ++v) {
            savers[v] = ::fork();
            ASSERT_GE(savers[v], 0);
            if (savers[v] == 0) {
                while (true) {
                    SaveTaskFile(path_, versions[v]);
                }
            }
        }
        ::usleep(static_cast<useconds_t>(random() % 4000));
        for (pid_t pid : savers) {
            ::kill(pid, SIGKILL);
            ::waitpid(pid, nullptr, 0);
        }
        const std::string now = Bytes();
        ASSERT_TRUE(now == bytes[0] || now == bytes[1])
            << "round " << round << ": " << now.size() << " bytes";
        ++seen[now == bytes[0] ? 0 : 1];
    }
    // Both copies saved between the kills: the file was not simply the first version read again.
    EXPECT_GT(seen[0], 0);
    EXPECT_GT(seen[1], 0);
}
#endif

} // namespace
} // namespace vantor
