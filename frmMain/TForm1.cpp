#include "frmMain/TForm1.h"

#include "frmMain/DesktopPlacement.h"
#include "frmMain/PickerLoupe.h"
#include "frmMain/TButton.h"
#include "frmMain/TEdit.h"
#include "frmMain/TShape.h"
#include "platform/FrameExtents.h"
#include "platform/Hints.h"
#include "platform/MessageBoxes.h"
#include "sTrackBar/TsTrackBar.h"

#include <QFontDatabase>
#include <QGuiApplication>
#include <QLabel>
#include <QScreen>
#include <QTimer>

namespace {

// Tahoma 8 pt where it is installed, else the desktop's sans font at 8 pt
// (Qt scales both with the screen, as it scales the layout). Looked up once,
// in the list of installed families: QFontDatabase::hasFamily has fontconfig
// resolve the name as an alias on every call, which cost more at start-up
// than all the rest of the window's building.
QFont windowFont()
{
    static const bool tahomaInstalled =
        QFontDatabase::families().contains(QStringLiteral("Tahoma"), Qt::CaseInsensitive);
    QFont font = tahomaInstalled ? QFont(QStringLiteral("Tahoma"))
                                 : QFontDatabase::systemFont(QFontDatabase::GeneralFont);
    font.setPointSize(8);
    font.setWeight(QFont::Normal);
    font.setItalic(false);
    return font;
}

QFont boldFont()
{
    QFont font = windowFont();
    font.setBold(true);
    return font;
}

} // namespace

TForm1::TForm1(Platform& platform, QWidget* parent)
    : QWidget(parent, Qt::Window | Qt::WindowTitleHint | Qt::WindowSystemMenuHint |
                          Qt::WindowMinimizeButtonHint | Qt::WindowCloseButtonHint),
      FPlatform(platform), FBoundary(platform.Boxes)
{
    setWindowTitle(QStringLiteral("Huvella"));
    setFont(windowFont());
    setFixedSize(250, 428);

    createControls();
    connectHandlers();
    setTabOrder();
    FormCreate(this);
    btn1->setFocus();
}

// A portal pick still open is closed: its answer has no window to go to.
TForm1::~TForm1()
{
    if (FPlatform.Portal != nullptr && FPlatform.Portal->isPicking())
        FPlatform.Portal->cancel();
}

