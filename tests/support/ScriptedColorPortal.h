#pragma once
// A desktop portal that answers when the test says so. It records every pick
// and every cancel; an answer to a cancelled pick is dropped, as the real one
// drops it.
#include "platform/ColorPortal.h"

#include <vector>

class ScriptedColorPortal final : public ColorPortal {
public:
    void pick(const QWindow* parent, Answered answered) override
    {
        parents.push_back(parent);
        FAnswered = std::move(answered);
    }

    void cancel() override
    {
        ++cancels;
        FAnswered = nullptr;
    }

    bool isPicking() const override { return static_cast<bool>(FAnswered); }

    // Delivers the answer to the open pick, as the event loop would.
    void answer(const Answer& answer)
    {
        if (!FAnswered)
            return;
        const Answered answered = std::move(FAnswered);
        FAnswered = nullptr;
        answered(answer);
    }

    std::vector<const QWindow*> parents; // one per pick, in order
    int cancels = 0;

private:
    Answered FAnswered;
};
