// The icon files the build draws for the icon theme are the window's icon:
// the same sizes, and pixel for pixel the same drawing.
#include "app/MainIcon.h"
#include "app/MainIconFiles.h"

#include <QDir>
#include <QIcon>
#include <QImage>
#include <gtest/gtest.h>

namespace {

QString iconFile(int size)
{
    return QStringLiteral(HUVELLA_ICON_THEME_DIR "/%1x%1/apps/" HUVELLA_APP_ID ".png").arg(size);
}

} // namespace

TEST(IconFiles, OneFilePerSizeOfTheWindowIcon)
{
    QStringList sizes;
    for (QSize size : MainIcon().availableSizes())
        sizes << QStringLiteral("%1x%2").arg(size.width()).arg(size.height());
    QStringList files =
        QDir(QStringLiteral(HUVELLA_ICON_THEME_DIR)).entryList(QDir::Dirs | QDir::NoDotAndDotDot);
    sizes.sort();
    files.sort();
    EXPECT_EQ(files.join(' ').toStdString(), sizes.join(' ').toStdString());
}

TEST(IconFiles, EachFileIsTheDrawingAtItsSize)
{
    for (QSize size : MainIcon().availableSizes()) {
        const QImage file(iconFile(size.width()));
        ASSERT_FALSE(file.isNull()) << iconFile(size.width()).toStdString();
        const QImage drawn = DrawMainIcon(size.width());
        EXPECT_EQ(file.size(), drawn.size());
        // The PNG keeps straight alpha: compare in that format.
        EXPECT_TRUE(file.convertToFormat(QImage::Format_ARGB32) ==
                    drawn.convertToFormat(QImage::Format_ARGB32))
            << size.width() << " px";
    }
}

TEST(IconFiles, TheWindowIconIsTheDrawingAtEachSize)
{
    const QIcon icon = MainIcon();
    for (const int size : {16, 24, 32, 48, 64, 72, 96, 128}) {
        const QImage shown = icon.pixmap(QSize(size, size)).toImage();
        ASSERT_EQ(shown.size(), QSize(size, size));
        EXPECT_TRUE(shown.convertToFormat(QImage::Format_ARGB32) ==
                    DrawMainIcon(size).convertToFormat(QImage::Format_ARGB32))
            << size << " px";
    }
}
