#include "files/polygon_file.h"

#include "geometry/numtext.h"
#include "geometry/polygon.h"
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

#include <algorithm>
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

bool isSquxCount(const QString &text) {
    const auto whole = geometry::textToInt16(text);
    const auto exact = geometry::textToDouble(text);
    return whole && exact && *exact == static_cast<double>(*whole) &&
           *whole >= geometry::kMinCorners && *whole <= geometry::kMaxCorners;
}

QString oneField(QString value) {
    value = oneLine(std::move(value));
    value.replace(QLatin1Char('\t'), QLatin1Char(' '));
    return value;
}

bool isSqux(const QByteArray &bytes) {
    const QByteArray header(kSquxHeader);
    return bytes.startsWith(header) &&
           (bytes.size() == header.size() || bytes[header.size()] == '\n' ||
            bytes[header.size()] == '\r');
}

} // namespace

PolygonFileType polygonFileType(const QString &path) {
    return path.endsWith(QLatin1String(".squx"), Qt::CaseInsensitive) ? PolygonFileType::Squx
                                                                      : PolygonFileType::Squ;
}

QByteArray encodeSquxFile(const PolygonFileData &data) {
    const int count = geometry::textToInt16(data.count).value_or(geometry::kMinCorners);
    // Rows beyond the count are kept while they hold a text.
    int rows = std::max(count, 1);
    for (int i = int(std::max(data.x.size(), data.y.size())) - 1; i > rows; --i)
        if (!data.x[std::size_t(i)].isEmpty() || !data.y[std::size_t(i)].isEmpty()) {
            rows = i;
            break;
        }
    rows = std::min(rows, geometry::kMaxCorners);
    QString text = QString::fromLatin1(kSquxHeader) + QLatin1Char('\n');
    text += oneField(data.count) + QLatin1Char('\n');
    for (int i = 1; i <= rows; ++i)
        text += oneField(data.x[std::size_t(i)]) + QLatin1Char('\t') +
                oneField(data.y[std::size_t(i)]) + QLatin1Char('\n');
    text += oneField(data.owner) + QLatin1Char('\n');
    return text.toUtf8();
}

PolygonFileRead decodeSquxFile(const QByteArray &bytes) {
    QList<QByteArray> lines = bytes.split('\n');
    // The last line ends with its LF: what follows it is no line.
    if (!lines.isEmpty() && lines.last().isEmpty()) lines.removeLast();
    QStringList texts;
    texts.reserve(lines.size());
    for (qsizetype k = 0; k < lines.size(); ++k) {
        QByteArray &line = lines[k];
        if (line.endsWith('\r')) line.chop(1);
        QString text = QString::fromUtf8(line);
        // Not UTF-8: the round trip would change the bytes.
        if (text.toUtf8() != line) return {std::nullopt, int(k) + 1};
        texts << std::move(text);
    }
    const int lineCount = int(texts.size());
    if (lineCount < 1 || texts[0] != QLatin1String(kSquxHeader)) return {std::nullopt, 1};
    if (lineCount < 2 || !isSquxCount(texts[1])) return {std::nullopt, 2};
    const int count = *geometry::textToInt16(texts[1]);
    const int rows = lineCount - 3; // header, count, owner
    if (rows < count) return {std::nullopt, std::max(lineCount, 3)};
    if (rows > geometry::kMaxCorners) return {std::nullopt, 3 + geometry::kMaxCorners};
    PolygonFileData data;
    data.count = texts[1];
    for (int i = 1; i <= rows; ++i) {
        const QString &line = texts[i + 1];
        const qsizetype tab = line.indexOf(QLatin1Char('\t'));
        if (tab < 0 || line.indexOf(QLatin1Char('\t'), tab + 1) >= 0) return {std::nullopt, i + 2};
        QString x = line.left(tab), y = line.mid(tab + 1);
        if (x.size() > kMaxFieldTextLength || y.size() > kMaxFieldTextLength)
            return {std::nullopt, i + 2};
        data.x[std::size_t(i)] = std::move(x);
        data.y[std::size_t(i)] = std::move(y);
    }
    data.owner = texts[lineCount - 1];
    if (data.owner.size() > kMaxFieldTextLength) return {std::nullopt, lineCount};
    return {std::move(data), 0};
}

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
    const QByteArray bytes = polygonFileType(path) == PolygonFileType::Squx ? encodeSquxFile(data)
                                                                            : encodePolygonFile(data);
    switch (platform::replaceFile(target, bytes, 0666, replacing ? &old : nullptr, &why)) {
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

PolygonFileRead readPolygonFile(const QString &path) {
    // Only regular files: opening a FIFO would block, and a device has no end.
    const auto bytes = platform::readRegularFile(path, kMaxSquxFileSize);
    if (!bytes) return {};
    if (isSqux(*bytes)) return decodeSquxFile(*bytes);
    if (bytes->size() > kMaxPolygonFileSize) return {};
    return {decodePolygonFile(*bytes), 0};
}

QString commandLinePath(const QString &argument) {
    QString path = argument.trimmed();
    if (path.size() >= 2 && path.startsWith(QLatin1Char('"')) && path.endsWith(QLatin1Char('"')))
        path = path.mid(1, path.size() - 2);
    return path;
}

} // namespace tarvel::files
