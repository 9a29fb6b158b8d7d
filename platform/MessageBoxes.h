#pragma once
// The program's four modal message boxes, each with a single "OK" button.
#include <QString>

class MessageBoxes {
public:
    enum class Kind {
        Information, // titled "Information", information icon
        Warning,     // titled "Warning", exclamation icon
        Plain,       // titled with the application title, no icon
        Error,       // titled with the application title, stop icon
    };

    virtual ~MessageBoxes() = default;

    // Shows the box and returns when the user has closed it.
    virtual void show(Kind kind, const QString& text) = 0;
};
