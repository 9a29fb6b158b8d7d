#pragma once
// What the file-output tests write over what: a report that is there already,
// the new report, and a result as a failure message prints it.
#include "platform/IoResult.h"

#include <QByteArray>
#include <string>

inline const QByteArray OldBytes("Color Properties:\r\nDec: 16711680\r\n");
inline const QByteArray NewBytes("Color Properties:\r\nDec: 255\r\nHex: #FF0000\r\n");

inline std::string Describe(IoResult result)
{
    return (result.PlatformCode ? "platform " : "program ") + std::to_string(result.Code);
}
