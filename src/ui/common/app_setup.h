// What the application object needs before any window of the program exists.
#pragma once

class QTranslator;

namespace vantor::ui {

// Keeps Qt's start-up chatter that tells a user nothing off the error output ("XDG_RUNTIME_DIR not set" in
// a plain session, the headless platform's size-hint notice); every other message goes through. Called
// before the application object exists, which is when the first of them is printed.
void QuietQtNoise();

// The program ends with its main window only; every window carries the emblem; text has the design's
// size (9 points) in the desktop's font family; every focused control shows its focus; Qt's standard
// buttons and dialogs speak the program's language through `translations`, which must outlive the
// application.
void SetUpApplication(QTranslator& translations);

// Installs Qt's own texts in the program's language if that has not happened yet; called before anything
// that shows them (message boxes, file choosers) is shown.
void LoadQtTranslations();

} // namespace vantor::ui
