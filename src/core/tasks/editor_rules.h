// The input rules of the editor's entry boxes and the texts of their labels.
#pragma once

#include "core/common/datetime.h"
#include "core/common/message.h"
#include "core/tasks/task_record.h"

#include <optional>
#include <string>

namespace vantor {

// Result of a focus-leave check: accepted, or refused with a message (the focus stays) and possibly
// the text cleared.
struct BoxVerdict {
    bool accepted = true;
    std::optional<Message> message;
    bool clearText = false;
    friend bool operator==(const BoxVerdict&, const BoxVerdict&) = default;
};

// Longest texts of the boxes (0 = unlimited).
inline constexpr int kCountdownMaxLength = 9;
inline constexpr int kIdleDaysMaxLength = 7;
inline constexpr int kIdlePartMaxLength = 2;

// Lab_symbol caption after a change of txt_ttime: "秒", "秒(1时1分1秒)", or nullopt to leave it unchanged
// (always while the box is hidden: the label then separates the two pickers).
std::optional<std::string> CountdownLabel(const std::string& text, bool countdownBoxVisible);

// txt_ttime focus-leave check; `label` receives the caption to show afterwards when the text was numeric.
BoxVerdict ValidateCountdown(const std::string& text, std::optional<std::string>& label);

// timeset: one idle part with its upper bound n (0 = none).
BoxVerdict TimeSet(const std::string& text, int n);

// Label8 caption: "秒，共90,061秒".
std::string IdleTotalLabel(const std::string& days, const std::string& hours, const std::string& minutes,
                           const std::string& seconds);

BoxVerdict ValidateNetRate(const std::string& text); // txt_netdata
BoxVerdict ValidateNetHold(const std::string& text); // txt_net_time

// DTPk_end changed by the user: the new end (moved to start when it lies before it).
DateTime CoupleEndChange(DateTime start, DateTime end);

// DTPk_start changed by the user in window or weekly mode: the new end.
DateTime CoupleStartChange(const EditorValues& v);

// What the operation side shows for an operation index (Comb_oper_Click without the support test).
struct OperationInputs {
    bool multVisible = false; // Chk_mult
    bool tipsVisible = false; // txt_tips and Lab_tips
    bool tipsReadOnly = true;
    bool fullscrEnabled = true;          // chk_fullscr
    bool fullscrCleared = false;         // chk_fullscr unchecked
    std::optional<std::string> tipsText; // new text (preset), when set
    bool clearTipsUnlessFile = false;    // run program: clear a text that names no existing file
    std::optional<std::string> labTipsCaption;
};
OperationInputs InputsForOperation(int index);

// Extension rule of the run-program operation: the part after the last "." (the whole text without one),
// compared with "exe" exactly.
bool HasExactExeExtension(const std::string& path);

} // namespace vantor
