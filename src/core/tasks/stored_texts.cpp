#include "core/tasks/stored_texts.h"

#include <string>
#include <string_view>

namespace vantor {

namespace {

// A text of the editor, the box that holds it, its name in messages and what it may not contain.
struct StoredText {
    const std::string& text;
    EditorControl box;
    const char* name;
    std::string_view forbidden;
};

std::optional<CheckFailure> Refusal(const StoredText& t) {
    const size_t at = t.text.find_first_of(t.forbidden);
    if (at == std::string::npos) {
        return std::nullopt;
    }
    const char c = t.text[at];
    const std::string what =
        c == '\r' || c == '\n' ? std::string("不能包含换行。") : std::string("不能包含字符“") + c + "”。";
    return CheckFailure{Message{t.name + what, kNoticeTitle, MessageIcon::Warning}, t.box};
}

} // namespace

std::optional<CheckFailure> UnstorableText(const EditorValues& v) {
    // Every mode stores the countdown text among the parameters; the traffic texts go into the condition
    // column while that condition is on; the reminder text, path or process name is the last parameter,
    // and a "," there was cut off by the loader of earlier versions.
    static const std::string kNotStored;
    const StoredText texts[] = {
        {v.countdownText, EditorControl::txt_ttime, "倒计时秒数", ",;\r\n"},
        {v.netOn ? v.netRate : kNotStored, EditorControl::txt_netdata, "网络流量标准", ";\r\n"},
        {v.netOn ? v.netHoldSeconds : kNotStored, EditorControl::txt_net_time, "网络持续时间", ";\r\n"},
        {v.tips, EditorControl::txt_tips, "提醒内容、程序路径或进程名称", ",;\r\n"},
    };
    for (const StoredText& t : texts) {
        if (auto refusal = Refusal(t)) {
            return refusal;
        }
    }
    return std::nullopt;
}

} // namespace vantor
