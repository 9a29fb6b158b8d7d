#include "app/StartUp.h"

#include "app/MainIcon.h"
#include "platform/HintStyle.h"

#include <QApplication>

void ConfigureApplication(QApplication&)
{
    QApplication::setStyle(new HintStyle);
    QApplication::setApplicationName(QStringLiteral("Huvella"));
    QApplication::setWindowIcon(MainIcon());
}
