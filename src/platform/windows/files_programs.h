// Files and programs: the exclusive-open test, the ordinary-file test, starting a program or opening a
// document through the shell, the program's own path and the folders for its files. Paths are UTF-8 and reach
// the system as UTF-16.
#pragma once

#include "platform/platform.h"

#include <string>

namespace vantor::windows_backend {

// The in-use test of a program file: true when it cannot be opened for reading with no sharing: it is
// missing, access is denied, or another process holds it open (a running program's executable file included).
// Read access is enough, so a program the user may run but not change (anything under Program Files) is not
// taken as in use.
bool FileHeldOrMissing(const std::string& path);

// An existing file that is not a folder and is neither hidden nor a system file.
bool OrdinaryFile(const std::string& path);

// Runs a program or opens a document with its associated program, without waiting; the path is its own
// parameter (never part of a command line), and the program starts in the folder that holds it.
ActionResult OpenWithShell(const std::string& path);

std::string OwnProgramPath();

// True when a new file can be made in the folder: one is made there and deleted again, as only that
// answers for access lists and read-only media alike.
bool FolderWritable(const std::string& folder);

// %APPDATA%\Vantor (the user's roaming application data); empty when APPDATA is not set.
std::string UserDataFolder();

} // namespace vantor::windows_backend
