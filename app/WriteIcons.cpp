// Build-time tool: writes the application icon as PNG files in the layout of
// an icon theme, OUTDIR/NxN/apps/NAME.png, one per size given, so the
// installed icons are the same drawing as the window's icon.
//   huvella_icons OUTDIR NAME SIZE...
#include "app/MainIcon.h"

#include <QDir>
#include <QGuiApplication>
#include <cstdio>
#include <vector>

int main(int argc, char** argv)
{
    if (argc < 4) {
        std::fprintf(stderr, "usage: %s OUTDIR NAME SIZE...\n", argv[0]);
        return 2;
    }
    // Builds run without a display: the minimal platform needs none, whatever
    // DISPLAY or WAYLAND_DISPLAY say.
    std::vector<char*> args{argv[0], const_cast<char*>("-platform"), const_cast<char*>("minimal")};
    int count = int(args.size());
    QGuiApplication app(count, args.data());

    const QString outDir = QString::fromLocal8Bit(argv[1]);
    const QString name = QString::fromLocal8Bit(argv[2]);
    for (int i = 3; i < argc; ++i) {
        bool ok = false;
        const int size = QString::fromLocal8Bit(argv[i]).toInt(&ok);
        if (!ok || size <= 0) {
            std::fprintf(stderr, "%s: not a size: %s\n", argv[0], argv[i]);
            return 2;
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
