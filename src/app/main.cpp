// Vantor's entry point: builds the platform backend and the main window, nothing else.
#include "platform/dryrun/dry_run_platform.h"
#include "platform/native.h"
#include "ui/common/app_context.h"
#include "ui/main_window/main_window.h"
#include "ui/tray/tray_icon.h"

#include <QApplication>
#include <QLibraryInfo>
#include <QPixmap>
#include <QTimer>
#include <QTranslator>

#include <iostream>
#include <memory>

namespace {

// Without a display the windowing system would abort the program with a terse message; say plainly what
// is needed and how to see the window anyway.
bool GraphicalSessionMissing() {
#if defined(Q_OS_LINUX)
    return qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM") && qEnvironmentVariableIsEmpty("DISPLAY") &&
           qEnvironmentVariableIsEmpty("WAYLAND_DISPLAY");
#else
    return false;
#endif
}

// The value after `option` on the command line, empty when the option is absent.
QString OptionValue(const QStringList& args, const QString& option) {
    const qsizetype i = args.indexOf(option);
    return i >= 0 && i + 1 < args.size() ? args.at(i + 1) : QString();
}

} // namespace

int main(int argc, char* argv[]) {
    if (GraphicalSessionMissing()) {
        std::cerr << "Vantor needs a graphical session (no DISPLAY or WAYLAND_DISPLAY is set).\n"
                     "To see the window without one, render it into a picture:\n"
                     "  QT_QPA_PLATFORM=offscreen "
                  << argv[0] << " --screenshot vantor.png\n";
        return 2;
    }
    QApplication app(argc, argv);

    // Standard buttons and dialog texts in the program's language (确定 / 是 / 否).
    QTranslator qtTranslations;
    if (qtTranslations.load(QStringLiteral("qtbase_zh_CN"),
                            QLibraryInfo::path(QLibraryInfo::TranslationsPath))) {
        QApplication::installTranslator(&qtTranslations);
    }

    const QStringList args = QApplication::arguments();
    const bool screenshotWanted = args.contains(QStringLiteral("--screenshot"));
    const QString screenshotPath = OptionValue(args, QStringLiteral("--screenshot"));
    if (screenshotWanted && screenshotPath.isEmpty()) {
        std::cerr << "--screenshot needs a file name, for example --screenshot vantor.png\n";
        return 2;
    }

    std::unique_ptr<vantor::Platform> platform = vantor::CreateNativePlatform();
    if (args.contains(QStringLiteral("--dry-run"))) {
        platform = vantor::CreateDryRunPlatform(std::move(platform), std::cout);
    }

    vantor::ui::AppContext context{*platform, QApplication::applicationDirPath() + QStringLiteral("/")};
    vantor::ui::MainWindow window(context);
    // The window exists first; the start-up runs; it is shown unless the start-up sent it to the tray.
    window.start();
    if (!window.tray()->iconShown()) {
        window.show();
    }

    if (screenshotWanted) {
        QTimer::singleShot(0, &window, [&window, screenshotPath] {
            const QPixmap picture = window.grab();
            if (picture.isNull() || !picture.save(screenshotPath, "PNG")) {
                std::cerr << "Could not write the screenshot to " << screenshotPath.toStdString() << "\n";
                QCoreApplication::exit(1);
                return;
            }
            QCoreApplication::exit(0);
        });
    }
    return QApplication::exec();
}
