#include "ui/common/app_context.h"

#include "core/scheduler/acted_windows.h"
#include "core/shell/ini.h"
#include "core/tasks/task_file.h"

#include <QDir>
#include <QFile>

namespace vantor::ui {

QString AppContext::taskFilePath() const {
    return programFolder + QString::fromUtf8(kTaskFileName);
}

QString AppContext::settingsPath() const {
    return programFolder + QString::fromUtf8(kSettingsFileName);
}

std::string AppContext::folderFile(const char* name) const {
    return (folderPath.empty() ? CorePath(programFolder) : folderPath) + name;
}

std::string AppContext::taskFile() const {
    return folderFile(kTaskFileName);
}

std::string AppContext::settingsFile() const {
    return folderFile(kSettingsFileName);
}

std::string AppContext::actedFile() const {
    return folderFile(kActedFileName);
}

std::string CorePath(const QString& path) {
#ifdef Q_OS_WIN
    return path.toStdString();
#else
    return QFile::encodeName(path).toStdString();
#endif
}

QString FromCorePath(const std::string& path) {
#ifdef Q_OS_WIN
    return QDir::fromNativeSeparators(QString::fromStdString(path));
#else
    return QFile::decodeName(path.c_str());
#endif
}

LegacyDecoder AppContext::legacyDecoder() const {
    Platform* p = &platform;
    return [p](std::string_view bytes) { return p->DecodeLegacy(bytes); };
}

TextCodec AppContext::textCodec() const {
    Platform* p = &platform;
    TextCodec codec(legacyDecoder());
    codec.encode = [p](std::string_view utf8) { return p->EncodeLegacy(utf8); };
    codec.forNewFiles = platform.NewFileEncoding();
    return codec;
}

} // namespace vantor::ui
