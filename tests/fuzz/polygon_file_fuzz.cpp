// Fuzzes the polygon file: any bytes given to the reader, and whatever it
// accepts must come back unchanged from writing it out and reading it again
// (decode(encode(decode(x))) == decode(x)); the Qt and iconv code-page
// conversions must agree; and a polygon made of any texts must survive the
// file with only the changes the file format makes (line breaks to blanks,
// characters outside the code page to "?").
//
// Input: the file bytes. The same bytes are also split at 0x1F into the
// texts of a polygon for the write-then-read direction.
#include "fuzz_support.h"

#include "files/polygon_file.h"
#include "platform/io/cp1251.h"

#include <QList>

#include <cstdint>

using namespace tarvel::files;
namespace cp1251 = tarvel::platform::cp1251;
using tarvel::fuzz::check;

namespace {

QString describe(const PolygonFileData &d) {
    QStringList parts{d.count};
    for (int i = 1; i <= kMaxFileCorners; ++i)
        parts << d.x[i] << d.y[i];
    parts << d.owner;
    return parts.join(u'|');
}

bool operator==(const PolygonFileData &a, const PolygonFileData &b) {
    return a.count == b.count && a.x == b.x && a.y == b.y && a.owner == b.owner;
}

// What the file keeps of one value: one line, code-page characters only.
QString asKept(QString value) {
    value.replace(QStringLiteral("\r\n"), QStringLiteral(" "));
    value.replace(u'\r', u' ');
    value.replace(u'\n', u' ');
    return cp1251::decode(cp1251::encode(value));
}

void checkReadWriteRead(const QByteArray &bytes) {
    const auto first = decodePolygonFile(bytes);
    if (!first) return;
    const QByteArray written = encodePolygonFile(*first);
    const auto again = decodePolygonFile(written);
    check(again.has_value(), "a polygon read from a file cannot be read once written",
          describe(*first));
    check(*again == *first, "a polygon changes when written and read again",
          describe(*first) + QStringLiteral("\n  became ") + describe(*again));
    check(encodePolygonFile(*again) == written, "writing the same polygon twice differs");
}

void checkCodecsAgree(const QByteArray &bytes, const QString &text) {
    if (!cp1251::qtCodecAvailable()) return;
    check(cp1251::decodeWithQt(bytes) == cp1251::decodeWithIconv(bytes),
          "Qt and iconv read the code page differently", QString::fromLatin1(bytes.toHex()));
    check(cp1251::encodeWithQt(text) == cp1251::encodeWithIconv(text),
          "Qt and iconv write the code page differently", text);
}

void checkWriteRead(const QByteArray &bytes) {
    const QList<QByteArray> pieces = bytes.split('\x1f');
    PolygonFileData data;
    const auto piece = [&](qsizetype i) {
        return i < pieces.size() ? QString::fromUtf8(pieces[i]) : QString();
    };
    data.count = piece(0);
    for (int i = 1; i <= kMaxFileCorners; ++i) {
        data.x[i] = piece(i);
        data.y[i] = piece(kMaxFileCorners + i);
    }
    data.owner = piece(kPolygonFileLines - 1);

    const QByteArray written = encodePolygonFile(data);
    const auto back = decodePolygonFile(written);
    if (!back) return; // the count is not one the reader takes
    PolygonFileData expected;
    expected.count = asKept(data.count);
    for (int i = 1; i <= kMaxFileCorners; ++i) {
        expected.x[i] = asKept(data.x[i]);
        expected.y[i] = asKept(data.y[i]);
    }
    expected.owner = asKept(data.owner);
    check(*back == expected, "a written polygon reads back with other texts",
          describe(data) + QStringLiteral("\n  read ") + describe(*back));
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size) {
    const QByteArray bytes(reinterpret_cast<const char *>(data), static_cast<qsizetype>(size));
    checkReadWriteRead(bytes);
    checkCodecsAgree(bytes, QString::fromUtf8(bytes));
    checkWriteRead(bytes);
    (void)commandLinePath(QString::fromUtf8(bytes));
    return 0;
}
