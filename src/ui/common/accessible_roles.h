// Roles for assistive tools where a widget's class does not say what it is to the user: the main window
// is a frame, the warning an alert, a caption that acts on a click a button.
#pragma once

#include <QAccessible>

class QWidget;

namespace vantor::ui {

// Gives `widget` `role` for assistive tools. Call it before the widget is first shown. A widget given the
// button role offers the press action, which emits the widget's `clicked()` signal.
void SetAccessibleRole(QWidget* widget, QAccessible::Role role);

} // namespace vantor::ui
