#pragma once
// A push button of the window. Enter pressed without Shift, Ctrl or Alt
// clicks the focused button, as Space does; a plain Qt window does this for
// Space only.
#include <QPushButton>

class TButton : public QPushButton {
    Q_OBJECT
public:
    using QPushButton::QPushButton;

protected:
    void keyPressEvent(QKeyEvent* event) override;
};
