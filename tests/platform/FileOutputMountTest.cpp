// The file output on file systems mounted for the test: a full disk and a
// read-only one. The process first moves into a mount namespace of its own, so
// that its mounts are gone when it ends, however it ends.
#include "QtPrinters.h"
#include "ReportFileBytes.h"
#include "ScratchFolder.h"
#include "platform/PosixFileOutput.h"

#include <cerrno>
#include <fcntl.h>
#include <fstream>
#include <gtest/gtest.h>
#include <sched.h>
#include <sys/mount.h>
#include <sys/stat.h>
#include <unistd.h>

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
        ASSERT_EQ(mount("huvella-test", disk.c_str(), "tmpfs", MS_NOSUID | MS_NODEV, "size=16k"), 0)
            << strerror(errno);
        FMounted = true;
    }
    void TearDown() override
    {
        if (FMounted) {
            EXPECT_EQ(umount2(disk.c_str(), MNT_DETACH), 0) << strerror(errno);
        }
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
    bool FMounted = false;
};

TEST_F(MountedFileSystem, AFullDiskGives101AndKeepsTheOldFile)
{
    ScratchFolder::write(disk + "/Color.txt", OldBytes);
    const int filler = open((disk + "/filler").c_str(), O_WRONLY | O_CREAT, 0644);
    ASSERT_GE(filler, 0);
    const std::string block(512, 'x');
    while (write(filler, block.data(), block.size()) > 0) {
    }
    ASSERT_EQ(errno, ENOSPC);
    close(filler);

    EXPECT_EQ(Describe(save("Color.txt")), Describe(IoResult::Program(101)));
    EXPECT_EQ(ScratchFolder::read(disk + "/Color.txt"), OldBytes);
    EXPECT_EQ(Describe(save("New.txt")), Describe(IoResult::Program(101)));
    EXPECT_EQ(onDisk(), (QStringList{"Color.txt", "filler"}));
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
