// The program's windows as the window manager sees them (Xvfb with openbox, read back with xprop and
// xwininfo): the main window comes back from a warning restored, active and where the user put it; the
// warning is always seen (restored, on top, active, also after a minimise, and the window the tray icon
// and a second start bring), only keys typed after its first second answer it, and no notice blocks it;
// the warning shows its whole text on the screen; fixed windows offer no maximising; the options dialog
// leaves the main window's band as it was; the window with its task panel open stays on the screen at any
// scale.
#include "scheduler/scheduler_harness.h"

#include "ui/common/message_boxes.h"
#include "ui/common/window_band.h"
#include "ui/main_window/main_window.h"
#include "ui/settings_dialog/settings_dialog.h"
#include "ui/splash_window/splash_window.h"
#include "ui/tray/tray_icon.h"

#include <QApplication>
#include <QLabel>
#include <QMessageBox>
#include <QPointer>
#include <QProcess>
#include <QPushButton>
#include <QRegularExpression>
#include <QScreen>
#include <QTest>

using namespace vantor;
using namespace vantor::test;

namespace {

constexpr int kWaitMs = 20000; // generous: a loaded machine answers slowly

QString Run(const QString& program, const QStringList& args) {
    QProcess p;
    p.start(program, args);
    p.waitForFinished(5000);
    return QString::fromUtf8(p.readAllStandardOutput());
}

QString Hex(WId id) {
    return QStringLiteral("0x%1").arg(id, 0, 16);
}

QString Prop(WId id, const char* name) {
    return Run(QStringLiteral("xprop"), {QStringLiteral("-id"), Hex(id), QString::fromLatin1(name)});
}

// The first number after `label` in `text`, -1 when there is none.
long long After(const QString& text, const QString& label, int base = 10) {
    const QRegularExpressionMatch m =
        QRegularExpression(QRegularExpression::escape(label) + QStringLiteral("\\s*(?:0x)?([0-9a-f]+)"))
            .match(text);
    return m.hasMatch() ? m.captured(1).toLongLong(nullptr, base) : -1;
}

// WM_STATE as the window manager keeps it: "Normal", "Iconic", or empty for a withdrawn window.
QString WmState(WId id) {
    const QRegularExpressionMatch m =
        QRegularExpression(QStringLiteral("window state: (\\w+)")).match(Prop(id, "WM_STATE"));
    return m.hasMatch() ? m.captured(1) : QString();
}

bool Viewable(WId id) {
    return Run(QStringLiteral("xwininfo"), {QStringLiteral("-id"), Hex(id)})
        .contains(QStringLiteral("IsViewable"));
}

QPoint ClientPosition(WId id) {
    const QString info = Run(QStringLiteral("xwininfo"), {QStringLiteral("-id"), Hex(id)});
    return QPoint(int(After(info, QStringLiteral("Absolute upper-left X:"))),
                  int(After(info, QStringLiteral("Absolute upper-left Y:"))));
}

WId ActiveWindow() {
    return WId(
        After(Run(QStringLiteral("xprop"), {QStringLiteral("-root"), QStringLiteral("_NET_ACTIVE_WINDOW")}),
              QStringLiteral("window id #"), 16));
}

// The frame of a client window on the root, from its position and the frame extents the manager reports.
QRect FrameOnRoot(WId id, QSize clientSize) {
    const QRegularExpressionMatch m = QRegularExpression(QStringLiteral("= (\\d+), (\\d+), (\\d+), (\\d+)"))
                                          .match(Prop(id, "_NET_FRAME_EXTENTS"));
    const QMargins extents = m.hasMatch() ? QMargins(m.captured(1).toInt(), m.captured(3).toInt(),
                                                     m.captured(2).toInt(), m.captured(4).toInt())
                                          : QMargins();
    return QRect(ClientPosition(id), clientSize).marginsAdded(extents);
}

QRect WorkArea() {
    const QRegularExpressionMatch m =
        QRegularExpression(QStringLiteral("= (\\d+), (\\d+), (\\d+), (\\d+)"))
            .match(Run(QStringLiteral("xprop"), {QStringLiteral("-root"), QStringLiteral("_NET_WORKAREA")}));
    return m.hasMatch() ? QRect(m.captured(1).toInt(), m.captured(2).toInt(), m.captured(3).toInt(),
                                m.captured(4).toInt())
                        : QRect();
}

// What makes a fixed window unmaximisable to every kind of window manager; empty when all of it holds.
QString MaximiseOffers(QWidget* window) {
    const WId id = window->winId();
    QString found;
    const QString hints = Prop(id, "WM_NORMAL_HINTS");
    const QRegularExpression size(QStringLiteral("(minimum|maximum) size: (\\d+) by (\\d+)"));
    QStringList sizes;
    for (auto it = size.globalMatch(hints); it.hasNext();) {
        const QRegularExpressionMatch m = it.next();
        sizes << m.captured(2) + QLatin1Char('x') + m.captured(3);
    }
    if (sizes.size() != 2 || sizes[0] != sizes[1]) {
        found += QStringLiteral(" size hints %1;").arg(sizes.join(QLatin1Char('/')));
    }
    const QRegularExpressionMatch motif =
        QRegularExpression(QStringLiteral("= (0x[0-9a-f]+), (0x[0-9a-f]+), (0x[0-9a-f]+)"))
            .match(Prop(id, "_MOTIF_WM_HINTS"));
    const int functions = motif.captured(2).toInt(nullptr, 16);
    const int decorations = motif.captured(3).toInt(nullptr, 16);
    if (!motif.hasMatch() || (functions & 0x11) != 0 || (decorations & 0x41) != 0) {
        found += QStringLiteral(" motif hints %1, %2;").arg(motif.captured(2), motif.captured(3));
    }
    if (Prop(id, "_NET_WM_ALLOWED_ACTIONS").contains(QStringLiteral("MAXIMIZE"))) {
        found += QStringLiteral(" the manager allows maximising;");
    }
    return found;
}

// Shows the harness's window and waits until the manager has mapped it.
bool Mapped(QWidget* window) {
    return QTest::qWaitFor([window] { return Viewable(window->winId()); }, kWaitMs);
}

} // namespace

