#include "ui/common/app_setup.h"

#include "ui/common/emblem.h"

#include <QApplication>
#include <QLibraryInfo>
#include <QTranslator>

namespace vantor::ui {

void SetUpApplication(QTranslator& translations) {
    // The warning dialog or the options dialog may be the last window shown while the main window sits
    // in the notification area: closing it must not end the program.
    QApplication::setQuitOnLastWindowClosed(false);
    QApplication::setWindowIcon(EmblemIcon());
    // Standard buttons and dialog texts in the program's language (确定 / 是 / 否).
    if (translations.load(QStringLiteral("qtbase_zh_CN"),
                          QLibraryInfo::path(QLibraryInfo::TranslationsPath))) {
        QApplication::installTranslator(&translations);
    }
}

} // namespace vantor::ui
