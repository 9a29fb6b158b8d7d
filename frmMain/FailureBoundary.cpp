#include "frmMain/FailureBoundary.h"

#include "platform/MessageBoxes.h"

#include <QApplication>
#include <QEvent>
#include <QWidget>

QString FailureBoundary::withPeriod(const QString& message)
{
    if (!message.isEmpty() && message.back() > QLatin1Char('.'))
        return message + QLatin1Char('.');
    return message;
}

void FailureBoundary::fail(const QString& message) noexcept
{
    cancelMouseCapture();
    try {
        FBoxes.show(MessageBoxes::Kind::Error, withPeriod(message));
    } catch (...) {
        // Nothing may leave the boundary; a box that cannot be shown is dropped.
    }
}

// A drag in progress (a slider's thumb, say) must end: the user is now looking
// at an error box and the button release will not reach the dragged control.
void FailureBoundary::cancelMouseCapture()
{
    QWidget* holder = QWidget::mouseGrabber();
    if (holder != nullptr)
        holder->releaseMouse();
    else
        holder = QApplication::focusWidget();
    if (holder != nullptr) {
        QEvent ungrab(QEvent::UngrabMouse);
        QCoreApplication::sendEvent(holder, &ungrab);
    }
}
