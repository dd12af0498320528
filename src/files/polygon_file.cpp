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
#include <cmath>
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
    for (const QByteArray &header : {QByteArray(kSquxHeader), QByteArray(kSquxPlotHeader)})
        if (bytes.startsWith(header) &&
            (bytes.size() == header.size() || bytes[header.size()] == '\n' ||
             bytes[header.size()] == '\r'))
            return true;
    return false;
}

} // namespace

PolygonFileData fileDataOf(const geometry::PolygonTexts &t) {
    return {t.count, t.x, t.y, t.owner, t.others, t.place, t.hole, t.info, t.names};
}

geometry::PolygonTexts plotTextsOf(const PolygonFileData &d) {
    geometry::PolygonTexts t;
    t.count = d.count;
    t.x = d.x;
    t.y = d.y;
    t.owner = d.owner;
    t.others = d.others;
    t.place = d.place;
    t.hole = d.hole;
    t.info = d.info;
    t.names = d.names;
    return t;
}

PolygonFileType polygonFileType(const QString &path) {
    return path.endsWith(QLatin1String(".squx"), Qt::CaseInsensitive) ? PolygonFileType::Squx
                                                                      : PolygonFileType::Squ;
}

namespace {

// The rows a contour writes: up to its count, and beyond while rows hold a
// text.
int rowsToWrite(const QString &countText, const geometry::TextColumn &x,
                const geometry::TextColumn &y) {
    const int count = geometry::textToInt16(countText).value_or(geometry::kMinCorners);
    int rows = std::max(count, 1);
    for (int i = int(std::max(x.size(), y.size())) - 1; i > rows; --i)
        if (!x[std::size_t(i)].isEmpty() || !y[std::size_t(i)].isEmpty()) {
            rows = i;
            break;
        }
    return std::min(rows, geometry::kMaxCorners);
}

void writeRows(QString &text, const geometry::TextColumn &x, const geometry::TextColumn &y,
               int rows, const geometry::TextColumn &names = {}) {
    for (int i = 1; i <= rows; ++i) {
        text += oneField(x[std::size_t(i)]) + QLatin1Char('\t') + oneField(y[std::size_t(i)]);
        if (const QString name = oneField(names[std::size_t(i)]); !name.isEmpty())
            text += QLatin1Char('\t') + name;
        text += QLatin1Char('\n');
    }
}

bool hasNames(const geometry::TextColumn &names) {
    for (std::size_t i = 1; i < names.size(); ++i)
        if (!names[i].isEmpty()) return true;
    return false;
}

} // namespace

QByteArray encodeSquxFile(const PolygonFileData &data) {
    if (data.others.empty() && !data.hole && data.info == geometry::PlotInfo{} &&
        !hasNames(data.names)) {
        QString text = QString::fromLatin1(kSquxHeader) + QLatin1Char('\n');
        text += oneField(data.count) + QLatin1Char('\n');
        writeRows(text, data.x, data.y, rowsToWrite(data.count, data.x, data.y));
        text += oneField(data.owner) + QLatin1Char('\n');
        return text.toUtf8();
    }
    const std::vector<geometry::ContourTexts> contours =
        geometry::plotContours(plotTextsOf(data));
    QString text = QString::fromLatin1(kSquxPlotHeader) + QLatin1Char('\n');
    text += QString::number(contours.size()) + QLatin1Char('\t') +
            QString::number(std::clamp(data.place, 0, int(contours.size()) - 1) + 1) +
            QLatin1Char('\n');
    const geometry::PlotInfo &info = data.info;
    if (info.northIsX) text += QStringLiteral("north\tX\n");
    if (info.registeredArea)
        text += QStringLiteral("area\t") + QString::number(*info.registeredArea, 'g', 17) +
                QLatin1Char('\t') +
                (info.areaTolerance ? QString::number(*info.areaTolerance, 'g', 17) : QString()) +
                QLatin1Char('\n');
    if (!info.coordinateSystem.isEmpty())
        text += QStringLiteral("crs\t") + oneField(info.coordinateSystem) + QLatin1Char('\n');
    if (!info.systemDefinition.isEmpty())
        text += QStringLiteral("system\t") + oneField(info.systemDefinition) +
                (info.systemApproximate ? QStringLiteral("\tapproximate") : QString()) +
                QLatin1Char('\n');
    for (const geometry::ContourTexts &c : contours) {
        const int rows = rowsToWrite(c.count, c.x, c.y);
        text += oneField(c.count) + QLatin1Char('\t') + QString::number(rows) + QLatin1Char('\t') +
                (c.hole ? QStringLiteral("hole") : QStringLiteral("outer")) + QLatin1Char('\n');
        writeRows(text, c.x, c.y, rows, c.names);
    }
    text += oneField(data.owner) + QLatin1Char('\n');
    return text.toUtf8();
}

