#include "core/tasks/stored_texts.h"

#include <gtest/gtest.h>

#include <string>

namespace vantor {
namespace {

// A weekly reminder with a traffic condition: every text that goes into the line as typed is in use.
EditorValues Reminder() {
    EditorValues v;
    v.timeOn = true;
    v.timeMode = ModeWeekly;
    v.week[0] = true;
    v.netOn = true;
    v.direction = 0;
    v.compare = 0;
    v.netRate = "10";
    v.netHoldSeconds = "30";
    v.operation = OpRemind;
    v.tips = "提醒时间到!";
    return v;
}

struct StoreCase {
    const char* name;
    void (*change)(EditorValues&);
    std::string refusal; // empty: the task can be stored
    EditorControl focus = EditorControl::None;
};

class UnstorableTextTest : public testing::TestWithParam<StoreCase> {};

TEST_P(UnstorableTextTest, NamesTheBoxAndTheCharacterThatWouldBreakTheLine) {
    EditorValues v = Reminder();
    GetParam().change(v);
    const std::optional<CheckFailure> refusal = UnstorableText(v);
    if (GetParam().refusal.empty()) {
        EXPECT_FALSE(refusal.has_value()) << refusal->message.text;
        return;
    }
    ASSERT_TRUE(refusal.has_value());
    EXPECT_EQ(refusal->message, (Message{GetParam().refusal, "提示", MessageIcon::Warning}));
    EXPECT_EQ(refusal->focus, GetParam().focus);
}

INSTANTIATE_TEST_SUITE_P(
    Texts, UnstorableTextTest,
    testing::Values(
        StoreCase{"Storable", [](EditorValues&) {}, ""},
        StoreCase{"FullWidthPunctuationIsStoredFine", [](EditorValues& v) { v.tips = "，；"; }, ""},
        // The countdown text is stored in every time mode, not only while the countdown is chosen.
        StoreCase{"DigitGroupsInTheCountdownOfAWeeklyTask",
                  [](EditorValues& v) { v.countdownText = "1,000"; }, "倒计时秒数不能包含字符“,”。",
                  EditorControl::txt_ttime},
        StoreCase{"SemicolonInTheCountdown", [](EditorValues& v) { v.countdownText = "1;"; },
                  "倒计时秒数不能包含字符“;”。", EditorControl::txt_ttime},
        StoreCase{"LineBreakInTheCountdown", [](EditorValues& v) { v.countdownText = "1\n"; },
                  "倒计时秒数不能包含换行。", EditorControl::txt_ttime},
        StoreCase{"SemicolonInTheRate", [](EditorValues& v) { v.netRate = "1;0"; },
                  "网络流量标准不能包含字符“;”。", EditorControl::txt_netdata},
        StoreCase{"LineBreakInTheHoldTime", [](EditorValues& v) { v.netHoldSeconds = "3\r0"; },
                  "网络持续时间不能包含换行。", EditorControl::txt_net_time},
        // The traffic texts go into the line only while their condition is on.
        StoreCase{"SemicolonInTheRateOfAnUnusedCondition",
                  [](EditorValues& v) {
                      v.netOn = false;
                      v.netRate = "1;0";
                  },
                  ""},
        StoreCase{"CommaInTheReminder", [](EditorValues& v) { v.tips = "喝水,休息"; },
                  "提醒内容、程序路径或进程名称不能包含字符“,”。", EditorControl::txt_tips},
        StoreCase{"FirstOffenderNamed", [](EditorValues& v) { v.tips = "a;b,c"; },
                  "提醒内容、程序路径或进程名称不能包含字符“;”。", EditorControl::txt_tips},
        StoreCase{"LineBreakInTheReminder", [](EditorValues& v) { v.tips = "a\r\nb"; },
                  "提醒内容、程序路径或进程名称不能包含换行。", EditorControl::txt_tips},
        // Hidden for this operation, but still written into the line.
        StoreCase{"SemicolonInTheTipsOfAShutDown",
                  [](EditorValues& v) {
                      v.operation = OpShutdown;
                      v.tips = "a;b";
                  },
                  "提醒内容、程序路径或进程名称不能包含字符“;”。", EditorControl::txt_tips}),
    [](const testing::TestParamInfo<StoreCase>& info) { return std::string(info.param.name); });

} // namespace
} // namespace vantor
