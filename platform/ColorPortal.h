#pragma once
// One color pick through the desktop's own picker, where the program cannot
// read the screen itself (a Wayland session). The pick is asynchronous: the
// window goes on painting and answering until the answer comes.
#include "HSLUtils/HSLUtils.h"

#include <functional>

class QWindow;

class ColorPortal {
public:
    struct Answer {
        enum class Kind {
            Color,     // the user picked a pixel
            Cancelled, // the user closed the desktop's picker
            Failed,    // no picker, or an answer that is no color
        };
        Kind kind = Kind::Failed;
        HSLUtils::TColor color = 0; // packed 0x00BBGGRR when kind is Color

        bool operator==(const Answer&) const = default;
    };
    using Answered = std::function<void(const Answer&)>;

    virtual ~ColorPortal() = default;

    // Opens the desktop's picker over `parent` (may be null). `answered` runs
    // once, later, from the event loop, never from inside pick(), unless the
    // pick is cancelled first. A pick still open is cancelled.
    virtual void pick(const QWindow* parent, Answered answered) = 0;

    // Closes the open pick; its answer, if one still comes, is dropped.
    virtual void cancel() = 0;

    virtual bool isPicking() const = 0;
};
