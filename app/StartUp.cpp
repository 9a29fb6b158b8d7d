#include "app/StartUp.h"

#include "app/MainIconFiles.h"
#include "frmMain/AccessibleRoles.h"
#include "platform/Hints.h"
#include "platform/qt/NoSettings.h"
#include "platform/qt/PanelCacheStyle.h"

#include <QApplication>
#include <QTimer>
#include <csignal>

void PrepareToolkit()
{
    // The window's repaints go to the X server on the connection rather than through
    // shared memory. With shared memory each repaint first waits for the server to have
    // read the previous one, a round trip through Qt's event thread at every picker
    // tick; the window is small, and sending its changed fields costs less than that
    // wait. Set by the user, the variable already means the same.
    if (!qEnvironmentVariableIsSet("QT_XCB_NO_MITSHM"))
        qputenv("QT_XCB_NO_MITSHM", "1");
}

void ConfigureApplication(QApplication& app)
{
    // A write to a closed pipe or socket (a report saved into a FIFO nobody
    // reads, the X server going away) must fail with an error, not end the program.
    std::signal(SIGPIPE, SIG_IGN);
    KeepNoSettings();
    InstallHintTiming(app, new PanelCacheStyle);
    QApplication::setApplicationName(QStringLiteral("Huvella"));
    // Names the installed desktop entry: a Wayland desktop matches the window
    // to it by this id; on X11 the entry's StartupWMClass matches the window's
    // class, which is the application name above.
    QGuiApplication::setDesktopFileName(QStringLiteral(HUVELLA_APP_ID));
    // The icon once the event loop runs, when the window's map request has gone
    // out: the window manager takes it a moment after the window appears, and
    // the icon's eight sizes are turned into window properties once, for every
    // window, rather than twice for the first before it can be shown.
    QTimer::singleShot(0, &app, [] { QApplication::setWindowIcon(MainIcon()); });
    InstallAccessibleRoles();
}
