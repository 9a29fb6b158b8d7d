#include "platform/files/PosixFileOutput.h"

#include "platform/files/ExtendedAttributes.h"

#include <QFile>
#include <algorithm>
#include <cerrno>
#include <chrono>
#include <climits>
#include <cstdio>
#include <fcntl.h>
#include <optional>
#include <string>
#include <unistd.h>

namespace {

// The kernel's own limit on a chain of symbolic links.
constexpr int MaxLinks = 40;
// Attempts at a temporary name that no other file has taken.
constexpr int MaxTempNames = 100;
// The most of an old file that is read before it is written over in place, to
// be put back should the writing fail: far more than any report.
constexpr off_t MaxKept = 1 << 20;
// Not an error number: the replacement could not be the same file as the old
// one (its owner, group or attributes cannot be given to it), so the old file
// is to be rewritten in place.
constexpr int IdentityWouldChange = -1;

IoResult FromErrno(int error)
{
    switch (error) {
    case 0:
        return IoResult::Success();
    case ENOENT:
    case ENOTDIR: // a folder on the way is not there, or is a file
        return IoResult::Program(3);
    case EMFILE:
    case ENFILE:
        return IoResult::Program(4);
    case EACCES:
    case EPERM:
    case EROFS:
    case EISDIR:
        return IoResult::Program(5);
    case ENOSPC:
    case EDQUOT:
        return IoResult::Program(101);
    default:
        return IoResult::Platform(error);
    }
}

// The error number of a call's result (calls return -errno), 0 for success.
template <class T> int ErrorOf(T result)
{
    return result < 0 ? int(-result) : 0;
}

// Makes a call again when a signal interrupted it.
template <class Call> auto Retrying(Call call)
{
    for (;;) {
        const auto result = call();
        if (result != -EINTR)
            return result;
    }
}

std::string FolderOf(const std::string& path)
{
    const size_t slash = path.rfind('/');
    if (slash == std::string::npos)
        return ".";
    if (slash == 0)
        return "/";
    return path.substr(0, slash);
}

std::string NameOf(const std::string& path)
{
    const size_t slash = path.rfind('/');
    return slash == std::string::npos ? path : path.substr(slash + 1);
}

// Hidden, and named after the program, so that anyone who finds one left by a
// crash knows where it came from.
std::string TempName()
{
    static unsigned counter = 0;
    const auto now = std::chrono::system_clock::now().time_since_epoch().count();
    char name[64];
    snprintf(name, sizeof name, ".huvella-%x-%x-%llx.tmp", unsigned(getpid()), ++counter,
             static_cast<unsigned long long>(now) & 0xFFFFFFFFu);
    return name;
}

// What a replacement must carry to be the same file to everyone.
struct Identity {
    struct stat status;
    ExtendedAttributes attributes;
};

class Replacement {
public:
    explicit Replacement(PosixCalls& calls) : FCalls(calls) {}

    int run(std::string target, const QByteArray& bytes)
    {
        if (const int error = followLinks(target))
            return error;

        // Opening the old file for writing, without truncating it, is the test
        // that it may be replaced: the rename alone would pass over a
        // read-only file. O_NONBLOCK keeps a pipe without a reader from
        // blocking the program.
        const int old = Retrying([&] {
            return FCalls.open(target.c_str(), O_WRONLY | O_NONBLOCK | O_NOCTTY | O_CLOEXEC, 0);
        });
        if (old == -ENOENT)
            return writeAndRename(target, bytes, nullptr);
        if (old < 0)
            return -old;

        struct stat status {};
        int error = ErrorOf(FCalls.fstat(old, &status));
        bool written = false; // through `old`, so that its close counts
        if (error == 0 && !S_ISREG(status.st_mode)) {
            // A device or a pipe is written to, not replaced by a file.
            error = writeAll(old, bytes, false);
            written = true;
        } else if (error == 0 && !replacedByRename(target, bytes, old, status)) {
            error = overwrite(old, bytes, status.st_size);
            written = true;
        }
        // Linux releases the descriptor even when close is interrupted, and the
        // contents are on disk already: only a real close failure counts.
        const int closed = FCalls.close(old);
        if (error == 0 && written && closed != -EINTR)
            error = ErrorOf(closed);
        return error;
    }

private:
    // Turns `path` into the file that its chain of symbolic links leads to. A
    // dangling link leads to where its file would be.
    int followLinks(std::string& path)
    {
        for (int links = 0; links <= MaxLinks; ++links) {
            char next[PATH_MAX];
            const ssize_t size = FCalls.readlink(path.c_str(), next, sizeof next);
            if (size == -EINVAL || size == -ENOENT) // not a link, or nothing there yet
                return 0;
            if (size < 0)
                return ErrorOf(size);
            if (size_t(size) == sizeof next)
                return ENAMETOOLONG;
            const std::string link(next, size_t(size));
            path = link.front() == '/' ? link : FolderOf(path) + '/' + link;
        }
        return ELOOP;
    }

