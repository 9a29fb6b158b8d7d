#include "app/StartUp.h"

#include "app/MainIcon.h"
#include "platform/Hints.h"

#include <QApplication>

void ConfigureApplication(QApplication& app)
{
    InstallHintTiming(app);
    QApplication::setApplicationName(QStringLiteral("Huvella"));
    QApplication::setWindowIcon(MainIcon());
}
