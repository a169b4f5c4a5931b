// The editor texts that go into a task's line as typed, and the characters they may not hold there.
#pragma once

#include "core/tasks/task_record.h"
#include "core/tasks/validation.h"

#include <optional>

namespace vantor {

// The first editor text that would break the task line if the task were stored, as the refusal to show
// (naming the character) and the box to focus; nullopt when the task can be written. The line has no
// escaping: ";" separates its fields, "," the task parameters, and a line break would split the task in
// two. Checked when a task is added or changed, never when a saved task runs: a task written by an
// earlier version runs with the texts it has.
std::optional<CheckFailure> UnstorableText(const EditorValues& v);

} // namespace vantor
