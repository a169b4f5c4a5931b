// The window occurrences tasks have acted in.
#include "core/scheduler/acted_windows.h"

#include <algorithm>

namespace vantor {

namespace {

// Occurrences over for this long are forgotten: no clock is set back that far inside a run, and the
// memory stays as small as the number of recent actions.
constexpr int64_t kKeepDays = 8;

constexpr std::string_view kFileHeader = "vantor acted windows 1";

// An identity holds the task's own texts (a reminder may span lines): line breaks and the escape
// character itself are written escaped so that one occurrence stays one line.
std::string Escape(std::string_view text) {
    std::string out;
    out.reserve(text.size());
    for (const char c : text) {
        if (c == '\\') {
            out += "\\\\";
        } else if (c == '\n') {
            out += "\\n";
        } else if (c == '\r') {
            out += "\\r";
        } else {
            out += c;
        }
    }
    return out;
}

std::optional<std::string> Unescape(std::string_view text) {
    std::string out;
    out.reserve(text.size());
    for (size_t i = 0; i < text.size(); ++i) {
        if (text[i] != '\\') {
            out += text[i];
            continue;
        }
        if (++i == text.size()) {
            return std::nullopt;
        }
        switch (text[i]) {
        case '\\':
            out += '\\';
            break;
        case 'n':
            out += '\n';
            break;
        case 'r':
            out += '\r';
            break;
        default:
            return std::nullopt;
        }
    }
    return out;
}

// The next field up to a tab, taken off the front of `line`; nullopt when there is no tab.
std::optional<std::string_view> TakeField(std::string_view& line) {
    const size_t tab = line.find('\t');
    if (tab == std::string_view::npos) {
        return std::nullopt;
    }
    const std::string_view field = line.substr(0, tab);
    line.remove_prefix(tab + 1);
    return field;
}

} // namespace

std::string TaskIdentity(const TaskRecord& record) {
    std::vector<std::string> params = SplitParams(record.params);
    for (const int picker : {PStartValue, PEndValue}) {
        if (params.size() > static_cast<size_t>(picker)) {
            params[static_cast<size_t>(picker)].clear();
        }
    }
    std::string identity = record.timeMode;
    for (const std::string& p : params) {
        identity += ',';
        identity += p;
    }
    return identity;
}

void ActedWindows::Record(std::string task, Window occurrence) {
    const DateTime horizon = occurrence.end.addDays(-kKeepDays);
    std::erase_if(entries_, [&](const Entry& e) { return e.occurrence.end < horizon; });
    if (!Has(task, occurrence)) {
        entries_.push_back(Entry{std::move(task), occurrence});
    }
    ++revision_;
}

bool ActedWindows::Has(std::string_view task, Window occurrence) const {
    return std::any_of(entries_.begin(), entries_.end(),
                       [&](const Entry& e) { return e.occurrence == occurrence && e.task == task; });
}

bool ActedWindows::AnyIn(Window occurrence) const {
    return std::any_of(entries_.begin(), entries_.end(),
                       [&](const Entry& e) { return e.occurrence == occurrence; });
}

void ActedWindows::Forget(std::string_view task) {
    if (std::erase_if(entries_, [&](const Entry& e) { return e.task == task; }) > 0) {
        ++revision_;
    }
}

void ActedWindows::Clear() {
    if (!entries_.empty()) {
        entries_.clear();
        ++revision_;
    }
}

void ActedWindows::Prune(DateTime now) {
    const DateTime horizon = now.addDays(-kKeepDays);
    if (std::erase_if(entries_, [&](const Entry& e) { return e.occurrence.end < horizon; }) > 0) {
        ++revision_;
    }
}

std::string ActedWindows::Encode() const {
    std::string text(kFileHeader);
    text += '\n';
    for (const Entry& e : entries_) {
        text += FormatDateTime(e.occurrence.start) + '\t' + FormatDateTime(e.occurrence.end) + '\t' +
                Escape(e.task) + '\n';
    }
    return text;
}

ActedWindows ActedWindows::Decode(std::string_view text) {
    ActedWindows acted;
    size_t pos = 0;
    bool first = true;
    while (pos < text.size()) {
        size_t eol = text.find('\n', pos);
        if (eol == std::string_view::npos) {
            eol = text.size();
        }
        std::string_view line = text.substr(pos, eol - pos);
        pos = eol + 1;
        if (first) {
            first = false;
            if (line != kFileHeader) {
                return acted; // not this file, or a format it does not know: nothing is remembered
            }
            continue;
        }
        const std::optional<std::string_view> start = TakeField(line);
        const std::optional<std::string_view> end = start ? TakeField(line) : std::nullopt;
        const std::optional<DateTime> s = start ? ParseDateTime(*start) : std::nullopt;
        const std::optional<DateTime> e = end ? ParseDateTime(*end) : std::nullopt;
        std::optional<std::string> task = Unescape(line);
        if (s && e && task && !task->empty()) {
            acted.entries_.push_back(Entry{std::move(*task), Window{*s, *e}});
        }
    }
    return acted;
}

std::optional<Window> ActedWindows::NotActedIn(std::string_view task, int timeMode,
                                               const std::array<bool, 7>& week, Window occurrence) const {
    // Every selected day has a window of its own, so a week's worth of them always ends the search.
    for (int i = 0; i <= 7 && Has(task, occurrence); ++i) {
        if (timeMode != ModeWeekly) {
            return std::nullopt;
        }
        occurrence = NextWeeklyWindow(week, occurrence.start.timeOfDay(), occurrence.end.timeOfDay(),
                                      occurrence.end.addSeconds(1));
    }
    return occurrence;
}

} // namespace vantor
