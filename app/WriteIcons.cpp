// Build-time tool: writes the application icon as PNG files in the layout of
// an icon theme, OUTDIR/NxN/apps/NAME.png, one per size given, so the
// installed icons are the same drawing as the window's icon. With --pixels it
// writes the bare pixels instead, OUTDIR/main-N.argb32 (premultiplied 32-bit
// ARGB words in this machine's byte order, row after row), which the program
// compiles in and shows without decoding anything.
//   huvella_icons OUTDIR NAME SIZE...
//   huvella_icons --pixels OUTDIR SIZE...
#include "app/MainIcon.h"

#include <QDir>
#include <QFile>
#include <QGuiApplication>
#include <cstdio>
#include <string_view>
#include <vector>

int main(int argc, char** argv)
{
    const bool pixels = argc > 1 && std::string_view(argv[1]) == "--pixels";
    if (argc < 4) {
        std::fprintf(stderr, "usage: %s OUTDIR NAME SIZE... | --pixels OUTDIR SIZE...\n", argv[0]);
        return 2;
    }
    // Builds run without a display: the minimal platform needs none, whatever
    // DISPLAY or WAYLAND_DISPLAY say.
    std::vector<char*> args{argv[0], const_cast<char*>("-platform"), const_cast<char*>("minimal")};
    int count = int(args.size());
    QGuiApplication app(count, args.data());

    const QString outDir = QString::fromLocal8Bit(argv[pixels ? 2 : 1]);
    const QString name = QString::fromLocal8Bit(argv[2]);
    for (int i = 3; i < argc; ++i) {
        bool ok = false;
        const int size = QString::fromLocal8Bit(argv[i]).toInt(&ok);
        if (!ok || size <= 0) {
            std::fprintf(stderr, "%s: not a size: %s\n", argv[0], argv[i]);
            return 2;
        }
        if (pixels) {
            const QImage image = DrawMainIcon(size);
            const QString file = QStringLiteral("%1/main-%2.argb32").arg(outDir).arg(size);
            QFile out(file);
            const auto bytes = qint64(image.sizeInBytes());
            if (image.format() != QImage::Format_ARGB32_Premultiplied ||
                image.bytesPerLine() != size * 4 || !QDir().mkpath(outDir) ||
                !out.open(QIODevice::WriteOnly) ||
                out.write(reinterpret_cast<const char*>(image.constBits()), bytes) != bytes) {
                std::fprintf(stderr, "%s: cannot write %s\n", argv[0], qPrintable(file));
                return 1;
            }
            continue;
        }
        const QString dir = QStringLiteral("%1/%2x%2/apps").arg(outDir).arg(size);
        const QString file = QStringLiteral("%1/%2.png").arg(dir, name);
        if (!QDir().mkpath(dir) || !DrawMainIcon(size).save(file, "PNG")) {
            std::fprintf(stderr, "%s: cannot write %s\n", argv[0], qPrintable(file));
            return 1;
        }
    }
    return 0;
}
