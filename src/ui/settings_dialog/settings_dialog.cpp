#include "ui/settings_dialog/settings_dialog.h"

#include "core/common/message.h"
#include "core/shell/data_folder.h"
#include "core/shell/ini.h"
#include "ui/common/message_boxes.h"
#include "ui/common/window_band.h"
#include "ui/splash_window/splash_window.h"

#include <QCheckBox>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QPointer>
#include <QPushButton>
#include <QVBoxLayout>

#include <optional>
#include <string>
#include <string_view>

namespace vantor::ui {

namespace {

SettingsDialog* g_instance = nullptr;

constexpr const char* kLoadKey = "Load";
constexpr const char* kTrayKey = "Tray";
constexpr const char* kWorkKey = "Work";
constexpr const char* kAttrayKey = "Attray";

constexpr const char* kUserOnlyText = "开机启动只对当前用户有效！";
constexpr const char* kRegisterFailedText = "设定开机时启动失败，请检查用户权限！";
constexpr const char* kIniFailedText = "设置无法写入Setting.ini，请检查程序文件夹的写入权限！";
constexpr const char* kEntryLeftText = "开机时启动未能取消，程序仍会随开机启动。以下启动项未能删除：";
constexpr const char* kEntryLeftHint = "请用有权限的帐户删除它。";

// A grey (partially checked) box comes from a hand-edited value such as 2, which the rest of the program
// reads as on; saving keeps that meaning, so the file again holds only "0" and "1".
bool IsOn(const QCheckBox* box) {
    return box->checkState() != Qt::Unchecked;
}

void ShowState(QCheckBox* box, std::optional<int> state) {
    const int value = state.value_or(0);
    if (value == 2) {
        box->setTristate(true);
        box->setCheckState(Qt::PartiallyChecked);
        return;
    }
    box->setTristate(false);
    box->setCheckState(value == 1 ? Qt::Checked : Qt::Unchecked);
}

QCheckBox* MakeCheckBox(const char* name, const char* caption, QWidget* parent) {
    auto* box = new QCheckBox(QString::fromUtf8(caption), parent);
    box->setObjectName(QString::fromUtf8(name));
    box->setAccessibleName(box->text());
    // The grey state is only ever shown for a loaded value; a click leaves it for good.
    QObject::connect(box, &QCheckBox::clicked, box, [box] { box->setTristate(false); });
    return box;
}

QPushButton* MakeButton(const char* name, const char* caption, QWidget* parent) {
    auto* button = new QPushButton(QString::fromUtf8(caption), parent);
    button->setObjectName(QString::fromUtf8(name));
    button->setAccessibleName(button->text());
    // Enter in a check box must not save behind the user's back.
    button->setAutoDefault(false);
    return button;
}

} // namespace

class SettingsDialog::Impl {
public:
    Impl(AppContext& c, QWidget* main) : context(c), mainWindow(main) {}

    AppContext& context;
    QPointer<QWidget> mainWindow;
    bool mainWasTopmost = false; // the main window's band before the dialog opened, restored at close
    QGroupBox* frame1 = nullptr;
    QCheckBox* chckAutorun = nullptr;
    QCheckBox* chckTray = nullptr;
    QCheckBox* chckWork = nullptr;
    QCheckBox* chckAttray = nullptr;
    QPushButton* cmdSave = nullptr;
    QPushButton* cmdPay = nullptr;

    // Why the last key could not be written, for the message after the save.
    WriteFailure iniFailure = WriteFailure::None;

    std::string iniPath() const { return context.settingsFile(); }

    std::optional<int> readState(const char* key) const {
        if (context.dryRun && context.dryRunLoad && std::string_view(key) == kLoadKey) {
            return context.dryRunLoad;
        }
        return IniCheckState(ReadIniValue(kSettingsSection, key, iniPath(), context.legacyDecoder()));
    }

