// What the user is told about a system operation: the check's verdict on the system's answer, and the
// warning's lines for the inhibitors that concern the operation.
#include "core/tasks/system_operation.h"

#include <gtest/gtest.h>

namespace vantor {
namespace {

using A = Availability::Answer;

struct VerdictCase {
    SystemOperation op;
    A answer;
    const char* reason;
    bool refuse;
    const char* text; // "" when nothing is shown
    MessageIcon icon;
};

class Verdicts : public ::testing::TestWithParam<VerdictCase> {};

TEST_P(Verdicts, RefuseOnlyWhatCannotBeDoneAndSayWhy) {
    const VerdictCase& c = GetParam();
    const AvailabilityVerdict v = JudgeAvailability(c.op, Availability{c.answer, c.reason});
    EXPECT_EQ(v.refuse, c.refuse);
    if (std::string(c.text).empty()) {
        EXPECT_FALSE(v.message);
    } else {
        ASSERT_TRUE(v.message);
        EXPECT_EQ(*v.message, (Message{c.text, kNoticeTitle, c.icon}));
    }
}

INSTANTIATE_TEST_SUITE_P(
    Answers, Verdicts,
    ::testing::Values(VerdictCase{SystemOperation::PowerOff, A::Yes, "", false, "", MessageIcon::None},
                      VerdictCase{SystemOperation::Hibernate, A::NotAvailable, "", true,
                                  "无法休眠：系统不支持这项操作", MessageIcon::Warning},
                      VerdictCase{SystemOperation::Lock, A::NotAvailable, "没有找到锁屏程序", true,
                                  "无法锁定：没有找到锁屏程序", MessageIcon::Warning},
                      VerdictCase{SystemOperation::Reboot, A::Challenge, "", false,
                                  "执行重启时系统将要求输入密码。", MessageIcon::Information},
                      VerdictCase{SystemOperation::LogOff, A::No, "", false,
                                  "到时可能无法注销：当前用户没有这项权限", MessageIcon::Warning}));

TEST(Inhibitors, OnlyThoseOfTheOperationsKindAreNamedAndOnlyABlockBlocks) {
    const std::vector<Inhibitor> held{
        {"shutdown", "", "", "block"},                 // no name, no reason given
        {"idle:sleep", "播放器", "正在播放", "delay"}, // a delay of sleep
        {"handle-lid-switch", "桌面", "合盖不睡眠", "block"},
        {"shutdowns", "假冒", "不是这一类", "block"}, // kinds match whole, not by their beginning
    };
    EXPECT_EQ(InhibitorLines(SystemOperation::Reboot, held),
              std::vector<std::string>{"注意：某个程序 正在阻止重启"});
    EXPECT_EQ(InhibitorLines(SystemOperation::Hibernate, held),
              std::vector<std::string>{"注意：播放器 正在推迟休眠（正在播放）"});
    EXPECT_TRUE(InhibitorLines(SystemOperation::LogOff, held).empty());
    EXPECT_TRUE(InhibitorLines(SystemOperation::Lock, held).empty());
    EXPECT_TRUE(BlockedByInhibitor(SystemOperation::PowerOff, held));
    EXPECT_FALSE(BlockedByInhibitor(SystemOperation::Suspend, held));
}

} // namespace
} // namespace vantor
