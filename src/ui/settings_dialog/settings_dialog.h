// The options dialog Fr_setting: the four options of Setting.ini and start with the session.
#pragma once

#include "ui/common/app_context.h"

#include <QDialog>

namespace vantor::ui {

class SettingsDialog : public QDialog {
    Q_OBJECT
public:
    // Shows the single instance modeless (created on first use). The main window is taken out of the
    // topmost band while it is open and, if it was in it, put back when it closes.
    static SettingsDialog* showFor(AppContext& context, QWidget* mainWindow);
    static SettingsDialog* instance(); // nullptr when not open

    SettingsDialog(AppContext& context, QWidget* mainWindow);
    ~SettingsDialog() override;

    void save(); // Cmd_save_Click

private:
    class Impl;
    Impl* impl_;
};

} // namespace vantor::ui