class WindowStatesTest : public QObject {
    Q_OBJECT
private slots:
    void init() { ui::TrayIcon::setNotificationAreaForTest(false); } // openbox has no notification area
    void cleanup() { ui::TrayIcon::setNotificationAreaForTest(std::nullopt); }

    void warningBringsTheMainWindowBack_data();
    void warningBringsTheMainWindowBack();
    void warningIsSeenAndAnsweredOnPurpose();
    void warningShowsItsWholeText_data();
    void warningShowsItsWholeText();
    void fixedWindowsOfferNoMaximising_data();
    void fixedWindowsOfferNoMaximising();
    void optionsDialogLeavesTheBandAsItWas_data();
    void optionsDialogLeavesTheBandAsItWas();
    void taskPanelStaysOnTheScreen();
};

void WindowStatesTest::warningBringsTheMainWindowBack_data() {
    QTest::addColumn<bool>("minimised");
    QTest::addColumn<QString>("close");
    for (const char* close : {"ok", "continue", "cancel", "countdown"}) {
        QTest::addRow("minimised, %s", close) << true << QString::fromLatin1(close);
    }
    QTest::newRow("shown, cancel") << false << QStringLiteral("cancel");
}

void WindowStatesTest::warningBringsTheMainWindowBack() {
    QFETCH(bool, minimised);
    QFETCH(QString, close);
    Harness h;
    const WId id = h.window.winId();
    QVERIFY(Mapped(&h.window));
    // Where the user put it.
    Run(QStringLiteral("xdotool"),
        {QStringLiteral("windowmove"), QString::number(id), QStringLiteral("300"), QStringLiteral("284")});
    QTRY_COMPARE_WITH_TIMEOUT(h.window.geometry().topLeft(), QPoint(300, 284), kWaitMs);
    if (minimised) {
        h.window.totray(); // no notification area: minimised, as "任务开始后自动最小化" does
        QTRY_COMPARE_WITH_TIMEOUT(WmState(id), QStringLiteral("Iconic"), kWaitMs);
    }

    h.compose(CountdownTask(5, OpLock));
    h.run().showWarning();
    // Withdrawn while the warning shows (the manager keeps no state for it).
    QTRY_COMPARE_WITH_TIMEOUT(WmState(id), QString(), kWaitMs);
    QVERIFY(Mapped(h.dialog()));
    if (close == QLatin1String("ok")) {
        h.dialog()->cmdOkClick();
    } else if (close == QLatin1String("continue")) {
        h.dialog()->cmdNextClick();
    } else if (close == QLatin1String("cancel")) {
        h.platform().AdvanceMs(ui::WarningDialog::kKeyGuardMs);
        QTest::keyClick(h.dialog(), Qt::Key_Escape);
    } else {
        QCOMPARE(h.countDown(), 60);
    }

    // Restored, shown, active, and where it was.
    QTRY_VERIFY_WITH_TIMEOUT(Viewable(id), kWaitMs);
    QTRY_COMPARE_WITH_TIMEOUT(WmState(id), QStringLiteral("Normal"), kWaitMs);
    QVERIFY(!Prop(id, "_NET_WM_STATE").contains(QStringLiteral("HIDDEN")));
    QTRY_COMPARE_WITH_TIMEOUT(ActiveWindow(), id, kWaitMs);
    QCOMPARE(ClientPosition(id), QPoint(300, 284));
    // Minimised where no notification area is: the user was told once how to get back to the window.
    QCoreApplication::processEvents();
    QCOMPARE(ui::MessageBoxes::shown().size(), size_t(minimised ? 1 : 0));
}

