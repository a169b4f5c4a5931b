// Control makers and small control helpers of the task editor.
#include "ui/common/twips.h"
#include "ui/editor/task_editor_impl.h"

#include <QCheckBox>
#include <QComboBox>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QTimer>

#include <memory>

namespace vantor::ui {

QString Q(const std::string& utf8) {
    return QString::fromStdString(utf8);
}
std::string S(const QString& text) {
    return text.toStdString();
}

QCheckBox* MakeCheck(QWidget* parent, const char* name, const char* caption, int left, int top, int width,
                     int height) {
    auto* check = new QCheckBox(QString::fromUtf8(caption), parent);
    check->setObjectName(QString::fromLatin1(name));
    check->setGeometry(TwipsRect(left, top, width, height));
    return check;
}

QLabel* MakeLabel(QWidget* parent, const char* name, const char* caption, int left, int top, int width,
                  int height) {
    auto* label = new QLabel(QString::fromUtf8(caption), parent);
    label->setObjectName(QString::fromLatin1(name));
    label->setGeometry(TwipsRect(left, top, width, height));
    return label;
}

QLineEdit* MakeBox(QWidget* parent, const char* name, const char* accessibleName, int maxLength, int left,
                   int top, int width, int height) {
    auto* box = new QLineEdit(parent);
    box->setObjectName(QString::fromLatin1(name));
    box->setAccessibleName(QString::fromUtf8(accessibleName));
    box->setGeometry(TwipsRect(left, top, width, height));
    if (maxLength > 0) {
        box->setMaxLength(maxLength);
        FollowLengthLimit(box, maxLength);
    }
    return box;
}

QComboBox* MakeList(QWidget* parent, const char* name, const char* accessibleName, const char* const* items,
                    int count, int left, int top, int width, int height) {
    auto* list = new QComboBox(parent);
    list->setObjectName(QString::fromLatin1(name));
    list->setAccessibleName(QString::fromUtf8(accessibleName));
    list->setEditable(false); // choose only, never type
    for (int i = 0; i < count; ++i) {
        list->addItem(QString::fromUtf8(items[i]));
    }
    list->setCurrentIndex(-1);
    list->setGeometry(TwipsRect(left, top, width, height));
    // Screen readers on Linux take a combo box's name from its current item and what it is for from the
    // label it is labelled by: the design shows none beside it, so an unseen one carries the name.
    auto* label = new QLabel(QString::fromUtf8(accessibleName), parent);
    label->setObjectName(QString::fromLatin1(name) + QStringLiteral("_label"));
    label->setBuddy(list);
    label->hide();
    return list;
}

QGroupBox* MakeFrame(QWidget* parent, const char* name, const char* caption, int left, int top, int width,
                     int height) {
    auto* frame = new QGroupBox(QString::fromUtf8(caption), parent);
    frame->setObjectName(QString::fromLatin1(name));
    frame->setAccessibleName(QString::fromUtf8(caption));
    frame->setGeometry(TwipsRect(left, top, width, height));
    return frame;
}

void SetLeftTwips(QWidget* w, int left) {
    w->move(Twips(left), w->y());
}
void SetWidthTwips(QWidget* w, int width) {
    w->resize(Twips(width), w->height());
}
void SetHeightTwips(QWidget* w, int height) {
    w->resize(w->width(), Twips(height));
}

void SetBoxText(QLineEdit* box, const std::string& text) {
    const QString value = Q(text);
    // QLineEdit would cut a text longer than its limit; a stored value is shown as stored.
    if (box->maxLength() < value.size()) {
        box->setMaxLength(static_cast<int>(value.size()));
    }
    box->setText(value);
}

void FollowLengthLimit(QLineEdit* box, int designLimit) {
    QObject::connect(box, &QLineEdit::textChanged, box, [box, designLimit](const QString& text) {
        const int limit = std::max(designLimit, static_cast<int>(text.size()));
        if (box->maxLength() != limit) {
            box->setMaxLength(limit);
        }
    });
}

void OnListClick(QComboBox* list, QObject* context, std::function<void(int)> handler) {
    // QComboBox reports a user's pick of the current item only as `activated`; a change comes first as
    // `currentIndexChanged` (also from code) and then, for a user's pick, as `activated` too.
    auto justChanged = std::make_shared<bool>(false);
    QObject::connect(list, &QComboBox::currentIndexChanged, context, [list, justChanged, handler](int index) {
        *justChanged = true;
        QTimer::singleShot(0, list, [justChanged] { *justChanged = false; });
        handler(index);
    });
    QObject::connect(list, &QComboBox::activated, context, [justChanged, handler](int index) {
        if (*justChanged) {
            *justChanged = false;
            return;
        }
        handler(index);
    });
}

} // namespace vantor::ui
