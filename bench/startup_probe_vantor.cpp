// The program's start-up as the entry point performs it (application and its icon, Qt's own translations,
// the native platform, the main window and its start sequence, then show), on the program folder given as
// argument.
#include "startup_probe.h"

#include "platform/native.h"
#include "ui/common/app_context.h"
#include "ui/common/app_setup.h"
#include "ui/main_window/main_window.h"
#include "ui/tray/tray_icon.h"

#include <QApplication>
#include <QTranslator>

#include <cstdio>
#include <memory>

int main(int argc, char* argv[]) {
    const long long launchNs = vantor::bench::LaunchNs();
    const long long mainNs = vantor::bench::MonotonicNs();
    if (argc < 2) {
        std::fprintf(stderr, "usage: %s PROGRAM_FOLDER\n", argv[0]);
        return 2;
    }
    vantor::ui::QuietQtNoise();
    QApplication app(argc, argv);
    vantor::bench::FirstFrameWatch watch(launchNs);
    watch.mark("main", mainNs);
    watch.mark("app");
    QTranslator qtTranslations;
    vantor::ui::SetUpApplication(qtTranslations);
    watch.mark("translator");

    std::unique_ptr<vantor::Platform> platform = vantor::CreateNativePlatform();
    QString folder = QString::fromLocal8Bit(argv[1]);
    if (!folder.endsWith(QLatin1Char('/'))) {
        folder += QLatin1Char('/');
    }
    vantor::ui::AppContext context{*platform, folder};
    watch.mark("platform");

    vantor::ui::MainWindow window(context);
    watch.setWindow(&window);
    watch.mark("window");
    window.start();
    watch.mark("start");
    if (!window.tray()->iconShown()) {
        window.show();
    }
    watch.mark("show");
    return QApplication::exec();
}