// Counts the key presses the program receives.
class KeyPresses : public QObject {
public:
    int count = 0;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override {
        if (event->type() == QEvent::KeyPress && watched->isWidgetType()) {
            ++count;
        }
        return QObject::eventFilter(watched, event);
    }
};

// The warning as the window manager keeps it: shown, not minimised, above the others and active.
QString WarningSeen(ui::WarningDialog* d) {
    const WId id = d->winId();
    QString wrong;
    if (!Viewable(id)) {
        wrong += QStringLiteral(" not viewable;");
    }
    if (WmState(id) != QLatin1String("Normal")) {
        wrong += QStringLiteral(" state '%1';").arg(WmState(id));
    }
    const QString states = Prop(id, "_NET_WM_STATE");
    if (states.contains(QStringLiteral("HIDDEN"))) {
        wrong += QStringLiteral(" hidden;");
    }
    if (!states.contains(QStringLiteral("_NET_WM_STATE_ABOVE"))) {
        wrong += QStringLiteral(" not above;");
    }
    if (ActiveWindow() != id) {
        wrong += QStringLiteral(" not active;");
    }
    return wrong;
}

void WindowStatesTest::warningIsSeenAndAnsweredOnPurpose() {
    Harness h;
    const WId main = h.window.winId();
    QVERIFY(Mapped(&h.window));
    // No notification area: the run minimises the window and tells the user so with a real box, which
    // stays open while the warning comes.
    ui::MessageBoxes::setTestMode(false);
    h.window.totray();
    QPointer<QMessageBox> notice;
    for (QWidget* w : QApplication::topLevelWidgets()) {
        if (auto* box = qobject_cast<QMessageBox*>(w); box != nullptr && box->isVisible()) {
            notice = box;
        }
    }
    QVERIFY(notice != nullptr);
    QVERIFY(Mapped(notice));

    h.compose(CountdownTask(5, OpLock));
    h.run().showWarning();
    ui::WarningDialog* d = h.dialog();
    QTRY_VERIFY2_WITH_TIMEOUT(WarningSeen(d).isEmpty(), qPrintable(WarningSeen(d)), kWaitMs);

    // Minimised by the user, it comes back.
    Run(QStringLiteral("xdotool"), {QStringLiteral("windowminimize"), QString::number(d->winId())});
    QTRY_VERIFY2_WITH_TIMEOUT(WarningSeen(d).isEmpty(), qPrintable(WarningSeen(d)), kWaitMs);
    // A click on the tray icon or a second start brings the warning, not an idle-looking main window.
    Run(QStringLiteral("xdotool"), {QStringLiteral("windowactivate"), QString::number(notice->winId())});
    QTRY_COMPARE_WITH_TIMEOUT(ActiveWindow(), notice->winId(), kWaitMs);
    h.window.tray()->restoreWindow();
    QTRY_VERIFY2_WITH_TIMEOUT(WarningSeen(d).isEmpty(), qPrintable(WarningSeen(d)), kWaitMs);
    QCOMPARE(WmState(main), QString());

    // Typed through the window system: within the first second after the warning took the keyboard, "h"
    // and a space are someone's typing and answer nothing; after it, Esc cancels although the notice is
    // still open.
    KeyPresses typed;
    qApp->installEventFilter(&typed);
    Run(QStringLiteral("xdotool"), {QStringLiteral("key"), QStringLiteral("h"), QStringLiteral("space")});
    QTRY_VERIFY_WITH_TIMEOUT(typed.count >= 2, kWaitMs); // both reached the program
    qApp->removeEventFilter(&typed);
    QVERIFY(d->isOpen());
    h.platform().AdvanceMs(ui::WarningDialog::kKeyGuardMs);
    Run(QStringLiteral("xdotool"), {QStringLiteral("key"), QStringLiteral("Escape")});
    QTRY_VERIFY_WITH_TIMEOUT(!d->isOpen(), kWaitMs);
    QCOMPARE(d->closeChoice(), int(ui::WarningDialog::ChoiceCancel));
    QVERIFY(!Contains(h.platform().calls, "lock"));
    QVERIFY(!notice.isNull());

    // A warning that closed minimised (the window keeps that state while hidden) opens restored, on top
    // and active the next time, which is a tick later at the earliest.
    QTRY_VERIFY_WITH_TIMEOUT(!Viewable(d->winId()), kWaitMs);
    d->setWindowState(Qt::WindowMinimized);
    QTest::qWait(1000);
    h.run().showWarning();
    QTRY_VERIFY2_WITH_TIMEOUT(WarningSeen(d).isEmpty(), qPrintable(WarningSeen(d)), kWaitMs);
    d->cmdCancelClick();
    notice->close();
    ui::MessageBoxes::setTestMode(true);
}

