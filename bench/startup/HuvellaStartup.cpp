// Huvella's own start-up, exactly as main() does it, up to the first paint.
#include "FirstPaint.h"
#include "app/DesktopPlatform.h"
#include "app/StartUp.h"
#include "frmMain/TForm1.h"

int main(int argc, char** argv)
{
    PrepareToolkit();
    QApplication app(argc, argv);
    ConfigureApplication(app);
    DesktopPlatform desktop;
    TForm1 Form1(desktop.platform);
    FirstPaintProbe probe;
    Form1.installEventFilter(&probe);
    Form1.show();
    return QApplication::exec();
}
