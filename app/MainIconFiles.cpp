#include "app/MainIconFiles.h"

#include <QImage>
#include <QPixmap>
#include <QResource>

QIcon MainIcon()
{
    QIcon icon;
    for (const int size : {128, 96, 72, 64, 48, 32, 24, 16}) {
        const QResource pixels(QStringLiteral(":/icons/main-%1.argb32").arg(size));
        if (pixels.compressionAlgorithm() != QResource::NoCompression ||
            pixels.size() != qint64(size) * size * 4)
            continue; // not as the build writes it: better no picture than a wrong one
        icon.addPixmap(QPixmap::fromImage(
            QImage(pixels.data(), size, size, QImage::Format_ARGB32_Premultiplied)));
    }
    return icon;
}
