#include "support/test_support.h"

#include "ui/common/file_dialogs.h"
#include "ui/common/message_boxes.h"

#include <QCloseEvent>
#include <QCoreApplication>
#include <QFile>
#include <QWidget>
#include <QtTest/qtestspontaneevent.h>

namespace vantor::test {

UiFixture::UiFixture() : context{platform, dir.path() + "/"} {
    ui::MessageBoxes::setTestMode(true);
    ui::MessageBoxes::reset();
    ui::FileDialogs::setTestMode(true);
    ui::FileDialogs::reset();
}

UiFixture::~UiFixture() {
    ui::MessageBoxes::reset();
    ui::FileDialogs::reset();
}

QString UiFixture::path(const QString& fileName) const {
    return context.programFolder + fileName;
}

void UiFixture::writeFile(const QString& fileName, const QByteArray& bytes) const {
    QFile f(path(fileName));
    if (f.open(QIODevice::WriteOnly)) {
        f.write(bytes);
    }
}

QByteArray UiFixture::readFile(const QString& fileName) const {
    QFile f(path(fileName));
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

bool UserClose(QWidget* window) {
    QCloseEvent event;
    QSpontaneKeyEvent::setSpontaneous(&event);
    // sendEvent would clear the spontaneous flag; the window system delivers through notify().
    QCoreApplication::instance()->notify(window, &event);
    return event.isAccepted();
}

} // namespace vantor::test
