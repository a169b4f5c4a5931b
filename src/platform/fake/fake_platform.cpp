#include "platform/fake/fake_platform.h"

#include "core/tasks/editor_rules.h"

namespace vantor {

namespace {
const char* ScopeName(AutostartScope scope) {
    return scope == AutostartScope::Machine ? "machine" : "user";
}
} // namespace

FakePlatform::FakePlatform() : now_(DateTime::fromParts(2026, 12, 8, 10, 0, 0)) {}

void FakePlatform::AdvanceMs(int64_t ms) {
    monotonic_ += static_cast<uint64_t>(ms);
    // The wall clock follows in whole seconds of the accumulated milliseconds.
    const int64_t before = static_cast<int64_t>((monotonic_ - static_cast<uint64_t>(ms)) / 1000);
    const int64_t after = static_cast<int64_t>(monotonic_ / 1000);
    now_ = Later(now_, after - before);
}

DateTime FakePlatform::Later(DateTime from, int64_t seconds) const {
    const DateTime to = from.addSeconds(seconds);
    if (change_ && from < change_->at && change_->at <= to) {
        return to.addSeconds(change_->shift);
    }
    return to;
}

std::optional<std::string> FakePlatform::DecodeLegacy(std::string_view bytes) {
    if (legacy_) {
        return legacy_(bytes);
    }
    return std::nullopt;
}

bool FakePlatform::CanSuspend() {
    ++canSuspendQueries;
    return canSuspend_;
}

bool FakePlatform::CanHibernate() {
    ++canHibernateQueries;
    return canHibernate_;
}

Availability FakePlatform::CanPerform(SystemOperation op) {
    const auto it = availability_.find(op);
    return it == availability_.end() ? Availability{} : it->second;
}

void FakePlatform::EnableShutdownPrivilege() {
    calls.push_back("shutdown-privilege");
}

std::vector<ProcessInfo> FakePlatform::ListProcesses() {
    std::vector<ProcessInfo> out;
    int64_t pid = 100;
    for (const auto& name : running_) {
        out.push_back({pid++, name, false});
    }
    return out;
}

bool FakePlatform::IsProcessRunning(const std::string& name) {
    for (const auto& exe : running_) {
        if (ProcessNameMatches(name, exe, false, nameRule_)) {
            return true;
        }
    }
    return false;
}

void FakePlatform::EndProcessByName(const std::string& name) {
    calls.push_back("end-process " + name);
    for (auto it = running_.begin(); it != running_.end();) {
        it = ProcessNameMatches(name, *it, false, nameRule_) ? running_.erase(it) : std::next(it);
    }
}

bool FakePlatform::IsProgramFile(const std::string& path) {
    return HasExactExeExtension(path) || programFiles_.count(path) > 0;
}

bool FakePlatform::IsProgramInUse(const std::string& path) {
    return locked_.count(path) > 0 || files_.count(path) == 0;
}

ActionResult FakePlatform::WriteAutostart(AutostartScope scope, const std::string& programPath) {
    calls.push_back(std::string("autostart-write ") + ScopeName(scope) + " " + programPath);
    if (!writable_[scope]) {
        return ActionResult::Fail("permission denied");
    }
    autostart[scope] = programPath;
    return ActionResult::Ok();
}

std::string FakePlatform::ReadAutostart(AutostartScope scope) {
    auto it = autostart.find(scope);
    return it == autostart.end() ? std::string() : it->second;
}

ActionResult FakePlatform::DeleteAutostart(AutostartScope scope) {
    calls.push_back(std::string("autostart-delete ") + ScopeName(scope));
    if (!deletable_[scope]) {
        return ActionResult::Fail(std::string("cannot delete the ") + ScopeName(scope) +
                                  " entry: permission denied");
    }
    autostart.erase(scope);
    return ActionResult::Ok();
}

ActionResult FakePlatform::Record(std::string call) {
    calls.push_back(std::move(call));
    return actionResult_;
}

} // namespace vantor
