// The file output on file systems mounted for the test: a full disk, one out of
// inodes, a read-only one, and files mounted over files. Wherever a plain
// overwrite of an existing report goes through, the save does too. The process
// first moves into a mount namespace of its own, so that its mounts are gone
// when it ends, however it ends.
#include "QtPrinters.h"
#include "ReportFileBytes.h"
#include "ScratchFolder.h"
#include "platform/files/PosixFileOutput.h"

#include <cerrno>
#include <fcntl.h>
#include <fstream>
#include <gtest/gtest.h>
#include <sched.h>
#include <sys/mount.h>
#include <sys/stat.h>
#include <unistd.h>
#include <vector>

namespace {

bool WriteProcFile(const char* path, const std::string& text)
{
    std::ofstream out(path);
    out << text;
    out.flush();
    return bool(out);
}

// Root has mounts of its own to make; another user can make them in a user
// namespace where the system allows one. An empty text: done.
std::string EnterPrivateMounts()
{
    if (geteuid() == 0) {
        if (unshare(CLONE_NEWNS) != 0)
            return std::string("unshare(CLONE_NEWNS): ") + strerror(errno);
    } else {
        const uid_t uid = geteuid();
        const gid_t gid = getegid();
        if (unshare(CLONE_NEWUSER | CLONE_NEWNS) != 0)
            return std::string("not root, and no user namespace: ") + strerror(errno);
        if (!WriteProcFile("/proc/self/setgroups", "deny") ||
            !WriteProcFile("/proc/self/uid_map", "0 " + std::to_string(uid) + " 1") ||
            !WriteProcFile("/proc/self/gid_map", "0 " + std::to_string(gid) + " 1"))
            return "no identity in the user namespace";
    }
    if (mount(nullptr, "/", nullptr, MS_REC | MS_PRIVATE, nullptr) != 0)
        return std::string("private mounts: ") + strerror(errno);
    return {};
}

} // namespace

class MountedFileSystem : public ::testing::Test {
protected:
    static void SetUpTestSuite() { FCannotMount = new std::string(EnterPrivateMounts()); }
    static void TearDownTestSuite()
    {
        delete FCannotMount;
        FCannotMount = nullptr;
    }

    void SetUp() override
    {
        if (!FCannotMount->empty())
            GTEST_SKIP() << "cannot mount a file system here (" << *FCannotMount
                         << "); the injected failures of PosixFileOutputTest cover these codes";
        ASSERT_EQ(mkdir(disk.c_str(), 0755), 0);
        // The smallest tmpfs: a few pages.
        mountDisk("size=16k");
    }
    void TearDown() override
    {
        for (auto mount = FMounts.rbegin(); mount != FMounts.rend(); ++mount)
            EXPECT_EQ(umount2(mount->c_str(), MNT_DETACH), 0) << *mount << ": " << strerror(errno);
    }

    void mountDisk(const char* options)
    {
        ASSERT_EQ(mount("huvella-test", disk.c_str(), "tmpfs", MS_NOSUID | MS_NODEV, options), 0)
            << strerror(errno);
        FMounts.push_back(disk);
    }
    // Mounts `from` over `onto`, a file over a file or a folder over a folder.
    void bind(const std::string& from, const std::string& onto, unsigned long readOnly = 0)
    {
        ASSERT_EQ(mount(from.c_str(), onto.c_str(), nullptr, MS_BIND, nullptr), 0)
            << strerror(errno);
        FMounts.push_back(onto);
        if (readOnly) {
            ASSERT_EQ(mount(nullptr, onto.c_str(), nullptr, MS_REMOUNT | MS_BIND | MS_RDONLY,
                            nullptr),
                      0)
                << strerror(errno);
        }
    }
    // Takes the disk's last free block.
    void fill()
    {
        const int filler = open((disk + "/filler").c_str(), O_WRONLY | O_CREAT, 0644);
        ASSERT_GE(filler, 0);
        const std::string block(512, 'x');
        while (write(filler, block.data(), block.size()) > 0) {
        }
        ASSERT_EQ(errno, ENOSPC);
        close(filler);
    }

    IoResult save(const std::string& name)
    {
        PosixFileOutput output;
        return output.replace(QString::fromStdString(disk + "/" + name), NewBytes);
    }

    QStringList onDisk() const { return scratch.entries("disk"); }

    ScratchFolder scratch;
    const std::string disk = scratch.path("disk");

private:
    static inline std::string* FCannotMount = nullptr;
    std::vector<std::string> FMounts;
};

