#include "frmMain/AccessibleRoles.h"

#include <QAccessibleWidget>
#include <QWidget>

namespace {

QAccessibleInterface* roleFor(const QString& className, QObject* object)
{
    auto* widget = qobject_cast<QWidget*>(object);
    if (widget == nullptr)
        return nullptr;
    if (className == QLatin1String("TForm1"))
        return new QAccessibleWidget(widget, QAccessible::Window);
    if (className == QLatin1String("TShape"))
        return new QAccessibleWidget(widget, QAccessible::Graphic);
    return nullptr;
}

} // namespace

void InstallAccessibleRoles()
{
    QAccessible::installFactory(roleFor);
}
