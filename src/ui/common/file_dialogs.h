// The file chooser goes through here, so tests can answer it.
#pragma once

#include <QString>

#include <deque>
#include <optional>

class QWidget;

namespace vantor::ui {

struct FileDialogRequest {
    QString title;
    QString folder;
    QString filter;
};

class FileDialogs {
public:
    // The chosen file's full path, or nullopt when the dialog was cancelled.
    static std::optional<QString> openFile(QWidget* parent, const QString& title, const QString& folder,
                                           const QString& filter);

    // The filter as the system's dialog is given it: "所有文件(*.*)" shows files without an extension too
    // where those are common.
    static QString nativeFilter(const QString& filter);

    // --- Test seam: in test mode no dialog is shown; the next queued answer is given (cancel if none).
    static void setTestMode(bool on);
    static void setNextAnswer(std::optional<QString> path);
    static const std::deque<FileDialogRequest>& requests();
    static void reset();
};

} // namespace vantor::ui
