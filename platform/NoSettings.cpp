#include "platform/NoSettings.h"

#include <QSettings>

void KeepNoSettings()
{
    // Nothing can be created below a device file, not even by root.
    const QString nowhere = QStringLiteral("/dev/null/huvella-keeps-no-settings");
    for (QSettings::Format format : {QSettings::NativeFormat, QSettings::IniFormat})
        for (QSettings::Scope scope : {QSettings::UserScope, QSettings::SystemScope})
            QSettings::setPath(format, scope, nowhere);
}
