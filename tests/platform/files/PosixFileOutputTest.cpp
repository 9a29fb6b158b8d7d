// The file output on a real file system: what a save leaves on disk when it
// works, and that every failure gives the program's code and leaves the old
// file byte for byte, with no temporary file behind.
#include "platform/files/PosixFileOutput.h"
#include "FaultyPosixCalls.h"
#include "QtPrinters.h"
#include "ReportFileBytes.h"
#include "RootObeysPermissions.h"
#include "ScratchFolder.h"

#include <cerrno>
#include <fcntl.h>
#include <gtest/gtest.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <tuple>
#include <unistd.h>
#include <vector>
#include <map>
#include <string>
#include <sys/xattr.h>

namespace {

using Call = FaultyPosixCalls::Call;

struct stat StatusOf(const std::string& path)
{
    struct stat status {};
    EXPECT_EQ(lstat(path.c_str(), &status), 0) << path;
    return status;
}

// An access list in the kernel's binary form, as `setfacl -m u:USER:PERMS`
// leaves it on a file of `mode`: the mode's owner, group and other entries,
// the named user, and the mask, which the group bits of the mode then show.
std::string AccessList(mode_t mode, uid_t user, uint16_t userPerms, uint16_t mask)
{
    struct Entry {
        uint16_t tag;
        uint16_t perms;
        uint32_t id;
    };
    constexpr uint32_t None = 0xFFFFFFFF;
    const Entry entries[] = {
        {0x01, uint16_t((mode >> 6) & 7), None}, // the owner
        {0x02, userPerms, user},                 // the named user
        {0x04, uint16_t((mode >> 3) & 7), None}, // the owning group
        {0x10, mask, None},                      // the mask
        {0x20, uint16_t(mode & 7), None},        // others
    };
    std::string bytes;
    const auto put = [&](auto value) {
        bytes.append(reinterpret_cast<const char*>(&value), sizeof value);
    };
    put(uint32_t{2}); // the format's version
    for (const Entry& entry : entries) {
        put(entry.tag);
        put(entry.perms);
        put(entry.id);
    }
    return bytes;
}

// Every extended attribute of a file, as `getfattr -d -m -` lists them (the
// access list among them), and its mode, as `getfacl` reads them.
std::map<std::string, std::string> AttributesOf(const std::string& path)
{
    std::map<std::string, std::string> attributes;
    char names[4096];
    const ssize_t size = listxattr(path.c_str(), names, sizeof names);
    EXPECT_GE(size, 0) << path;
    for (ssize_t at = 0; at < size; at += ssize_t(strlen(names + at)) + 1) {
        char value[4096];
        const ssize_t length = getxattr(path.c_str(), names + at, value, sizeof value);
        EXPECT_GE(length, 0) << names + at;
        attributes[names + at] = std::string(value, size_t(std::max<ssize_t>(length, 0)));
    }
    attributes["mode"] = std::to_string(StatusOf(path).st_mode);
    return attributes;
}

} // namespace

class FileOutputTest : public ::testing::Test {
protected:
    void SetUp() override { umask(022); }

    IoResult save(const std::string& name, const QByteArray& bytes = NewBytes)
    {
        PosixFileOutput output;
        return output.replace(scratch.qpath(name), bytes);
    }

    ScratchFolder scratch;
};

TEST_F(FileOutputTest, ANewFileHoldsExactlyTheBytesWithTheUsualMode)
{
    EXPECT_EQ(save("Color.txt"), IoResult::Success());
    EXPECT_EQ(ScratchFolder::read(scratch.path("Color.txt")), NewBytes);
    EXPECT_EQ(StatusOf(scratch.path("Color.txt")).st_mode & 07777, 0644u);
    EXPECT_EQ(scratch.entries(), QStringList{"Color.txt"});
}

