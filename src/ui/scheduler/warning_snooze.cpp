// The warning's "推迟" button: a menu of minutes that postpones the warning through the run control.
#include "core/scheduler/snooze.h"
#include "ui/common/twips.h"
#include "ui/main_window/main_window.h"
#include "ui/scheduler/run_control.h"
#include "ui/scheduler/warning_dialog.h"
#include "ui/tray/tray_icon.h"

#include <QMenu>
#include <QPushButton>
#include <QTimer>

namespace vantor::ui {

namespace {

constexpr int kSnoozeWidth = 1215;
constexpr int kSnoozeHeight = 360;
constexpr int kSnoozeRightMargin = 465; // the right edge of "取消(ESC)" in the design
constexpr int kSnoozeAboveButtons = 480;

} // namespace

void WarningDialog::createSnoozeButton() {
    cmdSnooze_ = new QPushButton(QStringLiteral("推迟"), this);
    cmdSnooze_->setObjectName(QStringLiteral("Cmd_snooze"));
    cmdSnooze_->setAutoDefault(false);
    cmdSnooze_->setDefault(false);
    // The window's keys hold on this button too: space is OK, Esc cancel.
    cmdSnooze_->installEventFilter(this);
    auto* menu = new QMenu(cmdSnooze_);
    menu->setObjectName(QStringLiteral("Menu_snooze"));
    for (const int minutes : kSnoozeChoices) {
        QAction* action = menu->addAction(QStringLiteral("%1分钟").arg(minutes));
        action->setObjectName(QStringLiteral("Act_snooze%1").arg(minutes));
        // Queued: the menu is done with before the window it belongs to closes.
        connect(action, &QAction::triggered, this,
                [this, minutes] { QTimer::singleShot(0, this, [this, minutes] { run_.snooze(minutes); }); });
    }
    cmdSnooze_->setMenu(menu);
}

void WarningDialog::placeSnoozeButton() {
    // Right-aligned with the design's last button, in the free band between the text and the buttons,
    // for the reminder too; taken from the buttons' row as it is now, so a taller text area moves it along.
    const int top = cmdOk_->y() - Twips(kSnoozeAboveButtons);
    cmdSnooze_->setGeometry(width() - Twips(kSnoozeRightMargin + kSnoozeWidth), top, Twips(kSnoozeWidth),
                            Twips(kSnoozeHeight));
    cmdSnooze_->setVisible(true);
}

void WarningDialog::closeForSnooze() {
    if (!open_) {
        return;
    }
    if (QMenu* menu = cmdSnooze_->menu()) {
        menu->hide();
    }
    open_ = false;
    hide();
    // Back where the main window was before the warning: in the notification area it stays there (as it
    // would where the desktop has none, minimised), otherwise it shows again.
    if (window_.tray()->iconShown()) {
        window_.totray();
    } else {
        window_.showAgain();
    }
    countdownTick_ = 0;
    timerOk_->stop();
}

} // namespace vantor::ui
