// The notification icon: hiding to it, coming back from it, and its tool tip following the run state.
#include "support/test_support.h"
#include "ui/common/message_boxes.h"
#include "ui/tray/tray_icon.h"

#include <QTest>
#include <QWidget>

using vantor::ui::TrayIcon;

class TrayIconTest : public QObject {
    Q_OBJECT

    bool running_ = false;
    QString operation_ = QStringLiteral("关机");

    TrayIcon* makeTray(QWidget& window) {
        return new TrayIcon(
            &window, [this] { return running_; }, [this] { return operation_; });
    }

private slots:
    void init() {
        TrayIcon::setNotificationAreaForTest(std::nullopt);
        running_ = false;
        operation_ = QStringLiteral("关机");
    }

    void totrayTwiceKeepsOneIconAndHidesTheWindow() {
        QWidget window;
        window.show();
        TrayIcon* tray = makeTray(window);
        tray->totray();
        tray->totray();
        QVERIFY(tray->iconShown());
        QVERIFY(!window.isVisible());
        // One left click is enough to bring it back: there was only one icon to remove.
        tray->handleCode(TrayIcon::kLeftButtonUp);
        QVERIFY(!tray->iconShown());
        QVERIFY(window.isVisible());
    }

    void leftClickRestoresAMinimisedWindowAndRemovesTheIcon() {
        QWidget window;
        window.showMinimized();
        TrayIcon* tray = makeTray(window);
        tray->totray();
        QVERIFY(!window.isVisible());
        tray->handleCode(514);
        QVERIFY(window.isVisible());
        QVERIFY(!window.isMinimized());
        QVERIFY(!tray->iconShown());
    }

    void rightClickDoesNothing() {
        QWidget window;
        window.show();
        TrayIcon* tray = makeTray(window);
        tray->totray();
        const QString tipBefore = tray->tipText();
        running_ = true;
        tray->handleCode(517);
        QVERIFY(tray->iconShown());
        QVERIFY(!window.isVisible());
        QCOMPARE(tray->tipText(), tipBefore);
    }

    void tipTellsTheRunState_data() {
        QTest::addColumn<bool>("running");
        QTest::addColumn<QString>("operation");
        QTest::addColumn<int>("code");
        QTest::addColumn<QString>("tip");
        QTest::newRow("shut-down runs, pointer move")
            << true << QStringLiteral("关机") << 512 << QStringLiteral("Vantor(V1.2.3)-“关机”任务执行中...");
        QTest::newRow("reminder runs, double click")
            << true << QStringLiteral("提醒") << 515 << QStringLiteral("Vantor(V1.2.3)-“提醒”任务执行中...");
        QTest::newRow("idle, pointer move")
            << false << QStringLiteral("关机") << 512 << QStringLiteral("Vantor(V1.2.3)-无任务");
        QTest::newRow("idle, middle button")
            << false << QStringLiteral("关机") << 520 << QStringLiteral("Vantor(V1.2.3)-无任务");
        QTest::newRow("dry run") << true << QStringLiteral("关机") << 512
                                 << QStringLiteral("Vantor(V1.2.3)-“关机”任务执行中...（演练）");
    }

    void tipTellsTheRunState() {
        QFETCH(bool, running);
        QFETCH(QString, operation);
        QFETCH(int, code);
        QFETCH(QString, tip);
        QWidget window;
        TrayIcon* tray = makeTray(window);
        QCOMPARE(tray->tipText(), QString()); // empty until the first refresh
        tray->setDryRun(tip.endsWith(QStringLiteral("（演练）")));
        tray->totray();
        running_ = running;
        operation_ = operation;
        tray->handleCode(code);
        QCOMPARE(tray->tipText(), tip);
    }

    void tipFollowsARunThatEnds() {
        QWidget window;
        TrayIcon* tray = makeTray(window);
        running_ = true;
        tray->totray();
        QVERIFY(tray->tipText().endsWith(QStringLiteral("“关机”任务执行中...")));
        running_ = false;
        tray->refreshTip();
        QVERIFY(tray->tipText().endsWith(QStringLiteral(")-无任务")));
    }

    void tipIsCutTo64Characters() {
        QWidget window;
        TrayIcon* tray = makeTray(window);
        running_ = true;
        operation_ = QString(80, QChar(u'关'));
        tray->handleCode(512);
        QCOMPARE(tray->tipText().size(), 64);
        QVERIFY(tray->tipText().startsWith(QStringLiteral("Vantor(V1.2.3)-“关关")));
    }

    void withoutANotificationAreaTheWindowStaysInTheTaskBar_data() {
        QTest::addColumn<bool>("area");
        QTest::newRow("no notification area: minimised, told once") << false;
        QTest::newRow("notification area: hidden, nothing said") << true;
    }

    void withoutANotificationAreaTheWindowStaysInTheTaskBar() {
        QFETCH(bool, area);
        TrayIcon::setNotificationAreaForTest(area);
        vantor::test::UiFixture fx; // message boxes recorded
        QWidget window;
        window.show();
        TrayIcon* tray = makeTray(window);
        for (int i = 0; i < 2; ++i) { // the second time in the same run says nothing new
            tray->totray();
            QCOMPARE(window.isVisible(), !area);
            QCOMPARE(window.isMinimized(), !area);
            tray->handleCode(TrayIcon::kLeftButtonUp);
            QVERIFY(window.isVisible());
            QVERIFY(!window.isMinimized());
        }
        QCoreApplication::processEvents(); // the message comes from the event loop
        const auto& shown = vantor::ui::MessageBoxes::shown();
        QCOMPARE(shown.size(), size_t(area ? 0 : 1));
        if (!area) {
            QCOMPARE(shown[0].title, QStringLiteral("提示"));
            QVERIFY(shown[0].text.contains(QStringLiteral("继续运行")));
            QVERIFY(shown[0].text.contains(QStringLiteral("Alt+Tab")));
        }
    }

    void removeOnExitLeavesNoIcon() {
        QWidget window;
        window.show();
        TrayIcon* tray = makeTray(window);
        tray->totray();
        tray->remove();
        QVERIFY(!tray->iconShown());
        tray->totray(); // can go to the notification area again afterwards
        QVERIFY(tray->iconShown());
    }
};

QTEST_MAIN(TrayIconTest)
#include "tray_icon_test.moc"