TEST_F(FileOutputTest, ReplacingKeepsTheOldFilesModeOwnerAndGroup)
{
    struct Row {
        const char* name;
        mode_t mode;
        bool toNobody; // owned by another user and group: only root can make it so
    };
    const Row rows[] = {
        {"Private", 0600, false},
        {"GroupReadable", 0640, false},
        {"Executable", 0754, false},
        {"OtherOwner", 0664, true},
    };
    for (const Row& row : rows) {
        if (row.toNobody && geteuid() != 0)
            continue; // the other rows still cover the mode
        const std::string file = scratch.path(row.name);
        ScratchFolder::write(file, OldBytes);
        ASSERT_EQ(chmod(file.c_str(), row.mode), 0);
        if (row.toNobody) {
            ASSERT_EQ(chown(file.c_str(), 65534, 65534), 0);
        }
        const struct stat before = StatusOf(file);

        EXPECT_EQ(save(row.name), IoResult::Success()) << row.name;
        const struct stat after = StatusOf(file);
        EXPECT_EQ(ScratchFolder::read(file), NewBytes) << row.name;
        EXPECT_EQ(after.st_mode & 07777, row.mode) << row.name;
        EXPECT_EQ(after.st_uid, before.st_uid) << row.name;
        EXPECT_EQ(after.st_gid, before.st_gid) << row.name;
        EXPECT_NE(after.st_ino, before.st_ino) << row.name << ": replaced, not rewritten";
    }
}

// A file with an access list (a user given write access beside a group that
// only reads) and an attribute of the user's keeps both exactly, and so every
// user and group keep their permissions: given to a new file, or, where a
// rename cannot serve, written in place.
TEST_F(FileOutputTest, ReplacingKeepsTheAccessListAndEveryAttribute)
{
    for (const bool linked : {false, true}) {
        ScratchFolder folder;
        const std::string file = folder.path("Color.txt");
        ScratchFolder::write(file, OldBytes);
        ASSERT_EQ(chmod(file.c_str(), 0640), 0);
        const std::string list = AccessList(0640, 65534, 6, 6);
        if (setxattr(file.c_str(), "system.posix_acl_access", list.data(), list.size(), 0) != 0)
            GTEST_SKIP() << "no access lists on " << folder.root() << ": " << strerror(errno);
        ASSERT_EQ(setxattr(file.c_str(), "user.comment", "keepme", 6, 0), 0) << strerror(errno);
        if (linked) {
            ASSERT_EQ(link(file.c_str(), folder.path("second.txt").c_str()), 0);
        }
        const auto before = AttributesOf(file);
        ASSERT_EQ(before.at("mode"), std::to_string(S_IFREG | 0660)) << "the mask shows as group";

        EXPECT_EQ(PosixFileOutput().replace(folder.qpath("Color.txt"), NewBytes),
                  IoResult::Success());
        EXPECT_EQ(ScratchFolder::read(file), NewBytes);
        EXPECT_EQ(AttributesOf(file), before) << (linked ? "in place" : "by rename");
    }
}

// The longest paths the system takes (4,095 bytes) leave no room for a longer
// temporary name beside the file.
TEST_F(FileOutputTest, APathNearTheLongestTakesANewFileAndAReplacement)
{
    const std::string name = "Color.txt";
    constexpr size_t Length = 4091;
    std::string folder = scratch.root().string();
    for (size_t left = Length - folder.size() - 1 - name.size(); left > 0;) {
        const size_t part = left - 1 <= 200 ? left - 1 : 150;
        folder += '/' + std::string(part, 'f');
        ASSERT_EQ(mkdir(folder.c_str(), 0755), 0) << strerror(errno);
        left -= part + 1;
    }
    const std::string file = folder + '/' + name;
    ASSERT_EQ(file.size(), Length);

    PosixFileOutput output;
    EXPECT_EQ(output.replace(QString::fromStdString(file), OldBytes), IoResult::Success());
    EXPECT_EQ(ScratchFolder::read(file), OldBytes);
    EXPECT_EQ(output.replace(QString::fromStdString(file), NewBytes), IoResult::Success());
    EXPECT_EQ(ScratchFolder::read(file), NewBytes);
    size_t entries = 0;
    for (const auto& entry : std::filesystem::directory_iterator(folder)) {
        EXPECT_EQ(entry.path().filename(), name);
        ++entries;
    }
    EXPECT_EQ(entries, 1u);
}

