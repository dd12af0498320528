#include "files/polygon_file.h"

#include "geometry/numtext.h"
#include "platform/io/cp1251.h"
#include "platform/io/regular_file.h"

#include <QFile>
#include <QFileInfo>
#include <QSet>
#include <QStringList>

#include <cerrno>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <array>
#include <memory>
#include <optional>

namespace tarvel::files {

namespace {

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
    target = QFileInfo(target).absoluteFilePath();
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

    // 0666 as for any new file, the user's umask applied; a replaced file
    // keeps its owner, group and rights.
    QString why;
    switch (platform::replaceFile(target, encodePolygonFile(data), 0666, replacing ? &old : nullptr,
                                  &why)) {
    case platform::ReplaceResult::Replaced:
        return SaveResult::Saved;
    case platform::ReplaceResult::CannotCreate:
        return SaveResult::CannotCreate;
    case platform::ReplaceResult::WriteFailed:
        break;
    }
    return SaveResult::WriteFailed;
}

QStringList charactersNotInFile(const PolygonFileData &data) {
    // Text by text, in file order: a surrogate left at the end of one text
    // does not pair with one at the start of the next.
    QStringList lost;
    const auto add = [&lost](const QString &text) {
        for (const QString &c : platform::cp1251::unmappable(text))
            if (!lost.contains(c)) lost << c;
    };
    for (int i = 1; i <= kMaxFileCorners; ++i)
        add(data.x[i]);
    for (int i = 1; i <= kMaxFileCorners; ++i)
        add(data.y[i]);
    add(data.owner);
    return lost;
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
