#pragma once
// The picture the desktop portal's Screenshot answers with: a PNG that the
// portal wrote into the user's Pictures folder and that nobody deletes. The
// program leaves no file behind: the file the answer names is opened, its name
// unlinked at once, and its bytes read from the open descriptor.
#include <QByteArray>
#include <QString>
#include <optional>

// The bytes of the file that `uri` names; its name is gone from its folder
// when this returns. Nullopt, with nothing read and nothing deleted, when the
// URI is not a local file:// one, or names no regular file (a link, a pipe, a
// folder), or one that cannot be opened. Nullopt too for a file of more than
// `maxBytes`, deleted all the same: it is still the portal's answer.
std::optional<QByteArray> TakeScreenshotFile(const QString& uri, qint64 maxBytes = qint64(512)
                                                                                   << 20);
