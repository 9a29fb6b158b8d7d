#include "app/StartUp.h"

#include "app/MainIcon.h"
#include "platform/Hints.h"
#include "platform/NoSettings.h"

#include <QApplication>

void ConfigureApplication(QApplication& app)
{
    KeepNoSettings();
    InstallHintTiming(app);
    QApplication::setApplicationName(QStringLiteral("Huvella"));
    QApplication::setWindowIcon(MainIcon());
}
