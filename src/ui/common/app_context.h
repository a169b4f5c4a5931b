// What every window of the shell needs: the OS boundary and the program folder.
#pragma once

#include "platform/platform.h"

#include <QString>

#include <string>

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

// A path as the core's file functions take it: UTF-8 on Windows, where they pass it to the wide-character
// calls (the system's 8-bit code page cannot hold every name, "张三" under a Western one), the file
// system's own encoding elsewhere.
std::string CorePath(const QString& path);
// The reverse: a path the platform or the core gave back, in Qt's form with "/" separators.
QString FromCorePath(const std::string& path);

} // namespace vantor::ui