void WindowStatesTest::warningShowsItsWholeText_data() {
    QTest::addColumn<int>("operation");
    QTest::addColumn<QString>("tips");
    QTest::newRow("a process name of 15 characters")
        << int(OpEndProcess) << QStringLiteral("ABCDEFGHIJK.EXE");
    QTest::newRow("a long reminder") << int(OpRemind)
                                     << QStringLiteral("该开会了，请带上笔记本和上周的报告。").repeated(40);
}

void WindowStatesTest::warningShowsItsWholeText() {
    QFETCH(int, operation);
    QFETCH(QString, tips);
    Harness h;
    h.platform().SetRunningProcesses({tips.toStdString()});
    h.compose(CountdownTask(5, operation, tips.toStdString()), false, true);
    h.run().showWarning();
    ui::WarningDialog* d = h.dialog();
    QVERIFY(Mapped(d));
    QLabel* text = d->textLabel();
    if (operation == OpEndProcess) {
        QVERIFY(text->text().endsWith(QStringLiteral("3、点击“取消”将结束工作。")));
    }
    // Every line of the text inside its area, the area above the countdown line and the buttons, all of
    // it inside the window, and the window with its frame on the screen.
    QVERIFY2(text->heightForWidth(text->width()) <= text->height(),
             qPrintable(QStringLiteral("text needs %1 px, has %2")
                            .arg(text->heightForWidth(text->width()))
                            .arg(text->height())));
    QVERIFY(text->geometry().bottom() < d->countdownLabel()->y());
    for (QWidget* w : {static_cast<QWidget*>(d->countdownLabel()), static_cast<QWidget*>(d->okButton()),
                       static_cast<QWidget*>(d->cancelButton())}) {
        QVERIFY(d->rect().contains(w->geometry()));
        QVERIFY(w->y() >= text->geometry().bottom());
    }
    const qreal scale = d->devicePixelRatioF();
    QRect work;
    // Read again while a loaded machine lets xprop time out.
    QTRY_VERIFY_WITH_TIMEOUT(!(work = WorkArea()).isEmpty(), kWaitMs);
    QTRY_VERIFY2_WITH_TIMEOUT(work.contains(FrameOnRoot(d->winId(), d->size() * scale)),
                              qPrintable(QStringLiteral("frame %1,%2 %3x%4 outside the work area")
                                             .arg(FrameOnRoot(d->winId(), d->size() * scale).x())
                                             .arg(FrameOnRoot(d->winId(), d->size() * scale).y())
                                             .arg(FrameOnRoot(d->winId(), d->size() * scale).width())
                                             .arg(FrameOnRoot(d->winId(), d->size() * scale).height())),
                              kWaitMs);
    d->cmdCancelClick();
}

