// The program folder of this start: where the task file, Setting.ini and the running copy's lock live.
#pragma once

#include "platform/platform.h"

#include <QString>

#include <string>

namespace vantor::ui {

struct ProgramFolder {
    QString shown;    // in Qt's form, ending in "/": for the user's eyes and Qt's own calls
    std::string path; // as the file system names it (bytes on Linux, whatever they are), ending in "/"
    // Why the user's own folder (or a file in it) cannot be trusted; empty when it can.
    std::string distrust;
    std::string distrustedPath; // the folder or the file at fault
};

// Beside the program when its folder is writable (and it is no installed program), else the user's own
// folder, which is made when `make` is set and it is missing, and checked: only its user may change it.
ProgramFolder ChooseProgramFolder(Platform& platform, bool make);

} // namespace vantor::ui
