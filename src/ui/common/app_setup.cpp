#include "ui/common/app_setup.h"

#include "core/shell/app_texts.h"
#include "ui/common/emblem.h"

#include <QApplication>
#include <QEvent>
#include <QFont>
#include <QLibraryInfo>
#include <QTranslator>
#include <QWidget>

namespace vantor::ui {

namespace {

constexpr int kDesignFontPoints = 9;

QtMessageHandler g_nextHandler = nullptr;

// Messages that say nothing a user could act on: Qt falls back to a folder of its own without a runtime
// folder, the headless platform cannot pass size hints to a window manager it does not have, and Qt's
// accessible table complains of the list's scroll bars whenever a screen reader walks the task list.
bool IsNoise(const QString& message) {
    return message.startsWith(QLatin1String("QStandardPaths: XDG_RUNTIME_DIR not set")) ||
           message == QLatin1String("This plugin does not support propagateSizeHints()") ||
           message.contains(QLatin1String("QAccessibleTable::indexOfChild"));
}

void FilterMessage(QtMsgType type, const QMessageLogContext& context, const QString& message) {
    if (type == QtWarningMsg && IsNoise(message)) {
        return;
    }
    // Qt hands back its default handler when none was installed before, so there always is a next one.
    if (g_nextHandler != nullptr) {
        g_nextHandler(type, context, message);
    }
}

QTranslator* g_translations = nullptr;
bool g_translationsLoaded = false;

// Loads Qt's own texts the first time an edit box is about to show its context menu, then steps aside.
class ContextMenuWatch : public QObject {
public:
    using QObject::QObject;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override {
        if (event->type() == QEvent::ContextMenu) {
            LoadQtTranslations();
            qApp->removeEventFilter(this);
            deleteLater();
        }
        return QObject::eventFilter(watched, event);
    }
};

} // namespace

void LoadQtTranslations() {
    if (g_translationsLoaded || g_translations == nullptr) {
        return;
    }
    g_translationsLoaded = true;
    if (g_translations->load(QStringLiteral("qtbase_zh_CN"),
                             QLibraryInfo::path(QLibraryInfo::TranslationsPath))) {
        QApplication::installTranslator(g_translations);
    }
}

void QuietQtNoise() {
    g_nextHandler = qInstallMessageHandler(FilterMessage);
}

void SetUpApplication(QTranslator& translations) {
    // The warning dialog or the options dialog may be the last window shown while the main window sits
    // in the notification area: closing it must not end the program.
    QApplication::setQuitOnLastWindowClosed(false);
    QApplication::setWindowIcon(EmblemIcon());
    // The window design places every control in twips around text of 9 points: a desktop's larger
    // default font would be cut off in them. Points and twips both follow the screen's logical DPI, so at
    // any scale the text keeps its place; the desktop's font family stays.
    QFont font = QApplication::font();
    font.setPointSize(kDesignFontPoints);
    QApplication::setFont(font);
    // Lets the desktop match the windows with the installed menu entry and its icon (Wayland's app id).
    QGuiApplication::setDesktopFileName(QString::fromLatin1(kAppId));
    // Every control with the focus shows it, however the focus came there: Qt's styles draw it only after
    // the keyboard moved it within the window, and here Enter moves it too (or a failed check, or a click
    // before a Space that then presses the button).
    QObject::connect(qApp, &QApplication::focusChanged, qApp, [](QWidget*, QWidget* now) {
        if (now != nullptr) {
            now->window()->setAttribute(Qt::WA_KeyboardFocusChange);
        }
    });
    // Standard buttons and dialog texts in the program's language (确定 / 是 / 否). The first window shows
    // none of them: they are loaded when a message box, a file chooser or a context menu first needs them.
    g_translations = &translations;
    g_translationsLoaded = false;
    qApp->installEventFilter(new ContextMenuWatch(qApp));
}

} // namespace vantor::ui
