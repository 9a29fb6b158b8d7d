#pragma once
#include "platform/FileOutput.h"
#include "platform/files/PosixCalls.h"

// The file output on a POSIX system.
//
// A new file is written under a temporary name in its folder, reaches the
// disk, and only then takes its name: a failed save leaves no partial file.
//
// An existing file is replaced the same way where the replacement can be the
// same file to everyone: it is given the old one's mode, owner, group and
// extended attributes (its access control list among them) before anything
// is in it, so that no user or group gains or loses a permission. Where it
// cannot (the file has other hard links, the attributes or the owner cannot be
// given, the folder refuses new files, a full disk or no free inodes, the file
// is a mount point, the rename fails), the old file is rewritten in place, as
// a plain overwrite does, keeping everything it carries. In place, room for
// the new contents is asked for first, so that a full disk stops the save
// before anything is written; the new bytes go over the old ones before the
// file is cut to length, and a failure while writing puts the old bytes back
// where they could be read first. Either way a failure before the writing
// starts leaves the old file as it was.
//
// An existing file must be open to writing (a read-only one is refused), and
// a name that is a symbolic link writes the file the link leads to. A pipe or
// a device is written to. Error numbers become the program's codes: a missing
// folder 3, a refused access or read-only file or file system 5, too many open
// files 4, a full disk or quota 101, anything else the platform's number.
class PosixFileOutput final : public FileOutput {
public:
    explicit PosixFileOutput(PosixCalls& calls = PosixCalls::System()) : FCalls(calls) {}

    IoResult replace(const QString& path, const QByteArray& bytes) override;

private:
    PosixCalls& FCalls;
};
