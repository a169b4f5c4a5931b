// The options dialog: showing the saved options, saving them with start-with-session, closing, and the
// window order it keeps with the main window.
#include "core/shell/ini.h"
#include "platform/dryrun/dry_run_platform.h"
#include "support/test_support.h"
#include "ui/common/message_boxes.h"
#include "ui/settings_dialog/settings_dialog.h"
#include "ui/splash_window/splash_window.h"

#include <QApplication>
#include <QCheckBox>
#include <QDir>
#include <QGroupBox>
#include <QPointer>
#include <QPushButton>
#include <QTest>

#include <memory>
#include <sstream>

using vantor::AutostartScope;
using vantor::MessageIcon;
using vantor::test::UiFixture;
using vantor::ui::MessageBoxes;
using vantor::ui::SettingsDialog;
using vantor::ui::SplashWindow;

using Calls = std::vector<std::string>;

namespace {

const QString kUserOnly = QStringLiteral("开机启动只对当前用户有效！");
const QString kFailed = QStringLiteral("设定开机时启动失败，请检查用户权限！");

QByteArray Ini(const QByteArray& lines) {
    return "[Setting]\r\n" + lines;
}

} // namespace

class SettingsDialogTest : public QObject {
    Q_OBJECT

    std::unique_ptr<UiFixture> fx_;

    SettingsDialog* open(QWidget* mainWindow = nullptr) {
        return SettingsDialog::showFor(fx_->context, mainWindow);
    }

    static QCheckBox* box(SettingsDialog* d, const char* name) {
        auto* b = d->findChild<QCheckBox*>(QString::fromUtf8(name));
        if (b == nullptr) {
            qFatal("no check box %s", name);
        }
        return b;
    }

    static void closeDialog() {
        if (QPointer<SettingsDialog> d = SettingsDialog::instance()) {
            d->close();
            QTRY_VERIFY(d.isNull());
        }
    }

    QString value(const char* key) const {
        return QString::fromStdString(
            vantor::ReadIniValue(vantor::kSettingsSection, key, fx_->context.settingsPath().toStdString()));
    }

    // Opens the dialog, sets the boxes and presses Save.
    void saveWith(bool autorun, bool tray, bool work, bool attray) {
        SettingsDialog* d = open();
        box(d, "chck_autorun")->setCheckState(autorun ? Qt::Checked : Qt::Unchecked);
        box(d, "chck_tray")->setCheckState(tray ? Qt::Checked : Qt::Unchecked);
        box(d, "Chck_work")->setCheckState(work ? Qt::Checked : Qt::Unchecked);
        box(d, "chck_attray")->setCheckState(attray ? Qt::Checked : Qt::Unchecked);
        QTest::mouseClick(d->findChild<QPushButton*>(QStringLiteral("Cmd_save")), Qt::LeftButton);
    }

private slots:
    void init() { fx_ = std::make_unique<UiFixture>(); }

    void cleanup() {
        closeDialog();
        if (QPointer<SplashWindow> s = SplashWindow::instance()) {
            s->close();
            QTRY_VERIFY(s.isNull());
        }
        fx_.reset();
    }

    void showsCaptionsAndStaysOnTop() {
        SettingsDialog* d = open();
        QCOMPARE(d->objectName(), QStringLiteral("Fr_setting"));
        QCOMPARE(d->windowTitle(), QStringLiteral("Vantor设定"));
        QCOMPARE(d->accessibleName(), d->windowTitle());
        QVERIFY(d->windowFlags().testFlag(Qt::WindowStaysOnTopHint));
        QVERIFY(!d->isModal());
        QCOMPARE(d->findChild<QGroupBox*>(QStringLiteral("Frame1"))->title(), QStringLiteral("选项"));
        QCOMPARE(box(d, "chck_autorun")->text(), QStringLiteral("开机时启动"));
        QCOMPARE(box(d, "chck_tray")->text(), QStringLiteral("启动时最小化"));
        QCOMPARE(box(d, "Chck_work")->text(), QStringLiteral("启动时执行任务"));
        QCOMPARE(box(d, "chck_attray")->text(), QStringLiteral("任务开始后自动最小化"));
        QCOMPARE(d->findChild<QPushButton*>(QStringLiteral("Cmd_save"))->text(), QStringLiteral("保存"));
        QCOMPARE(d->findChild<QPushButton*>(QStringLiteral("Cmd_Pay"))->text(), QStringLiteral("我喜欢"));
    }

