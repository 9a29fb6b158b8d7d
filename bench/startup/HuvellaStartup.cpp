// Huvella's own start-up, exactly as main() does it, up to the first paint.
#include "FirstPaint.h"
#include "app/StartUp.h"
#include "frmMain/TForm1.h"
#include "platform/ClassicSystemColors.h"
#include "platform/Platform.h"
#include "platform/QtColorChooser.h"
#include "platform/QtMessageBoxes.h"

int main(int argc, char** argv)
{
    QApplication app(argc, argv);
    ConfigureApplication(app);
    QtMessageBoxes boxes;
    ClassicSystemColors colors;
    QtColorChooser chooser;
    Platform platform{boxes, colors, chooser};
    TForm1 Form1(platform);
    FirstPaintProbe probe;
    Form1.installEventFilter(&probe);
    Form1.show();
    return QApplication::exec();
}
