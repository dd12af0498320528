#include "platform/io/cp1251.h"

#include <QSet>

#include <QStringDecoder>
#include <QStringEncoder>

#include <iconv.h>

#include <array>
#include <memory>
#include <optional>

namespace tarvel::platform::cp1251 {

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

} // namespace tarvel::platform::cp1251