    // Whether a new file, given everything the old one carries, now stands in
    // its place. When not, nothing has changed.
    bool replacedByRename(const std::string& target, const QByteArray& bytes, int old,
                          const struct stat& status)
    {
        // A rename would leave the other names of a hard-linked file on the old
        // contents.
        if (status.st_nlink > 1)
            return false;
        std::optional<ExtendedAttributes> attributes = ReadExtendedAttributes(FCalls, old);
        if (!attributes)
            return false;
        const Identity identity{status, std::move(*attributes)};
        return writeAndRename(target, bytes, &identity) == 0;
    }

    // Writes a new file under a temporary name in the target's folder, then
    // renames it to the target. The folder is reached by a descriptor, so that
    // the temporary name is no longer than the target's own. `old` is what a
    // replacement must carry, null for a new file.
    int writeAndRename(const std::string& target, const QByteArray& bytes, const Identity* old)
    {
        // O_PATH: a folder that may be written to but not listed still takes
        // new files.
        const int folder = Retrying([&] {
            return FCalls.open(FolderOf(target).c_str(), O_PATH | O_DIRECTORY | O_CLOEXEC, 0);
        });
        if (folder < 0)
            return -folder;
        const int error = old && stickyFolderOfAnother(folder, old->status)
                              ? IdentityWouldChange
                              : writeAndRenameIn(folder, NameOf(target), bytes, old);
        FCalls.close(folder);
        return error;
    }

    int writeAndRenameIn(int folder, const std::string& name, const QByteArray& bytes,
                         const Identity* old)
    {
        std::string temp;
        int fd = -EEXIST;
        // A new file gets the usual mode (the umask applies); a replacement
        // starts private and gets the old file's mode before anything is in it.
        const mode_t mode = old ? 0600 : 0666;
        for (int attempt = 0; attempt < MaxTempNames && fd == -EEXIST; ++attempt) {
            temp = TempName();
            fd = Retrying([&] {
                return FCalls.openat(folder, temp.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC,
                                     mode);
            });
        }
        if (fd < 0)
            return -fd;

        int error = old ? takeIdentity(fd, *old) : 0;
        if (error == 0)
            error = writeAll(fd, bytes, false);
        if (error == 0)
            error = ErrorOf(Retrying([&] { return FCalls.fsync(fd); }));
        const int closed = FCalls.close(fd);
        if (error == 0 && closed != -EINTR)
            error = ErrorOf(closed);
        if (error == 0)
            error = ErrorOf(FCalls.renameat(folder, temp.c_str(), folder, name.c_str()));
        if (error) {
            FCalls.unlinkat(folder, temp.c_str(), 0);
            return error;
        }
        syncFolder(folder);
        return 0;
    }

    // Gives the new file `fd` everything the old one carries, or tells that it
    // cannot.
    int takeIdentity(int fd, const Identity& old)
    {
        // The mode first, while the new file is still ours to change.
        if (const int error = ErrorOf(FCalls.fchmod(fd, old.status.st_mode & 07777)))
            return error;
        // Only root may give a file to another owner, and only our own groups
        // are ours to give.
        if (FCalls.fchown(fd, old.status.st_uid, old.status.st_gid) < 0)
            return IdentityWouldChange;
        // Giving a file away clears its set-id bits.
        if (old.status.st_mode & (S_ISUID | S_ISGID)) {
            if (const int error = ErrorOf(FCalls.fchmod(fd, old.status.st_mode & 07777)))
                return error;
        }
        // After the owner: a change of owner drops some attributes (a
        // program's capabilities). The access list sets the group bits of the
        // mode, so the mode is compared after it.
        if (!GiveExtendedAttributes(FCalls, fd, old.attributes))
            return IdentityWouldChange;
        struct stat status {};
        if (FCalls.fstat(fd, &status) < 0 || status.st_mode != old.status.st_mode)
            return IdentityWouldChange;
        return 0;
    }

