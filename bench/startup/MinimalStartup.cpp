// The yardstick: a plain Qt Widgets window with as many controls of the same
// kinds as Huvella's, built the same way (children placed by geometry).
#include "FirstPaint.h"

#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QSlider>

int main(int argc, char** argv)
{
    QApplication app(argc, argv);
    QWidget window;
    window.setFixedSize(250, 428);
    window.setWindowTitle(QStringLiteral("Minimal"));
    for (int i = 0; i < 7; ++i)
        (new QPushButton(QStringLiteral("Button"), &window))->setGeometry(8, 6 + 30 * i, 55, 25);
    for (int i = 0; i < 8; ++i)
        (new QLineEdit(QStringLiteral("0"), &window))->setGeometry(70, 6 + 25 * i, 34, 21);
    for (int i = 0; i < 8; ++i)
        (new QLabel(QStringLiteral("Label"), &window))->setGeometry(110, 6 + 16 * i, 60, 13);
    for (int i = 0; i < 6; ++i) {
        auto* slider = new QSlider(Qt::Horizontal, &window);
        slider->setGeometry(43, 220 + 30 * i, 199, 28);
        slider->setRange(0, 255);
    }
    (new QWidget(&window))->setGeometry(168, 51, 75, 21); // the swatch's place
    FirstPaintProbe probe;
    window.installEventFilter(&probe);
    window.show();
    return QApplication::exec();
}
