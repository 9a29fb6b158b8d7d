#pragma once
// File output that records what it was asked to write and answers with a
// given result, writing nothing.
#include "platform/FileOutput.h"

#include <vector>

class RecordingFileOutput final : public FileOutput {
public:
    struct Written {
        QString path;
        QByteArray bytes;
    };

    IoResult replace(const QString& path, const QByteArray& bytes) override
    {
        written.push_back({path, bytes});
        return result;
    }

    std::vector<Written> written;
    IoResult result; // success unless a test sets a failure
};
