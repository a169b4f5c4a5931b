// What every window of the shell needs: the OS boundary and the program folder.
#pragma once

#include "platform/platform.h"

#include <QString>

#include <optional>
#include <string>
#include <utility>

namespace vantor::ui {

struct AppContext {
    AppContext(Platform& p, QString folder) : platform(p), programFolder(std::move(folder)) {}

    Platform& platform;
    // The program's folder, ending in "/"; the task file and Setting.ini live here. Tests point it at a
    // temporary folder.
    QString programFolder;
    // The same folder as the file system names it, byte for byte (Qt's text form cannot hold a name that
    // is not UTF-8 on Linux); empty: programFolder's. Every file call takes its paths from here.
    std::string folderPath = {};
    // Why the folder cannot be trusted with the tasks in it (empty when it can): start-up then runs
    // nothing and nothing is written there.
    std::string folderDistrust = {};
    std::string folderDistrustedPath = {}; // the folder or the file at fault
    // A dry run makes no autostart entry, so the Load option it saves stays in this copy's memory: the
    // next real start finds in Setting.ini what is really registered.
    bool dryRun = false;
    std::optional<int> dryRunLoad;
    // A picture run (--screenshot): the window is drawn as the files say, but no task is ever armed.
    bool pictureOnly = false;

    QString taskFilePath() const;
    QString settingsPath() const;
    // The two files' paths for the core's file functions.
    std::string taskFile() const;
    std::string settingsFile() const;
    // A file of the program's own beside the task file, for the core's file functions.
    std::string folderFile(const char* name) const;
    // The memory of the window occurrences the tasks have acted in, kept beside the task file.
    std::string actedFile() const;
    // Legacy decoder for the core's file readers, backed by the platform.
    LegacyDecoder legacyDecoder() const;
    // The platform's code page both ways and its encoding of new files, for the core's file writers.
    TextCodec textCodec() const;
};

// A path as the core's file functions take it: UTF-8 on Windows, where they pass it to the wide-character
// calls (the system's 8-bit code page cannot hold every name, "张三" under a Western one), the file
// system's own encoding elsewhere.
std::string CorePath(const QString& path);
// The reverse: a path the platform or the core gave back, in Qt's form with "/" separators.
QString FromCorePath(const std::string& path);

} // namespace vantor::ui
