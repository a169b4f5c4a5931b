// The notification icon's menu: the window, start and stop, postponing a warning, the history and exit.
#include "core/shell/app_texts.h"
#include "ui/common/message_boxes.h"
#include "ui/history/history_window.h"
#include "ui/main_window/main_window.h"
#include "ui/main_window/main_window_impl.h"
#include "ui/scheduler/run_control.h"
#include "ui/scheduler/warning_dialog.h"
#include "ui/tray/tray_icon.h"

#include <QCoreApplication>

namespace vantor::ui {

void MainWindow::connectTrayMenu() {
    TrayIcon::MenuHandlers h;
    h.startStop = [this] { impl_->run->cmdStartClick(); };
    h.warningOpen = [this] {
        const WarningDialog* d = impl_->run->warningDialog();
        return d != nullptr && d->isOpen();
    };
    h.snooze = [this](int minutes) { impl_->run->snooze(minutes); };
    h.history = [this] { showHistory(); };
    h.quit = [this] { exitFromMenu(); };
    impl_->tray->setMenuHandlers(std::move(h));
}

void MainWindow::showHistory() {
    if (impl_->history == nullptr) {
        impl_->history = new HistoryWindow(context_, this);
    }
    impl_->history->reload();
    impl_->history->showNormal();
    impl_->history->raise();
    impl_->history->activateWindow();
}

HistoryWindow* MainWindow::historyWindow() const {
    return impl_->history;
}

void MainWindow::exitFromMenu() {
    if (impl_->run->running()) {
        impl_->run->cmdStartClick(); // "是否停止当前任务？"
        if (impl_->run->running()) {
            return;
        }
    }
    const Answer answer = MessageBoxes::ask(this, QString::fromStdString(ExitQuestion()),
                                            QString::fromUtf8(kNoticeTitle), /*defaultNo=*/true);
    if (answer != Answer::Yes) {
        return;
    }
    impl_->tray->remove();
    QCoreApplication::quit();
}

} // namespace vantor::ui
