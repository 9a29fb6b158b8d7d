#pragma once
// The system's calls with faults on request: the nth call of a kind fails with
// a given error number, and writes can be cut short or interrupted. Every
// call is counted by kind.
#include "platform/PosixCalls.h"

#include <algorithm>
#include <array>
#include <cerrno>
#include <cstddef>

class FaultyPosixCalls final : public PosixCalls {
public:
    enum class Call { Open, Write, Fsync, Close, Rename, Unlink, Fstat, Fchmod, Fchown, Readlink };
    static constexpr std::size_t CallKinds = 10;

    // The `nth` call of `kind` (from 1) fails with `error`; 0 for `nth` makes every one fail.
    void failAt(Call kind, int nth, int error)
    {
        FFaultKind = kind;
        FFaultAt = nth;
        FFaultError = error;
    }
    // Each write passes at most `bytes` bytes on, and every other one is first interrupted.
    void shortWrites(std::size_t bytes) { FWriteLimit = bytes; }

    int count(Call kind) const { return FCounts[std::size_t(kind)]; }

    int open(const char* path, int flags, mode_t mode) override
    {
        return unlessFault(Call::Open, [&] { return PosixCalls::open(path, flags, mode); });
    }
    ssize_t write(int fd, const void* data, std::size_t size) override
    {
        if (const int error = fault(Call::Write))
            return error;
        if (FWriteLimit == 0)
            return PosixCalls::write(fd, data, size);
        if (count(Call::Write) % 2 == 1)
            return -EINTR;
        return PosixCalls::write(fd, data, std::min(size, FWriteLimit));
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
    int rename(const char* from, const char* to) override
    {
        return unlessFault(Call::Rename, [&] { return PosixCalls::rename(from, to); });
    }
    int unlink(const char* path) override
    {
        return unlessFault(Call::Unlink, [&] { return PosixCalls::unlink(path); });
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
        if (const int error = fault(Call::Readlink))
            return error;
        return PosixCalls::readlink(path, buffer, size);
    }

private:
    // The fault of the call when it is the one to fail, else the call's result.
    template <class Pass> auto unlessFault(Call kind, Pass pass) -> decltype(pass())
    {
        if (const int error = fault(kind))
            return error;
        return pass();
    }

    // Counts the call; -error when it is the one to fail, else 0.
    int fault(Call kind)
    {
        const int n = ++FCounts[std::size_t(kind)];
        if (FFaultError == 0 || kind != FFaultKind || (FFaultAt != 0 && n != FFaultAt))
            return 0;
        return -FFaultError;
    }

    std::array<int, CallKinds> FCounts{};
    Call FFaultKind = Call::Open;
    int FFaultAt = 0;
    int FFaultError = 0;
    std::size_t FWriteLimit = 0;
};
