#include "platform/qt/NoSettings.h"

#include <QSettings>

void KeepNoSettings()
{
    // A folder below a device file can be neither read nor created, so every
    // settings file resolves to nothing and every write to it fails quietly.
    // Any missing folder would not do: QSettings creates the folder it writes to.
    const QString nowhere = QStringLiteral("/dev/null");
    for (const QSettings::Format format : {QSettings::NativeFormat, QSettings::IniFormat})
        for (const QSettings::Scope scope : {QSettings::UserScope, QSettings::SystemScope})
            QSettings::setPath(format, scope, nowhere);
}
