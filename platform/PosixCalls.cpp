#include "platform/PosixCalls.h"

#include <cerrno>
#include <cstdio>
#include <fcntl.h>
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

ssize_t PosixCalls::write(int fd, const void* data, size_t size)
{
    return orError(::write(fd, data, size));
}

int PosixCalls::fsync(int fd)
{
    return orError(::fsync(fd));
}

int PosixCalls::close(int fd)
{
    return orError(::close(fd));
}

int PosixCalls::rename(const char* from, const char* to)
{
    return orError(::rename(from, to));
}

int PosixCalls::unlink(const char* path)
{
    return orError(::unlink(path));
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

PosixCalls& PosixCalls::System()
{
    static PosixCalls calls;
    return calls;
}
