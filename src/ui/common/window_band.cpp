#include "ui/common/window_band.h"

#include <QWidget>
#include <QWindow>

namespace vantor::ui {

void SetStaysOnTop(QWidget* window, bool on) {
    if (window == nullptr || window->windowFlags().testFlag(Qt::WindowStaysOnTopHint) == on) {
        return;
    }
    Qt::WindowFlags flags = window->windowFlags();
    flags.setFlag(Qt::WindowStaysOnTopHint, on);
    if (QWindow* handle = window->windowHandle()) {
        // The widget keeps the flags it reports; the window system window changes its band alone.
        window->overrideWindowFlags(flags);
        handle->setFlags(flags);
    } else {
        window->setWindowFlags(flags); // not made yet: nothing to hide
    }
}

} // namespace vantor::ui
