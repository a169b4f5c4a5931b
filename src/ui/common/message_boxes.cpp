#include "ui/common/message_boxes.h"

#include "ui/common/app_setup.h"

#include <QMessageBox>
#include <QPushButton>
#include <QTimer>

#include <deque>

namespace vantor::ui {

namespace {

bool g_testMode = false;
std::deque<std::function<Answer()>> g_answers;
std::vector<ShownMessage> g_shown;
MessageBoxes::Redirect* g_redirect = nullptr;

QMessageBox::Icon ToQtIcon(MessageIcon icon) {
    switch (icon) {
    case MessageIcon::Information:
        return QMessageBox::Information;
    case MessageIcon::Warning:
        return QMessageBox::Warning;
    case MessageIcon::Question:
        return QMessageBox::Question;
    case MessageIcon::None:
        break;
    }
    return QMessageBox::NoIcon;
}

// Records the box and gives the test's answer (or the default one).
Answer Answered(const ShownMessage& m) {
    g_shown.push_back(m);
    if (!g_answers.empty()) {
        auto answer = std::move(g_answers.front());
        g_answers.pop_front();
        return answer();
    }
    if (!m.yesNo) {
        return Answer::Ok;
    }
    return m.defaultNo ? Answer::No : Answer::Yes;
}

} // namespace

MessageBoxes::Redirect::Redirect(Answer answer) : answer_(answer), outer_(g_redirect) {
    g_redirect = this;
}

MessageBoxes::Redirect::~Redirect() {
    g_redirect = outer_;
}

std::string MessageBoxes::Redirect::text() const {
    std::string text;
    for (const ShownMessage& m : messages_) {
        text += m.text.simplified().toStdString() + "\n";
    }
    return text;
}

void MessageBoxes::inform(QWidget* parent, const Message& m, bool systemModal) {
    ShownMessage shown{QString::fromStdString(m.text),
                       QString::fromStdString(m.title),
                       m.icon,
                       false,
                       false,
                       0,
                       systemModal};
    if (g_redirect != nullptr) {
        g_redirect->messages_.push_back(shown);
        return;
    }
    if (g_testMode) {
        Answered(shown);
        return;
    }
    LoadQtTranslations();
    QMessageBox box(ToQtIcon(m.icon), shown.title, shown.text, QMessageBox::Ok, parent);
    if (systemModal) {
        box.setWindowModality(Qt::ApplicationModal);
        box.setWindowFlag(Qt::WindowStaysOnTopHint, true);
    }
    box.exec();
}

void MessageBoxes::notify(const Message& m) {
    ShownMessage shown{
        QString::fromStdString(m.text), QString::fromStdString(m.title), m.icon, false, false, 0, false};
    if (g_testMode) {
        Answered(shown);
        return;
    }
    LoadQtTranslations();
    auto* box = new QMessageBox(ToQtIcon(m.icon), shown.title, shown.text, QMessageBox::Ok);
    box->setWindowModality(Qt::NonModal);
    box->setAttribute(Qt::WA_DeleteOnClose);
    box->show();
}

Answer MessageBoxes::ask(QWidget* parent, const QString& text, const QString& title, bool defaultNo,
                         int timeoutMs) {
    ShownMessage shown{text, title, MessageIcon::Question, true, defaultNo, timeoutMs, false};
    if (g_redirect != nullptr) {
        g_redirect->messages_.push_back(shown);
        return g_redirect->answer_;
    }
    if (g_testMode) {
        return Answered(shown);
    }
    LoadQtTranslations();
    QMessageBox box(QMessageBox::Question, title, text, QMessageBox::Yes | QMessageBox::No, parent);
    box.setDefaultButton(defaultNo ? QMessageBox::No : QMessageBox::Yes);
    bool timedOut = false;
    if (timeoutMs > 0) {
        QTimer::singleShot(timeoutMs, &box, [&box, &timedOut] {
            timedOut = true;
            box.done(0);
        });
    }
    const int result = box.exec();
    if (timedOut) {
        return Answer::TimedOut;
    }
    return result == QMessageBox::Yes ? Answer::Yes : Answer::No;
}

void MessageBoxes::setTestMode(bool on) {
    g_testMode = on;
}
bool MessageBoxes::testMode() {
    return g_testMode;
}

void MessageBoxes::setNextAnswer(Answer a) {
    g_answers.push_back([a] { return a; });
}

void MessageBoxes::setNextAnswer(std::function<Answer()> a) {
    g_answers.push_back(std::move(a));
}

const std::vector<ShownMessage>& MessageBoxes::shown() {
    return g_shown;
}

std::optional<ShownMessage> MessageBoxes::last() {
    if (g_shown.empty()) {
        return std::nullopt;
    }
    return g_shown.back();
}

void MessageBoxes::reset() {
    g_answers.clear();
    g_shown.clear();
}

} // namespace vantor::ui