// The report fits in the blocks the old one holds: as with a plain overwrite,
// the save goes through. A new file has no such room.
TEST_F(MountedFileSystem, AFullDiskTakesAReportOverAnOldOneAndRefusesANewOne)
{
    ScratchFolder::write(disk + "/Color.txt", OldBytes);
    fill();
    struct stat before {};
    ASSERT_EQ(stat((disk + "/Color.txt").c_str(), &before), 0);

    EXPECT_EQ(save("Color.txt"), IoResult::Success());
    EXPECT_EQ(ScratchFolder::read(disk + "/Color.txt"), NewBytes);
    struct stat after {};
    ASSERT_EQ(stat((disk + "/Color.txt").c_str(), &after), 0);
    EXPECT_EQ(after.st_ino, before.st_ino) << "written in place";
    EXPECT_EQ(Describe(save("New.txt")), Describe(IoResult::Program(101)));
    EXPECT_EQ(onDisk(), (QStringList{"Color.txt", "filler"}));
}

// A report too large for the room the old one holds fails before a byte of it
// is written: the old report stays whole.
TEST_F(MountedFileSystem, AFullDiskKeepsTheOldFileWhenTheReportDoesNotFit)
{
    ScratchFolder::write(disk + "/Color.txt", "");
    fill();
    EXPECT_EQ(Describe(save("Color.txt")), Describe(IoResult::Program(101)));
    EXPECT_EQ(ScratchFolder::read(disk + "/Color.txt"), QByteArray());
    EXPECT_EQ(onDisk(), (QStringList{"Color.txt", "filler"}));
}

TEST_F(MountedFileSystem, NoFreeInodesStillTakesAReportOverAnOldOne)
{
    mountDisk("size=64k,nr_inodes=2"); // over the first: its root folder and the report
    ScratchFolder::write(disk + "/Color.txt", OldBytes);
    ASSERT_LT(open((disk + "/another").c_str(), O_WRONLY | O_CREAT, 0644), 0) << "inodes left";

    EXPECT_EQ(save("Color.txt"), IoResult::Success());
    EXPECT_EQ(ScratchFolder::read(disk + "/Color.txt"), NewBytes);
    EXPECT_EQ(onDisk(), QStringList{"Color.txt"});
}

// A file mounted over another cannot be renamed over (EBUSY), and one mounted
// into a read-only folder has no folder to take a new file: both are written
// in place, where the mount leads.
TEST_F(MountedFileSystem, AFileMountedOverAFileIsWrittenWhereTheMountLeads)
{
    ScratchFolder::write(disk + "/a.txt", OldBytes);
    ScratchFolder::write(disk + "/b.txt", "b");
    bind(disk + "/a.txt", disk + "/b.txt");
    EXPECT_EQ(save("b.txt"), IoResult::Success());
    EXPECT_EQ(ScratchFolder::read(disk + "/a.txt"), NewBytes);

    ASSERT_EQ(mkdir((disk + "/shelf").c_str(), 0755), 0);
    ScratchFolder::write(disk + "/shelf/Color.txt", "");
    ScratchFolder::write(disk + "/c.txt", OldBytes);
    bind(disk + "/shelf", disk + "/shelf", MS_RDONLY);
    bind(disk + "/c.txt", disk + "/shelf/Color.txt");
    EXPECT_EQ(save("shelf/Color.txt"), IoResult::Success());
    EXPECT_EQ(ScratchFolder::read(disk + "/c.txt"), NewBytes);
    EXPECT_EQ(onDisk(), (QStringList{"a.txt", "b.txt", "c.txt", "shelf"}));
}

TEST_F(MountedFileSystem, AReadOnlyFileSystemGives5AndKeepsTheOldFile)
{
    ScratchFolder::write(disk + "/Color.txt", OldBytes);
    ASSERT_EQ(mount(nullptr, disk.c_str(), nullptr, MS_REMOUNT | MS_RDONLY, nullptr), 0)
        << strerror(errno);

    EXPECT_EQ(Describe(save("Color.txt")), Describe(IoResult::Program(5)));
    EXPECT_EQ(ScratchFolder::read(disk + "/Color.txt"), OldBytes);
    EXPECT_EQ(Describe(save("New.txt")), Describe(IoResult::Program(5)));
    EXPECT_EQ(onDisk(), QStringList{"Color.txt"});
}

TEST_F(MountedFileSystem, ARoomyDiskTakesTheReport)
{
    ScratchFolder::write(disk + "/Color.txt", OldBytes);
    EXPECT_EQ(save("Color.txt"), IoResult::Success());
    EXPECT_EQ(ScratchFolder::read(disk + "/Color.txt"), NewBytes);
    EXPECT_EQ(onDisk(), QStringList{"Color.txt"});
}
