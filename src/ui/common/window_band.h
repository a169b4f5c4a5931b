// Moving a window between the topmost band and the normal one.
#pragma once

class QWidget;

namespace vantor::ui {

// Puts the window into the topmost band or takes it out, in place: a shown window stays shown where it is.
// (Changing a shown window's flags the ordinary way hides and shows it again, and a window manager that
// sees it go and come back at once may never show it again, or place it anew.)
void SetStaysOnTop(QWidget* window, bool on);

} // namespace vantor::ui