void WindowStatesTest::fixedWindowsOfferNoMaximising_data() {
    QTest::addColumn<QString>("window");
    for (const char* window : {"main window", "warning", "options", "note", "message box"}) {
        QTest::newRow(window) << QString::fromLatin1(window);
    }
}

void WindowStatesTest::fixedWindowsOfferNoMaximising() {
    QFETCH(QString, window);
    Harness h;
    QWidget* shown = &h.window;
    if (window == QLatin1String("warning")) {
        h.compose(CountdownTask(5, OpLock));
        h.run().showWarning();
        shown = h.dialog();
    } else if (window == QLatin1String("options")) {
        shown = ui::SettingsDialog::showFor(h.context, &h.window);
    } else if (window == QLatin1String("note")) {
        shown = ui::SplashWindow::showWindow();
    }
    if (window == QLatin1String("message box")) {
        // A real box, read while it waits for its answer.
        ui::MessageBoxes::setTestMode(false);
        QString offers = QStringLiteral("not shown");
        QTimer::singleShot(0, [&offers] {
            QWidget* box = nullptr;
            if (QTest::qWaitFor(
                    [&box] {
                        box = QApplication::activeModalWidget();
                        return box != nullptr && Viewable(box->winId());
                    },
                    kWaitMs)) {
                offers = MaximiseOffers(box);
            }
            if (box != nullptr) {
                box->close();
            }
        });
        ui::MessageBoxes::inform(&h.window,
                                 Message{"未设定任务，不能执行任务！", "提示", MessageIcon::Warning});
        ui::MessageBoxes::setTestMode(true);
        QVERIFY2(offers.isEmpty(), qPrintable(offers));
        return;
    }
    QVERIFY(Mapped(shown));
    const QString offers = MaximiseOffers(shown);
    QVERIFY2(offers.isEmpty(), qPrintable(offers));
    if (QPointer<ui::SettingsDialog> d = ui::SettingsDialog::instance()) {
        d->close();
        QTRY_VERIFY_WITH_TIMEOUT(d.isNull(), kWaitMs);
    }
    if (QPointer<ui::SplashWindow> s = ui::SplashWindow::instance()) {
        s->close();
        QTRY_VERIFY_WITH_TIMEOUT(s.isNull(), kWaitMs);
    }
}

