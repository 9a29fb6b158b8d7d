#include "frmMain/TForm1.h"

#include "frmMain/DesktopPlacement.h"
#include "frmMain/PickerLoupe.h"
#include "frmMain/TButton.h"
#include "frmMain/TEdit.h"
#include "frmMain/TShape.h"
#include "platform/FrameExtents.h"
#include "platform/Hints.h"
#include "sTrackBar/TsTrackBar.h"

#include <QFontDatabase>
#include <QLabel>
#include <QScreen>
#include <QTimer>
#include <map>
#include <variant>

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

template <class Control> using Slot = Control* TForm1::*;

// One control of the window, as createControls makes it. A kind of control
// leaves the fields it has no use for at their defaults.
struct ControlRow {
    std::variant<Slot<QLabel>, Slot<TButton>, Slot<TEdit>, Slot<TShape>, Slot<TsTrackBar>> control;
    QRect place;           // left, top, width, height in the window
    const char* text = ""; // a label's or button's caption, an edit box's first text
    const char* hint = ""; // a button's tooltip
    const char* name = ""; // the accessible name of a control without a caption
    int tabOrder = -1;     // its place in the Tab order, from 0; -1: not a tab stop
    bool bold = false;     // an edit box's bold text is white
    bool autoSize = false; // a label's width follows its text, not its place
    int maxLength = 0;     // characters the user may type into an edit box; 0 is no limit
    bool readOnly = false;
    QColor background{}; // an edit box's
    int max = 0;         // a slider's range is 0 to max
    int position = 0;
};

template <class... Handlers> struct Overloaded : Handlers... {
    using Handlers::operator()...;
};

QLabel* makeLabel(const ControlRow& row, QWidget* parent)
{
    auto* l = new QLabel(QString::fromLatin1(row.text), parent);
    if (row.bold)
        l->setFont(boldFont());
    if (row.autoSize) {
        l->move(row.place.topLeft());
        l->adjustSize(); // the width follows the text
        l->resize(l->width(), row.place.height());
    } else {
        l->setAlignment(Qt::AlignHCenter | Qt::AlignTop);
        l->setGeometry(row.place);
    }
    return l;
}

TButton* makeButton(const ControlRow& row, QWidget* parent)
{
    auto* b = new TButton(QString::fromLatin1(row.text), parent);
    b->setGeometry(row.place);
    b->setToolTip(QString::fromLatin1(row.hint));
    b->setToolTipDuration(HintShowsForMs);
    b->setAutoDefault(false);
    return b;
}

// Edit boxes, sliders and the swatch at their place. They have no caption of
// their own: a screen reader speaks their accessible name instead.
template <class Control> Control* makeNamed(const ControlRow& row, QWidget* parent)
{
    auto* control = new Control(parent);
    control->setGeometry(row.place);
    control->setAccessibleName(QString::fromLatin1(row.name));
    return control;
}

TEdit* makeEdit(const ControlRow& row, QWidget* parent)
{
    auto* e = makeNamed<TEdit>(row, parent);
    e->setText(QString::fromLatin1(row.text)); // before any handler is bound: no notification
    e->MaxLength = row.maxLength;
    e->setReadOnly(row.readOnly);
    QPalette palette = e->palette();
    palette.setColor(QPalette::Base, row.background);
    if (row.bold) {
        e->setFont(boldFont());
        palette.setColor(QPalette::Text, Qt::white);
    }
    e->setPalette(palette);
    return e;
}

// A screen reader describes it by its tooltip, the hex text of the color.
TShape* makeSwatch(const ControlRow& row, QWidget* parent)
{
    auto* s = makeNamed<TShape>(row, parent);
    s->setToolTipDuration(HintShowsForMs);
    return s;
}

