// The condition side of the task editor: the condition area, the time, idle and traffic groups, and the
// rules of their entry boxes.
#include "ui/common/message_boxes.h"
#include "ui/editor/task_editor_impl.h"

#include <QCheckBox>
#include <QComboBox>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>

namespace vantor::ui {

void TaskEditor::Impl::buildConditionArea() {
    frmCondition = MakeFrame(&q, "Frm_condition", "条件设置", 120, 120, 5295, 615);
    chkTime = MakeCheck(frmCondition, "Chk_time", "时间", 120, 260, 720, 270);
    chkSysfree = MakeCheck(frmCondition, "Chk_sysfree", "系统闲置", 900, 260, 1080, 270);
    chkNet = MakeCheck(frmCondition, "Chk_net", "网络流量", 2040, 260, 1080, 270);
    combOper = MakeList(frmCondition, "Comb_oper", "操作方式", kOperationItems.data(),
                        static_cast<int>(kOperationItems.size()), 3180, kRowTop, 900, kRowHeight);
    chkFullscr = MakeCheck(frmCondition, "chk_fullscr", "全屏暂停", 4140, 260, 1080, 270);
    // Where no foreground window can be known (Wayland but for compositors that tell) the pause can never
    // hold: say so and grey the box out, not pretend. A loaded task keeps its tick all the same.
    const bool knowable = ctx.platform.CanKnowForegroundWindow();
    chkFullscr->setToolTip(
        knowable ? QStringLiteral("全屏状态时任务暂停")
                 : QStringLiteral("全屏状态时任务暂停（此桌面无法得知前台窗口，本项不起作用）"));
    chkFullscr->setEnabled(knowable);
}

void TaskEditor::Impl::buildTimeFrame() {
    fraTime = MakeFrame(&q, "Fra_time", "时间设定", 120, 800, 5895, 615);
    combTime = MakeList(fraTime, "Comb_time", "时间设定模式", kTimeModeItems.data(),
                        static_cast<int>(kTimeModeItems.size()), 120, kRowTop, 1080, kRowHeight);
    txtTtime =
        MakeBox(fraTime, "txt_ttime", "倒计时秒数", kCountdownMaxLength, 1320, kRowTop, 2070, kRowHeight);
    // The week list lies on the window itself; made here so it comes between the mode and the pickers in
    // the tab order.
    buildWeekList();
    buildPickers();
    labSymbol = MakeLabel(fraTime, "Lab_symbol", "秒", 3480, kLabelTop, 2200, kLabelHeight);
    fraTime->setEnabled(false);
}

void TaskEditor::Impl::buildIdleFrame() {
    fraOper = MakeFrame(&q, "Fra_oper", "系统闲置设定", 120, 1500, 5895, 615);
    MakeLabel(fraOper, "Lab_time", "闲置", 120, kLabelTop, 450, kLabelHeight);
    txtDay = MakeBox(fraOper, "txt_day", "闲置天数", kIdleDaysMaxLength, 600, kRowTop, 735, kRowHeight);
    // "天" fills its cell: it stands clear of the box on each side, and the boxes after it follow.
    MakeLabel(fraOper, "Label5", "天", 1395, kLabelTop, 180, kLabelHeight);
    txtHour = MakeBox(fraOper, "txt_hour", "闲置小时数", kIdlePartMaxLength, 1620, kRowTop, 375, kRowHeight);
    MakeLabel(fraOper, "Label6", "时", 2100, kLabelTop, 240, kLabelHeight);
    txtMini = MakeBox(fraOper, "txt_mini", "闲置分钟数", kIdlePartMaxLength, 2340, kRowTop, 375, kRowHeight);
    MakeLabel(fraOper, "Label7", "分", 2820, kLabelTop, 240, kLabelHeight);
    txtSecond =
        MakeBox(fraOper, "txt_second", "闲置秒数", kIdlePartMaxLength, 3060, kRowTop, 375, kRowHeight);
    label8 = MakeLabel(fraOper, "Label8", "秒", 3540, kLabelTop, 2235, kLabelHeight);
    fraOper->setEnabled(false);
}

void TaskEditor::Impl::buildNetFrame() {
    fraNet = MakeFrame(&q, "Fra_net", "网络流量设定", 120, 2200, 5895, 615);
    combUpdown = MakeList(fraNet, "Comb_updown", "网络模式", kDirectionItems.data(),
                          static_cast<int>(kDirectionItems.size()), 120, kRowTop, 810, kRowHeight);
    combNetcompare = MakeList(fraNet, "Comb_netcompare", "网络流量比较方式", kCompareItems.data(),
                              static_cast<int>(kCompareItems.size()), 990, kRowTop, 1200, kRowHeight);
    txtNetdata = MakeBox(fraNet, "txt_netdata", "网络流量标准(KB/秒)", 0, 2250, kRowTop, 900, kRowHeight);
    MakeLabel(fraNet, "Label3", "KB/秒，持续", 3210, kLabelTop, 1170, kLabelHeight);
    txtNetTime = MakeBox(fraNet, "txt_net_time", "网络持续秒数", 0, 4440, kRowTop, 720, kRowHeight);
    MakeLabel(fraNet, "Label9", "秒", 5220, kLabelTop, 300, kLabelHeight);
    fraNet->setEnabled(false);
}

void TaskEditor::Impl::connectConditionSide() {
    // A check state set by code enables or disables its frame just as a click does; values stay.
    connect(chkTime, &QCheckBox::toggled, this, [this](bool on) { fraTime->setEnabled(on); });
    connect(chkSysfree, &QCheckBox::toggled, this, [this](bool on) { fraOper->setEnabled(on); });
    connect(chkNet, &QCheckBox::toggled, this, [this](bool on) { fraNet->setEnabled(on); });

    OnListClick(combTime, this, [this](int index) { combTimeClick(index); });
    OnListClick(combUpdown, this, [this](int) { combNetcompare->setCurrentIndex(0); });

    connect(txtTtime, &QLineEdit::textChanged, this, [this](const QString& text) {
        if (std::optional<std::string> caption = CountdownLabel(S(text), !txtTtime->isHidden())) {
            labSymbol->setText(Q(*caption));
        }
    });
    for (QLineEdit* box : {txtDay, txtHour, txtMini, txtSecond}) {
        connect(box, &QLineEdit::textChanged, this, [this] { refreshIdleTotal(); });
    }

    gate->guard(txtTtime, [this] { return validateCountdown(); });
    gate->guard(txtDay, [this] { return validateIdlePart(txtDay, 0); });
    gate->guard(txtHour, [this] { return validateIdlePart(txtHour, 23); });
    gate->guard(txtMini, [this] { return validateIdlePart(txtMini, 59); });
    gate->guard(txtSecond, [this] { return validateIdlePart(txtSecond, 59); });
    gate->guard(txtNetdata, [this] { return refusal(ValidateNetRate(S(txtNetdata->text())), txtNetdata); });
    gate->guard(txtNetTime, [this] { return refusal(ValidateNetHold(S(txtNetTime->text())), txtNetTime); });
}

LeaveVerdict TaskEditor::Impl::refusal(const BoxVerdict& verdict, QLineEdit* box) {
    if (verdict.accepted) {
        return {};
    }
    LeaveVerdict leave;
    leave.accepted = false;
    const std::optional<Message> message = verdict.message;
    const bool clear = verdict.clearText;
    leave.report = [this, message, clear, box] {
        if (message) {
            MessageBoxes::inform(&q, *message);
        }
        if (clear) {
            box->clear();
        }
    };
    return leave;
}

LeaveVerdict TaskEditor::Impl::validateCountdown() {
    std::optional<std::string> caption;
    const BoxVerdict verdict = ValidateCountdown(S(txtTtime->text()), caption);
    if (verdict.accepted) {
        if (caption) {
            labSymbol->setText(Q(*caption));
        }
        return {};
    }
    LeaveVerdict leave = refusal(verdict, txtTtime);
    // The caption follows the message, as for every numeric text.
    leave.report = [this, report = leave.report, caption] {
        report();
        if (caption) {
            labSymbol->setText(Q(*caption));
        }
    };
    return leave;
}

LeaveVerdict TaskEditor::Impl::validateIdlePart(QLineEdit* box, int n) {
    const std::string text = S(box->text());
    const BoxVerdict verdict = TimeSet(text, n);
    if (verdict.accepted && !text.empty()) {
        refreshIdleTotal();
    }
    return refusal(verdict, box);
}

void TaskEditor::Impl::refreshIdleTotal() {
    label8->setText(
        Q(IdleTotalLabel(S(txtDay->text()), S(txtHour->text()), S(txtMini->text()), S(txtSecond->text()))));
}

} // namespace vantor::ui
