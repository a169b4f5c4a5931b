// Shared set-up of the GUI tests: a temporary program folder and the fake platform.
#pragma once

#include "platform/fake/fake_platform.h"
#include "ui/common/app_context.h"

#include <QString>
#include <QTemporaryDir>

class QWidget;

namespace vantor::test {

// A fresh program folder with the fake platform; message boxes and file dialogs in test mode.
class UiFixture {
public:
    UiFixture();
    ~UiFixture();

    FakePlatform platform;
    QTemporaryDir dir;
    ui::AppContext context;

    QString path(const QString& fileName) const;
    void writeFile(const QString& fileName, const QByteArray& bytes) const;
    QByteArray readFile(const QString& fileName) const;
};

// Delivers a close request as the window system does when the user presses the close box (a spontaneous
// close event). Returns whether the window accepted it.
bool UserClose(QWidget* window);

} // namespace vantor::test
