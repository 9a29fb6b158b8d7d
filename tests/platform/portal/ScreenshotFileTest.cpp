// The portal's PNG taken: read and gone from its folder; and what is not the
// portal's picture neither read nor deleted: other hosts, links, pipes,
// relative and malformed URIs.
#include "platform/portal/ScreenshotFile.h"
#include "ScratchFolder.h"

#include <QUrl>
#include <filesystem>
#include <gtest/gtest.h>
#include <sys/stat.h>

namespace {

QString UriOf(const std::string& path)
{
    return QUrl::fromLocalFile(QString::fromStdString(path)).toString(QUrl::FullyEncoded);
}

} // namespace

TEST(ScreenshotFile, ThePortalsFileIsReadAndLeavesNoTrace)
{
    ScratchFolder folder;
    const std::string path = folder.path("Screenshot 1 ü.png"); // a name URIs escape
    ScratchFolder::write(path, "picture bytes");
    EXPECT_EQ(TakeScreenshotFile(UriOf(path)), QByteArray("picture bytes"));
    EXPECT_EQ(folder.entries(), QStringList());

    // file://localhost/ is this machine too; an empty file is still the answer.
    ScratchFolder::write(folder.path("empty.png"), {});
    EXPECT_EQ(TakeScreenshotFile("file://localhost" + folder.qpath("empty.png")), QByteArray());
    EXPECT_EQ(folder.entries(), QStringList());
}

TEST(ScreenshotFile, WhatIsNotTheLocalPictureStays)
{
    ScratchFolder folder;
    const std::string target = folder.path("target.png");
    ScratchFolder::write(target, "keep me");
    std::filesystem::create_symlink(target, folder.path("link.png"));
    ASSERT_EQ(::mkfifo(folder.path("pipe.png").c_str(), 0600), 0);
    std::filesystem::create_directory(folder.path("folder.png"));

    const QString uris[] = {
        UriOf(folder.path("link.png")),
        UriOf(folder.path("pipe.png")), // would wait for a writer if opened blocking
        UriOf(folder.path("folder.png")),
        UriOf(folder.path("missing.png")),
        "file://elsewhere" + folder.qpath("target.png"),
        "http://localhost" + folder.qpath("target.png"),
        "file:target.png",
        folder.qpath("target.png"), // a path, not a URI
        "",
        "file://%",
    };
    for (const QString& uri : uris)
        EXPECT_EQ(TakeScreenshotFile(uri), std::nullopt) << uri.toStdString();
    EXPECT_EQ(folder.entries(), QStringList({"folder.png", "link.png", "pipe.png", "target.png"}));
    EXPECT_EQ(ScratchFolder::read(target), QByteArray("keep me"));
}

// Too big to be a screenshot: not read, but it is the portal's file all the same.
TEST(ScreenshotFile, AFileTooBigIsNotReadButDeleted)
{
    ScratchFolder folder;
    ScratchFolder::write(folder.path("big.png"), QByteArray(100, 'x'));
    EXPECT_EQ(TakeScreenshotFile(UriOf(folder.path("big.png")), 99), std::nullopt);
    EXPECT_EQ(folder.entries(), QStringList());
}
