#include "core/shell/app_texts.h"

#include <gtest/gtest.h>

namespace vantor {
namespace {

// The build stamps version 1.2.3 into the core; these texts are what users see and must not drift.
TEST(AppTextsTest, CaptionsCarryTheVersion) {
    ASSERT_EQ(VersionText(), "1.2.3");
    EXPECT_EQ(MainWindowCaption(), "VantorV1.2.3");
    EXPECT_EQ(SplashCaption(), "Vantor版本 1.2.3");
    EXPECT_EQ(TipsCaption(), "Vantor温馨提示");
    EXPECT_EQ(ExitQuestion(), "是否退出Vantor?");
}

TEST(AppTextsTest, TrayTipTellsWhetherATaskRuns) {
    EXPECT_EQ(TrayTipText(true, "关机"), "Vantor(V1.2.3)-“关机”任务执行中...");
    EXPECT_EQ(TrayTipText(false, "关机"), "Vantor(V1.2.3)-无任务");
    EXPECT_EQ(TrayTipText(true, ""), "Vantor(V1.2.3)-“”任务执行中...");
}

} // namespace
} // namespace vantor
