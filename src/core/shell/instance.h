// One running copy of the program per program folder: how the copies of one folder find each other.
#pragma once

#include <string>
#include <string_view>

namespace vantor {

// The lock file the running copy holds in its program folder.
inline constexpr const char* kInstanceLockFileName = "vantor.lock";

// The file a second start leaves beside the lock to ask the running copy for its main window; the running
// copy takes it away when it shows the window.
inline constexpr const char* kActivateRequestFileName = "vantor.activate";

// The request's contents.
inline constexpr std::string_view kActivateRequest = "activate\n";

// Name under which the copies of a program folder meet outside it (a folder that takes no new file): the
// same for every start in that folder, different for different folders ("vantor-" and 16 hexadecimal
// digits).
std::string InstanceChannelName(std::string_view programFolder);

} // namespace vantor
