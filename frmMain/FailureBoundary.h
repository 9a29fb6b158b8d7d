#pragma once
// Every event that Qt delivers to the window runs inside one of these: a
// failure ends the handler, not the program, and is shown in the error box.
// Exceptions must never cross a Qt signal or event boundary.
#include "frmMain/Exceptions.h"

#include <QString>

class MessageBoxes;

class FailureBoundary {
public:
    explicit FailureBoundary(MessageBoxes& boxes) : FBoxes(boxes) {}

    template <class Handler> void run(Handler&& handler) noexcept
    {
        try {
            handler();
        } catch (const EAbort&) {
            cancelMouseCapture();
        } catch (const Exception& e) {
            fail(e.Message);
        } catch (const std::exception& e) {
            fail(QString::fromLocal8Bit(e.what()));
        }
    }

    // The error box's text: a period is added unless the message is empty or
    // already ends in "." or a character that sorts below it ("!", ")", ...).
    static QString withPeriod(const QString& message);

private:
    void fail(const QString& message) noexcept;
    static void cancelMouseCapture();

    MessageBoxes& FBoxes;
};
