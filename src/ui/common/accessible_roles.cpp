#include "ui/common/accessible_roles.h"

#include <QAccessibleWidget>
#include <QMetaObject>
#include <QVariant>
#include <QWidget>

namespace vantor::ui {

namespace {

constexpr const char* kRoleProperty = "vantorAccessibleRole";

class RoleInterface : public QAccessibleWidget {
public:
    RoleInterface(QWidget* widget, QAccessible::Role role) : QAccessibleWidget(widget, role) {}

    QStringList actionNames() const override {
        QStringList names = QAccessibleWidget::actionNames();
        if (role() == QAccessible::Button && widget()->isEnabled()) {
            names.prepend(pressAction());
        }
        return names;
    }

    void doAction(const QString& name) override {
        if (name == pressAction() && role() == QAccessible::Button) {
            if (widget()->isEnabled()) {
                QMetaObject::invokeMethod(widget(), "clicked");
            }
            return;
        }
        QAccessibleWidget::doAction(name);
    }
};

// Asked for every class of an object, most derived first: answers for the widgets given a role.
QAccessibleInterface* RoleFactory(const QString&, QObject* object) {
    auto* widget = qobject_cast<QWidget*>(object);
    if (widget == nullptr) {
        return nullptr;
    }
    const QVariant role = widget->property(kRoleProperty);
    if (!role.isValid()) {
        return nullptr;
    }
    return new RoleInterface(widget, static_cast<QAccessible::Role>(role.toInt()));
}

} // namespace

void SetAccessibleRole(QWidget* widget, QAccessible::Role role) {
    static const bool installed = [] {
        QAccessible::installFactory(RoleFactory);
        return true;
    }();
    (void)installed;
    widget->setProperty(kRoleProperty, static_cast<int>(role));
}

} // namespace vantor::ui
