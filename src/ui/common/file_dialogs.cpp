#include "ui/common/file_dialogs.h"

#include "ui/common/app_setup.h"

#include <QFileDialog>

namespace vantor::ui {

namespace {
bool g_testMode = false;
std::deque<std::optional<QString>> g_answers;
std::deque<FileDialogRequest> g_requests;
} // namespace

std::optional<QString> FileDialogs::openFile(QWidget* parent, const QString& title, const QString& folder,
                                             const QString& filter) {
    if (g_testMode) {
        g_requests.push_back({title, folder, filter});
        if (g_answers.empty()) {
            return std::nullopt;
        }
        auto answer = g_answers.front();
        g_answers.pop_front();
        return answer;
    }
    LoadQtTranslations();
    const QString path = QFileDialog::getOpenFileName(parent, title, folder, nativeFilter(filter));
    if (path.isEmpty()) {
        return std::nullopt;
    }
    return path;
}

QString FileDialogs::nativeFilter(const QString& filter) {
    QString shown = filter;
#ifndef Q_OS_WIN
    // Programs and many documents here have no extension, which "*.*" would hide.
    shown.replace(QStringLiteral("(*.*)"), QStringLiteral("(*)"));
#endif
    return shown;
}

void FileDialogs::setTestMode(bool on) {
    g_testMode = on;
}
void FileDialogs::setNextAnswer(std::optional<QString> path) {
    g_answers.push_back(std::move(path));
}
const std::deque<FileDialogRequest>& FileDialogs::requests() {
    return g_requests;
}

void FileDialogs::reset() {
    g_answers.clear();
    g_requests.clear();
}

} // namespace vantor::ui
