// One running copy of the program per program folder: how the copies of one folder find each other.
#pragma once

#include <string>
#include <string_view>

namespace vantor {

// The lock file the running copy holds in its program folder (or, when the folder cannot hold it, in the
// user's private folder under the channel's name with ".lock").
inline constexpr const char* kInstanceLockFileName = "vantor.lock";

// Name of the channel the running copy of a program folder listens on: the same for every start in that
// folder, different for different folders ("vantor-" and 16 hexadecimal digits).
std::string InstanceChannelName(std::string_view programFolder);

} // namespace vantor
