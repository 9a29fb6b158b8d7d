// A second yardstick: a plain Qt Widgets window that shows what Huvella's
// window shows, with stock controls at the same places, the same captions and
// the same 8 pt face in its two weights. Beside the bare yardstick, it tells
// what Huvella's own code costs at start-up apart from the text it draws.
#include "FirstPaint.h"

#include <QFontDatabase>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QSlider>

int main(int argc, char** argv)
{
    QApplication app(argc, argv);
    QFont font = QFontDatabase::systemFont(QFontDatabase::GeneralFont);
    font.setPointSize(8);
    QApplication::setFont(font);
    QFont bold = font;
    bold.setBold(true);

    QWidget window;
    window.setFixedSize(250, 428);
    window.setWindowTitle(QStringLiteral("Same text"));
    const auto button = [&](int left, int top, int width, const char* caption) {
        (new QPushButton(QString::fromLatin1(caption), &window))->setGeometry(left, top, width, 25);
    };
    const auto label = [&](int left, int top, int width, const char* caption, bool isBold) {
        auto* label = new QLabel(QString::fromLatin1(caption), &window);
        label->setGeometry(left, top, width, 13);
        label->setAlignment(Qt::AlignHCenter | Qt::AlignTop);
        if (isBold)
            label->setFont(bold);
    };
    const auto edit = [&](int left, int top, int width, const char* text, bool isBold) {
        auto* edit = new QLineEdit(QString::fromLatin1(text), &window);
        edit->setGeometry(left, top, width, 21);
        if (isBold)
            edit->setFont(bold);
    };
    const auto slider = [&](int left, int top, int width, int height, int max) {
        auto* slider = new QSlider(Qt::Horizontal, &window);
        slider->setGeometry(left, top, width, height);
        slider->setRange(0, max);
    };
    button(8, 6, 235, "Translate a color to his values...");
    label(8, 36, 63, "Hex (HTML)", false);
    label(77, 36, 82, "Dec", false);
    label(168, 36, 74, "Color", false);
    edit(8, 51, 63, "#000000", false);
    edit(77, 51, 82, "0", false);
    (new QWidget(&window))->setGeometry(168, 51, 75, 21); // the swatch's place
    button(8, 76, 235, "Translate HTML color value to Color");
    button(8, 106, 234, "Pick a color from desktop");
    label(8, 141, 235, " RGB mixer", true);
    label(7, 272, 235, "HSL (HSB) mixer", true);
    for (int i = 0; i < 3; ++i) {
        edit(7, 161 + 37 * i, 34, "0", true);
        slider(43, 161 + 37 * i, 199, 28, 255);
        edit(8, 296 + 33 * i, 33, "0", false);
        slider(43, 296 + 33 * i, 187, 26, 240);
        label(235, 299 + 33 * i, 8, i == 0 ? "H" : i == 1 ? "S" : "L", true);
    }
    button(8, 395, 55, "Clear All");
    button(67, 395, 55, "Save...");
    button(128, 395, 55, "About...");
    button(187, 395, 55, "Exit");

    FirstPaintProbe probe;
    window.installEventFilter(&probe);
    window.show();
    return QApplication::exec();
}
