#include "app/MainIconFiles.h"

#include <QString>

QIcon MainIcon()
{
    QIcon icon;
    for (const int size : {128, 96, 72, 64, 48, 32, 24, 16})
        icon.addFile(QStringLiteral(":/icons/main-%1.png").arg(size), QSize(size, size));
    return icon;
}