TsTrackBar* makeSlider(const ControlRow& row, QWidget* parent)
{
    auto* t = makeNamed<TsTrackBar>(row, parent);
    t->setTickStyle(tsNone);
    t->setShowSelRange(false);
    t->setPositionToolTip(ptTop);
    t->SkinData.SkinSection = QStringLiteral("TRACKBAR");
    t->setMax(row.max); // the range first, so that the position fits it
    t->setPosition(row.position);
    return t;
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
    FormCreate(this);
    btn1->setFocus();
}

// A pick still open is closed: its ending has no window to go to.
TForm1::~TForm1()
{
    FLoupe.reset(); // first: it may be shown on the way's own desktop
    if (FPicker && FPicker->isRunning())
        FPicker->stop();
}

void TForm1::createControls()
{
    const QColor windowColor = palette().color(QPalette::Base);
    const QColor buttonFace = palette().color(QPalette::Button);
    const QColor red(255, 0, 0), green(0, 128, 0), blue(0, 0, 255);

    // In the order they are made, which is the order a screen reader lists
    // them in. The Tab order does not follow the places on the screen: About
    // and Exit come fourth and fifth.
    // clang-format off
    const ControlRow rows[] = {
        // The color dialog, the hex/decimal/swatch row and the two translation buttons.
        {.control = &TForm1::btn1, .place = {8, 6, 235, 25}, .text = "Translate a color to his values...", .hint = "Click to select a color and resolve his HTML and color value", .tabOrder = 0},
        {.control = &TForm1::lbl2, .place = {8, 36, 63, 13}, .text = "Hex (HTML)"},
        {.control = &TForm1::lbl3, .place = {77, 36, 82, 13}, .text = "Dec"},
        {.control = &TForm1::lbl4, .place = {168, 36, 74, 13}, .text = "Color"},
        {.control = &TForm1::edt1, .place = {8, 51, 63, 21}, .text = "#000000", .name = "Hex (HTML) color", .tabOrder = 1, .maxLength = 7, .background = windowColor},
        {.control = &TForm1::edt5, .place = {77, 51, 82, 21}, .text = "0", .name = "Decimal value", .tabOrder = 13, .readOnly = true, .background = buttonFace},
        {.control = &TForm1::shp1, .place = {168, 51, 75, 21}, .name = "Current color"},
        {.control = &TForm1::btn2, .place = {8, 76, 235, 25}, .text = "Translate HTML color value to Color", .hint = "Type HTML color value and click to see the color", .tabOrder = 2},
        {.control = &TForm1::btn6, .place = {8, 106, 234, 25}, .text = "Pick a color from desktop", .hint = "Hover over a color and press Enter to pick", .tabOrder = 12},

        // The RGB mixer.
        {.control = &TForm1::lbl1, .place = {8, 141, 235, 13}, .text = " RGB mixer", .bold = true},
        {.control = &TForm1::edt2, .place = {7, 161, 34, 21}, .text = "0", .name = "Red value", .tabOrder = 9, .bold = true, .maxLength = 3, .background = red},
        {.control = &TForm1::edt3, .place = {7, 198, 34, 21}, .text = "0", .name = "Green value", .tabOrder = 10, .bold = true, .maxLength = 3, .background = green},
        {.control = &TForm1::edt4, .place = {7, 235, 34, 21}, .text = "0", .name = "Blue value", .tabOrder = 11, .bold = true, .maxLength = 3, .background = blue},
        {.control = &TForm1::tb1, .place = {43, 161, 199, 28}, .name = "Red slider", .tabOrder = 5, .max = 255, .position = 255},
        {.control = &TForm1::tb2, .place = {43, 198, 199, 28}, .name = "Green slider", .tabOrder = 6, .max = 255, .position = 255},
        {.control = &TForm1::tb3, .place = {43, 235, 199, 28}, .name = "Blue slider", .tabOrder = 7, .max = 255, .position = 255},

        // The HSL mixer.
        {.control = &TForm1::lbl5, .place = {7, 272, 235, 13}, .text = "HSL (HSB) mixer", .bold = true},
        {.control = &TForm1::edt6, .place = {8, 296, 33, 21}, .text = "0", .name = "Hue value", .tabOrder = 15, .readOnly = true, .background = windowColor},
        {.control = &TForm1::edt7, .place = {8, 329, 33, 21}, .text = "0", .name = "Saturation value", .tabOrder = 16, .readOnly = true, .background = windowColor},
        {.control = &TForm1::edt8, .place = {8, 361, 33, 21}, .text = "0", .name = "Luminance value", .tabOrder = 17, .readOnly = true, .background = windowColor},
        {.control = &TForm1::tb4, .place = {43, 296, 187, 26}, .name = "Hue slider", .tabOrder = 18, .max = 240},
        {.control = &TForm1::tb5, .place = {43, 329, 187, 26}, .name = "Saturation slider", .tabOrder = 19, .max = 240},
        {.control = &TForm1::tb6, .place = {43, 361, 187, 26}, .name = "Luminance slider", .tabOrder = 20, .max = 240},
        {.control = &TForm1::lbl6, .place = {235, 299, 8, 13}, .text = "H", .bold = true, .autoSize = true},
        {.control = &TForm1::lbl7, .place = {236, 332, 7, 13}, .text = "S", .bold = true, .autoSize = true},
        {.control = &TForm1::lbl8, .place = {237, 364, 6, 13}, .text = "L", .bold = true, .autoSize = true},

        // The row of small buttons.
        {.control = &TForm1::btn5, .place = {8, 395, 55, 25}, .text = "Clear All", .hint = "Clear all fields", .tabOrder = 8},
        {.control = &TForm1::btn7, .place = {67, 395, 55, 25}, .text = "Save...", .hint = "Save color value to a text file", .tabOrder = 14},
        {.control = &TForm1::btn3, .place = {128, 395, 55, 25}, .text = "About...", .hint = "About Huvella", .tabOrder = 3},
        {.control = &TForm1::btn4, .place = {187, 395, 55, 25}, .text = "Exit", .hint = "Exit Huvella", .tabOrder = 4},
    };
    // clang-format on

    std::map<int, QWidget*> tabStops;
    for (const ControlRow& row : rows) {
        QWidget* control = std::visit(
            Overloaded{
                [&](Slot<QLabel> member) -> QWidget* {
                    return this->*member = makeLabel(row, this);
                },
                [&](Slot<TButton> member) -> QWidget* {
                    return this->*member = makeButton(row, this);
                },
                [&](Slot<TEdit> member) -> QWidget* { return this->*member = makeEdit(row, this); },
                [&](Slot<TShape> member) -> QWidget* {
                    TShape* swatch = this->*member = makeSwatch(row, this);
                    swatch->PaintColor = [this](HSLUtils::TColor color) {
                        return paintColor(color);
                    };
                    return swatch;
                },
                [&](Slot<TsTrackBar> member) -> QWidget* {
                    return this->*member = makeSlider(row, this);
                },
            },
            row.control);
        if (row.tabOrder >= 0)
            tabStops.emplace(row.tabOrder, control);
    }
    QWidget* previous = nullptr;
    for (const auto& [order, control] : tabStops) {
        if (previous != nullptr)
            QWidget::setTabOrder(previous, control);
        previous = control;
    }

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
    connect(tmr1, &QTimer::timeout, this, &TForm1::timerTick);

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

// A tick runs in the timer's signal, and the error box of a failed tick opens
// as an event of its own once the signal has returned: Qt fires no timer again
// while its slot runs, and ticks must go on inside that box. Posting the box
// rather than every tick spares each tick a wake-up of the event loop.
void TForm1::timerTick()
{
    if (const std::optional<QString> failure = FBoundary.attempt([this] { tmr1Timer(tmr1); })) {
        QMetaObject::invokeMethod(
            this, [this, message = *failure] { FBoundary.fail(message); }, Qt::QueuedConnection);
    }
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
