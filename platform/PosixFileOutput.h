#pragma once
#include "platform/FileOutput.h"
#include "platform/PosixCalls.h"

// The file output on a POSIX system. The new contents go to a fresh file in the
// same folder, reach the disk, and only then take the old file's place in one
// rename: a save that fails at any step leaves the old file byte for byte and
// no partial file behind. Where that replacement could not be the same file as
// the old one (the folder refuses new files or the rename, the file has other
// hard links, or its owner and group cannot be given to the new one), the old
// file is rewritten in place instead, as a plain overwrite does: it keeps its
// owner, group, mode and links, and a failure after the truncation leaves it
// empty or incomplete. An existing file must be open to writing (a read-only
// one is refused), and a name that is a symbolic link writes the file the link
// leads to. Error numbers become the program's codes: a missing folder 3, a
// refused access or read-only file or file system 5, too many open files 4, a
// full disk or quota 101, anything else the platform's number.
class PosixFileOutput final : public FileOutput {
public:
    explicit PosixFileOutput(PosixCalls& calls = PosixCalls::System()) : FCalls(calls) {}

    IoResult replace(const QString& path, const QByteArray& bytes) override;

private:
    PosixCalls& FCalls;
};
