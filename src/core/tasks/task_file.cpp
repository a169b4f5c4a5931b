#include "core/tasks/task_file.h"

#include "core/common/file_io.h"

namespace vantor {

namespace {

std::string SixFields(const TaskRecord& r) {
    return ";" + r.startText + ";" + r.endText + ";" + r.conditionText + ";" + r.operationText + ";" +
           r.timeMode + ";" + r.params;
}

std::string Field(const std::vector<std::string>& fields, size_t i) {
    return i < fields.size() ? fields[i] : "";
}

// The existing file's lines as UTF-8 text, nothing of them lost: UTF-8 stays byte for byte, legacy text
// is converted, and bytes that no decoder takes are kept as they are rather than replaced.
std::string ExistingText(std::string_view bytes, const LegacyDecoder& legacy) {
    if (bytes.size() >= 3 && bytes.substr(0, 3) == "\xEF\xBB\xBF") {
        bytes.remove_prefix(3);
    }
    if (IsValidUtf8(bytes)) {
        return std::string(bytes);
    }
    if (legacy) {
        if (auto decoded = legacy(bytes); decoded && IsValidUtf8(*decoded)) {
            return *decoded;
        }
    }
    return std::string(bytes);
}

} // namespace

std::string FormatSavedLine(const TaskRecord& r) {
    return (r.enabled ? "True" : "False") + SixFields(r);
}

std::string FormatAppendedLine(const TaskRecord& r) {
    return "0" + SixFields(r);
}

std::vector<TaskRecord> ParseTaskText(std::string_view text) {
    std::vector<TaskRecord> rows;
    for (const std::string& line : SplitLines(text)) {
        if (line.empty()) {
            continue;
        }
        const std::vector<std::string> f = Split(line, ';');
        TaskRecord r;
        // A field 0 that is no boolean at all counts as a passed test: the task is enabled.
        r.enabled = ParseStoredBool(f[0]).value_or(true);
        r.startText = Field(f, 1);
        r.endText = Field(f, 2);
        r.conditionText = Field(f, 3);
        r.operationText = Field(f, 4);
        r.timeMode = Field(f, 5);
        r.params = Field(f, 6);
        rows.push_back(std::move(r));
    }
    return rows;
}

TaskFileRead ReadTaskFile(const std::string& path, const LegacyDecoder& legacy) {
    const FileBytes file = ReadFileBytes(path);
    TaskFileRead out;
    out.exists = file.exists;
    out.readError = file.readError;
    if (file.exists) {
        out.rows = ParseTaskText(DecodeFileText(file.bytes, legacy));
    }
    return out;
}

bool SaveTaskFile(const std::string& path, const std::vector<TaskRecord>& rows) {
    std::string text;
    for (const TaskRecord& r : rows) {
        text += FormatSavedLine(r) + "\r\n";
    }
    return WriteFileAtomically(path, text);
}

bool AppendTaskLine(const std::string& path, const TaskRecord& r, const LegacyDecoder& legacy) {
    const FileBytes file = ReadFileBytes(path);
    if (file.readError) {
        return false; // rewriting what could not be read would lose the tasks in it
    }
    std::string text = file.exists ? ExistingText(file.bytes, legacy) : std::string();
    if (!text.empty() && text.back() != '\n') {
        text += "\r\n"; // a last line without its end must not run into the new one
    }
    text += FormatAppendedLine(r) + "\r\n";
    return WriteFileAtomically(path, text);
}

} // namespace vantor