    void loadsTheSavedStates_data() {
        QTest::addColumn<QByteArray>("file"); // empty: no Setting.ini
        QTest::addColumn<int>("load");
        QTest::addColumn<int>("tray");
        QTest::addColumn<int>("work");
        QTest::addColumn<int>("attray");
        const int U = Qt::Unchecked, P = Qt::PartiallyChecked, C = Qt::Checked;
        QTest::newRow("no file") << QByteArray() << U << U << U << U;
        QTest::newRow("all 0") << Ini("Load=0\r\nTray=0\r\nAttray=0\r\nWork=0\r\n") << U << U << U << U;
        QTest::newRow("all 1") << Ini("Load=1\r\nTray=1\r\nAttray=1\r\nWork=1\r\n") << C << C << C << C;
        QTest::newRow("2 shows grey")
            << Ini("Load=2\r\nTray=0\r\nAttray=2\r\nWork=1\r\n") << P << U << C << P;
        QTest::newRow("missing keys") << Ini("Tray=1\r\n") << U << C << U << U;
        QTest::newRow("garbage") << Ini("Load=abc\r\nTray=\r\nAttray=yes\r\nWork=1\r\n") << U << U << C << U;
        QTest::newRow("other section") << QByteArray("[Other]\r\nLoad=1\r\nTray=1\r\n") << U << U << U << U;
        QTest::newRow("names in another case")
            << QByteArray("[setting]\nLOAD=1\nwork=1\n") << C << U << C << U;
    }

    void loadsTheSavedStates() {
        QFETCH(QByteArray, file);
        QFETCH(int, load);
        QFETCH(int, tray);
        QFETCH(int, work);
        QFETCH(int, attray);
        if (!file.isEmpty()) {
            fx_->writeFile(QStringLiteral("Setting.ini"), file);
        }
        SettingsDialog* d = open();
        QCOMPARE(int(box(d, "chck_autorun")->checkState()), load);
        QCOMPARE(int(box(d, "chck_tray")->checkState()), tray);
        QCOMPARE(int(box(d, "Chck_work")->checkState()), work);
        QCOMPARE(int(box(d, "chck_attray")->checkState()), attray);
    }

    void loadIgnoresTheAutostartEntry() {
        fx_->platform.autostart[AutostartScope::Machine] = "/opt/vantor/vantor";
        fx_->writeFile(QStringLiteral("Setting.ini"), Ini("Load=0\r\n"));
        QCOMPARE(box(open(), "chck_autorun")->checkState(), Qt::Unchecked);
    }

    void saveRegistersStartWithSession_data() {
        QTest::addColumn<bool>("machineWritable");
        QTest::addColumn<bool>("userWritable");
        QTest::addColumn<QString>("load");    // Load after saving (was "0")
        QTest::addColumn<QString>("message"); // empty: none
        QTest::addColumn<Calls>("calls");
        QTest::newRow("machine ok") << true << true << "1" << QString()
                                    << Calls{"autostart-write machine /opt/vantor/vantor"};
        QTest::newRow("machine fails, user ok")
            << false << true << "1" << kUserOnly
            << Calls{"autostart-write machine /opt/vantor/vantor", "autostart-write user /opt/vantor/vantor"};
        QTest::newRow("both fail, Load kept")
            << false << false << "0" << kFailed
            << Calls{"autostart-write machine /opt/vantor/vantor", "autostart-write user /opt/vantor/vantor"};
    }

    void saveRegistersStartWithSession() {
        QFETCH(bool, machineWritable);
        QFETCH(bool, userWritable);
        QFETCH(QString, load);
        QFETCH(QString, message);
        QFETCH(Calls, calls);
        fx_->writeFile(QStringLiteral("Setting.ini"), Ini("Load=0\r\n"));
        fx_->platform.SetAutostartWritable(AutostartScope::Machine, machineWritable);
        fx_->platform.SetAutostartWritable(AutostartScope::User, userWritable);

        saveWith(true, true, false, true);

        QCOMPARE(fx_->platform.calls, calls);
        QCOMPARE(value("Load"), load);
        // The other options are saved whatever became of the registration.
        QCOMPARE(value("Tray"), QStringLiteral("1"));
        QCOMPARE(value("Attray"), QStringLiteral("1"));
        QCOMPARE(value("Work"), QStringLiteral("0"));
        if (message.isEmpty()) {
            QVERIFY(MessageBoxes::shown().empty());
        } else {
            QCOMPARE(MessageBoxes::shown().size(), size_t(1));
            QCOMPARE(MessageBoxes::last()->text, message);
            QCOMPARE(MessageBoxes::last()->title, QStringLiteral("提示"));
            QCOMPARE(MessageBoxes::last()->icon, MessageIcon::Warning);
            QVERIFY(!MessageBoxes::last()->yesNo);
        }
        QVERIFY(SettingsDialog::instance() != nullptr); // the dialog stays open
    }

