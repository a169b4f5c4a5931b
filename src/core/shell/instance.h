// One running copy of the program per program folder: how the copies of one folder find each other.
#pragma once

#include <string>
#include <string_view>

namespace vantor {

// The lock file the running copy holds in its program folder.
inline constexpr const char* kInstanceLockFileName = "vantor.lock";

// What a second start sends the running copy: show your main window.
inline constexpr std::string_view kActivateRequest = "activate\n";

// Name of the local channel on which the running copy of a program folder listens: the same for every
// start in that folder, different for different folders ("vantor-" and 16 hexadecimal digits).
std::string InstanceChannelName(std::string_view programFolder);

} // namespace vantor
