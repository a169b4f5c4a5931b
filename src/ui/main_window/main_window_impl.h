// The main window's controls and state, shared by the files that implement its handlers.
#pragma once

#include "ui/main_window/main_window.h"

#include <QLabel>
#include <QPoint>

#include <optional>

class QCheckBox;
class QGroupBox;
class QPushButton;
class QScrollArea;

namespace vantor::ui {

// Window heights in twips: compact, after the start-up warning about missing tasks, task panel open.
inline constexpr int kCompactHeight = 4395;
inline constexpr int kWarningHeight = 6720;
inline constexpr int kPanelHeight = 7275;
inline constexpr int kWindowWidth = 8400;

// lab_task: a caption that acts on a click, like the label of the window design. The keyboard reaches it
// too (Tab, then Enter or space), and assistive tools see a button.
class ClickLabel : public QLabel {
    Q_OBJECT
public:
    ClickLabel(const QString& text, QWidget* parent);

signals:
    void clicked();

protected:
    void mouseReleaseEvent(QMouseEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void paintEvent(QPaintEvent* event) override;
};

class MainWindow::Impl {
public:
    QWidget* content = nullptr;      // every control, at the places of the design
    QScrollArea* scroller = nullptr; // made only when the screen cannot show the whole design
    TaskEditor* editor = nullptr;
    TaskList* taskList = nullptr;
    RunControl* run = nullptr;
    TrayIcon* tray = nullptr;
    HistoryWindow* history = nullptr; // made on first use
    QLabel* labState = nullptr;
    QPushButton* cmdStart = nullptr;
    QPushButton* cmdSetting = nullptr;
    QCheckBox* chckTask = nullptr;
    QCheckBox* chckGoon = nullptr;
    ClickLabel* labTask = nullptr;
    QGroupBox* frmTask = nullptr;
    QPushButton* cmdAddtask = nullptr;
    QPushButton* cmdDeltask = nullptr;
    QPushButton* cmdRevistask = nullptr;
    QPushButton* cmdTaskCheck = nullptr;
    int heightTwips = 0;
    // False once start-up found a task file it could not read: from then on no rewrite or append may
    // replace it.
    bool taskFileRead = true;
    // Where the window was when the program last hid it; it comes back there.
    std::optional<QPoint> keptPosition;
};

} // namespace vantor::ui