    void failedRegistrationWritesNoLoadKey() {
        fx_->platform.SetAutostartWritable(AutostartScope::Machine, false);
        fx_->platform.SetAutostartWritable(AutostartScope::User, false);
        saveWith(true, false, false, false);
        QCOMPARE(value("Load"), QString());
        QCOMPARE(value("Tray"), QStringLiteral("0"));
    }

    void anOldMachineEntryDoesNotPassForANewOne() {
        // Left from an earlier installation; this user may not replace it.
        fx_->platform.autostart[AutostartScope::Machine] = "/old/place/vantor";
        fx_->platform.SetAutostartWritable(AutostartScope::Machine, false);
        saveWith(true, false, false, false);
        QCOMPARE(fx_->platform.autostart[AutostartScope::User], std::string("/opt/vantor/vantor"));
        QCOMPARE(MessageBoxes::last()->text, kUserOnly);
        QCOMPARE(value("Load"), QStringLiteral("1"));
    }

    void reopeningAfterAFailedRegistrationShowsTheSavedBox() {
        fx_->writeFile(QStringLiteral("Setting.ini"), Ini("Load=0\r\n"));
        fx_->platform.SetAutostartWritable(AutostartScope::Machine, false);
        fx_->platform.SetAutostartWritable(AutostartScope::User, false);
        saveWith(true, false, false, false);
        closeDialog();
        QCOMPARE(box(open(), "chck_autorun")->checkState(), Qt::Unchecked);
    }

    void aDryRunTakesTheRealPathAndKeepsLoadInMemory() {
        // This user may not make the machine's entry: the real program would fall back to the user's.
        fx_->writeFile(QStringLiteral("Setting.ini"), Ini("Load=0\r\n"));
        auto inner = std::make_unique<vantor::FakePlatform>();
        vantor::FakePlatform& fake = *inner;
        fake.SetAutostartWritable(AutostartScope::Machine, false);
        std::ostringstream out;
        const std::unique_ptr<vantor::Platform> dryRun = vantor::CreateDryRunPlatform(std::move(inner), out);
        vantor::ui::AppContext context{*dryRun, fx_->context.programFolder};
        context.dryRun = true;

        SettingsDialog* d = SettingsDialog::showFor(context, nullptr);
        box(d, "chck_autorun")->setCheckState(Qt::Checked);
        QTest::mouseClick(d->findChild<QPushButton*>(QStringLiteral("Cmd_save")), Qt::LeftButton);

        QCOMPARE(out.str(), std::string("dry-run: autostart-write user /opt/vantor/vantor\n"));
        QVERIFY(fake.calls.empty());
        QCOMPARE(MessageBoxes::last()->text, kUserOnly);
        // Nothing was registered, so the next real start must not find Load=1; this run remembers it.
        QCOMPARE(value("Load"), QStringLiteral("0"));
        QCOMPARE(value("Tray"), QStringLiteral("0"));
        closeDialog();
        QCOMPARE(box(SettingsDialog::showFor(context, nullptr), "chck_autorun")->checkState(), Qt::Checked);
        closeDialog();
    }

    void uncheckedSaveDeletesBothEntries() {
        fx_->writeFile(QStringLiteral("Setting.ini"), Ini("Load=1\r\n"));
        fx_->platform.autostart[AutostartScope::Machine] = "/opt/vantor/vantor";
        fx_->platform.autostart[AutostartScope::User] = "/opt/vantor/vantor";
        saveWith(false, false, false, false);
        QCOMPARE(fx_->platform.calls, (Calls{"autostart-delete machine", "autostart-delete user"}));
        QVERIFY(fx_->platform.autostart.empty());
        QCOMPARE(value("Load"), QStringLiteral("0"));
        QVERIFY(MessageBoxes::shown().empty());
    }

