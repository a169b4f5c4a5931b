// Every message box of the program goes through here, so tests can answer them and see what was shown.
#pragma once

#include "core/common/message.h"

#include <QString>

#include <functional>
#include <optional>
#include <string>
#include <vector>

class QWidget;

namespace vantor::ui {

enum class Answer { Ok, Yes, No, TimedOut };

struct ShownMessage {
    QString text;
    QString title;
    MessageIcon icon = MessageIcon::None;
    bool yesNo = false;     // Yes/No buttons (else one OK button)
    bool defaultNo = false; // No is the default button
    int timeoutMs = 0;      // closes itself after this time (0 = never)
    bool systemModal = false;
};

class MessageBoxes {
public:
    // One OK button.
    static void inform(QWidget* parent, const Message& m, bool systemModal = false);
    // One OK button, without blocking anything: returns at once and the box stays until the user closes
    // it. For notices that must never stand between the user and another window (the warning).
    static void notify(const Message& m);
    // Yes/No question; with timeoutMs > 0 the box closes itself and answers TimedOut. Events (timers
    // included) go on while it is open.
    static Answer ask(QWidget* parent, const QString& text, const QString& title, bool defaultNo,
                      int timeoutMs = 0);

    // While one lives, no box is shown: each message is kept for the command line that caused it, and a
    // question gets `answer` (the command given is the user's answer to it).
    class Redirect {
    public:
        explicit Redirect(Answer answer = Answer::Yes);
        ~Redirect();
        Redirect(const Redirect&) = delete;
        Redirect& operator=(const Redirect&) = delete;
        // The texts of the messages, one line each.
        std::string text() const;

    private:
        friend class MessageBoxes;
        Answer answer_;
        std::vector<ShownMessage> messages_;
        Redirect* outer_;
    };

    // --- Test seam ---------------------------------------------------------------------------------
    // In test mode no box is shown: each call is recorded and answered at once, by the next queued
    // answer if any, else by OK / the default button.
    static void setTestMode(bool on);
    static bool testMode();
    // Queues a one-shot answer. A function answer runs in place of the open box (it may advance a clock or
    // process events, as time passing while the box is open would) and returns the answer.
    static void setNextAnswer(Answer a);
    static void setNextAnswer(std::function<Answer()> a);
    static const std::vector<ShownMessage>& shown();
    static std::optional<ShownMessage> last();
    static void reset(); // clears queued answers and the record
};

} // namespace vantor::ui