TEST_F(FileOutputTest, ALinkedNameReplacesTheFileTheLinkLeadsToAndStaysALink)
{
    ASSERT_EQ(mkdir(scratch.path("elsewhere").c_str(), 0755), 0);
    struct Row {
        const char* name;
        std::vector<std::pair<const char*, const char*>> links; // name, where it leads
        const char* target;
        bool targetExists;
    };
    const Row rows[] = {
        {"Absolute", {{"abs.txt", nullptr}}, "elsewhere/abs-target.txt", true},
        {"RelativeChain",
         {{"chain1.txt", "chain2.txt"}, {"chain2.txt", "elsewhere/chain-target.txt"}},
         "elsewhere/chain-target.txt",
         true},
        {"Dangling", {{"dangling.txt", "elsewhere/created.txt"}}, "elsewhere/created.txt", false},
    };
    for (const Row& row : rows) {
        const std::string target = scratch.path(row.target);
        if (row.targetExists)
            ScratchFolder::write(target, OldBytes);
        for (const auto& [name, leadsTo] : row.links) {
            const std::string to = leadsTo ? std::string(leadsTo) : target;
            ASSERT_EQ(symlink(to.c_str(), scratch.path(name).c_str()), 0);
        }
        const std::string named = row.links.front().first;

        EXPECT_EQ(save(named), IoResult::Success()) << row.name;
        EXPECT_EQ(ScratchFolder::read(target), NewBytes) << row.name;
        for (const auto& link : row.links)
            EXPECT_TRUE(S_ISLNK(StatusOf(scratch.path(link.first)).st_mode)) << row.name;
    }
    // No temporary file in the folder of the names or of the targets.
    for (const QString& name : scratch.entries())
        EXPECT_FALSE(name.startsWith('.')) << name.toStdString();
    for (const QString& name : scratch.entries("elsewhere"))
        EXPECT_FALSE(name.startsWith('.')) << name.toStdString();
}

TEST_F(FileOutputTest, APipeIsWrittenToNotReplaced)
{
    const std::string fifo = scratch.path("pipe");
    ASSERT_EQ(mkfifo(fifo.c_str(), 0644), 0);
    const int reader = open(fifo.c_str(), O_RDONLY | O_NONBLOCK);
    ASSERT_GE(reader, 0);
    EXPECT_EQ(save("pipe"), IoResult::Success());
    char got[256] = {};
    const ssize_t size = read(reader, got, sizeof got);
    close(reader);
    EXPECT_EQ(QByteArray(got, int(size)), NewBytes);
    EXPECT_TRUE(S_ISFIFO(StatusOf(fifo).st_mode));
    EXPECT_EQ(scratch.entries(), QStringList{"pipe"});
}

TEST_F(FileOutputTest, ShortAndInterruptedWritesStillWriteEverything)
{
    for (const size_t chunk : {1u, 3u, 64u}) {
        FaultyPosixCalls calls;
        calls.shortWrites(chunk);
        PosixFileOutput output(calls);
        EXPECT_EQ(output.replace(scratch.qpath("Color.txt"), NewBytes), IoResult::Success());
        EXPECT_EQ(ScratchFolder::read(scratch.path("Color.txt")), NewBytes) << chunk;
        EXPECT_GE(calls.count(Call::Write), 2 * int((NewBytes.size() + chunk - 1) / chunk));
    }
}

// Failures that a real file system gives: the code, and the old file as it was.
TEST_F(FileOutputTest, FailuresOnTheFileSystemGiveTheProgramsCodes)
{
    ASSERT_EQ(mkdir(scratch.path("locked").c_str(), 0755), 0);
    ScratchFolder::write(scratch.path("locked/old.txt"), OldBytes);
    ASSERT_EQ(chmod(scratch.path("locked").c_str(), 0555), 0);
    ScratchFolder::write(scratch.path("readonly.txt"), OldBytes);
    ASSERT_EQ(chmod(scratch.path("readonly.txt").c_str(), 0444), 0);
    ScratchFolder::write(scratch.path("plain.txt"), OldBytes);
    ASSERT_EQ(mkdir(scratch.path("folder.txt").c_str(), 0755), 0);
    ASSERT_EQ(symlink("loop2.txt", scratch.path("loop1.txt").c_str()), 0);
    ASSERT_EQ(symlink("loop1.txt", scratch.path("loop2.txt").c_str()), 0);

    struct Row {
        const char* name;
        std::string file;
        IoResult expected;
        const char* old; // the file that must be left as it was, if any
    };
    const Row rows[] = {
        {"MissingFolder", "missing/Color.txt", IoResult::Program(3), nullptr},
        {"FileInPlaceOfFolder", "plain.txt/Color.txt", IoResult::Program(3), "plain.txt"},
        {"ReadOnlyFile", "readonly.txt", IoResult::Program(5), "readonly.txt"},
        {"ReadOnlyFolder", "locked/new.txt", IoResult::Program(5), nullptr},
        {"FolderInPlaceOfFile", "folder.txt", IoResult::Program(5), nullptr},
        {"LinkLoop", "loop1.txt", IoResult::Platform(ELOOP), nullptr},
        {"NameTooLong", std::string(300, 'n') + ".txt", IoResult::Platform(ENAMETOOLONG), nullptr},
    };
    const QStringList before = scratch.entries();
    for (const Row& row : rows) {
        RootObeysPermissions asAnyUser;
        EXPECT_EQ(Describe(save(row.file)), Describe(row.expected)) << row.name;
        if (row.old) {
            EXPECT_EQ(ScratchFolder::read(scratch.path(row.old)), OldBytes) << row.name;
        }
    }
    EXPECT_EQ(scratch.entries(), before);
    EXPECT_EQ(scratch.entries("locked"), QStringList{"old.txt"});
    EXPECT_TRUE(scratch.entries("folder.txt").isEmpty());
}

