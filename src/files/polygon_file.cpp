#include "files/polygon_file.h"

#include "geometry/numtext.h"
#include "platform/io/cp1251.h"
#include "platform/io/regular_file.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QRandomGenerator>
#include <QRegularExpression>
#include <QStringList>

#include <cerrno>
#include <climits>
#include <ctime>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <array>
#include <memory>
#include <optional>

namespace tarvel::files {

namespace {

// The temporary file of a save: ".<target name>.tarvel-XXXXXX" beside the
// target. Hidden, and named so that no file of the user's is taken for one
// when a save that was killed has left it behind.
const QString kTemporaryTag = QStringLiteral(".tarvel-");
constexpr int kTemporaryRandom = 6;
// How old a temporary file must be before another save takes it for one
// left behind: a save in progress writes its few hundred bytes at once.
constexpr std::time_t kStaleTemporarySeconds = 10;

QString temporaryName(QString targetName) {
    static const char kLetters[] = "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789";
    QString random;
    for (int i = 0; i < kTemporaryRandom; ++i)
        random += QLatin1Char(kLetters[QRandomGenerator::global()->bounded(62)]);
    // A name has at most NAME_MAX bytes; a long target name is shortened.
    const auto fits = [&] {
        return QFile::encodeName(QLatin1Char('.') + targetName + kTemporaryTag + random).size() <=
               NAME_MAX;
    };
    while (!targetName.isEmpty() && !fits())
        targetName.chop(1);
    return QLatin1Char('.') + targetName + kTemporaryTag + random;
}

bool isTemporaryName(const QString &name) {
    static const QRegularExpression pattern(
        QStringLiteral("^\\..*\\.tarvel-[A-Za-z0-9]{%1}$").arg(kTemporaryRandom));
    return pattern.match(name).hasMatch();
}

// Temporary files of the save pattern in the folder that no save can still
// be writing; regular files only, never followed through a link.
void removeStaleTemporaries(const QString &folder) {
    const QStringList names =
        QDir(folder).entryList({QLatin1String(".*") + kTemporaryTag + QLatin1String("*")},
                               QDir::Files | QDir::Hidden | QDir::System | QDir::NoSymLinks);
    const std::time_t before = std::time(nullptr) - kStaleTemporarySeconds;
    for (const QString &name : names) {
        if (!isTemporaryName(name)) continue;
        const QByteArray path = QFile::encodeName(folder + QLatin1Char('/') + name);
        struct stat st {};
        if (::lstat(path.constData(), &st) == 0 && S_ISREG(st.st_mode) && st.st_mtime < before)
            ::unlink(path.constData());
    }
}

QString oneLine(QString value) {
    value.replace(QLatin1String("\r\n"), QLatin1String(" "));
    value.replace(QLatin1Char('\r'), QLatin1Char(' '));
    value.replace(QLatin1Char('\n'), QLatin1Char(' '));
    return value;
}

// The first `wanted` lines of the text (fewer when it has fewer).
QStringList splitLines(const QString &text, int wanted) {
    QStringList lines;
    qsizetype start = 0;
    qsizetype i = 0;
    while (i < text.size() && lines.size() < wanted) {
        const QChar c = text.at(i);
        if (c == QLatin1Char('\r') || c == QLatin1Char('\n')) {
            lines << text.mid(start, i - start);
            if (c == QLatin1Char('\r') && i + 1 < text.size() &&
                text.at(i + 1) == QLatin1Char('\n'))
                ++i;
            start = i + 1;
        }
        ++i;
    }
    if (lines.size() < wanted && start < text.size()) lines << text.mid(start);
    return lines;
}

// The window lays out rows 1..n from this count, so only a whole number in
// range will do: "3,5" must not be rounded into a count.
bool isCornerCount(const QString &text) {
    const auto whole = geometry::textToInt16(text);
    const auto exact = geometry::textToDouble(text);
    return whole && exact && *exact == static_cast<double>(*whole) && *whole >= 3 &&
           *whole <= kMaxFileCorners;
}

} // namespace

QByteArray encodePolygonFile(const PolygonFileData &data) {
    QString text;
    const auto line = [&text](const QString &value) {
        text += oneLine(value);
        text += QLatin1String("\r\n");
    };
    line(data.count);
    for (int i = 1; i <= kMaxFileCorners; ++i)
        line(data.x[i]);
    for (int i = 1; i <= kMaxFileCorners; ++i)
        line(data.y[i]);
    line(data.owner);
    return platform::cp1251::encode(text);
}

std::optional<PolygonFileData> decodePolygonFile(const QByteArray &bytes) {
    const QStringList lines = splitLines(platform::cp1251::decode(bytes), kPolygonFileLines);
    if (lines.size() < kPolygonFileLines || !isCornerCount(lines[0])) return std::nullopt;
    for (const QString &line : lines)
        if (line.size() > kMaxFieldTextLength) return std::nullopt;
    PolygonFileData data;
    data.count = lines[0];
    for (int i = 1; i <= kMaxFileCorners; ++i) {
        data.x[i] = lines[i];
        data.y[i] = lines[kMaxFileCorners + i];
    }
    data.owner = lines[kPolygonFileLines - 1];
    return data;
}

SaveResult savePolygonFile(const QString &path, const PolygonFileData &data) {
    // Through a symbolic link the file it names is replaced; the link stays.
    QString target = path;
    if (const QFileInfo link(path); link.isSymLink()) {
        const QString canonical = link.canonicalFilePath();
        target = canonical.isEmpty() ? link.symLinkTarget() : canonical;
    }
    const QByteArray native = QFile::encodeName(target);
    struct stat old {};
    const bool replacing = ::stat(native.constData(), &old) == 0;
    // A folder, a device or a pipe is never replaced by a file.
    if (replacing && !S_ISREG(old.st_mode)) return SaveResult::CannotCreate;
    // Root could replace a read-only file as well; the file's rights say it
    // is not to be changed, as they do for any other user.
    if (replacing && ((old.st_mode & 0222) == 0 ||
                      ::faccessat(AT_FDCWD, native.constData(), W_OK, AT_EACCESS) != 0))
        return SaveResult::ReadOnly;

    const QFileInfo info(target);
    const QString folder = info.absolutePath();
    removeStaleTemporaries(folder);
    // The new file is written unnamed (O_TMPFILE) where the system allows,
    // so that a save killed while writing leaves nothing behind; it gets its
    // temporary name only once complete, just before the rename.
    QByteArray temporary;
    int fd = -1;
    bool named = false;
    const auto nameTemporary = [&](auto make) {
        for (int attempt = 0; attempt < 100; ++attempt) {
            temporary =
                QFile::encodeName(folder + QLatin1Char('/') + temporaryName(info.fileName()));
            if (make()) return true;
            if (errno != EEXIST && errno != EINTR) return false;
        }
        return false;
    };
    // 0666 as for any new file, the user's umask applied.
    if (::access("/proc/self/fd", X_OK) == 0)
        fd = ::open(QFile::encodeName(folder).constData(), O_TMPFILE | O_WRONLY | O_CLOEXEC, 0666);
    if (fd < 0) {
        named = nameTemporary([&] {
            fd = ::open(temporary.constData(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
            return fd >= 0;
        });
        if (!named) return SaveResult::CannotCreate;
    }
    const auto fail = [&] {
        if (fd >= 0) ::close(fd);
        if (named) ::unlink(temporary.constData());
        return SaveResult::WriteFailed;
    };

    if (replacing) {
        // The new file takes the place of the old one with its owner, group
        // and rights. Only root may give a file away; anyone else keeps at
        // least the group where they belong to it. A file system without
        // owners or rights (a Windows one) keeps its own: not a failure.
        if (::fchown(fd, old.st_uid, old.st_gid) != 0) (void)::fchown(fd, uid_t(-1), old.st_gid);
        // After fchown, which may clear the set-id bits.
        (void)::fchmod(fd, old.st_mode & 07777);
    }
    const QByteArray bytes = encodePolygonFile(data);
    for (qsizetype done = 0; done < bytes.size();) {
        const ssize_t n = ::write(fd, bytes.constData() + done, size_t(bytes.size() - done));
        if (n < 0 && errno == EINTR) continue;
        if (n <= 0) return fail();
        done += n;
    }
    // On the disk before the rename, so that a crash leaves the old file or
    // the whole new one. File systems that cannot sync say EINVAL.
    if (::fsync(fd) != 0 && errno != EINVAL) return fail();
    if (!named) {
        const QByteArray self = "/proc/self/fd/" + QByteArray::number(fd);
        named = nameTemporary([&] {
            return ::linkat(AT_FDCWD, self.constData(), AT_FDCWD, temporary.constData(),
                            AT_SYMLINK_FOLLOW) == 0;
        });
        if (!named) return fail();
    }
    const int closed = ::close(fd);
    fd = -1;
    if (closed != 0 || ::rename(temporary.constData(), native.constData()) != 0) return fail();
    return SaveResult::Saved;
}

bool writePolygonFile(const QString &path, const PolygonFileData &data) {
    return savePolygonFile(path, data) == SaveResult::Saved;
}

std::optional<PolygonFileData> readPolygonFile(const QString &path) {
    // Only regular files: opening a FIFO would block, and a device has no end.
    const auto bytes = platform::readRegularFile(path, kMaxPolygonFileSize);
    if (!bytes) return std::nullopt;
    return decodePolygonFile(*bytes);
}

QString commandLinePath(const QString &argument) {
    QString path = argument.trimmed();
    if (path.size() >= 2 && path.startsWith(QLatin1Char('"')) && path.endsWith(QLatin1Char('"')))
        path = path.mid(1, path.size() - 2);
    return path;
}

} // namespace tarvel::files
