// The program folder of this start: where the task file, Setting.ini and the running copy's lock live.
#pragma once

#include "platform/platform.h"

#include <QString>

namespace vantor::ui {

// Beside the program when its folder is writable (and it is no installed program), else the user's own
// folder, which is made when `make` is set and it is missing. Ends in "/".
QString ChooseProgramFolder(Platform& platform, bool make);

} // namespace vantor::ui