    void anEntryThatCannotBeDeletedIsReported() {
        // A user without rights to the machine-wide entry unticks the box.
        fx_->writeFile(QStringLiteral("Setting.ini"), Ini("Load=1\r\n"));
        fx_->platform.autostart[AutostartScope::Machine] = "/opt/vantor/vantor";
        fx_->platform.autostart[AutostartScope::User] = "/opt/vantor/vantor";
        fx_->platform.SetAutostartDeletable(AutostartScope::Machine, false);
        saveWith(false, false, false, false);
        QCOMPARE(fx_->platform.autostart.count(AutostartScope::User), size_t(0));
        QCOMPARE(MessageBoxes::shown().size(), size_t(1));
        const QString text = MessageBoxes::last()->text;
        QVERIFY2(text.contains(
                     QStringLiteral("所有用户的启动项：cannot delete the machine entry: permission denied")),
                 qPrintable(text));
        QVERIFY2(!text.contains(QStringLiteral("当前用户")), qPrintable(text));
        QCOMPARE(MessageBoxes::last()->title, QStringLiteral("提示"));
        QCOMPARE(MessageBoxes::last()->icon, MessageIcon::Warning);
        // The program still starts with the session, and the options say so.
        QCOMPARE(value("Load"), QStringLiteral("1"));
        QCOMPARE(box(SettingsDialog::instance(), "chck_autorun")->checkState(), Qt::Checked);
    }

    void writesTheFourKeysInOrder_data() {
        QTest::addColumn<bool>("on");
        QTest::newRow("every box checked") << true;
        QTest::newRow("every box unchecked") << false;
    }

    void writesTheFourKeysInOrder() {
        QFETCH(bool, on);
        saveWith(on, on, on, on);
        const QByteArray v = on ? "1" : "0";
        QList<QByteArray> lines;
        for (QByteArray line : fx_->readFile(QStringLiteral("Setting.ini")).split('\n')) {
            line = line.trimmed();
            if (!line.isEmpty()) {
                lines.append(line);
            }
        }
        QCOMPARE(lines,
                 (QList<QByteArray>{"[Setting]", "Load=" + v, "Tray=" + v, "Attray=" + v, "Work=" + v}));
    }

    void greyBoxesAreSavedAsOn() {
        fx_->writeFile(QStringLiteral("Setting.ini"), Ini("Load=2\r\nTray=2\r\nAttray=2\r\nWork=2\r\n"));
        SettingsDialog* d = open();
        QTest::mouseClick(d->findChild<QPushButton*>(QStringLiteral("Cmd_save")), Qt::LeftButton);
        for (const char* key : {"Load", "Tray", "Attray", "Work"}) {
            QCOMPARE(value(key), QStringLiteral("1"));
        }
        QCOMPARE(fx_->platform.autostart[AutostartScope::Machine], std::string("/opt/vantor/vantor"));
        QCOMPARE(box(d, "chck_tray")->checkState(), Qt::Checked); // shows what the file now holds
    }

    void aClickLeavesTheGreyStateForGood() {
        fx_->writeFile(QStringLiteral("Setting.ini"), Ini("Tray=2\r\n"));
        QCheckBox* tray = box(open(), "chck_tray");
        QTest::mouseClick(tray, Qt::LeftButton);
        QCOMPARE(tray->checkState(), Qt::Checked);
        QTest::mouseClick(tray, Qt::LeftButton);
        QCOMPARE(tray->checkState(), Qt::Unchecked);
        QTest::mouseClick(tray, Qt::LeftButton);
        QCOMPARE(tray->checkState(), Qt::Checked);
    }

    void registersTheBarePathEvenWithBlanks() {
        fx_->platform.SetProgramPath("/home/me/my apps/vantor");
        saveWith(true, false, false, false);
        QCOMPARE(fx_->platform.autostart[AutostartScope::Machine], std::string("/home/me/my apps/vantor"));
    }

    void anUnwritableSettingsFileIsReported() {
        // A folder in the file's place makes every write fail.
        QVERIFY(QDir(fx_->dir.path()).mkdir(QStringLiteral("Setting.ini")));
        saveWith(false, true, false, false);
        QCOMPARE(MessageBoxes::shown().size(), size_t(1));
        QCOMPARE(MessageBoxes::last()->title, QStringLiteral("提示"));
        QCOMPARE(MessageBoxes::last()->icon, MessageIcon::Warning);
        QVERIFY(MessageBoxes::last()->text.contains(QStringLiteral("Setting.ini")));
    }

