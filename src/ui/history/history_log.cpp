#include "ui/history/history_log.h"

#include "core/common/file_io.h"

#include <QDir>
#include <QFileInfo>

namespace vantor::ui {

QString HistoryPath(const AppContext& context) {
    return QFileInfo(context.taskFilePath()).dir().filePath(QString::fromUtf8(kHistoryFileName));
}

bool AppendHistory(const AppContext& context, const HistoryRecord& record) {
    if (!context.folderDistrust.empty()) {
        // Nothing is written into a folder that cannot be trusted with the program's files.
        return false;
    }
    const std::string path = context.folderFile(kHistoryFileName);
    const FileBytes old = ReadFileBytes(path);
    if (old.exists && (old.readError || old.failure != ReadFailure::None)) {
        // Rewriting from what could be read would lose the rest of the history.
        return false;
    }
    return WriteFileAtomically(path, AppendHistoryLine(old.bytes, FormatHistoryRecord(record)));
}

QStringList ReadHistory(const AppContext& context, size_t n) {
    const FileBytes file = ReadFileBytes(context.folderFile(kHistoryFileName));
    QStringList out;
    for (const std::string& line : LastHistoryRecords(file.bytes, n)) {
        out.append(QString::fromUtf8(line));
    }
    return out;
}

} // namespace vantor::ui