// Where the rename would put another file under the name (the file has other
// hard links, its folder refuses new files or renames, its owner cannot be
// given to a new file), the old file takes the new bytes in place and stays
// the same file. A failure there still gives its code, and keeps the bytes.
TEST_F(FileOutputTest, AFileARenameWouldChangeIsRewrittenInPlace)
{
    ScratchFolder::write(scratch.path("linked.txt"), OldBytes);
    ASSERT_EQ(link(scratch.path("linked.txt").c_str(), scratch.path("second.txt").c_str()), 0);
    ScratchFolder::write(scratch.path("own.txt"), OldBytes);
    ASSERT_EQ(mkdir(scratch.path("locked").c_str(), 0755), 0);
    ScratchFolder::write(scratch.path("locked/old.txt"), OldBytes);
    ASSERT_EQ(chmod(scratch.path("locked").c_str(), 0555), 0);
    // Like /tmp: anyone may add files, only the owners may replace them.
    const bool root = geteuid() == 0;
    ASSERT_EQ(mkdir(scratch.path("sticky").c_str(), 0755), 0);
    ScratchFolder::write(scratch.path("sticky/shared.txt"), OldBytes);
    ASSERT_EQ(chmod(scratch.path("sticky").c_str(), 01777), 0);
    ASSERT_EQ(chmod(scratch.path("sticky/shared.txt").c_str(), 0666), 0);
    if (root) {
        ASSERT_EQ(chown(scratch.path("sticky").c_str(), 65534, 65534), 0);
        ASSERT_EQ(chown(scratch.path("sticky/shared.txt").c_str(), 65534, 65534), 0);
    }

    struct Row {
        const char* name;
        std::string file;
        Call faultyCall;
        int faultyError; // 0: no fault
        IoResult expected;
        QByteArray bytes; // in the file afterwards
    };
    const Row rows[] = {
        {"HardLinked", "linked.txt", Call::Open, 0, IoResult::Success(), NewBytes},
        {"FolderRefusesNewFiles", "locked/old.txt", Call::Open, 0, IoResult::Success(), NewBytes},
        {"StickyFolderOfAnotherUser", "sticky/shared.txt", Call::Open, 0, IoResult::Success(),
         NewBytes},
        {"OwnerNotOursToGive", "own.txt", Call::Fchown, EPERM, IoResult::Success(), NewBytes},
        {"RenameRefused", "own.txt", Call::Rename, EBUSY, IoResult::Success(), NewBytes},
        // The bytes the row before wrote stay: nothing was written.
        {"DiskFullInPlace", "linked.txt", Call::Write, ENOSPC, IoResult::Program(101), NewBytes},
    };
    for (const Row& row : rows) {
        if (row.file.starts_with("sticky") && !root)
            continue; // only root can give the folder to another user
        const struct stat before = StatusOf(scratch.path(row.file));
        FaultyPosixCalls calls;
        if (row.faultyError)
            calls.failAt(row.faultyCall, 0, row.faultyError);
        IoResult result;
        {
            RootObeysPermissions asAnyUser;
            result = PosixFileOutput(calls).replace(scratch.qpath(row.file), NewBytes);
        }
        EXPECT_EQ(Describe(result), Describe(row.expected)) << row.name;
        EXPECT_EQ(ScratchFolder::read(scratch.path(row.file)), row.bytes) << row.name;
        const struct stat after = StatusOf(scratch.path(row.file));
        EXPECT_EQ(after.st_ino, before.st_ino) << row.name << ": the same file";
        EXPECT_EQ(after.st_nlink, before.st_nlink) << row.name;
        EXPECT_EQ(after.st_uid, before.st_uid) << row.name;
        EXPECT_EQ(after.st_gid, before.st_gid) << row.name;
        EXPECT_EQ(after.st_mode, before.st_mode) << row.name;
    }
    EXPECT_EQ(ScratchFolder::read(scratch.path("second.txt")), NewBytes) << "one file, two names";
    EXPECT_EQ(scratch.entries(),
              (QStringList{"linked.txt", "locked", "own.txt", "second.txt", "sticky"}));
    EXPECT_EQ(scratch.entries("locked"), QStringList{"old.txt"});
    EXPECT_EQ(scratch.entries("sticky"), QStringList{"shared.txt"});
}

