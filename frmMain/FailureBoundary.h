#pragma once
// Every event that Qt delivers to the window runs inside one of these: a
// failure ends the handler, not the program, and is shown in the error box.
// Exceptions must never cross a Qt signal or event boundary.
#include "frmMain/Exceptions.h"

#include <QString>
#include <optional>

class MessageBoxes;

class FailureBoundary {
public:
    explicit FailureBoundary(MessageBoxes& boxes) : FBoxes(boxes) {}

    template <class Handler> void run(Handler&& handler) noexcept
    {
        if (const std::optional<QString> failure = attempt(handler))
            fail(*failure);
    }

    // Runs `handler` and gives its failure's message, for a caller that shows
    // it later with fail(); a silent abort gives none.
    template <class Handler> std::optional<QString> attempt(Handler&& handler) noexcept
    {
        try {
            handler();
        } catch (const EAbort&) {
            cancelMouseCapture();
        } catch (const Exception& e) {
            return e.Message;
        } catch (const std::exception& e) {
            return QString::fromLocal8Bit(e.what());
        }
        return std::nullopt;
    }

    // Shows `message` in the error box.
    void fail(const QString& message) noexcept;

    // The error box's text: a period is added unless the message is empty or
    // already ends in "." or a character that sorts below it ("!", ")", ...).
    static QString withPeriod(const QString& message);

private:
    static void cancelMouseCapture();

    MessageBoxes& FBoxes;
};
