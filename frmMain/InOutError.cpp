#include "frmMain/InOutError.h"

#include "frmMain/Exceptions.h"

namespace {

struct Listed {
    int code;
    const char* message;
};

constexpr Listed Messages[] = {
    {2, "File not found"},          {3, "Invalid filename"},          {4, "Too many open files"},
    {5, "File access denied"},      {100, "Read beyond end of file"}, {101, "Disk full"},
    {106, "Invalid numeric input"},
};

QString PlatformMessage(int code)
{
    return QStringLiteral("I/O error %1").arg(code);
}

} // namespace

QString InOutErrorMessage(int code)
{
    for (const auto& [listed, message] : Messages)
        if (listed == code)
            return QString::fromLatin1(message);
    return PlatformMessage(code);
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
