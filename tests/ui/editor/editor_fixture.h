// Shared set-up of the task editor tests: a fake platform at a fixed "now" and the editor on its own.
#pragma once

#include "support/test_support.h"
#include "ui/common/message_boxes.h"
#include "ui/editor/task_editor.h"

#include <QApplication>
#include <QTest>
#include <QWidget>

#include <memory>

namespace vantor::test {

// Monday 7 December 2026, 10:00:00.
inline DateTime FixedNow() {
    return DateTime::fromParts(2026, 12, 7, 10, 0, 0);
}

class EditorFixture {
public:
    EditorFixture() {
        ui.platform.SetNow(FixedNow());
        editor = std::make_unique<ui::TaskEditor>(ui.context, nullptr);
    }

    template <class T> T* find(const char* name) const {
        T* w = editor->findChild<T*>(QString::fromLatin1(name));
        if (w == nullptr) {
            qFatal("control %s not found", name);
        }
        return w;
    }

    // Shows the editor as the active window, so focus moves send their events.
    bool activate() {
        editor->show();
        QApplication::setActiveWindow(editor.get());
        return QTest::qWaitForWindowActive(editor.get());
    }

    const std::vector<ui::ShownMessage>& shown() const { return ui::MessageBoxes::shown(); }

    UiFixture ui;
    std::unique_ptr<ui::TaskEditor> editor;
};

} // namespace vantor::test
