// The note window frmSplash: title and version, a short note and the program's emblem; closed by any key or
// a click on the emblem.
#pragma once

#include <QWidget>

class QLabel;

namespace vantor::ui {

class SplashWindow : public QWidget {
    Q_OBJECT
public:
    // Shows the single window modeless, topmost: the one already open is brought to the front instead of
    // opening a second one. A new window opens centred over `near` (the dialog it was opened from), as far
    // as the screen allows.
    static SplashWindow* showWindow(QWidget* near = nullptr);
    static SplashWindow* instance(); // nullptr when not open

    SplashWindow();
    ~SplashWindow() override;

    QLabel* note() const;    // Label1
    QLabel* picture() const; // Image1

    static QString noteText();

protected:
    void keyPressEvent(QKeyEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    QLabel* label1_;
    QLabel* image1_;
};

} // namespace vantor::ui
