// The task file vntask.vnt: one task per line, seven fields joined by ";".
#pragma once

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
    std::vector<TaskRecord> rows;
};
TaskFileRead ReadTaskFile(const std::string& path, const LegacyDecoder& legacy);

// Rewrites the whole file from the list (UTF-8, CR LF). Writes a new file beside the old one and moves
// it into place, so a failure leaves the old file as it was. An empty list empties the file.
// Returns false when the file could not be written.
bool SaveTaskFile(const std::string& path, const std::vector<TaskRecord>& rows);

// Adds one new task line at the end (field 0 "0"), keeping the lines already in the file exactly as they
// are (a legacy-encoded file is rewritten in UTF-8 with its texts intact). Same atomic replacement.
bool AppendTaskLine(const std::string& path, const TaskRecord& r, const LegacyDecoder& legacy);

} // namespace vantor
