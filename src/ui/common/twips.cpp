#include "ui/common/twips.h"

#include <QGuiApplication>
#include <QScreen>

#include <cmath>

namespace vantor::ui {

namespace {
double LogicalDpi() {
    if (const QScreen* screen = QGuiApplication::primaryScreen()) {
        return screen->logicalDotsPerInchX();
    }
    return 96.0;
}
} // namespace

int Twips(int twips) {
    return static_cast<int>(std::lround(twips * LogicalDpi() / 1440.0));
}

QRect TwipsRect(int left, int top, int width, int height) {
    return QRect(Twips(left), Twips(top), Twips(width), Twips(height));
}

int ToTwips(int pixels) {
    return static_cast<int>(std::lround(pixels * 1440.0 / LogicalDpi()));
}

} // namespace vantor::ui
