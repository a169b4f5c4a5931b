// The main window on a screen too small for its design (a small screen at a large scale): its size is
// bounded by the screen's free area, the controls scroll, and the window is kept inside that area.
#include "ui/common/twips.h"
#include "ui/main_window/main_window.h"
#include "ui/main_window/main_window_impl.h"

#include <QApplication>
#include <QScreen>
#include <QScrollArea>
#include <QStyle>
#include <QWindow>

#include <algorithm>

namespace vantor::ui {

namespace {

// The room a window of the screen has for its client area: the free area less the window frame. Before
// the window manager has framed the window its frame is not known; a title bar and borders are assumed.
QSize ClientRoom(const QWidget* window) {
    const QScreen* screen = window->screen();
    if (screen == nullptr) {
        return QSize(QWIDGETSIZE_MAX, QWIDGETSIZE_MAX);
    }
    QMargins frame = window->windowHandle() != nullptr ? window->windowHandle()->frameMargins() : QMargins();
    if (frame.isNull()) {
        const int border = window->style()->pixelMetric(QStyle::PM_DefaultFrameWidth) * 2;
        frame = QMargins(border, window->style()->pixelMetric(QStyle::PM_TitleBarHeight) + border, border,
                         border);
    }
    const QRect free = screen->availableGeometry();
    return QSize(free.width() - frame.left() - frame.right(), free.height() - frame.top() - frame.bottom());
}

} // namespace

void MainWindow::fitToScreen() {
    const QSize design(Twips(kWindowWidth), Twips(impl_->heightTwips));
    impl_->content->setFixedSize(design);
    const QSize room = ClientRoom(this);
    QSize size = design;
    if (impl_->scroller == nullptr && (design.width() > room.width() || design.height() > room.height())) {
        auto* scroller = new QScrollArea(this);
        scroller->setObjectName(QStringLiteral("Fr_shutdown_scroller"));
        scroller->setFrameShape(QFrame::NoFrame);
        scroller->setFocusPolicy(Qt::NoFocus);
        scroller->setWidget(impl_->content);
        scroller->show();
        impl_->scroller = scroller;
        // Whichever way the focus reaches a control (Tab, Enter, a failed check), it is scrolled into view.
        connect(qApp, &QApplication::focusChanged, this, [this](QWidget*, QWidget* now) {
            if (now != nullptr && impl_->content->isAncestorOf(now)) {
                impl_->scroller->ensureWidgetVisible(now);
            }
        });
    }
    if (impl_->scroller != nullptr) {
        // Room for the scroll bars that the cut sides need, as far as the screen has it.
        const int bar = style()->pixelMetric(QStyle::PM_ScrollBarExtent, nullptr, this);
        size += QSize(design.height() > room.height() ? bar : 0, design.width() > room.width() ? bar : 0);
        size = size.boundedTo(room);
        impl_->scroller->setGeometry(QRect(QPoint(0, 0), size));
    }
    setFixedSize(size);
    keepOnScreen();
}

void MainWindow::keepOnScreen() {
    if (!isVisible() || isMinimized() || screen() == nullptr) {
        return;
    }
    // The window grew (the task panel opened) or came back: what reaches past the free area moves in.
    const QRect free = screen()->availableGeometry();
    const QRect frame = frameGeometry();
    QPoint to = frame.topLeft();
    to.rx() -= std::max(0, frame.right() - free.right());
    to.ry() -= std::max(0, frame.bottom() - free.bottom());
    to.rx() = std::max(to.x(), free.left());
    to.ry() = std::max(to.y(), free.top());
    if (to != frame.topLeft()) {
        move(to);
    }
}

} // namespace vantor::ui