void TForm1::createControls()
{
    auto label = [this](int left, int top, int width, const QString& caption, bool bold,
                        bool centred) {
        auto* l = new QLabel(caption, this);
        if (bold)
            l->setFont(boldFont());
        if (centred) {
            l->setAlignment(Qt::AlignHCenter | Qt::AlignTop);
            l->setGeometry(left, top, width, 13);
        } else {
            l->move(left, top);
            l->adjustSize(); // the width follows the text
            l->resize(l->width(), 13);
        }
        return l;
    };
    auto button = [this](int left, int top, int width, const QString& caption,
                         const QString& hint) {
        auto* b = new TButton(caption, this);
        b->setGeometry(left, top, width, 25);
        b->setToolTip(hint);
        b->setToolTipDuration(HintShowsForMs);
        b->setAutoDefault(false);
        return b;
    };
    // Edit boxes and sliders have no caption of their own: a screen reader
    // speaks the accessible name instead.
    auto edit = [this](int left, int top, int width, const QString& text, int maxLength,
                       bool readOnly, const QColor& background, bool whiteBold,
                       const QString& name) {
        auto* e = new TEdit(this);
        e->setAccessibleName(name);
        e->setGeometry(left, top, width, 21);
        e->setText(text); // before any handler is bound: no notification
        e->MaxLength = maxLength;
        e->setReadOnly(readOnly);
        QPalette palette = e->palette();
        palette.setColor(QPalette::Base, background);
        if (whiteBold) {
            e->setFont(boldFont());
            palette.setColor(QPalette::Text, Qt::white);
        }
        e->setPalette(palette);
        return e;
    };
    auto slider = [this](int left, int top, int width, int height, int max, int position,
                         const QString& name) {
        auto* t = new TsTrackBar(this);
        t->setAccessibleName(name);
        t->setGeometry(left, top, width, height);
        t->setTickStyle(tsNone);
        t->setShowSelRange(false);
        t->setPositionToolTip(ptTop);
        t->SkinData.SkinSection = QStringLiteral("TRACKBAR");
        t->setMax(max); // the range first, so that the position fits it
        t->setPosition(position);
        return t;
    };
    const QColor windowColor = palette().color(QPalette::Base);
    const QColor buttonFace = palette().color(QPalette::Button);

    // The color dialog, the hex/decimal/swatch row and the two translation buttons.
    btn1 = button(8, 6, 235, QStringLiteral("Translate a color to his values..."),
                  QStringLiteral("Click to select a color and resolve his HTML and color value"));
    lbl2 = label(8, 36, 63, QStringLiteral("Hex (HTML)"), false, true);
    lbl3 = label(77, 36, 82, QStringLiteral("Dec"), false, true);
    lbl4 = label(168, 36, 74, QStringLiteral("Color"), false, true);
    edt1 = edit(8, 51, 63, QStringLiteral("#000000"), 7, false, windowColor, false,
                QStringLiteral("Hex (HTML) color"));
    edt5 = edit(77, 51, 82, QStringLiteral("0"), 0, true, buttonFace, false,
                QStringLiteral("Decimal value"));
    shp1 = new TShape(this);
    shp1->setGeometry(168, 51, 75, 21);
    shp1->setAccessibleName(QStringLiteral("Current color")); // its hex text is the description
    shp1->PaintColor = [this](HSLUtils::TColor color) { return paintColor(color); };
    shp1->setToolTipDuration(HintShowsForMs);
    btn2 = button(8, 76, 235, QStringLiteral("Translate HTML color value to Color"),
                  QStringLiteral("Type HTML color value and click to see the color"));
    btn6 = button(8, 106, 234, QStringLiteral("Pick a color from desktop"),
                  QStringLiteral("Hover over a color and press Enter to pick"));

    // The RGB mixer.
    lbl1 = label(8, 141, 235, QStringLiteral(" RGB mixer"), true, true);
    edt2 = edit(7, 161, 34, QStringLiteral("0"), 3, false, QColor(255, 0, 0), true,
                QStringLiteral("Red value"));
    edt3 = edit(7, 198, 34, QStringLiteral("0"), 3, false, QColor(0, 128, 0), true,
                QStringLiteral("Green value"));
    edt4 = edit(7, 235, 34, QStringLiteral("0"), 3, false, QColor(0, 0, 255), true,
                QStringLiteral("Blue value"));
    tb1 = slider(43, 161, 199, 28, 255, 255, QStringLiteral("Red slider"));
    tb2 = slider(43, 198, 199, 28, 255, 255, QStringLiteral("Green slider"));
    tb3 = slider(43, 235, 199, 28, 255, 255, QStringLiteral("Blue slider"));

    // The HSL mixer.
    lbl5 = label(7, 272, 235, QStringLiteral("HSL (HSB) mixer"), true, true);
    edt6 = edit(8, 296, 33, QStringLiteral("0"), 0, true, windowColor, false,
                QStringLiteral("Hue value"));
    edt7 = edit(8, 329, 33, QStringLiteral("0"), 0, true, windowColor, false,
                QStringLiteral("Saturation value"));
    edt8 = edit(8, 361, 33, QStringLiteral("0"), 0, true, windowColor, false,
                QStringLiteral("Luminance value"));
    tb4 = slider(43, 296, 187, 26, 240, 0, QStringLiteral("Hue slider"));
    tb5 = slider(43, 329, 187, 26, 240, 0, QStringLiteral("Saturation slider"));
    tb6 = slider(43, 361, 187, 26, 240, 0, QStringLiteral("Luminance slider"));
    lbl6 = label(235, 299, 8, QStringLiteral("H"), true, false);
    lbl7 = label(236, 332, 7, QStringLiteral("S"), true, false);
    lbl8 = label(237, 364, 6, QStringLiteral("L"), true, false);

    // The row of small buttons.
    btn5 = button(8, 395, 55, QStringLiteral("Clear All"), QStringLiteral("Clear all fields"));
    btn7 = button(67, 395, 55, QStringLiteral("Save..."),
                  QStringLiteral("Save color value to a text file"));
    btn3 = button(128, 395, 55, QStringLiteral("About..."), QStringLiteral("About Huvella"));
    btn4 = button(187, 395, 55, QStringLiteral("Exit"), QStringLiteral("Exit Huvella"));

    // The picker's 50 ms sampling timer, off at start.
    tmr1 = new QTimer(this);
    tmr1->setInterval(50);
}

