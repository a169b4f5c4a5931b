// The task file vntask.vnt: one task per line, seven fields joined by ";".
#pragma once

#include "core/common/encoding.h"
#include "core/common/file_io.h"
#include "core/common/message.h"
#include "core/tasks/task_record.h"

#include <optional>
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
    // The file exists but could not be read (or holds text in no known encoding): the rows read so far
    // are kept.
    bool readError = false;
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

// What the list's rewrite or a new task's append tells the user when the file could not be written: that
// nothing was saved, and why.
Message TaskFileNotWrittenMessage(bool append, WriteFailure why);

// Rewrites the whole file from the list (CR LF line ends), in the encoding the file has now (see
// EncodeFileText; a new file in the codec's one). Writes a new file beside the old one and moves it into
// place, so a failure leaves the old file as it was. An empty list empties the file. Returns false (with
// the reason in `why` when given) when the file could not be written.
bool SaveTaskFile(const std::string& path, const std::vector<TaskRecord>& rows, const TextCodec& codec = {},
                  WriteFailure* why = nullptr);

// The file's new bytes after adding one task line (field 0 "0") to a file holding `bytes` (`exists`
// false: no file yet): the text start-up reads from those bytes, the new line, all in the file's own
// encoding; so the file reads back as the rows it had plus the new, unchecked one. nullopt when some of
// the bytes cannot be decoded: writing them back would lose them.
std::optional<std::string> AppendedTaskText(std::string_view bytes, bool exists, const TaskRecord& r,
                                            const TextCodec& codec);

// Adds one new task line at the end of the file (AppendedTaskText), with the same atomic replacement.
// False when the file could not be read, decoded or written.
bool AppendTaskLine(const std::string& path, const TaskRecord& r, const TextCodec& codec,
                    WriteFailure* why = nullptr);

} // namespace vantor
