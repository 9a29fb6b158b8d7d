// The picker on a Wayland session: one pick by the desktop portal's own picker
// instead of live sampling, which such a session does not allow. The window
// keeps working while the desktop's picker is open; a second activation of
// the button closes it.
#include "frmMain/TForm1.h"

#include "frmMain/PickerCaptions.h"
#include "frmMain/TButton.h"
#include "frmMain/TEdit.h"

void TForm1::pickThroughPortal()
{
    ColorPortal& portal = *FPlatform.Portal;
    if (portal.isPicking()) {
        portal.cancel();
        btn6->setText(PickCaption);
        return;
    }
    // The answer comes from the event loop: it is an event of its own, inside the boundary.
    portal.pick(windowHandle(), [this](const ColorPortal::Answer& answer) {
        FBoundary.run([&] { portalAnswered(answer); });
    });
    btn6->setText(StopCaption);
}

void TForm1::portalAnswered(const ColorPortal::Answer& answer)
{
    using Kind = ColorPortal::Answer::Kind;
    btn6->setText(PickCaption);
    switch (answer.kind) {
    case Kind::Color:
        showPickedColor(answer.color);
        break;
    case Kind::Cancelled:
        break;
    case Kind::Failed:
        throw EInvalidOperation(QStringLiteral("Canvas does not allow drawing"));
    }
}

// The picked color, shown as a sampling tick shows the pixel it read.
void TForm1::showPickedColor(HSLUtils::TColor color)
{
    setCurrentColor(color);
    TBPosisions();
    edt1->setText(ColorToHTML(CurrentColor())); // read back: TBPosisions may rebuild it
    getRGBparams();
}
