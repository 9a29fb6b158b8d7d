#pragma once
// The POSIX calls that file output makes, one virtual function each, so that a
// test can make any single call fail or fall short while the others go
// through to the system. A virtual call costs nothing next to a system call.
//
// Each returns what the system call returns on success and -errno on failure,
// so that an injected failure needs no errno of its own.
#include <sys/stat.h>
#include <sys/types.h>

class PosixCalls {
public:
    virtual ~PosixCalls() = default;

    virtual int open(const char* path, int flags, mode_t mode);
    virtual ssize_t write(int fd, const void* data, size_t size);
    virtual int fsync(int fd);
    virtual int close(int fd);
    virtual int rename(const char* from, const char* to);
    virtual int unlink(const char* path);
    virtual int fstat(int fd, struct stat* status);
    virtual int fchmod(int fd, mode_t mode);
    virtual int fchown(int fd, uid_t owner, gid_t group);
    virtual ssize_t readlink(const char* path, char* buffer, size_t size);

    // The calls as the system makes them.
    static PosixCalls& System();
};
