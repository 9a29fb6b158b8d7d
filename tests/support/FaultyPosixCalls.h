#pragma once
// The system's calls with faults on request: chosen calls of a kind fail with
// a given error number, and writes can be cut short or interrupted. Every
// call is counted by kind.
#include "platform/files/PosixCalls.h"

#include <algorithm>
#include <array>
#include <cerrno>
#include <climits>
#include <cstddef>
#include <vector>

class FaultyPosixCalls final : public PosixCalls {
public:
    enum class Call {
        Open,     // open and openat
        Write,    // write and pwrite
        Read,     // pread
        Truncate, // ftruncate
        Allocate, // fallocate
        Fsync,
        Close,
        Rename, // renameat
        Unlink, // unlinkat
        Fstat,
        Fchmod,
        Fchown,
        Readlink,
        Xattr, // listing, reading, setting and removing extended attributes
    };
    static constexpr std::size_t CallKinds = 14;

    // The `nth` call of `kind` (from 1) fails with `error`; 0 for `nth` makes every one
    // fail. Faults add up.
    void failAt(Call kind, int nth, int error)
    {
        failFrom(kind, nth == 0 ? 1 : nth, error);
        if (nth != 0)
            FFaults.back().last = nth;
    }
    // Every call of `kind` from the `nth` on fails with `error`.
    void failFrom(Call kind, int nth, int error) { FFaults.push_back({kind, nth, INT_MAX, error}); }
    // Each write passes at most `bytes` bytes on, and every other one is first interrupted.
    void shortWrites(std::size_t bytes) { FWriteLimit = bytes; }

    int count(Call kind) const { return FCounts[std::size_t(kind)]; }

    int open(const char* path, int flags, mode_t mode) override
    {
        return unlessFault(Call::Open, [&] { return PosixCalls::open(path, flags, mode); });
    }
    int openat(int folder, const char* name, int flags, mode_t mode) override
    {
        return unlessFault(Call::Open,
                           [&] { return PosixCalls::openat(folder, name, flags, mode); });
    }
    ssize_t write(int fd, const void* data, std::size_t size) override
    {
        return written([&](std::size_t part) { return PosixCalls::write(fd, data, part); }, size);
    }
    ssize_t pwrite(int fd, const void* data, std::size_t size, off_t offset) override
    {
        return written([&](std::size_t part) { return PosixCalls::pwrite(fd, data, part, offset); },
                       size);
    }
    ssize_t pread(int fd, void* data, std::size_t size, off_t offset) override
    {
        return unlessFault(Call::Read, [&] { return PosixCalls::pread(fd, data, size, offset); });
    }
    int ftruncate(int fd, off_t size) override
    {
        return unlessFault(Call::Truncate, [&] { return PosixCalls::ftruncate(fd, size); });
    }
    int fallocate(int fd, int mode, off_t offset, off_t size) override
    {
        return unlessFault(Call::Allocate,
                           [&] { return PosixCalls::fallocate(fd, mode, offset, size); });
    }
    int fsync(int fd) override
    {
        return unlessFault(Call::Fsync, [&] { return PosixCalls::fsync(fd); });
    }
    int close(int fd) override
    {
        // A failed close still releases the descriptor, as on Linux.
        const int error = fault(Call::Close);
        const int closed = PosixCalls::close(fd);
        return error != 0 ? error : closed;
    }
    int renameat(int fromFolder, const char* from, int toFolder, const char* to) override
    {
        return unlessFault(Call::Rename,
                           [&] { return PosixCalls::renameat(fromFolder, from, toFolder, to); });
    }
    int unlinkat(int folder, const char* name, int flags) override
    {
        return unlessFault(Call::Unlink, [&] { return PosixCalls::unlinkat(folder, name, flags); });
    }
    int fstat(int fd, struct stat* status) override
    {
        return unlessFault(Call::Fstat, [&] { return PosixCalls::fstat(fd, status); });
    }
    int fchmod(int fd, mode_t mode) override
    {
        return unlessFault(Call::Fchmod, [&] { return PosixCalls::fchmod(fd, mode); });
    }
    int fchown(int fd, uid_t owner, gid_t group) override
    {
        return unlessFault(Call::Fchown, [&] { return PosixCalls::fchown(fd, owner, group); });
    }
    ssize_t readlink(const char* path, char* buffer, std::size_t size) override
    {
        return unlessFault(Call::Readlink, [&] { return PosixCalls::readlink(path, buffer, size); });
    }
    ssize_t flistxattr(int fd, char* names, std::size_t size) override
    {
        return unlessFault(Call::Xattr, [&] { return PosixCalls::flistxattr(fd, names, size); });
    }
    ssize_t fgetxattr(int fd, const char* name, void* value, std::size_t size) override
    {
        return unlessFault(Call::Xattr,
                           [&] { return PosixCalls::fgetxattr(fd, name, value, size); });
    }
    int fsetxattr(int fd, const char* name, const void* value, std::size_t size, int flags) override
    {
        return unlessFault(Call::Xattr,
                           [&] { return PosixCalls::fsetxattr(fd, name, value, size, flags); });
    }
    int fremovexattr(int fd, const char* name) override
    {
        return unlessFault(Call::Xattr, [&] { return PosixCalls::fremovexattr(fd, name); });
    }

private:
    struct Fault {
        Call kind;
        int first;
        int last;
        int error;
    };

    // A write of at most the limit, every other one interrupted first.
    template <class Write> ssize_t written(Write write, std::size_t size)
    {
        if (const int error = fault(Call::Write))
            return error;
        if (FWriteLimit == 0)
            return write(size);
        if (count(Call::Write) % 2 == 1)
            return -EINTR;
        return write(std::min(size, FWriteLimit));
    }

    // The fault of the call when it is one to fail, else the call's result.
    template <class Pass> auto unlessFault(Call kind, Pass pass) -> decltype(pass())
    {
        if (const int error = fault(kind))
            return error;
        return pass();
    }

    // Counts the call; -error when it is one to fail, else 0.
    int fault(Call kind)
    {
        const int n = ++FCounts[std::size_t(kind)];
        for (const Fault& fault : FFaults)
            if (fault.kind == kind && n >= fault.first && n <= fault.last)
                return -fault.error;
        return 0;
    }

    std::array<int, CallKinds> FCounts{};
    std::vector<Fault> FFaults;
    std::size_t FWriteLimit = 0;
};
