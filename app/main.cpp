#include "frmMain/TForm1.h"

#include <QApplication>

int main(int argc, char** argv)
{
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("Huvella"));
    TForm1 form;
    form.show();
    return QApplication::exec();
}
