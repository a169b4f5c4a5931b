// The task file vntask.vnt: one task per line, seven fields joined by ";".
#pragma once

#include "core/common/file_io.h"
#include "core/common/message.h"
#include "core/common/text.h"
#include "core/tasks/task_record.h"

#include <string>
#include <string_view>
#include <vector>

namespace vantor {

inline constexpr const char* kTaskFileName = "vntask.vnt";

// Line as the full rewrite writes it: "True"/"False" then the six texts, each preceded by ";".
std::string FormatSavedLine(const TaskRecord& r);

// Line as the append of a new task writes it: "0" then the six texts.
std::string FormatAppendedLine(const TaskRecord& r);

// Rows from a file's text: empty lines skipped, fields taken by position (missing ones stay empty),
// field 0 true when it reads as true or is no boolean at all.
std::vector<TaskRecord> ParseTaskText(std::string_view text);

// Outcome of reading the task file.
struct TaskFileRead {
    bool exists = false;
    bool readError = false; // the file exists but could not be read: the rows read so far are kept
    ReadFailure failure = ReadFailure::None;
    std::vector<TaskRecord> rows;
};
TaskFileRead ReadTaskFile(const std::string& path, const LegacyDecoder& legacy);

// What start-up tells the user when the task file exists but could not be read: its path, the reason,
// and that the list will not be saved over it.
Message TaskFileUnreadableMessage(const std::string& path, ReadFailure why);

// The refusal of every rewrite and append after the task file could not be read at start-up: writing the
// list (which lacks the file's tasks) over the file would lose them.
Message TaskFileNotReadRefusal();

// Rewrites the whole file from the list (UTF-8, CR LF). Writes a new file beside the old one and moves
// it into place, so a failure leaves the old file as it was. An empty list empties the file.
// Returns false when the file could not be written.
bool SaveTaskFile(const std::string& path, const std::vector<TaskRecord>& rows);

// The file's new contents after adding one task line (field 0 "0") to a file holding `bytes` (`exists`
// false: no file yet). The lines before it are the text start-up reads from those bytes, decoded by the
// same rule (a byte-order mark means UTF-8, never the legacy code page), written in UTF-8; so the file
// reads back as the rows it had plus the new, unchecked one.
std::string AppendedTaskText(std::string_view bytes, bool exists, const TaskRecord& r,
                             const LegacyDecoder& legacy);

// Adds one new task line at the end of the file (AppendedTaskText), with the same atomic replacement.
// False when the file could not be read or written.
bool AppendTaskLine(const std::string& path, const TaskRecord& r, const LegacyDecoder& legacy);

} // namespace vantor
