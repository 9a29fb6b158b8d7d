#include "frmMain/InOutError.h"

#include "frmMain/Exceptions.h"

namespace {

QString PlatformMessage(int code)
{
    return QStringLiteral("I/O error %1").arg(code);
}

} // namespace

QString InOutErrorMessage(int code)
{
    switch (code) {
    case 2:
        return QStringLiteral("File not found");
    case 3:
        return QStringLiteral("Invalid filename");
    case 4:
        return QStringLiteral("Too many open files");
    case 5:
        return QStringLiteral("File access denied");
    case 100:
        return QStringLiteral("Read beyond end of file");
    case 101:
        return QStringLiteral("Disk full");
    case 106:
        return QStringLiteral("Invalid numeric input");
    default:
        return PlatformMessage(code);
    }
}

void RaiseInOutError(int code)
{
    throw EInOutError(InOutErrorMessage(code), code);
}

void CheckInOut(IoResult result)
{
    if (!result.failed())
        return;
    if (result.PlatformCode)
        throw EInOutError(PlatformMessage(result.Code), result.Code);
    RaiseInOutError(result.Code);
}
