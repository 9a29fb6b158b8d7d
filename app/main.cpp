#include "app/StartUp.h"
#include "frmMain/TForm1.h"
#include "platform/Platform.h"
#include "platform/QtMessageBoxes.h"

#include <QApplication>

int main(int argc, char** argv)
{
    QApplication app(argc, argv);
    ConfigureApplication(app);

    QtMessageBoxes boxes;
    Platform platform{boxes};
    TForm1 Form1(platform);
    Form1.show();
    return QApplication::exec();
}
