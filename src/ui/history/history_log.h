// The history file beside the task file: records appended by the scheduler, read by the history window
// and by anyone asking for the last records.
#pragma once

#include "core/scheduler/history.h"
#include "ui/common/app_context.h"

#include <QString>
#include <QStringList>

namespace vantor::ui {

// ".../vantor-history.log", in the task file's folder.
QString HistoryPath(const AppContext& context);

// Appends one record, keeping the newest kHistoryKeep. The file is replaced as a whole through a
// temporary file, so a crash leaves the old history or the new one, never a torn file; a history that
// cannot be read is left as it is rather than started afresh. False when nothing was written. The task
// file is never touched.
bool AppendHistory(const AppContext& context, const HistoryRecord& record);

// The last `n` records, oldest first; empty when there is no history (or it cannot be read).
QStringList ReadHistory(const AppContext& context, size_t n = kHistoryKeep);

} // namespace vantor::ui