    // Form_Load: the four keys in the order Load, Tray, Work, Attray; the autostart entry itself is not
    // consulted, so the Load box shows what was last saved.
    void load() {
        ShowState(chckAutorun, readState(kLoadKey));
        ShowState(chckTray, readState(kTrayKey));
        ShowState(chckWork, readState(kWorkKey));
        ShowState(chckAttray, readState(kAttrayKey));
    }

    // Writes the box's state and shows the box as it now stands in the file.
    bool writeState(const char* key, QCheckBox* box) {
        const bool on = IsOn(box);
        WriteFailure why = WriteFailure::None;
        if (context.dryRun && std::string_view(key) == kLoadKey) {
            context.dryRunLoad = on ? 1 : 0;
            ShowState(box, *context.dryRunLoad);
            return true;
        }
        const bool ok =
            WriteIniValue(kSettingsSection, key, on ? "1" : "0", iniPath(), context.textCodec(), &why);
        if (!ok) {
            iniFailure = why;
        }
        ShowState(box, on ? 1 : 0);
        return ok;
    }

    // An entry counts as made only when the write succeeded and the entry reads back: an old entry left
    // from before must not pass for a new one the system refused.
    bool registerAutostart(AutostartScope scope, const std::string& program) {
        const bool written = context.platform.WriteAutostart(scope, program).ok;
        const bool readBack = !context.platform.ReadAutostart(scope).empty();
        return written && readBack;
    }

