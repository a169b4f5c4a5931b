// The history of what the scheduler did: record lines and the bounded file text.
#include "core/scheduler/history.h"

#include "core/common/text.h"

#include <cstdio>

namespace vantor {

namespace {

// Whole characters of a UTF-8 text, at most `limit`; the cut never splits a character.
std::string CutToChars(const std::string& text, size_t limit) {
    size_t chars = 0;
    for (size_t i = 0; i < text.size(); ++i) {
        const auto c = static_cast<unsigned char>(text[i]);
        if ((c & 0xC0) != 0x80) {
            if (chars == limit) {
                return text.substr(0, i) + "…";
            }
            ++chars;
        }
    }
    return text;
}

std::string Field(const std::string& text) {
    std::string out;
    out.reserve(text.size());
    for (const char c : text) {
        out += (c == '\t' || c == '\n' || c == '\r') ? ' ' : c;
    }
    return out.empty() ? std::string("-") : out;
}

std::string TimeText(DateTime t) {
    char buf[32];
    std::snprintf(buf, sizeof buf, "%04d-%02d-%02d %02d:%02d:%02d", t.year(), t.month(), t.day(), t.hour(),
                  t.minute(), t.second());
    return buf;
}

std::vector<std::string_view> Records(std::string_view text) {
    std::vector<std::string_view> lines;
    ForEachLine(text, [&lines](std::string_view line) {
        if (!line.empty()) {
            lines.push_back(line);
        }
    });
    return lines;
}

} // namespace

std::string HistoryOutcomeText(HistoryOutcome outcome, const std::string& detail) {
    switch (outcome) {
    case HistoryOutcome::Done:
        return "完成";
    case HistoryOutcome::Skipped:
        return "跳过";
    case HistoryOutcome::Cancelled:
        return "取消";
    case HistoryOutcome::Snoozed:
        return "推迟至 " + detail;
    case HistoryOutcome::Failed:
        return "失败：" + (detail.empty() ? std::string("操作未能执行") : detail);
    case HistoryOutcome::DryRun:
        return "试运行（仅打印）";
    case HistoryOutcome::NotStarted:
        return "未执行：" + detail;
    }
    return {};
}

std::string FormatHistoryRecord(const HistoryRecord& record) {
    return TimeText(record.time) + "\t" + Field(record.operation) + "\t" +
           Field(CutToChars(record.target, kHistoryTargetChars)) + "\t" + Field(record.conditions) + "\t" +
           Field(HistoryOutcomeText(record.outcome, record.detail));
}

std::string AppendHistoryLine(std::string_view fileText, std::string_view line, size_t keep) {
    std::vector<std::string_view> records = Records(fileText);
    if (!line.empty()) {
        records.push_back(line);
    }
    const size_t first = records.size() > keep ? records.size() - keep : 0;
    std::string out;
    for (size_t i = first; i < records.size(); ++i) {
        out.append(records[i]);
        out += '\n';
    }
    return out;
}

std::vector<std::string> LastHistoryRecords(std::string_view fileText, size_t n) {
    const std::vector<std::string_view> records = Records(fileText);
    const size_t first = records.size() > n ? records.size() - n : 0;
    return {records.begin() + static_cast<std::ptrdiff_t>(first), records.end()};
}

} // namespace vantor
