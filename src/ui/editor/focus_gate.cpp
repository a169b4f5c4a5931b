// Focus behaviour of the editor's entry boxes: select-all on entry, and a leave check that can keep the
// focus in the box.
#include "ui/editor/focus_gate.h"

#include <QApplication>
#include <QFocusEvent>
#include <QGuiApplication>
#include <QLineEdit>
#include <QTimer>
#include <QWidget>

namespace vantor::ui {

namespace {

// Moves between controls of the window; switching to another window or opening a menu is no leave.
bool IsMoveWithinWindow(Qt::FocusReason reason) {
    switch (reason) {
    case Qt::MouseFocusReason:
    case Qt::TabFocusReason:
    case Qt::BacktabFocusReason:
    case Qt::ShortcutFocusReason:
    case Qt::OtherFocusReason:
        return true;
    default:
        return false;
    }
}

} // namespace

FocusGate::FocusGate(QObject* parent) : QObject(parent) {}

FocusGate::~FocusGate() {
    if (swallowPress_ || swallowRelease_) {
        qApp->removeEventFilter(this);
    }
}

void FocusGate::guard(QWidget* box, Check check) {
    checks_[box] = std::move(check);
    box->installEventFilter(this);
}

void FocusGate::moveFocusQuietly(QWidget* to) {
    const bool wasBusy = busy_;
    busy_ = true;
    to->setFocus(Qt::OtherFocusReason);
    busy_ = wasBusy;
    if (checks_.count(to) > 0) {
        entered_ = to;
        // The program sends the user here to correct the value: typing replaces it, as after a Tab.
        if (auto* edit = qobject_cast<QLineEdit*>(to)) {
            edit->selectAll();
        }
    }
}

bool FocusGate::eventFilter(QObject* watched, QEvent* event) {
    switch (event->type()) {
    case QEvent::FocusIn: {
        auto* box = static_cast<QWidget*>(watched);
        const auto reason = static_cast<QFocusEvent*>(event)->reason();
        if (checks_.count(box) == 0 || busy_) {
            break;
        }
        entered_ = box;
        if (IsMoveWithinWindow(reason)) {
            // Typing then replaces the whole value. The line edit's own focus handling runs after this and
            // keeps a selection it finds.
            if (auto* edit = qobject_cast<QLineEdit*>(box)) {
                edit->selectAll();
            }
        }
        break;
    }
    case QEvent::FocusOut: {
        auto* box = static_cast<QWidget*>(watched);
        if (checks_.count(box) > 0 && !busy_ && entered_ == box) {
            leave(box, static_cast<QFocusEvent*>(event)->reason());
        }
        break;
    }
    case QEvent::MouseButtonPress:
    case QEvent::MouseButtonDblClick:
        if (swallowPress_) {
            // The click that tried to take the focus away does nothing else either.
            swallowPress_ = false;
            if (!swallowRelease_) {
                qApp->removeEventFilter(this);
            }
            return true;
        }
        if (swallowRelease_) {
            // A new press: the release of the refused click went elsewhere.
            swallowRelease_ = false;
            qApp->removeEventFilter(this);
        }
        break;
    case QEvent::MouseButtonRelease:
        if (swallowRelease_ && !swallowPress_) {
            swallowRelease_ = false;
            qApp->removeEventFilter(this);
            return true;
        }
        break;
    default:
        break;
    }
    return QObject::eventFilter(watched, event);
}

void FocusGate::leave(QWidget* box, int reasonValue) {
    const auto reason = static_cast<Qt::FocusReason>(reasonValue);
    QWidget* target = QApplication::focusWidget();
    // A box that can no longer hold the focus (hidden, disabled, the window going away) is not checked, nor
    // is a focus that leaves for another window.
    if (!IsMoveWithinWindow(reason) || target == nullptr || target == box || !box->isEnabled() ||
        !box->isVisible() || target->window() != box->window()) {
        entered_ = nullptr;
        return;
    }
    const Check& check = checks_[box];
    if (!check) {
        entered_ = nullptr;
        return;
    }
    LeaveVerdict verdict = check();
    if (verdict.accepted) {
        entered_ = nullptr;
        return;
    }
    // The move is cancelled before the target sees it: the focus goes back into the box, then the refusal
    // is reported with the focus where the user has to correct the value.
    busy_ = true;
    box->setFocus(Qt::OtherFocusReason);
    busy_ = false;
    entered_ = box;
    const bool byMouse = reason == Qt::MouseFocusReason;
    if (verdict.report) {
        verdict.report();
    }
    if (byMouse) {
        swallowCurrentClick();
    }
}

void FocusGate::swallowCurrentClick() {
    // The press being delivered now (it moved the focus) and, while the button is still down, its release.
    if (!swallowPress_ && !swallowRelease_) {
        qApp->installEventFilter(this);
    }
    swallowPress_ = true;
    swallowRelease_ = QGuiApplication::mouseButtons() != Qt::NoButton;
    // Should the press not arrive (it went to a popup), forget it once the event is done.
    QTimer::singleShot(0, this, [this] {
        if (swallowPress_) {
            swallowPress_ = false;
            if (!swallowRelease_) {
                qApp->removeEventFilter(this);
            }
        }
    });
}

} // namespace vantor::ui
