// The history of what the scheduler did: one line per action and per answer to a warning, kept in a
// file of its own beside the task file and bounded to the newest records.
#pragma once

#include "core/common/datetime.h"

#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

namespace vantor {

inline constexpr const char* kHistoryFileName = "vantor-history.log";
// Records kept; an append beyond this drops the oldest.
inline constexpr size_t kHistoryKeep = 1000;

enum class HistoryOutcome {
    Done,       // the operation was carried out (a reminder acknowledged)
    Skipped,    // "继续": this operation passed over
    Cancelled,  // "取消": the work ended
    Snoozed,    // "推迟": detail = the time it comes back, "HH:MM"
    Failed,     // detail = the reason the system gave
    DryRun,     // only printed: the program runs with --dry-run
    NotStarted, // the operation had nothing to act on; detail = why
};

struct HistoryRecord {
    DateTime time;
    std::string operation;  // the operation item, "关机"
    std::string target;     // reminder text, program or process; empty for the others
    std::string conditions; // the conditions that held, as the task list words them
    HistoryOutcome outcome = HistoryOutcome::Done;
    std::string detail;
};

// "完成", "跳过", "取消", "推迟至 12:35", "失败：<why>", "试运行（仅打印）", "未执行：<why>".
std::string HistoryOutcomeText(HistoryOutcome outcome, const std::string& detail);

// One line without its end: time ("2026-12-10 09:05:00"), operation, target, conditions and outcome,
// separated by tabs. Tabs and line ends inside a field become blanks, so a record is always one line; an
// empty field is written "-"; a long target is cut to kHistoryTargetChars characters.
inline constexpr size_t kHistoryTargetChars = 200;
std::string FormatHistoryRecord(const HistoryRecord& record);

// The history file's new text with `line` appended: the newest `keep` records, each ended by "\n". A last
// record torn by a crash (no line end) is kept as a record of its own; empty lines are dropped.
std::string AppendHistoryLine(std::string_view fileText, std::string_view line, size_t keep = kHistoryKeep);

// The last `n` records of the history file's text, oldest first (all of them when there are fewer).
std::vector<std::string> LastHistoryRecords(std::string_view fileText, size_t n);

} // namespace vantor
