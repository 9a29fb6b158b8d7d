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
    virtual int openat(int folder, const char* name, int flags, mode_t mode);
    virtual ssize_t write(int fd, const void* data, size_t size);
    virtual ssize_t pwrite(int fd, const void* data, size_t size, off_t offset);
    virtual ssize_t pread(int fd, void* data, size_t size, off_t offset);
    virtual int ftruncate(int fd, off_t size);
    virtual int fallocate(int fd, int mode, off_t offset, off_t size);
    virtual int fsync(int fd);
    virtual int close(int fd);
    virtual int renameat(int fromFolder, const char* from, int toFolder, const char* to);
    virtual int unlinkat(int folder, const char* name, int flags);
    virtual int fstat(int fd, struct stat* status);
    virtual int fchmod(int fd, mode_t mode);
    virtual int fchown(int fd, uid_t owner, gid_t group);
    virtual ssize_t readlink(const char* path, char* buffer, size_t size);
    // Extended attributes, the file's access control list among them.
    virtual ssize_t flistxattr(int fd, char* names, size_t size);
    virtual ssize_t fgetxattr(int fd, const char* name, void* value, size_t size);
    virtual int fsetxattr(int fd, const char* name, const void* value, size_t size, int flags);
    virtual int fremovexattr(int fd, const char* name);

    // The calls as the system makes them.
    static PosixCalls& System();
};
