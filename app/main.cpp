#include "app/StartUp.h"
#include "frmMain/TForm1.h"
#include "platform/ClassicSystemColors.h"
#include "platform/Platform.h"
#include "platform/QtColorChooser.h"
#include "platform/QtMessageBoxes.h"

#include <QApplication>

int main(int argc, char** argv)
{
    QApplication app(argc, argv);
    ConfigureApplication(app);

    QtMessageBoxes boxes;
    ClassicSystemColors colors;
    QtColorChooser chooser;
    Platform platform{boxes, colors, chooser};
    TForm1 Form1(platform);
    Form1.show();
    return QApplication::exec();
}
