// The program's emblem: the picture of the note window and the icon of every window and of the
// notification area.
#pragma once

#include <QIcon>
#include <QPixmap>

namespace vantor::ui {

QPixmap EmblemPixmap();
QIcon EmblemIcon();

} // namespace vantor::ui
