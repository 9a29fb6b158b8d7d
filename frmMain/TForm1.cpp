#include "frmMain/TForm1.h"

TForm1::TForm1(QWidget* parent) : QWidget(parent)
{
    setWindowTitle(QStringLiteral("Huvella"));
    setFixedSize(250, 428);
}
