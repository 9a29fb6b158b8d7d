#include "frmMain/TButton.h"

#include <QKeyEvent>

void TButton::keyPressEvent(QKeyEvent* event)
{
    const bool enter = event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter;
    const Qt::KeyboardModifiers held =
        event->modifiers() & (Qt::ShiftModifier | Qt::ControlModifier | Qt::AltModifier);
    if (enter && held == Qt::NoModifier) {
        event->accept();
        // Enter held down clicks once: its repeats would stop a pick and start
        // it again, over and over (a key released late on a busy machine too).
        if (!event->isAutoRepeat())
            click();
        return;
    }
    QPushButton::keyPressEvent(event);
}