    void escCloses_data() {
        QTest::addColumn<bool>("focusInBox");
        QTest::newRow("on the dialog") << false;
        QTest::newRow("in a check box") << true;
    }

    void escCloses() {
        QFETCH(bool, focusInBox);
        QPointer<SettingsDialog> d = open();
        QWidget* target = d.data();
        if (focusInBox) {
            target = box(d, "chck_tray");
            target->setFocus();
        }
        QTest::keyClick(target, Qt::Key_Escape);
        QTRY_VERIFY(d.isNull());
        QVERIFY(SettingsDialog::instance() == nullptr);
    }

    void otherKeysDoNotClose() {
        QPointer<SettingsDialog> d = open();
        QTest::keyClick(d.data(), Qt::Key_A);
        QTest::qWait(0);
        QVERIFY(!d.isNull());
        QVERIFY(d->isVisible());
    }

    void showingTwiceKeepsOneDialog() {
        SettingsDialog* first = open();
        SettingsDialog* second = open();
        QCOMPARE(second, first);
        int dialogs = 0;
        for (QWidget* w : QApplication::topLevelWidgets()) {
            dialogs += w->objectName() == QLatin1String("Fr_setting") && w->isVisible() ? 1 : 0;
        }
        QCOMPARE(dialogs, 1);
    }

    void mainWindowLeavesTheTopBandWhileOpen_data() {
        QTest::addColumn<bool>("topmostBefore");
        QTest::newRow("main window not topmost") << false;
        QTest::newRow("main window topmost") << true;
    }

    void mainWindowLeavesTheTopBandWhileOpen() {
        QFETCH(bool, topmostBefore);
        QWidget mainWindow;
        mainWindow.setWindowFlag(Qt::WindowStaysOnTopHint, topmostBefore);
        mainWindow.show();
        QPointer<SettingsDialog> d = open(&mainWindow);
        QVERIFY(!mainWindow.windowFlags().testFlag(Qt::WindowStaysOnTopHint));
        QVERIFY(mainWindow.isVisible());
        open(&mainWindow); // a second click on "设置" while it is open changes nothing
        d->close();
        QTRY_VERIFY(d.isNull());
        // Back in the band it was in before, never put into one it was not in.
        QCOMPARE(mainWindow.windowFlags().testFlag(Qt::WindowStaysOnTopHint), topmostBefore);
        QVERIFY(mainWindow.isVisible());
    }

    void aMainWindowInTheTrayStaysHiddenWhenTheDialogCloses() {
        QWidget mainWindow;
        mainWindow.setWindowFlag(Qt::WindowStaysOnTopHint, true);
        mainWindow.show();
        QPointer<SettingsDialog> d = open(&mainWindow);
        mainWindow.hide(); // a task started meanwhile and sent it to the notification area
        QTest::keyClick(d.data(), Qt::Key_Escape);
        QTRY_VERIFY(d.isNull());
        QVERIFY(mainWindow.windowFlags().testFlag(Qt::WindowStaysOnTopHint));
        QVERIFY(!mainWindow.isVisible());
    }

    void likeButtonTwiceOpensOneNoteWindow() {
        SettingsDialog* d = open();
        auto* pay = d->findChild<QPushButton*>(QStringLiteral("Cmd_Pay"));
        QTest::mouseClick(pay, Qt::LeftButton);
        SplashWindow* first = SplashWindow::instance();
        QVERIFY(first != nullptr);
        QTest::mouseClick(pay, Qt::LeftButton);
        QCOMPARE(SplashWindow::instance(), first);
        int open = 0;
        for (QWidget* w : QApplication::topLevelWidgets()) {
            open += w->objectName() == QLatin1String("frmSplash") && w->isVisible() ? 1 : 0;
        }
        QCOMPARE(open, 1);
        QVERIFY(first->windowFlags().testFlag(Qt::WindowStaysOnTopHint));
        QVERIFY(SettingsDialog::instance() != nullptr); // the dialog stays as it was
    }
};

QTEST_MAIN(SettingsDialogTest)
#include "settings_dialog_test.moc"
