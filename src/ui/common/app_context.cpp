#include "ui/common/app_context.h"

#include "core/shell/ini.h"
#include "core/tasks/task_file.h"

namespace vantor::ui {

QString AppContext::taskFilePath() const { return programFolder + QString::fromUtf8(kTaskFileName); }

QString AppContext::settingsPath() const { return programFolder + QString::fromUtf8(kSettingsFileName); }

LegacyDecoder AppContext::legacyDecoder() const {
    Platform* p = &platform;
    return [p](std::string_view bytes) { return p->DecodeLegacy(bytes); };
}

} // namespace vantor::ui
