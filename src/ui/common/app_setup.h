// What the application object needs before any window of the program exists.
#pragma once

class QTranslator;

namespace vantor::ui {

// The program ends with its main window only; every window carries the emblem; Qt's standard buttons
// and dialogs speak the program's language through `translations`, which must outlive the application.
void SetUpApplication(QTranslator& translations);

} // namespace vantor::ui
