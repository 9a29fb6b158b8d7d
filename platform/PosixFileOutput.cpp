#include "platform/PosixFileOutput.h"

#include <QFile>
#include <cerrno>
#include <chrono>
#include <climits>
#include <cstdio>
#include <fcntl.h>
#include <string>
#include <unistd.h>

namespace {

// The kernel's own limit on a chain of symbolic links.
constexpr int MaxLinks = 40;
// Attempts at a temporary name that no other file has taken.
constexpr int MaxTempNames = 100;
// Not an error number: the replacement could not be the same file as the old
// one (its folder refuses new files or renames, or its owner and group cannot
// be given to it), so the old file is to be rewritten in place.
constexpr int IdentityWouldChange = -1;

// What refuses a new file or a rename in a folder that the old file itself is
// open to writing in.
bool Refused(int error)
{
    return error == EACCES || error == EPERM;
}

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
        if (error == 0 && !S_ISREG(status.st_mode)) {
            // A device or a pipe is written to, not replaced by a file.
            error = writeAll(old, bytes);
            FCalls.close(old);
            return error;
        }
        FCalls.close(old);
        if (error)
            return error;
        // A rename would leave the other names of a hard-linked file on the old
        // contents.
        if (status.st_nlink > 1)
            return writeInPlace(target, bytes);
        error = writeAndRename(target, bytes, &status);
        if (error == IdentityWouldChange)
            return writeInPlace(target, bytes);
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

    int writeAndRename(const std::string& target, const QByteArray& bytes, const struct stat* old)
    {
        const std::string folder = FolderOf(target);
        if (old && stickyFolderOfAnother(folder, *old))
            return IdentityWouldChange;
        std::string temp;
        int fd = -EEXIST;
        // A new file gets the usual mode (the umask applies); a replacement
        // starts private and gets the old file's mode before anything is in it.
        const mode_t mode = old ? 0600 : 0666;
        for (int attempt = 0; attempt < MaxTempNames && fd == -EEXIST; ++attempt) {
            temp = folder + '/' + TempName();
            fd = Retrying([&] {
                return FCalls.open(temp.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, mode);
            });
        }
        if (fd < 0)
            return old && Refused(-fd) ? IdentityWouldChange : -fd;

        int error = old ? keepModeOwnerAndGroup(fd, *old) : 0;
        if (error == 0)
            error = writeAll(fd, bytes);
        if (error == 0)
            error = ErrorOf(Retrying([&] { return FCalls.fsync(fd); }));
        // Linux releases the descriptor even when close is interrupted, and the
        // contents are on disk already: only a real close failure counts.
        const int closed = FCalls.close(fd);
        if (error == 0 && closed != -EINTR)
            error = ErrorOf(closed);
        if (error == 0) {
            error = ErrorOf(FCalls.rename(temp.c_str(), target.c_str()));
            if (old && Refused(error))
                error = IdentityWouldChange;
        }
        if (error) {
            FCalls.unlink(temp.c_str());
            return error;
        }
        syncFolder(folder);
        return 0;
    }

    int keepModeOwnerAndGroup(int fd, const struct stat& old)
    {
        // The mode first, while the new file is still ours to change.
        if (const int error = ErrorOf(FCalls.fchmod(fd, old.st_mode & 07777)))
            return error;
        // Only root may give a file to another owner, and only our own groups
        // are ours to give.
        if (FCalls.fchown(fd, old.st_uid, old.st_gid) < 0)
            return IdentityWouldChange;
        // Giving a file away clears its set-id bits.
        if (old.st_mode & (S_ISUID | S_ISGID))
            return ErrorOf(FCalls.fchmod(fd, old.st_mode & 07777));
        return 0;
    }

    // In a sticky folder (such as /tmp) only the owner of a file or of the
    // folder may replace or remove it: neither a rename over another user's
    // file nor the removal of a new file given to that user would go through.
    bool stickyFolderOfAnother(const std::string& folder, const struct stat& old)
    {
        if (old.st_uid == geteuid())
            return false;
        const int fd = Retrying(
            [&] { return FCalls.open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC, 0); });
        if (fd < 0)
            return false; // the creation of the new file will tell
        struct stat status {};
        const bool sticky = FCalls.fstat(fd, &status) == 0 && (status.st_mode & S_ISVTX) &&
                            status.st_uid != geteuid();
        FCalls.close(fd);
        return sticky;
    }

    // The plain overwrite: the old file is truncated and takes the new
    // contents, keeping its owner, group, mode and links. A failure after the
    // truncation leaves it empty or incomplete.
    int writeInPlace(const std::string& target, const QByteArray& bytes)
    {
        const int fd = Retrying([&] {
            return FCalls.open(target.c_str(), O_WRONLY | O_TRUNC | O_NOCTTY | O_CLOEXEC, 0);
        });
        if (fd < 0)
            return -fd;
        int error = writeAll(fd, bytes);
        if (error == 0)
            error = ErrorOf(Retrying([&] { return FCalls.fsync(fd); }));
        const int closed = FCalls.close(fd);
        if (error == 0 && closed != -EINTR)
            error = ErrorOf(closed);
        return error;
    }

    int writeAll(int fd, const QByteArray& bytes)
    {
        const char* data = bytes.constData();
        size_t left = size_t(bytes.size());
        while (left > 0) {
            const ssize_t written = Retrying([&] { return FCalls.write(fd, data, left); });
            if (written < 0)
                return ErrorOf(written);
            if (written == 0) // no progress: would loop for ever
                return EIO;
            data += written;
            left -= size_t(written);
        }
        return 0;
    }

    // Makes the rename itself durable. The new file is in place by now, so a
    // folder that cannot be opened or flushed (some file systems refuse) is
    // not reported: a failed save would tell the user the old file is still
    // there.
    void syncFolder(const std::string& folder)
    {
        const int fd = Retrying(
            [&] { return FCalls.open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC, 0); });
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
