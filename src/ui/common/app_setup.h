// What the application object needs before any window of the program exists.
#pragma once

class QTranslator;

namespace vantor::ui {

// Keeps Qt's start-up chatter that tells a user nothing off the error output ("XDG_RUNTIME_DIR not set" in
// a plain session, the headless platform's size-hint notice); every other message goes through. Called
// before the application object exists, which is when the first of them is printed.
void QuietQtNoise();

// The program ends with its main window only; every window carries the emblem; every focused control
// shows its focus; Qt's standard buttons and dialogs speak the program's language through `translations`,
// which must outlive the application.
void SetUpApplication(QTranslator& translations);

} // namespace vantor::ui