void WindowStatesTest::optionsDialogLeavesTheBandAsItWas_data() {
    QTest::addColumn<bool>("topmost");
    QTest::newRow("main window in the normal band") << false;
    QTest::newRow("main window topmost") << true;
}

void WindowStatesTest::optionsDialogLeavesTheBandAsItWas() {
    QFETCH(bool, topmost);
    Harness h;
    QVERIFY(Mapped(&h.window));
    ui::SetStaysOnTop(&h.window, topmost);
    // A change of band may give the window a new X window: asked afresh each time.
    auto above = [&h] {
        return Prop(h.window.winId(), "_NET_WM_STATE").contains(QStringLiteral("_NET_WM_STATE_ABOVE"));
    };
    QTRY_COMPARE_WITH_TIMEOUT(above(), topmost, kWaitMs);

    h.window.cmdSettingClick();
    QPointer<ui::SettingsDialog> d = ui::SettingsDialog::instance();
    QVERIFY(Mapped(d));
    QTRY_VERIFY_WITH_TIMEOUT(!above(), kWaitMs); // the options stay above it while open
    QTest::keyClick(d.data(), Qt::Key_Escape);
    QTRY_VERIFY_WITH_TIMEOUT(d.isNull(), kWaitMs);
    QVERIFY(Mapped(&h.window));
    QTRY_COMPARE_WITH_TIMEOUT(above(), topmost, kWaitMs);
    QTest::qWait(300); // and it stays so
    QCOMPARE(above(), topmost);
}

void WindowStatesTest::taskPanelStaysOnTheScreen() {
    UiFixture f;
    ui::MainWindow w(f.context);
    w.start();
    w.show();
    const WId id = w.winId();
    QVERIFY(Mapped(&w));
    const qreal scale = w.devicePixelRatioF();
    QRect work;
    // Read again while a loaded machine lets xprop time out.
    QTRY_VERIFY_WITH_TIMEOUT(!(work = WorkArea()).isEmpty(), kWaitMs);
    // Low on the screen, where the panel opening downwards would reach past the bottom.
    const int low = work.bottom() - int(w.height() * scale) - 40;
    Run(QStringLiteral("xdotool"),
        {QStringLiteral("windowmove"), QString::number(id), QStringLiteral("40"), QString::number(low)});
    QTRY_COMPARE_WITH_TIMEOUT(ClientPosition(id).y(), low, kWaitMs);

    w.labTaskClick();
    QCOMPARE(w.heightTwips(), 7275);
    QTRY_VERIFY2_WITH_TIMEOUT(work.contains(FrameOnRoot(id, w.size() * scale)),
                              qPrintable(QStringLiteral("frame %1,%2 %3x%4 outside the work area %5x%6")
                                             .arg(FrameOnRoot(id, w.size() * scale).x())
                                             .arg(FrameOnRoot(id, w.size() * scale).y())
                                             .arg(FrameOnRoot(id, w.size() * scale).width())
                                             .arg(FrameOnRoot(id, w.size() * scale).height())
                                             .arg(work.width())
                                             .arg(work.height())),
                              kWaitMs);
    // The lowest buttons of the panel come into view when the keyboard reaches them.
    for (const char* name : {"Cmd_revistask", "Cmd_task_check"}) {
        auto* button = w.findChild<QPushButton*>(QString::fromLatin1(name));
        button->setFocus(Qt::TabFocusReason);
        QTRY_VERIFY2_WITH_TIMEOUT(w.rect().contains(QRect(button->mapTo(&w, QPoint(0, 0)), button->size())),
                                  name, kWaitMs);
    }
}

QTEST_MAIN(WindowStatesTest)
#include "window_states_test.moc"
