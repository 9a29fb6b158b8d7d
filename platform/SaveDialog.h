#pragma once
// The modal dialog that asks where to save a file, with an added list of
// encodings to choose from.
#include <QString>
#include <QStringList>

class SaveDialog {
public:
    // What the dialog shows.
    struct Settings {
        QString Title;
        QString Filter;     // "Name|pattern" pairs: "Text files (*.txt)|*.txt"
        QString DefaultExt; // added to a name typed without an extension, without the dot
        QStringList Encodings;
    };

    // What the dialog remembers from one opening to the next.
    struct Memory {
        QString FileName; // a bare name at first; the full path last confirmed after that
        int EncodingIndex = 0;
    };

    virtual ~SaveDialog() = default;

    // Runs the dialog, opening on memory.FileName with memory.EncodingIndex
    // selected, and returns true when the user confirms a file. A confirmed
    // file's full path becomes memory.FileName; the list's last selection
    // becomes memory.EncodingIndex whether the dialog was confirmed or not.
    virtual bool Execute(const Settings& settings, Memory& memory) = 0;
};
