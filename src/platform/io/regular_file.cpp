#include "platform/io/regular_file.h"

#include <QFile>
#include <QRandomGenerator>
#include <QStringList>

#include <algorithm>
#include <array>
#include <cerrno>
#include <cstdint>
#include <cstring>
#include <dirent.h>
#include <fcntl.h>
#include <limits>
#include <signal.h>
#include <sys/stat.h>
#include <unistd.h>
#include <vector>

namespace tarvel::platform {

namespace {

// A file descriptor, closed when this goes.
class Fd {
public:
    explicit Fd(int fd = -1) : fd_(fd) {}
    Fd(const Fd &) = delete;
    Fd &operator=(const Fd &) = delete;
    ~Fd() { close(); }
    int get() const { return fd_; }
    void reset(int fd) {
        close();
        fd_ = fd;
    }
    int close() {
        const int r = fd_ >= 0 ? ::close(fd_) : 0;
        fd_ = -1;
        return r;
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
    const Fd closer(fd);
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

namespace {

const QLatin1String kOwnPrefix(".tarvel-tmp.");
constexpr int kRandomLength = 16;
constexpr int kHostLength = 8;
// Links followed while resolving a path before it is taken for a loop.
constexpr int kMaxLinks = 40;

QString errnoText() {
    return QString::fromLocal8Bit(std::strerror(errno));
}

// The machine in eight hex digits (FNV-1a of its host name): a folder
// shared with other machines holds temporaries whose processes cannot be
// asked about from here.
QString hostTag() {
    char name[256] = {};
    if (::gethostname(name, sizeof name - 1) != 0) name[0] = '\0';
    std::uint32_t hash = 2166136261u;
    for (const char *c = name; *c; ++c) {
        hash ^= static_cast<unsigned char>(*c);
        hash *= 16777619u;
    }
    return QStringLiteral("%1").arg(hash, kHostLength, 16, QLatin1Char('0'));
}

bool isAlnum(QChar c) {
    return (c >= u'a' && c <= u'z') || (c >= u'A' && c <= u'Z') || (c >= u'0' && c <= u'9');
}

// The process id in an own name, or 0 when the name is not one of this
// machine's own names.
pid_t ownNamePid(const QString &name) {
    if (!name.startsWith(kOwnPrefix)) return 0;
    const QStringList parts = name.sliced(kOwnPrefix.size()).split(QLatin1Char('.'));
    if (parts.size() != 3 || parts[0] != hostTag() || parts[2].size() != kRandomLength ||
        !std::all_of(parts[2].cbegin(), parts[2].cend(), isAlnum))
        return 0;
    if (parts[1].isEmpty() || parts[1].size() > 10 || parts[1].startsWith(QLatin1Char('0')) ||
        !std::all_of(parts[1].cbegin(), parts[1].cend(), [](QChar c) { return c.isDigit(); }))
        return 0;
    bool ok = false;
    const qint64 pid = parts[1].toLongLong(&ok);
    return ok && pid > 0 && pid <= std::numeric_limits<pid_t>::max() ? pid_t(pid) : 0;
}

bool processIsGone(pid_t pid) {
    return pid != ::getpid() && ::kill(pid, 0) != 0 && errno == ESRCH;
}

bool isOwnPlainFile(const struct stat &st) {
    return S_ISREG(st.st_mode) && st.st_uid == ::geteuid() && st.st_nlink == 1;
}

// Removes a leftover folder: only when it holds nothing but plain files of
// the effective user (or links of theirs, which are removed, never
// followed).
bool removeOwnFolder(const QByteArray &path) {
    DIR *dir = ::opendir(path.constData());
    if (!dir) return false;
    std::vector<QByteArray> entries;
    bool plain = true;
    while (const dirent *e = ::readdir(dir)) {
        const QByteArray name(e->d_name);
        if (name == "." || name == "..") continue;
        const QByteArray entry = path + '/' + name;
        struct stat st {};
        if (::lstat(entry.constData(), &st) != 0 ||
            !(isOwnPlainFile(st) || (S_ISLNK(st.st_mode) && st.st_uid == ::geteuid()))) {
            plain = false;
            break;
        }
        entries.push_back(entry);
    }
    ::closedir(dir);
    if (!plain) return false;
    for (const QByteArray &entry : entries)
        ::unlink(entry.constData());
    return ::rmdir(path.constData()) == 0;
}

} // namespace

QString ownTemporaryName() {
    static const char kLetters[] = "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789";
    QString random;
    for (int i = 0; i < kRandomLength; ++i)
        random += QLatin1Char(kLetters[QRandomGenerator::system()->bounded(62)]);
    return kOwnPrefix + hostTag() + QLatin1Char('.') + QString::number(::getpid()) +
           QLatin1Char('.') + random;
}

bool isOwnLeftover(const QString &folder, const QString &name) {
    const pid_t pid = ownNamePid(name);
    if (pid == 0) return false;
    struct stat st {};
    const QByteArray path = QFile::encodeName(folder + QLatin1Char('/') + name);
    if (::lstat(path.constData(), &st) != 0) return false;
    const bool shape = isOwnPlainFile(st) || (S_ISDIR(st.st_mode) && st.st_uid == ::geteuid());
    return shape && processIsGone(pid);
}

int removeOwnLeftovers(const QString &folder) {
    const QByteArray native = QFile::encodeName(folder);
    DIR *dir = ::opendir(native.constData());
    if (!dir) return 0;
    QStringList names;
    while (const dirent *e = ::readdir(dir)) {
        const QString name = QFile::decodeName(e->d_name);
        if (name.startsWith(kOwnPrefix)) names << name;
    }
    ::closedir(dir);
    int removed = 0;
    for (const QString &name : names) {
        if (!isOwnLeftover(folder, name)) continue;
        const QByteArray path = QFile::encodeName(folder + QLatin1Char('/') + name);
        struct stat st {};
        if (::lstat(path.constData(), &st) != 0) continue;
        if (S_ISDIR(st.st_mode) ? removeOwnFolder(path) : ::unlink(path.constData()) == 0)
            ++removed;
    }
    return removed;
}

std::optional<QString> ownedWritePath(const QString &path, QString *why) {
    if (path.isEmpty()) {
        *why = QStringLiteral("no file name");
        return std::nullopt;
    }
    const uid_t me = ::geteuid();
    QString absolute = path;
    if (!absolute.startsWith(QLatin1Char('/'))) {
        char cwd[PATH_MAX];
        if (!::getcwd(cwd, sizeof cwd)) {
            *why = errnoText();
            return std::nullopt;
        }
        absolute = QFile::decodeName(cwd) + QLatin1Char('/') + absolute;
    }
    // Resolved one name at a time, each link looked at before it is followed.
    QStringList rest = absolute.split(QLatin1Char('/'), Qt::SkipEmptyParts);
    QString done;
    int links = 0;
    while (!rest.isEmpty()) {
        const QString part = rest.takeFirst();
        if (part == QLatin1String(".")) continue;
        if (part == QLatin1String("..")) {
            done = done.section(QLatin1Char('/'), 0, -2);
            continue;
        }
        const QString next = done + QLatin1Char('/') + part;
        const QByteArray native = QFile::encodeName(next);
        struct stat st {};
        if (::lstat(native.constData(), &st) != 0) {
            if (errno != ENOENT) {
                *why = QStringLiteral("%1: %2").arg(next, errnoText());
                return std::nullopt;
            }
            // Not there yet: made by the writer, no link on the way.
            done = next;
            for (const QString &p : rest)
                if (p != QLatin1String(".")) done += QLatin1Char('/') + p;
            rest.clear();
            break;
        }
        if (!S_ISLNK(st.st_mode)) {
            done = next;
            if (rest.isEmpty() && st.st_uid != me) {
                *why = QStringLiteral("%1 belongs to another user").arg(next);
                return std::nullopt;
            }
            continue;
        }
        if (st.st_uid != me && st.st_uid != 0) {
            *why = QStringLiteral("%1 is a symbolic link of another user").arg(next);
            return std::nullopt;
        }
        if (++links > kMaxLinks) {
            *why = QStringLiteral("%1: too many levels of symbolic links").arg(path);
            return std::nullopt;
        }
        std::array<char, PATH_MAX> buffer{};
        const ssize_t n = ::readlink(native.constData(), buffer.data(), buffer.size() - 1);
        if (n <= 0) {
            *why = QStringLiteral("%1: %2").arg(next, errnoText());
            return std::nullopt;
        }
        const QString target = QFile::decodeName(QByteArray(buffer.data(), n));
        if (target.startsWith(QLatin1Char('/'))) done.clear();
        rest = target.split(QLatin1Char('/'), Qt::SkipEmptyParts) + rest;
    }
    return done.isEmpty() ? QStringLiteral("/") : done;
}

ReplaceResult replaceFile(const QString &target, const QByteArray &bytes, mode_t createMode,
                          const struct stat *keep, QString *why) {
    const qsizetype slash = target.lastIndexOf(QLatin1Char('/'));
    const QString folder = slash < 0    ? QStringLiteral(".")
                           : slash == 0 ? QStringLiteral("/")
                                        : target.left(slash);
    const QByteArray name = QFile::encodeName(target.sliced(slash + 1));
    const Fd dir(::open(QFile::encodeName(folder).constData(), O_RDONLY | O_DIRECTORY | O_CLOEXEC));
    if (dir.get() < 0) {
        *why = errnoText();
        return ReplaceResult::CannotCreate;
    }
    removeOwnLeftovers(folder);

    QByteArray temporary;
    bool named = false;
    const auto nameTemporary = [&](auto make) {
        for (int attempt = 0; attempt < 100; ++attempt) {
            temporary = QFile::encodeName(ownTemporaryName());
            if (make()) return true;
            if (errno != EEXIST && errno != EINTR) return false;
        }
        return false;
    };
    // Unnamed where the system allows (linkat through /proc names it later).
    Fd fd;
    if (::access("/proc/self/fd", X_OK) == 0)
        fd.reset(::openat(dir.get(), ".", O_TMPFILE | O_WRONLY | O_CLOEXEC, createMode));
    if (fd.get() < 0) {
        named = nameTemporary([&] {
            const int made =
                ::openat(dir.get(), temporary.constData(),
                         O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC | O_NOFOLLOW, createMode);
            fd.reset(made);
            return made >= 0;
        });
        if (!named) {
            *why = errnoText();
            return ReplaceResult::CannotCreate;
        }
    }
    const auto fail = [&](const QString &what) {
        *why = what;
        fd.close();
        if (named) ::unlinkat(dir.get(), temporary.constData(), 0);
        return ReplaceResult::WriteFailed;
    };

    if (keep) {
        // Only root may give a file away; anyone else keeps at least a
        // group they belong to. A file system without owners or rights (a
        // Windows one) keeps its own: not a failure.
        if (::fchown(fd.get(), keep->st_uid, keep->st_gid) != 0)
            (void)!::fchown(fd.get(), uid_t(-1), keep->st_gid);
        // After fchown, which may clear the set-id bits.
        (void)!::fchmod(fd.get(), keep->st_mode & 07777);
    }
    for (qsizetype written = 0; written < bytes.size();) {
        const ssize_t n =
            ::write(fd.get(), bytes.constData() + written, size_t(bytes.size() - written));
        if (n < 0 && errno == EINTR) continue;
        // With SIGXFSZ ignored, a file-size limit says EFBIG here.
        if (n <= 0) return fail(n < 0 ? errnoText() : QStringLiteral("nothing was written"));
        written += n;
    }
    // On the disk before the rename, so that a crash leaves the old file or
    // the whole new one. File systems that cannot sync say EINVAL.
    if (::fsync(fd.get()) != 0 && errno != EINVAL) return fail(errnoText());
    if (!named) {
        const QByteArray self = "/proc/self/fd/" + QByteArray::number(fd.get());
        named = nameTemporary([&] {
            return ::linkat(AT_FDCWD, self.constData(), dir.get(), temporary.constData(),
                            AT_SYMLINK_FOLLOW) == 0;
        });
        if (!named) return fail(errnoText());
    }
    if (fd.close() != 0) return fail(errnoText());
    if (::renameat(dir.get(), temporary.constData(), dir.get(), name.constData()) != 0)
        return fail(errnoText());
    return ReplaceResult::Replaced;
}

OwnScratchFolder::OwnScratchFolder(const QString &parent) {
    for (int attempt = 0; attempt < 100; ++attempt) {
        const QString path = parent + QLatin1Char('/') + ownTemporaryName();
        if (::mkdir(QFile::encodeName(path).constData(), 0700) == 0) {
            path_ = path;
            return;
        }
        if (errno != EEXIST) return;
    }
}

OwnScratchFolder::~OwnScratchFolder() {
    if (!path_.isEmpty()) removeOwnFolder(QFile::encodeName(path_));
}

} // namespace tarvel::platform
