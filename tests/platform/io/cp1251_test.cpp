#include "platform/io/cp1251.h"

#include <QByteArrayList>
#include <QStringList>

#include <gtest/gtest.h>

#include <utility>

namespace cp1251 = tarvel::platform::cp1251;

TEST(Cp1251, CharactersOutsideTheCodePage) {
    const std::pair<QString, QByteArray> cases[] = {
        {QStringLiteral("ЯёЁ€"), "\xDF\xB8\xA8\x88"},
        {QStringLiteral("a中b"), "a?b"},
        {QStringLiteral("😀"), "?"}, // one character, one "?"
        {QString(QChar(0xD800)), "?"},
        {QString(QChar(0x1A)), "\x1A"}, // the codec's own substitute byte is a real character too
    };
    for (const auto &[text, bytes] : cases) {
        EXPECT_EQ(cp1251::encode(text), bytes) << text.toStdString();
        EXPECT_EQ(cp1251::encodeWithIconv(text), bytes) << text.toStdString();
    }
    QByteArray all;
    for (int b = 0; b < 256; ++b)
        all += static_cast<char>(b);
    EXPECT_EQ(cp1251::decodeWithQt(all), cp1251::decodeWithIconv(all));
}

// The two conversions must write alike whichever one a machine has, and
// writing what was read must give the same bytes: a file with a byte the
// code page leaves undefined (0x98) must not change when opened and saved.
TEST(Cp1251, BothConversionsWriteEveryCharacterAlike) {
    const bool qt = cp1251::qtCodecAvailable();
    for (int b = 0; b < 256; ++b) {
        const QByteArray byte(1, static_cast<char>(b));
        EXPECT_EQ(cp1251::encodeWithIconv(cp1251::decodeWithIconv(byte)), byte) << b;
        if (qt) EXPECT_EQ(cp1251::encodeWithQt(cp1251::decodeWithQt(byte)), byte) << b;
    }
    if (!qt) GTEST_SKIP() << "this Qt has no Windows-1251 codec";
    QString all;
    for (char32_t c = 1; c < 0x30000; c = c < 0x10000 ? c + 1 : c + 0x3F1) {
        if (c >= 0xD800 && c < 0xE000) continue;
        all += QString::fromUcs4(&c, 1);
        all += QLatin1Char('\0');
    }
    const QByteArray byQt = cp1251::encodeWithQt(all), byIconv = cp1251::encodeWithIconv(all);
    ASSERT_EQ(byQt.size(), byIconv.size());
    const QList<QByteArray> qtPieces = byQt.split('\0'), iconvPieces = byIconv.split('\0');
    const QStringList characters = all.split(QLatin1Char('\0'));
    for (qsizetype i = 0; i < qtPieces.size(); ++i)
        EXPECT_EQ(qtPieces[i].toHex(), iconvPieces[i].toHex())
            << "U+" << QByteArray::number(characters[i].toUcs4().value(0), 16).toStdString();
}
