// Where the task file and Setting.ini live: beside the program, as in a folder people copy around, or in
// the user's own folder when the program was installed.
#pragma once

#include "core/common/message.h"

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

// Who may change a file or folder, as far as trusting its contents goes.
struct Ownership {
    bool link = false;             // the path itself is a symbolic link
    bool ownedByUser = true;       // what it names belongs to this user (or to the administrator)
    bool writableByOthers = false; // its group or everyone may write it
};

// Why the user's own folder, or a file in it, cannot be trusted with the tasks it holds (tasks run
// programs): it belongs to someone else, is a link to someone else's, or others may write it. Empty
// when it can be trusted. A portable folder beside the program is as trusted as the program: not asked.
std::string DistrustReason(const Ownership& o);

// What start-up says about such a folder (`path` the folder or file at fault): the tasks are shown but
// not run, and nothing is written there.
Message UntrustedFolderMessage(const std::string& path, const std::string& reason);

// The refusal of every save into such a folder.
Message UntrustedFolderRefusal();

// The menu entry that an installation puts beside the program's bin folder:
// "<prefix>/bin/" -> "<prefix>/bin/../share/applications/org.vantor.Vantor.desktop".
std::string InstalledEntryPath(const std::string& programFolder);

} // namespace vantor
