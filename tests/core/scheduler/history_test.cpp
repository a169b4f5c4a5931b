// History records: one line per record whatever the texts hold, and a file bounded to the newest records.
#include "core/scheduler/history.h"

#include <gtest/gtest.h>

namespace vantor {
namespace {

struct FormatCase {
    const char* name;
    HistoryRecord record;
    const char* line;
};

class FormatHistoryTable : public testing::TestWithParam<FormatCase> {};

TEST_P(FormatHistoryTable, OneTabSeparatedLine) {
    EXPECT_EQ(FormatHistoryRecord(GetParam().record), GetParam().line);
}

const DateTime kAt = DateTime::fromParts(2026, 12, 10, 9, 5, 7);

INSTANTIATE_TEST_SUITE_P(
    Cases, FormatHistoryTable,
    testing::Values(FormatCase{"Done",
                               {kAt, "关机", "", "倒计时600秒", HistoryOutcome::Done, ""},
                               "2026-12-10 09:05:07\t关机\t-\t倒计时600秒\t完成"},
                    FormatCase{"SnoozedUntil",
                               {kAt, "重启", "", "时段", HistoryOutcome::Snoozed, "09:10"},
                               "2026-12-10 09:05:07\t重启\t-\t时段\t推迟至 09:10"},
                    FormatCase{"FailedWithReason",
                               {kAt, "睡眠", "", "每天", HistoryOutcome::Failed, "系统不支持睡眠！"},
                               "2026-12-10 09:05:07\t睡眠\t-\t每天\t失败：系统不支持睡眠！"},
                    FormatCase{"DryRun",
                               {kAt, "结束", "calc.exe", "闲置60秒", HistoryOutcome::DryRun, ""},
                               "2026-12-10 09:05:07\t结束\tcalc.exe\t闲置60秒\t试运行（仅打印）"},
                    // A reminder of several lines, or a name with a tab, must not split the record.
                    FormatCase{"LineEndsAndTabsBecomeBlanks",
                               {kAt, "提醒", "开会\r\n带\t材料", "倒计时5秒", HistoryOutcome::Cancelled, ""},
                               "2026-12-10 09:05:07\t提醒\t开会  带 材料\t倒计时5秒\t取消"}),
    [](const testing::TestParamInfo<FormatCase>& info) { return std::string(info.param.name); });

TEST(FormatHistory, LongTargetIsCutOnACharacter) {
    const HistoryRecord r{
        kAt, "提醒", std::string(kHistoryTargetChars - 1, 'a') + "字字字", "", HistoryOutcome::Done, ""};
    const std::string line = FormatHistoryRecord(r);
    EXPECT_NE(line.find(std::string(kHistoryTargetChars - 1, 'a') + "字…\t"), std::string::npos) << line;
}

struct AppendCase {
    const char* name;
    const char* file;
    size_t keep;
    const char* result;
};

class AppendHistoryTable : public testing::TestWithParam<AppendCase> {};

TEST_P(AppendHistoryTable, KeepsTheNewestWholeLines) {
    EXPECT_EQ(AppendHistoryLine(GetParam().file, "new", GetParam().keep), GetParam().result);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, AppendHistoryTable,
    testing::Values(AppendCase{"FirstRecord", "", 3, "new\n"},
                    AppendCase{"UnderTheBound", "a\nb\n", 3, "a\nb\nnew\n"},
                    AppendCase{"AtTheBoundTheOldestGoes", "a\nb\nc\n", 3, "b\nc\nnew\n"},
                    AppendCase{"FarOverTheBound", "a\nb\nc\nd\ne\n", 2, "e\nnew\n"},
                    // A record without its line end (written by hand, or torn) stays a record of its own.
                    AppendCase{"UnendedLastLine", "a\nb", 3, "a\nb\nnew\n"},
                    AppendCase{"WindowsLineEndsAndBlankLines", "a\r\n\r\nb\r\n", 3, "a\nb\nnew\n"}),
    [](const testing::TestParamInfo<AppendCase>& info) { return std::string(info.param.name); });

TEST(AppendHistory, BoundedToAThousandByDefault) {
    std::string file;
    for (int i = 0; i < 1005; ++i) {
        file = AppendHistoryLine(file, "r" + std::to_string(i));
    }
    const std::vector<std::string> all = LastHistoryRecords(file, 5000);
    ASSERT_EQ(all.size(), kHistoryKeep);
    EXPECT_EQ(all.front(), "r5");
    EXPECT_EQ(all.back(), "r1004");
}

TEST(LastHistoryRecords, NewestLastAndNoMoreThanThereAre) {
    EXPECT_EQ(LastHistoryRecords("a\nb\nc\n", 2), (std::vector<std::string>{"b", "c"}));
    EXPECT_EQ(LastHistoryRecords("a\nb", 10), (std::vector<std::string>{"a", "b"}));
    EXPECT_TRUE(LastHistoryRecords("", 10).empty());
    EXPECT_TRUE(LastHistoryRecords("a\n", 0).empty());
}

} // namespace
} // namespace vantor