    // In a sticky folder (such as /tmp) only the owner of a file or of the
    // folder may replace or remove it: neither a rename over another user's
    // file nor the removal of a new file given to that user would go through.
    bool stickyFolderOfAnother(int folder, const struct stat& old)
    {
        if (old.st_uid == geteuid())
            return false;
        struct stat status {};
        return FCalls.fstat(folder, &status) == 0 && (status.st_mode & S_ISVTX) &&
               status.st_uid != geteuid();
    }

    // The old file `fd` takes the new contents in place, keeping its owner,
    // group, mode, attributes and links. Room is asked for first, so that a
    // full disk fails here with nothing written; the new bytes go over the old
    // ones and only then is the file cut to length, so that no moment leaves it
    // empty; should writing fail, the old bytes go back where they could be
    // read first.
    int overwrite(int fd, const QByteArray& bytes, off_t oldSize)
    {
        const off_t size = off_t(bytes.size());
        // A file system that cannot set room aside is simply written to.
        const int reserved = ErrorOf(Retrying(
            [&] { return FCalls.fallocate(fd, FALLOC_FL_KEEP_SIZE, 0, std::max<off_t>(size, 1)); }));
        if (reserved == ENOSPC || reserved == EDQUOT)
            return reserved;
        const std::optional<QByteArray> kept = oldBytes(fd, oldSize);

        int error = writeAll(fd, bytes, true);
        if (error == 0 && size != oldSize)
            error = ErrorOf(Retrying([&] { return FCalls.ftruncate(fd, size); }));
        if (error == 0)
            error = ErrorOf(Retrying([&] { return FCalls.fsync(fd); }));
        if (error && kept && writeAll(fd, *kept, true) == 0 &&
            Retrying([&] { return FCalls.ftruncate(fd, oldSize); }) == 0)
            Retrying([&] { return FCalls.fsync(fd); });
        return error;
    }

    // The old file's bytes, read through a descriptor of its own (ours is
    // open to writing only, which a pipe needs); nullopt where they cannot be
    // read or are more than a report could be worth keeping.
    std::optional<QByteArray> oldBytes(int fd, off_t size)
    {
        if (size > MaxKept)
            return std::nullopt;
        const std::string self = "/proc/self/fd/" + std::to_string(fd);
        const int reader =
            Retrying([&] { return FCalls.open(self.c_str(), O_RDONLY | O_CLOEXEC, 0); });
        if (reader < 0)
            return std::nullopt;
        QByteArray bytes(qsizetype(size), '\0');
        off_t done = 0;
        while (done < size) {
            const ssize_t got = Retrying(
                [&] { return FCalls.pread(reader, bytes.data() + done, size_t(size - done), done); });
            if (got <= 0)
                break;
            done += got;
        }
        FCalls.close(reader);
        if (done != size)
            return std::nullopt;
        return bytes;
    }

    // Writes everything, at the file's start when `positioned`, else where the
    // descriptor stands (a pipe has no position).
    int writeAll(int fd, const QByteArray& bytes, bool positioned)
    {
        const char* data = bytes.constData();
        size_t left = size_t(bytes.size());
        off_t at = 0;
        while (left > 0) {
            const ssize_t written = Retrying([&] {
                return positioned ? FCalls.pwrite(fd, data, left, at) : FCalls.write(fd, data, left);
            });
            if (written < 0)
                return ErrorOf(written);
            if (written == 0) // no progress: would loop for ever
                return EIO;
            data += written;
            at += written;
            left -= size_t(written);
        }
        return 0;
    }

    // Makes the rename itself durable. The new file is in place by now, so a
    // folder that cannot be opened or flushed (some file systems refuse) is
    // not reported: a failed save would tell the user the old file is still
    // there.
    void syncFolder(int folder)
    {
        const int fd = Retrying(
            [&] { return FCalls.openat(folder, ".", O_RDONLY | O_DIRECTORY | O_CLOEXEC, 0); });
        if (fd < 0)
            return;
        Retrying([&] { return FCalls.fsync(fd); });
        FCalls.close(fd);
    }

    PosixCalls& FCalls;
};

} // namespace

IoResult PosixFileOutput::replace(const QString& path, const QByteArray& bytes)
{
    if (path.isEmpty())
        return FromErrno(ENOENT);
    return FromErrno(Replacement(FCalls).run(QFile::encodeName(path).toStdString(), bytes));
}