    // Deletes the entry; empty when it is gone, else a line naming the entry that stays and why.
    std::string unregisterAutostart(AutostartScope scope) {
        const ActionResult deleted = context.platform.DeleteAutostart(scope);
        if (deleted.ok && context.platform.ReadAutostart(scope).empty()) {
            return {};
        }
        const std::string entry = scope == AutostartScope::Machine ? "所有用户的启动项" : "当前用户的启动项";
        return "\n" + entry + "：" + (deleted.ok ? std::string("删除后仍然存在") : deleted.error);
    }
};

SettingsDialog* SettingsDialog::showFor(AppContext& context, QWidget* mainWindow) {
    if (g_instance == nullptr) {
        g_instance = new SettingsDialog(context, mainWindow);
        g_instance->impl_->mainWasTopmost =
            mainWindow != nullptr && mainWindow->windowFlags().testFlag(Qt::WindowStaysOnTopHint);
    }
    // While the options are open they, not the main window, stay above the other windows.
    SetStaysOnTop(mainWindow, false);
    g_instance->show();
    g_instance->raise();
    g_instance->activateWindow();
    return g_instance;
}

SettingsDialog* SettingsDialog::instance() {
    return g_instance;
}

SettingsDialog::SettingsDialog(AppContext& context, QWidget* mainWindow)
    : QDialog(mainWindow), impl_(new Impl(context, mainWindow)) {
    setObjectName(QStringLiteral("Fr_setting"));
    setAttribute(Qt::WA_DeleteOnClose);
    setModal(false);
    setWindowFlag(Qt::WindowStaysOnTopHint, true);
    const QString caption = QStringLiteral("Vantor设定");
    setWindowTitle(caption);
    setAccessibleName(caption);

    impl_->frame1 = new QGroupBox(QStringLiteral("选项"), this);
    impl_->frame1->setObjectName(QStringLiteral("Frame1"));
    impl_->frame1->setAccessibleName(impl_->frame1->title());
    impl_->chckAutorun = MakeCheckBox("chck_autorun", "开机时启动", impl_->frame1);
    impl_->chckTray = MakeCheckBox("chck_tray", "启动时最小化", impl_->frame1);
    impl_->chckWork = MakeCheckBox("Chck_work", "启动时执行任务", impl_->frame1);
    impl_->chckAttray = MakeCheckBox("chck_attray", "任务开始后自动最小化", impl_->frame1);
    auto* options = new QVBoxLayout(impl_->frame1);
    options->addWidget(impl_->chckAutorun);
    options->addWidget(impl_->chckTray);
    options->addWidget(impl_->chckWork);
    options->addWidget(impl_->chckAttray);

    impl_->cmdSave = MakeButton("Cmd_save", "保存", this);
    impl_->cmdPay = MakeButton("Cmd_Pay", "我喜欢", this);
    auto* buttons = new QHBoxLayout;
    buttons->addWidget(impl_->cmdPay);
    buttons->addStretch();
    buttons->addWidget(impl_->cmdSave);

    auto* layout = new QVBoxLayout(this);
    layout->addWidget(impl_->frame1);
    layout->addLayout(buttons);
    layout->setSizeConstraint(QLayout::SetFixedSize);

    connect(impl_->cmdSave, &QPushButton::clicked, this, &SettingsDialog::save);
    connect(impl_->cmdPay, &QPushButton::clicked, this, [this] { SplashWindow::showWindow(this); });
    // Esc and the close box both end in finished(): the main window goes back to the band it was in, and
    // only there; putting it into the topmost band it was never in would keep it above every other window.
    connect(this, &QDialog::finished, this,
            [this] { SetStaysOnTop(impl_->mainWindow, impl_->mainWasTopmost); });

    impl_->load();
}

SettingsDialog::~SettingsDialog() {
    if (g_instance == this) {
        g_instance = nullptr;
    }
    delete impl_;
}

void SettingsDialog::save() {
    // Options stored in a folder others may change would be theirs to set: nothing is saved there.
    if (!impl_->context.folderDistrust.empty()) {
        MessageBoxes::inform(this, UntrustedFolderRefusal());
        return;
    }
    Platform& platform = impl_->context.platform;
    bool iniWritten = true;

    if (IsOn(impl_->chckAutorun)) {
        const std::string program = platform.ProgramPath();
        if (impl_->registerAutostart(AutostartScope::Machine, program)) {
            iniWritten = impl_->writeState(kLoadKey, impl_->chckAutorun) && iniWritten;
        } else if (impl_->registerAutostart(AutostartScope::User, program)) {
            iniWritten = impl_->writeState(kLoadKey, impl_->chckAutorun) && iniWritten;
            MessageBoxes::inform(this, Message{kUserOnlyText, kNoticeTitle, MessageIcon::Warning});
        } else {
            // Load keeps what it held, so the box shows the truth when the dialog opens next.
            MessageBoxes::inform(this, Message{kRegisterFailedText, kNoticeTitle, MessageIcon::Warning});
        }
    } else {
        // The machine-wide entry first, then the user's.
        std::string left = impl_->unregisterAutostart(AutostartScope::Machine);
        left += impl_->unregisterAutostart(AutostartScope::User);
        if (!left.empty()) {
            // An entry the user may not delete (the machine-wide one, without rights) still starts the
            // program with the session: Load and the box keep saying so, and the user learns what is left.
            impl_->chckAutorun->setCheckState(Qt::Checked);
            MessageBoxes::inform(this, Message{std::string(kEntryLeftText) + left + "\n" + kEntryLeftHint,
                                               kNoticeTitle, MessageIcon::Warning});
        }
        iniWritten = impl_->writeState(kLoadKey, impl_->chckAutorun) && iniWritten;
    }

    iniWritten = impl_->writeState(kTrayKey, impl_->chckTray) && iniWritten;
    iniWritten = impl_->writeState(kAttrayKey, impl_->chckAttray) && iniWritten;
    iniWritten = impl_->writeState(kWorkKey, impl_->chckWork) && iniWritten;

    // Saying nothing would leave the user believing the options were kept.
    if (!iniWritten) {
        const std::string why = WriteFailureText(impl_->iniFailure);
        MessageBoxes::inform(this, Message{why.empty() ? std::string(kIniFailedText)
                                                       : std::string(kIniFailedText) + "\n原因：" + why,
                                           kNoticeTitle, MessageIcon::Warning});
    }
}

} // namespace vantor::ui
