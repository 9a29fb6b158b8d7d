#include "platform/files/ExtendedAttributes.h"

#include "platform/files/PosixCalls.h"

#include <cerrno>

namespace {

// A list or a value can grow between asking its size and reading it.
constexpr int MaxAttempts = 4;

// Reads what `read(buffer, size)` gives, asking its size first (size 0).
template <class Read> std::optional<std::string> ReadSized(Read read)
{
    for (int attempt = 0; attempt < MaxAttempts; ++attempt) {
        const ssize_t size = read(nullptr, 0);
        if (size < 0)
            return std::nullopt;
        std::string text(size_t(size), '\0');
        const ssize_t got = read(text.data(), text.size());
        if (got == -ERANGE)
            continue;
        if (got < 0)
            return std::nullopt;
        text.resize(size_t(got));
        return text;
    }
    return std::nullopt;
}

} // namespace

std::optional<ExtendedAttributes> ReadExtendedAttributes(PosixCalls& calls, int fd)
{
    if (calls.flistxattr(fd, nullptr, 0) == -ENOTSUP)
        return ExtendedAttributes{};
    const std::optional<std::string> names =
        ReadSized([&](char* buffer, size_t size) { return calls.flistxattr(fd, buffer, size); });
    if (!names)
        return std::nullopt;
    ExtendedAttributes attributes;
    // The names one after another, each ending in a zero byte.
    for (size_t start = 0; start < names->size();) {
        const size_t end = names->find('\0', start);
        const std::string name = names->substr(start, end - start);
        start = end == std::string::npos ? names->size() : end + 1;
        if (name.empty())
            continue;
        const std::optional<std::string> value = ReadSized([&](char* buffer, size_t size) {
            return calls.fgetxattr(fd, name.c_str(), buffer, size);
        });
        if (!value)
            return std::nullopt;
        attributes[name] = *value;
    }
    return attributes;
}

bool GiveExtendedAttributes(PosixCalls& calls, int fd, const ExtendedAttributes& wanted)
{
    const std::optional<ExtendedAttributes> had = ReadExtendedAttributes(calls, fd);
    if (!had)
        return false;
    if (*had == wanted)
        return true;
    for (const auto& [name, value] : *had)
        if (!wanted.contains(name))
            calls.fremovexattr(fd, name.c_str());
    for (const auto& [name, value] : wanted) {
        const auto there = had->find(name);
        if (there == had->end() || there->second != value)
            calls.fsetxattr(fd, name.c_str(), value.data(), value.size(), 0);
    }
    // Whatever was refused shows here.
    return ReadExtendedAttributes(calls, fd) == wanted;
}
