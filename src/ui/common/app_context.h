// What every window of the shell needs: the OS boundary and the program folder.
#pragma once

#include "platform/platform.h"

#include <QString>

namespace vantor::ui {

struct AppContext {
    Platform& platform;
    // The program's folder, ending in "/"; the task file and Setting.ini live here. Tests point it at a
    // temporary folder.
    QString programFolder;

    QString taskFilePath() const;
    QString settingsPath() const;
    // Legacy decoder for the core's file readers, backed by the platform.
    LegacyDecoder legacyDecoder() const;
};

} // namespace vantor::ui
