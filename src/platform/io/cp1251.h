// Windows-1251, the 8-bit code page of the polygon files and of the comma
// separated workbooks users bring from older desktops. The Qt codec is used
// when this Qt build has it (builds with ICU do); otherwise glibc's iconv.
// Both are reachable for the tests.
#pragma once

#include <QByteArray>
#include <QString>
#include <QStringList>

namespace tarvel::platform::cp1251 {

QByteArray encode(const QString &text);  // unmappable characters -> '?'
QString decode(const QByteArray &bytes); // 0x98 <-> U+0098 both ways
// The distinct characters that encode() turns into "?", in text order.
QStringList unmappable(const QString &text);
bool qtCodecAvailable();
QByteArray encodeWithQt(const QString &text);
QString decodeWithQt(const QByteArray &bytes);
QByteArray encodeWithIconv(const QString &text);
QString decodeWithIconv(const QByteArray &bytes);

} // namespace tarvel::platform::cp1251
