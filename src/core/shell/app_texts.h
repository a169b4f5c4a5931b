// Captions and tool tips built from the program's version (file version 1.2.0.3 -> 1.2.3).
#pragma once

#include <string>

namespace vantor {

// The name of the program's menu entry, icon and metainfo (org.vantor.Vantor.desktop and so on).
inline constexpr const char* kAppId = "org.vantor.Vantor";

std::string VersionText();       // "1.2.3"
std::string MainWindowCaption(); // "VantorV1.2.3"
std::string SplashCaption();     // "Vantor版本 1.2.3"
std::string TipsCaption();       // "Vantor温馨提示"

// Added to the window titles and the notification icon's tip in a dry run, whose actions are only
// printed.
inline constexpr const char* kDryRunMark = "（演练）";

// Tool tip of the notification icon: "Vantor(V1.2.3)-“关机”任务执行中..." while a task runs,
// "Vantor(V1.2.3)-无任务" otherwise.
std::string TrayTipText(bool running, const std::string& operationItem);
// The tip while the warning of a task is postponed: "Vantor(V1.2.3)-“关机”已推迟至 12:35".
std::string SnoozedTrayTipText(const std::string& operationItem, const std::string& snoozedUntilText);

// Exit question "是否退出Vantor?".
std::string ExitQuestion();

} // namespace vantor
