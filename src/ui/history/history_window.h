// A plain read-only window with the history: what acted, when, on which conditions, and how it ended.
#pragma once

#include "ui/common/app_context.h"

#include <QDialog>

class QPlainTextEdit;

namespace vantor::ui {

class HistoryWindow : public QDialog {
    Q_OBJECT
public:
    explicit HistoryWindow(const AppContext& context, QWidget* parent = nullptr);

    // Reads the file afresh and shows the newest record at the bottom, in view.
    void reload();
    QPlainTextEdit* textBox() const { return text_; }

private:
    const AppContext& context_;
    QPlainTextEdit* text_ = nullptr;
};

} // namespace vantor::ui