TEST_F(FileOutputTest, TooManyOpenFilesGivesFour)
{
    // The sanitizers' checks of a virtual call need a descriptor the first time
    // they meet a type: one save beforehand has them meet every type.
    PosixFileOutput output;
    ASSERT_EQ(output.replace(scratch.qpath("Color.txt"), NewBytes), IoResult::Success());
    ScratchFolder::write(scratch.path("Color.txt"), OldBytes);
    rlimit saved{};
    ASSERT_EQ(getrlimit(RLIMIT_NOFILE, &saved), 0);
    rlimit low = saved;
    low.rlim_cur = 64;
    ASSERT_EQ(setrlimit(RLIMIT_NOFILE, &low), 0);
    std::vector<int> held;
    for (int fd = open("/dev/null", O_RDONLY); fd >= 0; fd = open("/dev/null", O_RDONLY))
        held.push_back(fd);

    const IoResult result = output.replace(scratch.qpath("Color.txt"), NewBytes);

    for (const int fd : held)
        close(fd);
    setrlimit(RLIMIT_NOFILE, &saved);
    EXPECT_EQ(Describe(result), Describe(IoResult::Program(4)));
    EXPECT_EQ(ScratchFolder::read(scratch.path("Color.txt")), OldBytes);
    EXPECT_EQ(scratch.entries(), QStringList{"Color.txt"});
}

// Each step of a new file failing in turn: its code, and no file at all.
TEST_F(FileOutputTest, AFailureAtAnyStepOfANewFileLeavesNoFile)
{
    struct Row {
        const char* name;
        Call call;
        int nth; // the first open looks for an old file
        int error;
        IoResult expected;
    };
    const Row rows[] = {
        {"FollowingTheName", Call::Readlink, 1, EACCES, IoResult::Program(5)},
        {"OpeningTheFolder", Call::Open, 2, EACCES, IoResult::Program(5)},
        {"CreatingTheFile", Call::Open, 3, ENOSPC, IoResult::Program(101)},
        {"FirstWrite", Call::Write, 1, ENOSPC, IoResult::Program(101)},
        {"LaterWrite", Call::Write, 5, EIO, IoResult::Platform(EIO)},
        {"Flush", Call::Fsync, 1, EIO, IoResult::Platform(EIO)},
        {"Close", Call::Close, 1, EDQUOT, IoResult::Program(101)},
        {"Rename", Call::Rename, 1, EXDEV, IoResult::Platform(EXDEV)},
    };
    for (const Row& row : rows) {
        ScratchFolder folder;
        FaultyPosixCalls calls;
        calls.shortWrites(8); // several writes, so that a later one can fail
        calls.failAt(row.call, row.nth, row.error);
        EXPECT_EQ(Describe(PosixFileOutput(calls).replace(folder.qpath("Color.txt"), NewBytes)),
                  Describe(row.expected))
            << row.name;
        EXPECT_EQ(folder.entries(), QStringList{}) << row.name;
    }
}