namespace {

// One row "X<tab>Y", or "X<tab>Y<tab>name", into row i of the columns;
// false when it is not one.
bool readRow(const QString &line, geometry::ContourTexts &c, int i) {
    const QStringList fields = line.split(QLatin1Char('\t'));
    if (fields.size() != 2 && fields.size() != 3) return false;
    for (const QString &f : fields)
        if (f.size() > kMaxFieldTextLength) return false;
    c.x[std::size_t(i)] = fields[0];
    c.y[std::size_t(i)] = fields[1];
    if (fields.size() == 3) c.names[std::size_t(i)] = fields[2];
    return true;
}

// The most contours a plot file holds: a plot of parcels runs to hundreds.
constexpr int kMaxFileContours = 10000;

// Version 2, from line 2 on (`texts` are the file's lines, the header first).
PolygonFileRead decodeSquxPlot(const QStringList &texts) {
    const int lineCount = int(texts.size());
    if (lineCount < 2) return {std::nullopt, 2};
    const QStringList head = texts[1].split(QLatin1Char('\t'));
    const auto contours = head.size() == 2 ? geometry::textToInt32(head[0]) : std::nullopt;
    const auto edited = head.size() == 2 ? geometry::textToInt32(head[1]) : std::nullopt;
    if (!contours || !edited || *contours < 1 || *contours > kMaxFileContours || *edited < 1 ||
        *edited > *contours)
        return {std::nullopt, 2};
    std::vector<geometry::ContourTexts> plot;
    int line = 2; // 0-based: the next line to read
    geometry::PlotInfo info;
    for (; line < lineCount - 1; ++line) {
        const QStringList fields = texts[line].split(QLatin1Char('\t'));
        const QString &key = fields[0];
        if (key == QLatin1String("north") && fields.size() == 2 && fields[1] == QLatin1String("X")) {
            info.northIsX = true;
        } else if (key == QLatin1String("area") && fields.size() == 3) {
            bool ok = false, tolOk = false;
            const double area = fields[1].toDouble(&ok);
            const double tolerance = fields[2].toDouble(&tolOk);
            if (!ok || !std::isfinite(area) || (!fields[2].isEmpty() && (!tolOk || !std::isfinite(tolerance))))
                return {std::nullopt, line + 1};
            info.registeredArea = area;
            if (!fields[2].isEmpty()) info.areaTolerance = tolerance;
        } else if (key == QLatin1String("crs") && fields.size() == 2) {
            info.coordinateSystem = fields[1];
        } else if (key == QLatin1String("system") && fields.size() >= 2 &&
                   !fields[1].isEmpty() && (fields.size() == 2 ||
                    (fields.size() == 3 && fields[2] == QLatin1String("approximate")))) {
            info.systemDefinition = fields[1];
            info.systemApproximate = fields.size() == 3;
        } else {
            break;
        }
    }
    for (int k = 0; k < *contours; ++k) {
        if (line >= lineCount - 1) return {std::nullopt, line + 1};
        const QStringList fields = texts[line].split(QLatin1Char('\t'));
        const auto rows = fields.size() == 3 ? geometry::textToInt32(fields[1]) : std::nullopt;
        if (!rows || !isSquxCount(fields[0]) || *rows < *geometry::textToInt16(fields[0]) ||
            *rows > geometry::kMaxCorners ||
            (fields[2] != QLatin1String("hole") && fields[2] != QLatin1String("outer")))
            return {std::nullopt, line + 1};
        geometry::ContourTexts c;
        c.count = fields[0];
        c.hole = fields[2] == QLatin1String("hole");
        ++line;
        for (int i = 1; i <= *rows; ++i, ++line)
            if (line >= lineCount - 1 || !readRow(texts[line], c, i))
                return {std::nullopt, line + 1};
        plot.push_back(std::move(c));
    }
    // The owner's line is the last one, right after the last contour.
    if (line != lineCount - 1) return {std::nullopt, line + 1};
    const QString &owner = texts[lineCount - 1];
    if (owner.size() > kMaxFieldTextLength) return {std::nullopt, lineCount};
    geometry::PolygonTexts t = geometry::plotOf(std::move(plot), owner, *edited - 1);
    t.info = info;
    return {fileDataOf(t), 0};
}

} // namespace

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
    if (lineCount >= 1 && texts[0] == QLatin1String(kSquxPlotHeader)) return decodeSquxPlot(texts);
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
    return saveFileBytes(path, polygonFileType(path) == PolygonFileType::Squx
                                   ? encodeSquxFile(data)
                                   : encodePolygonFile(data));
}

SaveResult saveFileBytes(const QString &path, const QByteArray &bytes) {
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
