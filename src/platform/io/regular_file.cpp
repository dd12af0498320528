#include "platform/io/regular_file.h"

#include <QFile>

#include <algorithm>
#include <cerrno>
#include <fcntl.h>
#include <limits>
#include <sys/stat.h>
#include <unistd.h>

namespace tarvel::platform {

namespace {

class FdCloser {
public:
    explicit FdCloser(int fd) : fd_(fd) {}
    FdCloser(const FdCloser &) = delete;
    FdCloser &operator=(const FdCloser &) = delete;
    ~FdCloser() {
        if (fd_ >= 0) ::close(fd_);
    }

private:
    int fd_;
};

} // namespace

bool isRegularFile(const QString &path) {
    if (path.isEmpty()) return false;
    struct stat st {};
    return ::stat(QFile::encodeName(path).constData(), &st) == 0 && S_ISREG(st.st_mode);
}

std::optional<QByteArray> readRegularFile(const QString &path, qint64 maxBytes) {
    if (maxBytes < 0 || !isRegularFile(path)) return std::nullopt;
    maxBytes = std::min<qint64>(maxBytes, std::numeric_limits<qsizetype>::max() / 2);
    // Checked before opening so that a device is never opened at all (opening
    // some has effects of its own); the open file is checked again below, as
    // the path may name another file by then.
    int fd;
    do {
        fd = ::open(QFile::encodeName(path).constData(), O_RDONLY | O_NONBLOCK | O_CLOEXEC);
    } while (fd < 0 && errno == EINTR);
    if (fd < 0) return std::nullopt;
    const FdCloser closer(fd);
    struct stat st {};
    if (::fstat(fd, &st) != 0 || !S_ISREG(st.st_mode) || st.st_size > maxBytes) return std::nullopt;

    // Bounded by maxBytes + 1 whatever the size said: the file may grow
    // while it is read.
    QByteArray bytes;
    bytes.resize(static_cast<qsizetype>(std::min<qint64>(st.st_size, maxBytes) + 1));
    qint64 got = 0;
    for (;;) {
        if (got == bytes.size()) {
            if (got > maxBytes) return std::nullopt;
            bytes.resize(static_cast<qsizetype>(std::min<qint64>(got * 2 + 4096, maxBytes + 1)));
        }
        const ssize_t n = ::read(fd, bytes.data() + got, static_cast<size_t>(bytes.size() - got));
        if (n < 0) {
            if (errno == EINTR) continue;
            return std::nullopt;
        }
        if (n == 0) break;
        got += n;
    }
    if (got > maxBytes) return std::nullopt;
    bytes.resize(static_cast<qsizetype>(got));
    return bytes;
}

} // namespace tarvel::platform
