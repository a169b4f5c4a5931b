#include "ui/splash_window/splash_window.h"

#include "core/shell/app_texts.h"
#include "ui/common/emblem.h"

#include <QKeyEvent>
#include <QLabel>
#include <QMouseEvent>
#include <QPixmap>
#include <QScreen>
#include <QVBoxLayout>

#include <algorithm>

namespace vantor::ui {

namespace {

SplashWindow* g_instance = nullptr;

constexpr int kPictureSide = 270;

} // namespace

QString SplashWindow::noteText() {
    return QStringLiteral(
        "本软件无需注册,如果本软件确实对您有帮助，可以通过支付宝捐赠，感谢您的支持和鼓励。");
}

SplashWindow* SplashWindow::showWindow(QWidget* near) {
    if (g_instance == nullptr) {
        g_instance = new SplashWindow;
        if (near != nullptr && near->isVisible()) {
            g_instance->adjustSize();
            const QRect over = near->frameGeometry();
            QRect place(QPoint(0, 0), g_instance->size());
            place.moveCenter(over.center());
            if (const QScreen* screen = near->screen()) {
                const QRect free = screen->availableGeometry();
                place.moveLeft(std::clamp(place.left(), free.left(),
                                          std::max(free.left(), free.right() - place.width())));
                place.moveTop(std::clamp(place.top(), free.top(),
                                         std::max(free.top(), free.bottom() - place.height())));
            }
            g_instance->move(place.topLeft());
        }
    }
    g_instance->show();
    g_instance->raise();
    g_instance->activateWindow();
    return g_instance;
}

SplashWindow* SplashWindow::instance() {
    return g_instance;
}

// A note of fixed size: no maximise button (its layout also fixes the size the window manager is told).
SplashWindow::SplashWindow()
    : QWidget(nullptr, Qt::Window | Qt::WindowTitleHint | Qt::WindowSystemMenuHint |
                           Qt::WindowCloseButtonHint | Qt::WindowStaysOnTopHint) {
    setObjectName(QStringLiteral("frmSplash"));
    setAttribute(Qt::WA_DeleteOnClose);
    // Closing the note while the main window waits hidden in the notification area must not end the
    // program (and with it a running task).
    setAttribute(Qt::WA_QuitOnClose, false);
    const QString caption = QString::fromStdString(SplashCaption());
    setWindowTitle(caption);
    setAccessibleName(caption);
    // Keys reach the window itself: nothing inside takes the focus.
    setFocusPolicy(Qt::StrongFocus);

    image1_ = new QLabel(this);
    image1_->setObjectName(QStringLiteral("Image1"));
    image1_->setFixedSize(kPictureSide, kPictureSide);
    image1_->setPixmap(EmblemPixmap());
    image1_->setAccessibleName(QStringLiteral("Vantor标志"));
    image1_->setCursor(Qt::PointingHandCursor);
    image1_->installEventFilter(this);

    label1_ = new QLabel(noteText(), this);
    label1_->setObjectName(QStringLiteral("Label1"));
    label1_->setWordWrap(true);
    label1_->setFixedWidth(kPictureSide);
    label1_->setAccessibleName(noteText());

    auto* layout = new QVBoxLayout(this);
    layout->addWidget(label1_);
    layout->addWidget(image1_, 0, Qt::AlignHCenter);
    layout->setSizeConstraint(QLayout::SetFixedSize);
}

SplashWindow::~SplashWindow() {
    if (g_instance == this) {
        g_instance = nullptr;
    }
}

QLabel* SplashWindow::note() const {
    return label1_;
}
QLabel* SplashWindow::picture() const {
    return image1_;
}

void SplashWindow::keyPressEvent(QKeyEvent* event) {
    // Any key closes; a modifier pressed on its own (Alt on the way to Alt+Tab, say) is not a key press yet.
    switch (event->key()) {
    case Qt::Key_Shift:
    case Qt::Key_Control:
    case Qt::Key_Alt:
    case Qt::Key_AltGr:
    case Qt::Key_Meta:
    case Qt::Key_Super_L:
    case Qt::Key_Super_R:
    case Qt::Key_CapsLock:
    case Qt::Key_NumLock:
        QWidget::keyPressEvent(event);
        return;
    default:
        break;
    }
    event->accept();
    close();
}

bool SplashWindow::eventFilter(QObject* watched, QEvent* event) {
    // A click is a press and a release on the picture; releasing elsewhere after pressing on it is not one.
    if (watched == image1_ && event->type() == QEvent::MouseButtonRelease) {
        auto* mouse = static_cast<QMouseEvent*>(event);
        if (mouse->button() == Qt::LeftButton && image1_->rect().contains(mouse->position().toPoint())) {
            close();
            return true;
        }
    }
    return QWidget::eventFilter(watched, event);
}

} // namespace vantor::ui
