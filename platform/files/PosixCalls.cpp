#include "platform/files/PosixCalls.h"

#include <cerrno>
#include <cstdio>
#include <fcntl.h>
#include <sys/xattr.h>
#include <unistd.h>

namespace {

template <class T> T orError(T result)
{
    return result < 0 ? T(-errno) : result;
}

} // namespace

int PosixCalls::open(const char* path, int flags, mode_t mode)
{
    return orError(::open(path, flags, mode));
}

int PosixCalls::openat(int folder, const char* name, int flags, mode_t mode)
{
    return orError(::openat(folder, name, flags, mode));
}

ssize_t PosixCalls::write(int fd, const void* data, size_t size)
{
    return orError(::write(fd, data, size));
}

ssize_t PosixCalls::pwrite(int fd, const void* data, size_t size, off_t offset)
{
    return orError(::pwrite(fd, data, size, offset));
}

ssize_t PosixCalls::pread(int fd, void* data, size_t size, off_t offset)
{
    return orError(::pread(fd, data, size, offset));
}

int PosixCalls::ftruncate(int fd, off_t size)
{
    return orError(::ftruncate(fd, size));
}

int PosixCalls::fallocate(int fd, int mode, off_t offset, off_t size)
{
    return orError(::fallocate(fd, mode, offset, size));
}

int PosixCalls::fsync(int fd)
{
    return orError(::fsync(fd));
}

int PosixCalls::close(int fd)
{
    return orError(::close(fd));
}

int PosixCalls::renameat(int fromFolder, const char* from, int toFolder, const char* to)
{
    return orError(::renameat(fromFolder, from, toFolder, to));
}

int PosixCalls::unlinkat(int folder, const char* name, int flags)
{
    return orError(::unlinkat(folder, name, flags));
}

int PosixCalls::fstat(int fd, struct stat* status)
{
    return orError(::fstat(fd, status));
}

int PosixCalls::fchmod(int fd, mode_t mode)
{
    return orError(::fchmod(fd, mode));
}

int PosixCalls::fchown(int fd, uid_t owner, gid_t group)
{
    return orError(::fchown(fd, owner, group));
}

ssize_t PosixCalls::readlink(const char* path, char* buffer, size_t size)
{
    return orError(::readlink(path, buffer, size));
}

ssize_t PosixCalls::flistxattr(int fd, char* names, size_t size)
{
    return orError(::flistxattr(fd, names, size));
}

ssize_t PosixCalls::fgetxattr(int fd, const char* name, void* value, size_t size)
{
    return orError(::fgetxattr(fd, name, value, size));
}

int PosixCalls::fsetxattr(int fd, const char* name, const void* value, size_t size, int flags)
{
    return orError(::fsetxattr(fd, name, value, size, flags));
}

int PosixCalls::fremovexattr(int fd, const char* name)
{
    return orError(::fremovexattr(fd, name));
}

PosixCalls& PosixCalls::System()
{
    static PosixCalls calls;
    return calls;
}
