// The task editor of the main window: builds the two sides, reads and loads the task, checks it and shows
// the running appearance.
#include "ui/editor/task_editor.h"

#include "core/common/numbers.h"
#include "core/common/text.h"
#include "core/tasks/stored_texts.h"
#include "core/tasks/system_operation.h"
#include "ui/common/message_boxes.h"
#include "ui/common/twips.h"
#include "ui/editor/task_editor_impl.h"

#include <QCheckBox>
#include <QComboBox>
#include <QDateTimeEdit>
#include <QDir>
#include <QEvent>
#include <QFocusEvent>
#include <QGroupBox>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>

#include <cmath>

namespace vantor::ui {

namespace {

// A stored check state ("0"/"1", or True/False from a hand-edited file); anything else leaves it alone.
void LoadCheck(QCheckBox* check, const std::vector<std::string>& p, int at) {
    if (at >= static_cast<int>(p.size())) {
        return;
    }
    if (std::optional<bool> on = ParseStoredBool(p[static_cast<size_t>(at)])) {
        check->setChecked(*on);
    }
}

// A stored list index: -1 (no selection) up to the last item; anything else leaves the list alone.
void LoadIndex(QComboBox* list, const std::vector<std::string>& p, int at) {
    if (at >= static_cast<int>(p.size())) {
        return;
    }
    const std::optional<double> value = NumericTextValue(p[static_cast<size_t>(at)]);
    if (!value || *value != std::floor(*value) || *value < -1 || *value >= list->count()) {
        return;
    }
    list->setCurrentIndex(static_cast<int>(*value));
}

void LoadText(QLineEdit* box, const std::vector<std::string>& p, int at) {
    if (at < static_cast<int>(p.size())) {
        SetBoxText(box, p[static_cast<size_t>(at)]);
    }
}

bool IsEnter(const QEvent* event) {
    if (event->type() != QEvent::KeyPress) {
        return false;
    }
    const auto* key = static_cast<const QKeyEvent*>(event);
    return key->key() == Qt::Key_Return || key->key() == Qt::Key_Enter;
}

} // namespace

TaskEditor::Impl::Impl(TaskEditor& owner, AppContext& context) : q(owner), ctx(context) {
    gate = new FocusGate(this);
    // Created in the order of the window design, which is also the tab order.
    buildConditionArea();
    buildTimeFrame();
    buildIdleFrame();
    buildNetFrame();
    buildOperationSide();
    connectConditionSide();
    listWeek->raise();
}

QWidget* TaskEditor::Impl::control(EditorControl c) const {
    switch (c) {
    case EditorControl::Chk_time:
        return chkTime;
    case EditorControl::Comb_oper:
        return combOper;
    case EditorControl::Comb_time:
        return combTime;
    case EditorControl::DTPk_start:
        return dtpkStart;
    case EditorControl::DTPk_end:
        return dtpkEnd;
    case EditorControl::txt_ttime:
        return txtTtime;
    case EditorControl::List_week:
        return listWeek;
    case EditorControl::txt_day:
        return txtDay;
    case EditorControl::txt_hour:
        return txtHour;
    case EditorControl::txt_mini:
        return txtMini;
    case EditorControl::txt_second:
        return txtSecond;
    case EditorControl::Comb_updown:
        return combUpdown;
    case EditorControl::Comb_netcompare:
        return combNetcompare;
    case EditorControl::txt_netdata:
        return txtNetdata;
    case EditorControl::txt_net_time:
        return txtNetTime;
    case EditorControl::txt_tips:
        return txtTips;
    case EditorControl::None:
        break;
    }
    return nullptr;
}

bool TaskEditor::Impl::eventFilter(QObject* watched, QEvent* event) {
    const bool inPicker =
        watched == dtpkStart || watched == dtpkEnd ||
        (watched->parent() != nullptr && (watched->parent() == dtpkStart || watched->parent() == dtpkEnd));
    if (inPicker && IsEnter(event)) {
        // Enter moves on like Tab (Tab itself steps through the picker's fields).
        q.focusNextChild();
        return true;
    }
    if (watched == listWeek) {
        if (event->type() == QEvent::FocusIn) {
            openWeekList();
        } else if (event->type() == QEvent::FocusOut) {
            const auto reason = static_cast<QFocusEvent*>(event)->reason();
            if (reason != Qt::ActiveWindowFocusReason && reason != Qt::PopupFocusReason) {
                closeWeekList();
            }
        }
    } else if (event->type() == QEvent::MouseButtonDblClick) {
        if (watched == txtTips) {
            txtTipsDblClick();
            return true;
        }
        if (watched == labTips) {
            labTipsDblClick();
            return true;
        }
    }
    return QObject::eventFilter(watched, event);
}

TaskEditor::TaskEditor(AppContext& context, QWidget* parent) : QWidget(parent), impl_(nullptr) {
    setObjectName(QStringLiteral("TaskEditor"));
    // The window puts its own controls right of and below this area.
    resize(Twips(6135), Twips(3250));
    impl_ = new Impl(*this, context);
    for (QDateTimeEdit* picker : {impl_->dtpkStart, impl_->dtpkEnd}) {
        for (QLineEdit* inner : picker->findChildren<QLineEdit*>()) {
            inner->installEventFilter(impl_);
        }
    }
}

TaskEditor::~TaskEditor() {
    delete impl_;
    impl_ = nullptr;
}

EditorValues TaskEditor::values() const {
    const Impl& d = *impl_;
    EditorValues v;
    v.timeOn = d.chkTime->isChecked();
    v.idleOn = d.chkSysfree->isChecked();
    v.netOn = d.chkNet->isChecked();
    v.operation = d.combOper->currentIndex();
    v.fullScreenPause = d.chkFullscr->isChecked();
    v.timeMode = d.combTime->currentIndex();
    v.start = d.pickerValue(d.dtpkStart);
    v.end = d.pickerValue(d.dtpkEnd);
    v.countdownText = S(d.txtTtime->text());
    v.week = d.weekTicks();
    v.idleDays = S(d.txtDay->text());
    v.idleHours = S(d.txtHour->text());
    v.idleMinutes = S(d.txtMini->text());
    v.idleSeconds = S(d.txtSecond->text());
    v.direction = d.combUpdown->currentIndex();
    v.compare = d.combNetcompare->currentIndex();
    v.netRate = S(d.txtNetdata->text());
    v.netHoldSeconds = S(d.txtNetTime->text());
    v.allowMultiple = d.chkMult->isChecked();
    // A program's path is kept with the system's own separators ("\\" on Windows) however it was typed.
    v.tips = S(v.operation == OpRun ? QDir::toNativeSeparators(d.txtTips->text()) : d.txtTips->text());
    return v;
}

void TaskEditor::loadTask(const TaskRecord& row, DateTime start, DateTime end) {
    Impl& d = *impl_;
    std::vector<std::string> p = SplitParams(row.params);
    if (p.size() > static_cast<size_t>(kParamCount)) {
        // A reminder text with commas from an older file: the text is the rest of the line, not cut at
        // its first comma (storing it again is refused with a clear message).
        for (size_t i = kParamCount; i < p.size(); ++i) {
            p[PTipsText] += "," + p[i];
        }
        p.resize(kParamCount);
    }
    // The order matters: each assignment runs its handler as a user's change would.
    LoadCheck(d.chkTime, p, PTimeOn);
    LoadCheck(d.chkSysfree, p, PIdleOn);
    LoadCheck(d.chkNet, p, PNetOn);
    LoadIndex(d.combOper, p, POperation);
    LoadCheck(d.chkFullscr, p, PFullScreenPause);
    LoadIndex(d.combTime, p, PTimeModeIndex);
    d.writePicker(d.dtpkStart, start);
    d.writePicker(d.dtpkEnd, end);
    LoadText(d.txtTtime, p, PCountdownText);
    if (d.chkTime->isChecked() && d.combTime->currentIndex() == ModeWeekly &&
        p.size() > static_cast<size_t>(PWeekMask)) {
        const std::string& mask = p[PWeekMask];
        for (int i = 0; i < 7; ++i) {
            d.setWeekTick(i, static_cast<size_t>(i) < mask.size() && mask[static_cast<size_t>(i)] == '1');
        }
    }
    LoadText(d.txtDay, p, PIdleDays);
    LoadText(d.txtHour, p, PIdleHours);
    LoadText(d.txtMini, p, PIdleMinutes);
    LoadText(d.txtSecond, p, PIdleSeconds);
    LoadIndex(d.combUpdown, p, PNetDirection);
    LoadIndex(d.combNetcompare, p, PNetCompare);
    LoadText(d.txtNetdata, p, PNetRate);
    LoadText(d.txtNetTime, p, PNetHoldSeconds);
    LoadCheck(d.chkMult, p, PAllowMultiple);
    LoadText(d.txtTips, p, PTipsText);
    if (d.combOper->currentIndex() == OpRun) {
        // A file written elsewhere may hold "/": shown, and saved again, as the system writes paths.
        d.txtTips->setText(QDir::toNativeSeparators(d.txtTips->text()));
    }
}

bool TaskEditor::conditionCheck() {
    Impl& d = *impl_;
    const CheckResult result = ConditionCheck(values(), d.ctx.platform.Now());
    // The recomputed times stay even when a later check fails.
    if (result.newStart) {
        d.writePicker(d.dtpkStart, *result.newStart);
    }
    if (result.newEnd) {
        d.writePicker(d.dtpkEnd, *result.newEnd);
    }
    if (result.ok || !result.failure) {
        return result.ok;
    }
    MessageBoxes::inform(this, result.failure->message);
    if (QWidget* target = d.control(result.failure->focus)) {
        d.gate->moveFocusQuietly(target);
    }
    return false;
}

bool TaskEditor::availabilityCheck(bool showNotes) {
    const std::optional<SystemOperation> op = SystemOperationOf(operation());
    if (!op) {
        return true;
    }
    const AvailabilityVerdict verdict = JudgeAvailability(*op, impl_->ctx.platform.CanPerform(*op));
    if (verdict.message && (verdict.refuse || showNotes)) {
        MessageBoxes::inform(this, *verdict.message);
    }
    if (verdict.refuse) {
        impl_->gate->moveFocusQuietly(impl_->control(EditorControl::Comb_oper));
    }
    return !verdict.refuse;
}

bool TaskEditor::storableCheck() {
    const std::optional<CheckFailure> refusal = UnstorableText(values());
    if (!refusal) {
        return true;
    }
    MessageBoxes::inform(this, refusal->message);
    if (QWidget* target = impl_->control(refusal->focus)) {
        impl_->gate->moveFocusQuietly(target);
    }
    return false;
}

void TaskEditor::setPickers(DateTime start, DateTime end) {
    impl_->writePicker(impl_->dtpkStart, start);
    impl_->writePicker(impl_->dtpkEnd, end);
}

void TaskEditor::setStartPicker(DateTime start) {
    impl_->writePicker(impl_->dtpkStart, start);
}

void TaskEditor::setRunning(bool running) {
    Impl& d = *impl_;
    const bool enabled = !running;
    d.listWeek->setEnabled(enabled);
    d.frmCondition->setEnabled(enabled);
    // A group whose condition is off stays disabled either way.
    if (d.chkTime->isChecked()) {
        d.fraTime->setEnabled(enabled);
    }
    if (d.chkSysfree->isChecked()) {
        d.fraOper->setEnabled(enabled);
    }
    if (d.chkNet->isChecked()) {
        d.fraNet->setEnabled(enabled);
    }
    d.txtTips->setEnabled(enabled);
    d.chkMult->setEnabled(enabled);
}

int TaskEditor::operation() const {
    return impl_->combOper->currentIndex();
}

QString TaskEditor::operationText() const {
    return impl_->combOper->currentText();
}

QString TaskEditor::tips() const {
    return impl_->txtTips->text();
}

} // namespace vantor::ui
