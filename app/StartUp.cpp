#include "app/StartUp.h"

#include "app/MainIcon.h"
#include "platform/Hints.h"
#include "platform/NoSettings.h"

#include <QApplication>
#include <csignal>

void ConfigureApplication(QApplication& app)
{
    // A write to a closed pipe or socket (a report saved into a FIFO nobody
    // reads, the X server going away) must fail with an error, not end the program.
    std::signal(SIGPIPE, SIG_IGN);
    KeepNoSettings();
    InstallHintTiming(app);
    QApplication::setApplicationName(QStringLiteral("Huvella"));
    QApplication::setWindowIcon(MainIcon());
}
