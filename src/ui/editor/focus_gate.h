// Focus behaviour of the editor's entry boxes: select-all on entry, and a leave check that can keep the
// focus in the box (a refused value is not left behind).
#pragma once

#include <QObject>
#include <QPointer>

#include <functional>
#include <map>

class QWidget;

namespace vantor::ui {

// What leaving a box decided: accepted (no report), or refused with the report to give once the focus is
// back in the box.
struct LeaveVerdict {
    bool accepted = true;
    std::function<void()> report;
};

class FocusGate : public QObject {
public:
    using Check = std::function<LeaveVerdict()>;

    explicit FocusGate(QObject* parent);
    ~FocusGate() override;

    // Selects the box's whole text when it gets the focus; runs `check` (when given) before the focus
    // leaves it for another control of the window.
    void guard(QWidget* box, Check check);

    // Focus moves the program makes itself run no leave check; a guarded box still gets its text selected.
    void moveFocusQuietly(QWidget* to);

    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void leave(QWidget* box, int reason);
    void swallowCurrentClick();

    std::map<QWidget*, Check> checks_;
    QPointer<QWidget> entered_; // the box that holds the focus through this gate
    bool busy_ = false;
    bool swallowPress_ = false;
    bool swallowRelease_ = false;
};

} // namespace vantor::ui
