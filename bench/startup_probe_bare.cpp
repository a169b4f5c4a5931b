// The start-up baseline: a bare Qt Widgets window, linked against Qt Widgets alone, shown and painted once.
// With --label the window also holds one label in the program's language, which is what loading a font
// costs on its own (the bare window draws no text, so it never does).
#include "startup_probe.h"

#include <QApplication>
#include <QLabel>
#include <QWidget>

#include <cstring>

int main(int argc, char* argv[]) {
    const long long launchNs = vantor::bench::LaunchNs();
    const long long mainNs = vantor::bench::MonotonicNs();
    const bool withLabel = argc > 1 && std::strcmp(argv[1], "--label") == 0;
    QApplication app(argc, argv);
    vantor::bench::FirstFrameWatch watch(launchNs);
    watch.mark("main", mainNs);
    watch.mark("app");

    QWidget window;
    if (withLabel) {
        new QLabel(QStringLiteral("任务设置"), &window);
    }
    watch.setWindow(&window);
    window.show();
    watch.mark("show");
    return QApplication::exec();
}
