// The note window: its texts and picture, closing by key and by the picture, and staying single.
#include "support/test_support.h"
#include "ui/splash_window/splash_window.h"

#include <QApplication>
#include <QLabel>
#include <QPointer>
#include <QTest>
#include <QTimer>

using vantor::ui::SplashWindow;

namespace {

int OpenSplashWindows() {
    int count = 0;
    for (QWidget* w : QApplication::topLevelWidgets()) {
        if (w->objectName() == QLatin1String("frmSplash") && w->isVisible()) {
            ++count;
        }
    }
    return count;
}

} // namespace

class SplashWindowTest : public QObject {
    Q_OBJECT

    // Closes what a test left open and waits until it is gone, so every test starts with no window.
    static void closeAll() {
        if (QPointer<SplashWindow> open = SplashWindow::instance()) {
            open->close();
            QTRY_VERIFY(open.isNull());
        }
        QVERIFY(SplashWindow::instance() == nullptr);
    }

private slots:
    void cleanup() { closeAll(); }

    void opensOverTheDialogItCameFrom() {
        QWidget dialog;
        dialog.setGeometry(100, 150, 300, 300); // away from the middle of the screen
        dialog.show();
        QVERIFY(QTest::qWaitForWindowExposed(&dialog));
        SplashWindow* w = SplashWindow::showWindow(&dialog);
        QVERIFY2((w->frameGeometry().center() - dialog.frameGeometry().center()).manhattanLength() <= 4,
                 qPrintable(QStringLiteral("note at %1,%2")
                                .arg(w->frameGeometry().center().x())
                                .arg(w->frameGeometry().center().y())));
    }

    void showsCaptionNoteAndPicture() {
        SplashWindow* w = SplashWindow::showWindow();
        QCOMPARE(w->objectName(), QStringLiteral("frmSplash"));
        QCOMPARE(w->windowTitle(), QStringLiteral("Vantor版本 1.2.3"));
        QCOMPARE(w->accessibleName(), w->windowTitle());
        QVERIFY(w->windowFlags().testFlag(Qt::WindowStaysOnTopHint));

        auto* note = w->findChild<QLabel*>(QStringLiteral("Label1"));
        QVERIFY(note != nullptr);
        QCOMPARE(
            note->text().toUtf8(),
            QByteArray("本软件无需注册,如果本软件确实对您有帮助，可以通过支付宝捐赠，感谢您的支持和鼓励。"));
        QVERIFY(note->wordWrap());

        auto* picture = w->findChild<QLabel*>(QStringLiteral("Image1"));
        QVERIFY(picture != nullptr);
        const QPixmap pixmap = picture->pixmap();
        QVERIFY(!pixmap.isNull()); // the emblem resource is linked in
        QCOMPARE(pixmap.size(), QSize(270, 270));
        QCOMPARE(picture->size(), QSize(270, 270));
        QVERIFY(!picture->accessibleName().isEmpty());
    }

    void anyKeyCloses_data() {
        QTest::addColumn<int>("key");
        QTest::newRow("letter") << int(Qt::Key_A);
        QTest::newRow("digit") << int(Qt::Key_5);
        QTest::newRow("space") << int(Qt::Key_Space);
        QTest::newRow("enter") << int(Qt::Key_Return);
        QTest::newRow("escape") << int(Qt::Key_Escape);
        QTest::newRow("function key") << int(Qt::Key_F1);
    }

    void anyKeyCloses() {
        QFETCH(int, key);
        QPointer<SplashWindow> w = SplashWindow::showWindow();
        QTest::keyClick(w.data(), static_cast<Qt::Key>(key));
        QTRY_VERIFY(w.isNull());
        QVERIFY(SplashWindow::instance() == nullptr);
    }

    void aModifierAloneDoesNotClose() {
        QPointer<SplashWindow> w = SplashWindow::showWindow();
        QTest::keyClick(w.data(), Qt::Key_Alt);
        QTest::keyClick(w.data(), Qt::Key_Shift);
        QTest::qWait(0);
        QVERIFY(!w.isNull());
        QVERIFY(w->isVisible());
    }

    void clickOnThePictureCloses() {
        QPointer<SplashWindow> w = SplashWindow::showWindow();
        QTest::mouseClick(w->picture(), Qt::LeftButton, {}, QPoint(135, 135));
        QTRY_VERIFY(w.isNull());
    }

    void clickOnTheNoteDoesNotClose() {
        QPointer<SplashWindow> w = SplashWindow::showWindow();
        QTest::mouseClick(w->note(), Qt::LeftButton);
        QTest::mouseClick(w.data(), Qt::LeftButton, {}, QPoint(1, 1));
        QTest::qWait(0);
        QVERIFY(!w.isNull());
        QVERIFY(w->isVisible());
    }

    void showingTwiceLeavesOneTopmostWindow() {
        SplashWindow* first = SplashWindow::showWindow();
        SplashWindow* second = SplashWindow::showWindow();
        QCOMPARE(second, first);
        QCOMPARE(OpenSplashWindows(), 1);
        QVERIFY(second->windowFlags().testFlag(Qt::WindowStaysOnTopHint));
    }

    void closingWhileTheMainWindowIsHiddenDoesNotEndTheProgram() {
        QWidget mainWindow; // shown, then hidden in the notification area
        mainWindow.show();
        mainWindow.hide();
        QPointer<SplashWindow> w = SplashWindow::showWindow();
        // Only a running event loop ends on the last window closing: run one, close the note inside it,
        // and see whether the loop ended by itself (0) or by our own later exit (7).
        QTimer::singleShot(0, w.data(), [w] { w->close(); });
        QTimer::singleShot(200, qApp, [] { QCoreApplication::exit(7); });
        QCOMPARE(QCoreApplication::exec(), 7);
        QVERIFY(w.isNull());
    }

    void opensAgainAfterClosing() {
        QPointer<SplashWindow> first = SplashWindow::showWindow();
        first->close();
        QTRY_VERIFY(first.isNull());
        SplashWindow* again = SplashWindow::showWindow();
        QVERIFY(again->isVisible());
        QCOMPARE(OpenSplashWindows(), 1);
    }
};

QTEST_MAIN(SplashWindowTest)
#include "splash_window_test.moc"
