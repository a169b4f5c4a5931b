// The operation side of the task editor: the inputs each operation needs, the sleep and hibernate support
// test, the file chooser and the test run of the chosen program.
#include "core/scheduler/run_rules.h"
#include "ui/common/file_dialogs.h"
#include "ui/common/message_boxes.h"
#include "ui/common/twips.h"
#include "ui/editor/task_editor_impl.h"

#include <QCheckBox>
#include <QComboBox>
#include <QDir>
#include <QLabel>
#include <QLineEdit>

#include <algorithm>

namespace vantor::ui {

namespace {
// Lab_tips stands left of txt_tips, which begins at 550 twips.
constexpr int kTipsLabelLeft = 120;
constexpr int kTipsBoxLeft = 550;
constexpr int kTipsBoxWidth = 4575;
} // namespace

void TaskEditor::Impl::buildOperationSide() {
    labTips =
        MakeLabel(&q, "Lab_tips", "提醒", kTipsLabelLeft, 2920, kTipsBoxLeft - kTipsLabelLeft, kLabelHeight);
    labTips->hide();
    labTips->installEventFilter(this);
    txtTips = MakeBox(&q, "txt_tips", "提醒内容、程序路径或进程名称", 0, kTipsBoxLeft, 2880, kTipsBoxWidth,
                      kRowHeight);
    txtTips->hide();
    txtTips->installEventFilter(this);
    labTips->setBuddy(txtTips);
    chkMult = MakeCheck(&q, "Chk_mult", "多开", 5280, 2910, 735, 270);
    chkMult->hide();

    OnListClick(combOper, this, [this](int index) { combOperClick(index); });
    // The box shows its whole text as its tool tip (a long path is cut in the box).
    connect(txtTips, &QLineEdit::textChanged, this,
            [this](const QString& text) { txtTips->setToolTip(text); });
    gate->guard(txtTips, nullptr);
}

void TaskEditor::Impl::combOperClick(int index) {
    const OperationInputs in = InputsForOperation(index);
    chkMult->hide();
    txtTips->setReadOnly(true);
    if (in.fullscrCleared) {
        chkFullscr->setChecked(false);
    }
    chkFullscr->setEnabled(in.fullscrEnabled);
    txtTips->setVisible(in.tipsVisible);
    labTips->setVisible(in.tipsVisible);
    txtTips->setReadOnly(in.tipsReadOnly);
    if (in.tipsText) {
        txtTips->setText(Q(*in.tipsText));
    }
    if (in.labTipsCaption) {
        labTips->setText(Q(*in.labTipsCaption));
        fitTipsLabel();
    }
    if (in.clearTipsUnlessFile && !ctx.platform.IsOrdinaryFile(S(txtTips->text()))) {
        txtTips->clear();
    }
    chkMult->setVisible(in.multVisible);

    // The support tests are asked each time: a system can lose them (a changed power policy).
    if (combOper->currentIndex() == OpSleep && !ctx.platform.CanSuspend()) {
        refuseUnsupported("系统不支持睡眠，无法执行睡眠操作！");
    }
    if (combOper->currentIndex() == OpHibernate && !ctx.platform.CanHibernate()) {
        refuseUnsupported("系统不支持休眠，无法执行休眠操作！");
    }
}

void TaskEditor::Impl::fitTipsLabel() {
    // "提醒：" needs more room than the design leaves left of the box, and fonts that draw the colon in
    // the middle of its cell lost it: the caption keeps the left edge of the other rows and the box
    // begins where the caption ends (its right edge stays).
    const int left = Twips(kTipsLabelLeft);
    const int need = labTips->fontMetrics().horizontalAdvance(labTips->text());
    const int boxLeft = std::max(Twips(kTipsBoxLeft), left + need);
    const int boxRight = Twips(kTipsBoxLeft + kTipsBoxWidth);
    labTips->setGeometry(left, labTips->y(), boxLeft - left, labTips->height());
    txtTips->setGeometry(boxLeft, txtTips->y(), boxRight - boxLeft, txtTips->height());
}

void TaskEditor::Impl::refuseUnsupported(const char* text) {
    MessageBoxes::inform(&q, Message{text, kNoticeTitle, MessageIcon::Information}, true);
    // Each assignment runs this handler again: the reminder inputs first, then no operation at all.
    combOper->setCurrentIndex(OpRemind);
    combOper->setCurrentIndex(OpNone);
}

void TaskEditor::Impl::txtTipsDblClick() {
    if (combOper->currentIndex() != OpRun) {
        return;
    }
    if (chooserFolder.isEmpty()) {
        chooserFolder = ctx.programFolder;
    }
    const std::optional<QString> path = FileDialogs::openFile(&q, QStringLiteral("请选择文件路径"),
                                                              chooserFolder, QStringLiteral("所有文件(*.*)"));
    if (!path) {
        return;
    }
    // The dialog answers with "/"; a Windows user reads and the task file keeps "\\".
    txtTips->setText(QDir::toNativeSeparators(*path));
    chkMult->show();
    MessageBoxes::inform(&q, Message{"双击文字“路径”可以测试能否成功运行。", kAppTitle, MessageIcon::None});
}

void TaskEditor::Impl::labTipsDblClick() {
    const std::string path = S(txtTips->text());
    if (path.empty() || combOper->currentIndex() != OpRun) {
        return;
    }
    Platform& p = ctx.platform;
    // The tick's rule: a program that runs is not started a second time without "多开".
    const bool program = p.IsProgramFile(path);
    const bool multiple = chkMult->isChecked();
    if (!ShouldStartProgram(program, multiple, program && !multiple && p.IsProgramInUse(path),
                            !program && p.IsOrdinaryFile(path))) {
        return;
    }
    // A failed start is not reported: the test run shows nothing either way.
    p.StartProgram(path);
}

} // namespace vantor::ui
