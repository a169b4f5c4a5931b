#include "ui/history/history_window.h"

#include "core/common/message.h"
#include "ui/history/history_log.h"

#include <QFontDatabase>
#include <QPlainTextEdit>
#include <QScrollBar>
#include <QVBoxLayout>

namespace vantor::ui {

HistoryWindow::HistoryWindow(const AppContext& context, QWidget* parent)
    : QDialog(parent, Qt::Window), context_(context) {
    setObjectName(QStringLiteral("Fr_history"));
    setWindowTitle(QString::fromUtf8(kAppTitle) + QStringLiteral("历史记录"));
    text_ = new QPlainTextEdit(this);
    text_->setObjectName(QStringLiteral("txt_history"));
    text_->setAccessibleName(QStringLiteral("历史记录"));
    text_->setReadOnly(true);
    text_->setLineWrapMode(QPlainTextEdit::NoWrap);
    text_->setPlaceholderText(QStringLiteral("还没有历史记录。"));
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(text_);
    resize(760, 420);
}

void HistoryWindow::reload() {
    text_->setPlainText(ReadHistory(context_).join(QLatin1Char('\n')));
    text_->verticalScrollBar()->setValue(text_->verticalScrollBar()->maximum());
}

} // namespace vantor::ui
