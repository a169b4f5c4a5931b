// Positions and sizes of the window design are in twips (1/1440 inch); this converts them to pixels at
// the screen's logical DPI.
#pragma once

#include <QRect>

class QWidget;

namespace vantor::ui {

// Pixels for a length in twips at the logical DPI of the primary screen (96 DPI: 15 twips per pixel).
int Twips(int twips);
QRect TwipsRect(int left, int top, int width, int height);
// Twips for a length in pixels (inverse of Twips, rounded).
int ToTwips(int pixels);

} // namespace vantor::ui
