#pragma once
#include "platform/MessageBoxes.h"

// The message boxes as QMessageBox dialogs: application-modal, centred on the
// screen, "OK" both the default and the escape button.
class QtMessageBoxes final : public MessageBoxes {
public:
    void show(Kind kind, const QString& text) override;
};
