// Where the task file and Setting.ini live: beside the program, as in a folder people copy around, or in
// the user's own folder when the program was installed.
#pragma once

#include <string>

namespace vantor {

// What start-up knows about the program's place, as plain values.
struct DataFolderFacts {
    std::string programFolder;          // folder of the running program, ending in "/"
    bool programFolderWritable = false; // this user may create files in it
    bool installed = false;             // the program's menu entry was installed beside it
    std::string perUserFolder;          // the user's own folder for the program; empty when unknown
};

struct DataFolderChoice {
    std::string folder;   // ending in "/"
    bool perUser = false; // the user's own folder was chosen (made when missing)
};

// The program folder when it is writable and not an installed program's folder (a root user may write to
// /usr/bin, which is no place for a task list); otherwise the per-user folder. Without a per-user folder
// the program folder stays, and saving there reports its failure; an unknown program folder is never
// taken as writable.
DataFolderChoice ChooseDataFolder(const DataFolderFacts& facts);

// The menu entry that an installation puts beside the program's bin folder:
// "<prefix>/bin/" -> "<prefix>/bin/../share/applications/org.vantor.Vantor.desktop".
std::string InstalledEntryPath(const std::string& programFolder);

} // namespace vantor
