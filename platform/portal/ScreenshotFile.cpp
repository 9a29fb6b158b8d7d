#include "platform/portal/ScreenshotFile.h"

#include <QFile>
#include <QUrl>
#include <cerrno>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

// The local path of a file:// URI, on this machine; empty for anything else.
QString LocalPathOf(const QString& uri)
{
    const QUrl url(uri, QUrl::StrictMode);
    if (!url.isValid() || !url.isLocalFile())
        return {};
    if (!url.host().isEmpty() && url.host() != QLatin1String("localhost"))
        return {};
    // Not toLocalFile(): it would make file://localhost/x the network path //localhost/x.
    const QString path = url.path(QUrl::FullyDecoded);
    return path.startsWith(QLatin1Char('/')) ? path : QString();
}

class Descriptor {
public:
    explicit Descriptor(int fd) : FFd(fd) {}
    ~Descriptor()
    {
        if (FFd >= 0)
            ::close(FFd);
    }
    Descriptor(const Descriptor&) = delete;
    Descriptor& operator=(const Descriptor&) = delete;
    int get() const { return FFd; }

private:
    int FFd;
};

std::optional<QByteArray> ReadAll(int fd, qint64 size, qint64 maxBytes)
{
    if (size > maxBytes)
        return std::nullopt;
    QByteArray bytes(static_cast<qsizetype>(size), Qt::Uninitialized);
    qint64 done = 0;
    while (done < size) {
        const ssize_t n = ::read(fd, bytes.data() + done, static_cast<size_t>(size - done));
        if (n < 0 && errno == EINTR)
            continue;
        if (n <= 0)
            break; // cut short: what was read is all there is
        done += n;
    }
    bytes.truncate(static_cast<qsizetype>(done));
    return bytes;
}

} // namespace

std::optional<QByteArray> TakeScreenshotFile(const QString& uri, qint64 maxBytes)
{
    const QString path = LocalPathOf(uri);
    if (path.isEmpty())
        return std::nullopt;
    const QByteArray name = QFile::encodeName(path);
    // No link is followed and no pipe waited on: only a regular file is the portal's picture.
    const Descriptor file(::open(name.constData(), O_RDONLY | O_CLOEXEC | O_NOFOLLOW | O_NONBLOCK));
    if (file.get() < 0)
        return std::nullopt;
    struct stat opened = {};
    struct stat named = {};
    if (::fstat(file.get(), &opened) != 0 || !S_ISREG(opened.st_mode))
        return std::nullopt;
    // The name is deleted only while it still leads to the file opened.
    if (::lstat(name.constData(), &named) != 0 || named.st_dev != opened.st_dev ||
        named.st_ino != opened.st_ino)
        return std::nullopt;
    ::unlink(name.constData());
    return ReadAll(file.get(), opened.st_size, maxBytes);
}