// Over an old file, a step of the replacement that fails is no failure: the
// old file is written in place instead, as a plain overwrite would be.
// Failures in place give their code and leave the old bytes.
TEST_F(FileOutputTest, OverAnOldFileOnlyWhatAPlainOverwriteCannotDoFails)
{
    using Faults = std::vector<std::tuple<Call, int, int>>; // call, nth (0: every one), error
    // The temporary file cannot be made: every write goes to the old file.
    const auto inPlace = [](Faults more) {
        more.insert(more.begin(), {Call::Open, 3, ENOSPC});
        return more;
    };
    struct Row {
        const char* name;
        Faults faults;
        IoResult expected;
    };
    const Row rows[] = {
        {"FolderNotOpened", {{Call::Open, 2, EACCES}}, IoResult::Success()},
        {"NoInodes", {{Call::Open, 3, ENOSPC}}, IoResult::Success()},
        {"ReadOnlyFolder", {{Call::Open, 3, EROFS}}, IoResult::Success()},
        {"AttributesUnread", {{Call::Xattr, 1, EIO}}, IoResult::Success()},
        {"ModeRefused", {{Call::Fchmod, 1, EPERM}}, IoResult::Success()},
        {"WriteToTheNewFile", {{Call::Write, 3, ENOSPC}}, IoResult::Success()},
        {"FlushTheNewFile", {{Call::Fsync, 1, EIO}}, IoResult::Success()},
        {"CloseTheNewFile", {{Call::Close, 1, EDQUOT}}, IoResult::Success()},
        {"Rename", {{Call::Rename, 1, EBUSY}}, IoResult::Success()},
        {"OpeningTheOld", {{Call::Open, 1, EACCES}}, IoResult::Program(5)},
        {"StatusOfTheOld", {{Call::Fstat, 1, EIO}}, IoResult::Platform(EIO)},
        {"NoRoomForTheReport", inPlace({{Call::Allocate, 1, ENOSPC}}), IoResult::Program(101)},
        {"EveryWrite", {{Call::Write, 0, ENOSPC}}, IoResult::Program(101)},
        {"ALaterWriteInPlace", inPlace({{Call::Write, 5, EIO}}), IoResult::Platform(EIO)},
        {"CuttingToLength", inPlace({{Call::Truncate, 1, EIO}}), IoResult::Platform(EIO)},
        {"FlushInPlace", inPlace({{Call::Fsync, 0, EIO}}), IoResult::Platform(EIO)},
    };
    for (const Row& row : rows) {
        ScratchFolder folder;
        const std::string file = folder.path("Color.txt");
        ScratchFolder::write(file, OldBytes);
        FaultyPosixCalls calls;
        calls.shortWrites(8);
        for (const auto& [call, nth, error] : row.faults)
            calls.failAt(call, nth, error);

        const IoResult result = PosixFileOutput(calls).replace(folder.qpath("Color.txt"), NewBytes);
        EXPECT_EQ(Describe(result), Describe(row.expected)) << row.name;
        EXPECT_EQ(ScratchFolder::read(file), result.failed() ? OldBytes : NewBytes) << row.name;
        EXPECT_EQ(folder.entries(), QStringList{"Color.txt"}) << row.name;
    }
}

TEST_F(FileOutputTest, SomeCallResultsAreNoFailure)
{
    struct Row {
        const char* name;
        Call call;
        int nth;
        int error;
    };
    const Row rows[] = {
        {"InterruptedClose", Call::Close, 1, EINTR}, // Linux has released the descriptor
        {"TemporaryNameTaken", Call::Open, 3, EEXIST},
        {"OwnerNotOursToGive", Call::Fchown, 1, EPERM},
        {"FolderNotFlushable", Call::Fsync, 2, EINVAL},
    };
    for (const Row& row : rows) {
        ScratchFolder folder;
        ScratchFolder::write(folder.path("Color.txt"), OldBytes);
        FaultyPosixCalls calls;
        calls.failAt(row.call, row.nth, row.error);
        PosixFileOutput output(calls);
        EXPECT_EQ(output.replace(folder.qpath("Color.txt"), NewBytes), IoResult::Success())
            << row.name;
        EXPECT_EQ(ScratchFolder::read(folder.path("Color.txt")), NewBytes) << row.name;
        EXPECT_EQ(folder.entries(), QStringList{"Color.txt"}) << row.name;
    }
}

TEST_F(FileOutputTest, TheErrorNumbersMapToTheProgramsCodes)
{
    struct Row {
        int error;
        IoResult expected;
    };
    const Row rows[] = {
        {ENOENT, IoResult::Program(3)},         {ENOTDIR, IoResult::Program(3)},
        {EMFILE, IoResult::Program(4)},         {ENFILE, IoResult::Program(4)},
        {EACCES, IoResult::Program(5)},         {EPERM, IoResult::Program(5)},
        {EROFS, IoResult::Program(5)},          {EISDIR, IoResult::Program(5)},
        {ENOSPC, IoResult::Program(101)},       {EDQUOT, IoResult::Program(101)},
        {EIO, IoResult::Platform(EIO)},         {EBUSY, IoResult::Platform(EBUSY)},
        {ETXTBSY, IoResult::Platform(ETXTBSY)},
    };
    for (const Row& row : rows) {
        FaultyPosixCalls calls;
        calls.failAt(Call::Open, 2, row.error); // creating the file, after looking for an old one
        PosixFileOutput output(calls);
        EXPECT_EQ(Describe(output.replace(scratch.qpath("Color.txt"), NewBytes)),
                  Describe(row.expected))
            << strerrorname_np(row.error);
    }
    EXPECT_TRUE(scratch.entries().isEmpty());
}
