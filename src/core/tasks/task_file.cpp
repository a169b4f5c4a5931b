#include "core/tasks/task_file.h"

#include "core/common/file_io.h"
#include "core/common/text.h"

#include <array>
#include <utility>

namespace vantor {

namespace {

std::string SixFields(const TaskRecord& r) {
    return ";" + r.startText + ";" + r.endText + ";" + r.conditionText + ";" + r.operationText + ";" +
           r.timeMode + ";" + r.params;
}

// The seven fields of a line as views into it: split on ";", the missing ones empty, anything after the
// seventh ignored.
std::array<std::string_view, 7> LineFields(std::string_view line) {
    std::array<std::string_view, 7> fields{};
    size_t pos = 0;
    for (std::string_view& field : fields) {
        const size_t next = line.find(';', pos);
        field = line.substr(pos, next == std::string_view::npos ? std::string_view::npos : next - pos);
        if (next == std::string_view::npos) {
            break;
        }
        pos = next + 1;
    }
    return fields;
}

} // namespace

std::string FormatSavedLine(const TaskRecord& r) {
    return (r.enabled ? "True" : "False") + SixFields(r);
}

std::string FormatAppendedLine(const TaskRecord& r) {
    return "0" + SixFields(r);
}

std::vector<TaskRecord> ParseTaskText(std::string_view text) {
    // The rows are counted first, so the list is allocated once at its final size: growing it row by row
    // would hold the old and the new array at once and leave the old ones as holes in the heap.
    size_t count = 0;
    ForEachLine(text, [&count](std::string_view line) { count += line.empty() ? 0 : 1; });
    std::vector<TaskRecord> rows;
    rows.reserve(count);
    // Each text goes from the file's text straight into its record; no copy of a line or field is made.
    ForEachLine(text, [&rows](std::string_view line) {
        if (line.empty()) {
            return;
        }
        const std::array<std::string_view, 7> f = LineFields(line);
        // A field 0 that is no boolean at all counts as a passed test: the task is enabled. Each text is
        // constructed from its view, which costs less than assigning it to an empty string (and is moved
        // into the list: clang builds the record with braces only).
        rows.push_back(TaskRecord{ParseStoredBool(f[0]).value_or(true), std::string(f[1]), std::string(f[2]),
                                  std::string(f[3]), std::string(f[4]), std::string(f[5]),
                                  std::string(f[6])});
    });
    return rows;
}

TaskFileRead ReadTaskFile(const std::string& path, const LegacyDecoder& legacy) {
    FileBytes file = ReadFileBytes(path);
    TaskFileRead out;
    out.exists = file.exists;
    out.readError = file.readError;
    out.failure = file.failure;
    if (file.exists) {
        const DecodedText decoded = TakeFileText(std::move(file.bytes), legacy);
        if (!decoded.ok) {
            out.readError = true;
            out.failure = out.failure == ReadFailure::None ? ReadFailure::Undecodable : out.failure;
        }
        out.rows = ParseTaskText(decoded.text);
    }
    return out;
}

bool SaveTaskFile(const std::string& path, const std::vector<TaskRecord>& rows, const TextCodec& codec,
                  WriteFailure* why) {
    std::optional<TextEncoding> encoding;
    {
        const FileBytes file = ReadFileBytes(path);
        encoding = file.exists && !file.readError ? SniffFileEncoding(file.bytes) : std::nullopt;
    }
    std::string text;
    for (const TaskRecord& r : rows) {
        text += FormatSavedLine(r) + "\r\n";
    }
    return WriteFileAtomically(path, EncodeFileText(text, encoding, codec), why);
}

Message TaskFileNotWrittenMessage(bool append, WriteFailure why) {
    const std::string first = append ? "无法写入任务文件，任务未保存！" : "无法写入任务文件，改动未保存！";
    const std::string reason = WriteFailureText(why);
    return Message{reason.empty() ? first : first + "\n原因：" + reason, kNoticeTitle, MessageIcon::Warning};
}

Message TaskFileUnreadableMessage(const std::string& path, ReadFailure why) {
    return Message{"无法读取任务文件：" + path + "\n原因：" + ReadFailureText(why) +
                       "\n\n任务列表的改动将不会保存，以免覆盖文件中的任务。请排除问题后重新启动程序。",
                   kNoticeTitle, MessageIcon::Warning};
}

Message TaskFileNotReadRefusal() {
    return Message{"启动时无法读取任务文件，为免覆盖其中的任务，改动未保存！请排除问题后重新启动程序。",
                   kNoticeTitle, MessageIcon::Warning};
}

std::optional<std::string> AppendedTaskText(std::string_view bytes, bool exists, const TaskRecord& r,
                                            const TextCodec& codec) {
    DecodedText file = exists ? DecodeFileText(bytes, codec.decode) : DecodedText{};
    if (!file.ok) {
        return std::nullopt;
    }
    std::string& text = file.text;
    if (!text.empty() && text.back() != '\n' && text.back() != '\r') {
        text += "\r\n"; // a last line without its end must not run into the new one
    }
    text += FormatAppendedLine(r) + "\r\n";
    return EncodeFileText(text, file.encoding, codec);
}

bool AppendTaskLine(const std::string& path, const TaskRecord& r, const TextCodec& codec, WriteFailure* why) {
    const FileBytes file = ReadFileBytes(path);
    // Rewriting what could not be read would lose the tasks in it.
    std::optional<std::string> bytes =
        file.readError ? std::nullopt : AppendedTaskText(file.bytes, file.exists, r, codec);
    if (!bytes) {
        if (why != nullptr) {
            *why = file.failure == ReadFailure::NotAFile ? WriteFailure::NotAFile : WriteFailure::Unreadable;
        }
        return false;
    }
    return WriteFileAtomically(path, *bytes, why);
}

} // namespace vantor
