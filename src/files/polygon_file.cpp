#include "files/polygon_file.h"

#include "geometry/numtext.h"
#include "platform/io/regular_file.h"

#include <QFile>
#include <QFileInfo>
#include <QSet>
#include <QStringDecoder>
#include <QStringEncoder>
#include <QStringList>

#include <cerrno>
#include <fcntl.h>
#include <iconv.h>
#include <sys/stat.h>
#include <unistd.h>

#include <array>
#include <memory>
#include <optional>

namespace tarvel::files {

namespace cp1251 {

namespace {

constexpr const char *kQtName = "windows-1251";
constexpr const char *kIconvName = "WINDOWS-1251";
// The one byte Windows-1251 leaves undefined. It stands for the character of
// the same number both ways, as in Qt's codec, so that a file holding it
// reads and writes back unchanged; iconv knows it in neither direction.
constexpr char16_t kUndefinedByte = 0x98;

// The text split into code points; a lone surrogate is a code point that no
// codec can hold.
template <typename Fn> void forEachCodePoint(const QString &text, Fn fn) {
    for (qsizetype i = 0; i < text.size(); ++i) {
        const QChar c = text.at(i);
        if (c.isHighSurrogate() && i + 1 < text.size() && text.at(i + 1).isLowSurrogate()) {
            fn(QStringView(text).mid(i, 2), true);
            ++i;
        } else {
            fn(QStringView(text).mid(i, 1), !c.isSurrogate());
        }
    }
}

qsizetype codePointCount(const QString &text) {
    qsizetype n = 0;
    forEachCodePoint(text, [&n](QStringView, bool) { ++n; });
    return n;
}

struct IconvCloser {
    void operator()(void *cd) const { iconv_close(static_cast<iconv_t>(cd)); }
};
using IconvHandle = std::unique_ptr<void, IconvCloser>;

IconvHandle openIconv(const char *to, const char *from) {
    const iconv_t cd = iconv_open(to, from);
    if (cd == reinterpret_cast<iconv_t>(-1)) return nullptr;
    return IconvHandle(cd);
}

// Converts one unit of input completely, or reports failure.
std::optional<QByteArray> iconvOne(void *cd, const QByteArray &in) {
    iconv(static_cast<iconv_t>(cd), nullptr, nullptr, nullptr, nullptr);
    QByteArray inCopy = in;
    char *inPtr = inCopy.data();
    std::size_t inLeft = static_cast<std::size_t>(inCopy.size());
    char out[8];
    char *outPtr = out;
    std::size_t outLeft = sizeof out;
    if (iconv(static_cast<iconv_t>(cd), &inPtr, &inLeft, &outPtr, &outLeft) ==
            static_cast<std::size_t>(-1) ||
        inLeft != 0)
        return std::nullopt;
    return QByteArray(out, static_cast<qsizetype>(outPtr - out));
}

// Encodes code point by code point: ASCII as it is, anything else through
// `one`, which gives the single Windows-1251 byte of a valid code point or
// nothing; what has no byte becomes "?".
template <class One> QByteArray encodeEach(const QString &text, One one) {
    QByteArray out;
    out.reserve(text.size());
    forEachCodePoint(text, [&](QStringView cp, bool valid) {
        if (cp.size() == 1 && cp.at(0).unicode() < 0x80) {
            out.append(static_cast<char>(cp.at(0).unicode()));
            return;
        }
        const std::optional<char> b = valid ? one(cp) : std::nullopt;
        out.append(b.value_or('?'));
    });
    return out;
}

} // namespace

bool qtCodecAvailable() {
    return QStringEncoder(kQtName).isValid() && QStringDecoder(kQtName).isValid();
}

QByteArray encodeWithQt(const QString &text) {
    {
        // Every code point is one byte, so a shorter result means the codec
        // swallowed something (it holds a lone surrogate back silently).
        QStringEncoder encoder(kQtName);
        QByteArray whole = encoder.encode(text);
        if (!encoder.hasError() && whole.size() == codePointCount(text)) return whole;
    }
    // Something did not map. The codec puts its own substitute byte there
    // (and keeps reporting the error after a reset), so every code point
    // outside ASCII gets an encoder of its own.
    return encodeEach(text, [](QStringView cp) -> std::optional<char> {
        QStringEncoder one(kQtName);
        const QByteArray b = one.encode(cp);
        if (one.hasError() || b.size() != 1) return std::nullopt;
        return b.at(0);
    });
}

QString decodeWithQt(const QByteArray &bytes) {
    QStringDecoder decoder(kQtName);
    return decoder.decode(bytes);
}

QByteArray encodeWithIconv(const QString &text) {
    const IconvHandle cd = openIconv(kIconvName, "UTF-8");
    return encodeEach(text, [&](QStringView cp) -> std::optional<char> {
        if (cp.size() == 1 && cp.at(0).unicode() == kUndefinedByte)
            return static_cast<char>(kUndefinedByte);
        if (!cd) return std::nullopt;
        const auto b = iconvOne(cd.get(), cp.toUtf8());
        if (!b || b->size() != 1) return std::nullopt;
        return b->at(0);
    });
}

QString decodeWithIconv(const QByteArray &bytes) {
    const IconvHandle cd = openIconv("UTF-8", kIconvName);
    // One table for the upper half; the undefined byte stands for the
    // character of the same number.
    std::array<QString, 128> upper;
    for (int b = 0x80; b < 0x100; ++b) {
        std::optional<QByteArray> utf8;
        if (cd && b != kUndefinedByte)
            utf8 = iconvOne(cd.get(), QByteArray(1, static_cast<char>(b)));
        upper[b - 0x80] = utf8 ? QString::fromUtf8(*utf8) : QString(QChar(b));
    }
    QString out;
    out.reserve(bytes.size());
    for (const char ch : bytes) {
        const auto b = static_cast<unsigned char>(ch);
        if (b < 0x80)
            out.append(QChar(b));
        else
            out.append(upper[b - 0x80]);
    }
    return out;
}

QByteArray encode(const QString &text) {
    return qtCodecAvailable() ? encodeWithQt(text) : encodeWithIconv(text);
}

QString decode(const QByteArray &bytes) {
    return qtCodecAvailable() ? decodeWithQt(bytes) : decodeWithIconv(bytes);
}

QStringList unmappable(const QString &text) {
    QStringList lost;
    QSet<QString> seen;
    forEachCodePoint(text, [&](QStringView cp, bool valid) {
        if (cp.size() == 1 && cp.at(0).unicode() < 0x80) return;
        const QString one = cp.toString();
        if (seen.contains(one)) return;
        seen.insert(one);
        if (!valid || encode(one) == "?") lost << one;
    });
    return lost;
}

} // namespace cp1251

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
    const auto whole = textToInt16(text);
    const auto exact = textToDouble(text);
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
    return cp1251::encode(text);
}

std::optional<PolygonFileData> decodePolygonFile(const QByteArray &bytes) {
    const QStringList lines = splitLines(cp1251::decode(bytes), kPolygonFileLines);
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
        for (const QString &c : cp1251::unmappable(text))
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