void TForm1::connectHandlers()
{
    connect(btn1, &QPushButton::clicked, this, guardedSignal<&TForm1::btn1Click>(btn1));
    connect(btn2, &QPushButton::clicked, this, guardedSignal<&TForm1::btn2Click>(btn2));
    connect(btn3, &QPushButton::clicked, this, guardedSignal<&TForm1::btn3Click>(btn3));
    connect(btn4, &QPushButton::clicked, this, guardedSignal<&TForm1::btn4Click>(btn4));
    connect(btn5, &QPushButton::clicked, this, guardedSignal<&TForm1::btn5Click>(btn5));
    connect(btn6, &QPushButton::clicked, this, guardedSignal<&TForm1::btn6Click>(btn6));
    connect(btn7, &QPushButton::clicked, this, guardedSignal<&TForm1::btn7Click>(btn7));
    connect(tmr1, &QTimer::timeout, this, &TForm1::postTick);

    shp1->OnMouseDown = guarded<&TForm1::shp1MouseDown, QObject*, Qt::MouseButton,
                                Qt::KeyboardModifiers, int, int>();
    shp1->OnMouseEnter = guarded<&TForm1::shp1MouseEnter, QObject*>();
    shp1->OnMouseLeave = guarded<&TForm1::shp1MouseLeave, QObject*>();

    tb1->OnUserChange = guarded<&TForm1::tb1UserChange, QObject*>();
    tb2->OnUserChange = guarded<&TForm1::tb2UserChange, QObject*>();
    tb3->OnUserChange = guarded<&TForm1::tb3UserChange, QObject*>();
    tb4->OnUserChange = guarded<&TForm1::tb4UserChange, QObject*>();
    tb5->OnUserChange = guarded<&TForm1::tb5UserChange, QObject*>();
    tb6->OnUserChange = guarded<&TForm1::tb6UserChange, QObject*>();

    edt2->OnChange = guarded<&TForm1::edt2Change, QObject*>();
    edt3->OnChange = guarded<&TForm1::edt3Change, QObject*>();
    edt4->OnChange = guarded<&TForm1::edt4Change, QObject*>();
    for (TEdit* box : {edt2, edt3, edt4})
        box->OnKeyPress = guarded<&TForm1::edt2KeyPress, QObject*, QChar&>();
}

// A tick runs as an event of its own, not inside the timer's signal: Qt fires
// no timer again while its slot runs, and ticks must go on inside an error box
// that a tick opened. At most one tick waits; a stop drops it.
void TForm1::postTick()
{
    if (FTickPending)
        return;
    FTickPending = true;
    QMetaObject::invokeMethod(
        this,
        [this] {
            FTickPending = false;
            if (tmr1->isActive())
                guardedSignal<&TForm1::tmr1Timer>(tmr1)();
        },
        Qt::QueuedConnection);
}

// The order in which Tab visits the controls; About and Exit come fourth and fifth.
void TForm1::setTabOrder()
{
    const QWidget* order[] = {btn1, edt1, btn2, btn3, btn4, tb1,  tb2,  tb3, btn5, edt2, edt3,
                              edt4, btn6, edt5, btn7, edt6, edt7, edt8, tb4, tb5,  tb6};
    for (std::size_t i = 0; i + 1 < std::size(order); ++i)
        QWidget::setTabOrder(const_cast<QWidget*>(order[i]), const_cast<QWidget*>(order[i + 1]));
}

// Centred on the whole desktop, across all monitors, when first shown.
void TForm1::showEvent(QShowEvent* event)
{
    QWidget::showEvent(event);
    if (FPlaced)
        return;
    FPlaced = true;
    const QScreen* screen = this->screen();
    if (screen == nullptr)
        return;
    if (frameGeometry() != geometry()) { // the frame is known already
        move(CentredOnDesktop(screen->virtualGeometry(), frameGeometry().size()));
        return;
    }
    // Not mapped yet: the window manager tells the frame it will add, so that
    // the window appears in its place at once.
    move(ClientCentredOnDesktop(screen->virtualGeometry(), size(), AnnouncedFrameExtents(*this)));
}

void TForm1::FormCreate(QObject*)
{
    setCurrentColor(0); // black is the first current color
    TBPosisions();
}
