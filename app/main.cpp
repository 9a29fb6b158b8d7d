#include "app/DesktopPlatform.h"
#include "app/StartUp.h"
#include "frmMain/TForm1.h"

#include <QApplication>

int main(int argc, char** argv)
{
    QApplication app(argc, argv);
    ConfigureApplication(app);

    DesktopPlatform desktop(PickerMode::Auto);
    TForm1 Form1(desktop.platform);
    Form1.show();
    return QApplication::exec();
}
