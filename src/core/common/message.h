// A message box the core asks the shell to show: text, title and icon.
#pragma once

#include <string>

namespace vantor {

enum class MessageIcon { None, Information, Warning, Question };

inline constexpr const char* kAppTitle = "Vantor";
inline constexpr const char* kNoticeTitle = "提示";
inline constexpr const char* kInputHintTitle = "输入提示";

struct Message {
    std::string text;
    std::string title = kNoticeTitle;
    MessageIcon icon = MessageIcon::Information;

    friend bool operator==(const Message&, const Message&) = default;
};

} // namespace vantor
