#pragma once
// Writing the program's one output file.
#include "platform/IoResult.h"

#include <QByteArray>
#include <QString>

class FileOutput {
public:
    virtual ~FileOutput() = default;

    // Puts a file holding exactly `bytes` at `path`, creating it or replacing
    // the one there without asking. A failure before the writing starts leaves
    // any file already at `path` as it was.
    virtual IoResult replace(const QString& path, const QByteArray& bytes) = 0;
};
