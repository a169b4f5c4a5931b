#include "core/shell/app_texts.h"

#include "core/common/message.h"

namespace vantor {

std::string VersionText() {
    return std::to_string(VANTOR_VERSION_MAJOR) + "." + std::to_string(VANTOR_VERSION_MINOR) + "." +
           std::to_string(VANTOR_VERSION_REVISION);
}

std::string MainWindowCaption() {
    return std::string(kAppTitle) + "V" + VersionText();
}

std::string SplashCaption() {
    return std::string(kAppTitle) + "版本 " + VersionText();
}

std::string TipsCaption() {
    return std::string(kAppTitle) + "温馨提示";
}

std::string TrayTipText(bool running, const std::string& operationItem) {
    const std::string head = std::string(kAppTitle) + "(V" + VersionText() + ")-";
    return running ? head + "“" + operationItem + "”任务执行中..." : head + "无任务";
}

std::string SnoozedTrayTipText(const std::string& operationItem, const std::string& snoozedUntilText) {
    return std::string(kAppTitle) + "(V" + VersionText() + ")-“" + operationItem + "”" + snoozedUntilText;
}

std::string ExitQuestion() {
    return std::string("是否退出") + kAppTitle + "?";
}

} // namespace vantor
