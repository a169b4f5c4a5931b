// Vantor's entry point: builds the platform backend and the main window, nothing else.
#include "platform/dryrun/dry_run_platform.h"
#include "platform/native.h"

#include <QApplication>
#include <QWidget>

#include <iostream>

int main(int argc, char* argv[]) {
    QApplication app(argc, argv);
    std::unique_ptr<vantor::Platform> platform = vantor::CreateNativePlatform();
    if (QApplication::arguments().contains(QStringLiteral("--dry-run"))) {
        platform = vantor::CreateDryRunPlatform(std::move(platform), std::cout);
    }
    QWidget window;
    window.show();
    return app.exec();
}
