// Number texts with the decimal comma, read and written without any locale.
//
// Every conversion goes through one small decimal representation (the
// significant digits and the place of the decimal point). Reading builds it
// from the typed digits; writing builds it from the value's 15- (or 7-)
// significant-digit text. Rounding is done on those digits, so a value typed
// as 2,675 is a tie at two decimals although the nearest double lies below
// it, and "0,0001" scaled by 10 000 is exactly 1. The only binary<->decimal
// conversions are std::from_chars and std::to_chars, which never consult the
// C locale.
#include "geometry/numtext.h"

#include <QStringView>

#include <algorithm>
#include <charconv>
#include <cmath>
#include <limits>
#include <string>
#include <system_error>

namespace tarvel::geometry {
namespace {

// A finite decimal: value = (negative ? -1 : 1) x 0.d1d2d3... x 10^point.
// `digits` holds no leading and no trailing zeros; it is empty for zero.
struct Decimal {
    bool negative = false;
    std::string digits;
    std::int64_t point = 0; // how many digits stand before the decimal point

    bool isZero() const { return digits.empty(); }
};

// Exponents beyond this only say "overflow" or "underflow"; capping them
// keeps the arithmetic on `point` far from the 64-bit limits.
constexpr std::int64_t kExponentCap = 1'000'000'000'000;

void normalize(Decimal &d) {
    const auto first = d.digits.find_first_not_of('0');
    if (first == std::string::npos) {
        d.digits.clear();
        d.point = 0;
        return;
    }
    d.digits.erase(0, first);
    d.point -= static_cast<std::int64_t>(first);
    d.digits.erase(d.digits.find_last_not_of('0') + 1);
}

// Rounds to `decimals` places after the decimal point (negative: before it),
// halves to the even neighbour. A zero result carries no sign.
void roundAt(Decimal &d, std::int64_t decimals) {
    if (d.isZero()) return;
    const std::int64_t keep = d.point + decimals; // digits that stay
    const auto length = static_cast<std::int64_t>(d.digits.size());
    if (keep >= length) return;

    bool up = false;
    if (keep >= 0) {
        const char first = d.digits[static_cast<std::size_t>(keep)];
        const bool restNonZero = keep + 1 < length; // no trailing zeros are held
        const bool lastOdd = keep > 0 && (d.digits[static_cast<std::size_t>(keep - 1)] - '0') % 2;
        up = first > '5' || (first == '5' && (restNonZero || lastOdd));
    }
    // keep < 0: the value is below a tenth of the last kept place, so it goes down.
    d.digits.resize(static_cast<std::size_t>(std::max<std::int64_t>(keep, 0)));
    if (up) {
        auto i = d.digits.size();
        while (i > 0 && d.digits[i - 1] == '9') {
            d.digits[i - 1] = '0';
            --i;
        }
        if (i == 0) {
            d.digits.insert(d.digits.begin(), '1');
            ++d.point;
        } else {
            ++d.digits[i - 1];
        }
    }
    normalize(d);
    if (d.isZero()) d.negative = false;
}

// The digit standing at 10^power.
char digitAt(const Decimal &d, std::int64_t power) {
    const std::int64_t index = d.point - 1 - power;
    if (index < 0 || index >= static_cast<std::int64_t>(d.digits.size())) return '0';
    return d.digits[static_cast<std::size_t>(index)];
}

bool isAsciiDigit(QChar c) {
    return c.unicode() >= u'0' && c.unicode() <= u'9';
}
bool isOuterBlank(QChar c) {
    return c == u' ' || c == u'\t' || c == QChar(0x00A0);
}
bool isGroupBlank(QChar c) {
    return c == u' ' || c == QChar(0x00A0);
}

QStringView trimmed(QStringView text) {
    qsizetype begin = 0;
    qsizetype end = text.size();
    while (begin < end && isOuterBlank(text[begin]))
        ++begin;
    while (end > begin && isOuterBlank(text[end - 1]))
        --end;
    return text.sliced(begin, end - begin);
}

// The grammar of a number text (see the header); nullopt when the text does
// not follow it. The value may still be out of the double range.
std::optional<Decimal> parseDecimal(QStringView text) {
    const QStringView t = trimmed(text);
    const qsizetype n = t.size();
    qsizetype i = 0;
    Decimal d;

    if (i < n && (t[i] == u'+' || t[i] == u'-')) {
        d.negative = t[i] == u'-';
        ++i;
    }
    // Digits, with single blanks allowed only between two digits.
    const auto readDigits = [&](std::string &out) {
        while (i < n) {
            if (isAsciiDigit(t[i])) {
                out.push_back(static_cast<char>(t[i].unicode()));
                ++i;
            } else if (isGroupBlank(t[i]) && !out.empty() && i + 1 < n && isAsciiDigit(t[i + 1])) {
                ++i;
            } else {
                break;
            }
        }
    };
    std::string integerDigits;
    std::string fractionDigits;
    readDigits(integerDigits);
    if (i < n && t[i] == u',') {
        ++i;
        readDigits(fractionDigits);
    }
    if (integerDigits.empty() && fractionDigits.empty()) return std::nullopt;

    std::int64_t exponent = 0;
    if (i < n && (t[i] == u'e' || t[i] == u'E')) {
        ++i;
        bool negativeExponent = false;
        if (i < n && (t[i] == u'+' || t[i] == u'-')) {
            negativeExponent = t[i] == u'-';
            ++i;
        }
        const qsizetype start = i;
        for (; i < n && isAsciiDigit(t[i]); ++i)
            exponent = std::min(exponent * 10 + (t[i].unicode() - u'0'), kExponentCap);
        if (i == start) return std::nullopt;
        if (negativeExponent) exponent = -exponent;
    }
    if (i != n) return std::nullopt;

    d.point = static_cast<std::int64_t>(integerDigits.size()) + exponent;
    d.digits = std::move(integerDigits) + fractionDigits;
    normalize(d);
    return d;
}

// The nearest float or double, or nullopt when the magnitude is beyond the
// type's range. Values too small for the type become zero.
template <typename T> std::optional<T> toFloating(const Decimal &d) {
    if (d.isZero()) return d.negative ? -T(0) : T(0);
    std::string text = d.negative ? "-0." : "0.";
    text += d.digits;
    text += 'e';
    text += std::to_string(d.point);
    T value{};
    const auto [end, ec] = std::from_chars(text.data(), text.data() + text.size(), value);
    if (ec == std::errc::result_out_of_range) {
        // from_chars reports overflow and underflow alike; the point tells them apart.
        if (d.point > 0) return std::nullopt;
        return d.negative ? -T(0) : T(0);
    }
    if (ec != std::errc() || end != text.data() + text.size() || !std::isfinite(value))
        return std::nullopt;
    return value;
}

// The value's shortest decimal text with the given number of significant
// digits, as a Decimal. `value` must be finite.
template <typename T> Decimal fromFloating(T value, int significant) {
    char buffer[64];
    const auto result = std::to_chars(buffer, buffer + sizeof buffer, std::fabs(value),
                                      std::chars_format::scientific, significant - 1);
    // Text like "1.23450000000000e+03".
    Decimal d;
    d.negative = std::signbit(value);
    const char *p = buffer;
    for (; p < result.ptr && *p != 'e'; ++p)
        if (*p != '.') d.digits.push_back(*p);
    int exponent = 0;
    if (p < result.ptr) {
        ++p; // 'e'
        const bool negativeExponent = *p == '-';
        ++p; // sign, always written by to_chars
        std::from_chars(p, result.ptr, exponent);
        if (negativeExponent) exponent = -exponent;
    }
    d.point = exponent + 1;
    normalize(d);
    return d;
}

// Rounds to a whole number (halves to even) and checks the signed range.
std::optional<std::int64_t> toWhole(Decimal d, std::int64_t min, std::int64_t max) {
    roundAt(d, 0);
    if (d.isZero()) return 0;
    if (d.point > 19) return std::nullopt; // at least 10^19, beyond 64 bits signed
    std::uint64_t magnitude = 0;           // below 10^19, so it fits
    for (std::int64_t power = d.point - 1; power >= 0; --power)
        magnitude = magnitude * 10 + static_cast<std::uint64_t>(digitAt(d, power) - '0');

    constexpr auto kMaxMagnitude =
        static_cast<std::uint64_t>(std::numeric_limits<std::int64_t>::max());
    std::int64_t value = 0;
    if (d.negative) {
        if (magnitude > kMaxMagnitude + 1) return std::nullopt;
        value = magnitude == kMaxMagnitude + 1 ? std::numeric_limits<std::int64_t>::min()
                                               : -static_cast<std::int64_t>(magnitude);
    } else {
        if (magnitude > kMaxMagnitude) return std::nullopt;
        value = static_cast<std::int64_t>(magnitude);
    }
    if (value < min || value > max) return std::nullopt;
    return value;
}

// A number text in the reading grammar whose value is a finite double.
std::optional<Decimal> parseNumber(const QString &text) {
    auto d = parseDecimal(text);
    if (!d || !toFloating<double>(*d)) return std::nullopt;
    return d;
}

// Shortest plain text: comma, no trailing zeros, exponent form when the
// magnitude reaches 10^significant or lies below 10^-4.
QString plainFrom(const Decimal &d, int significant) {
    if (d.isZero()) return QStringLiteral("0");
    QString out;
    if (d.negative) out += u'-';
    const auto digits =
        QString::fromLatin1(d.digits.data(), static_cast<qsizetype>(d.digits.size()));
    if (d.point > significant || d.point < -3) {
        out += digits.front();
        if (digits.size() > 1) out += u',' + digits.sliced(1);
        const std::int64_t exponent = d.point - 1;
        out += exponent < 0 ? QStringLiteral("E-") : QStringLiteral("E+");
        out += QStringLiteral("%1").arg(std::abs(exponent), 2, 10, QChar(u'0'));
    } else if (d.point <= 0) {
        out += QStringLiteral("0,") + QString(static_cast<qsizetype>(-d.point), u'0') + digits;
    } else if (d.point >= digits.size()) {
        out += digits + QString(static_cast<qsizetype>(d.point - digits.size()), u'0');
    } else {
        out += digits.first(static_cast<qsizetype>(d.point)) + u',' +
               digits.sliced(static_cast<qsizetype>(d.point));
    }
    return out;
}

bool isPlace(QChar c) {
    return c == u'0' || c == u'#';
}

} // namespace

std::optional<double> textToDouble(const QString &text) {
    const auto d = parseDecimal(text);
    if (!d) return std::nullopt;
    return toFloating<double>(*d);
}

std::optional<double> textToCoordinate(const QString &text) {
    const auto v = textToDouble(text);
    if (!v || std::abs(*v) > kLargestCoordinate) return std::nullopt;
    return v;
}

std::optional<float> textToSingle(const QString &text) {
    const auto d = parseNumber(text);
    if (!d) return std::nullopt;
    // Straight from the digits, not through a double, so there is one rounding only.
    return toFloating<float>(*d);
}

std::optional<std::int16_t> textToInt16(const QString &text) {
    const auto d = parseNumber(text);
    if (!d) return std::nullopt;
    const auto value = toWhole(*d, std::numeric_limits<std::int16_t>::min(),
                               std::numeric_limits<std::int16_t>::max());
    if (!value) return std::nullopt;
    return static_cast<std::int16_t>(*value);
}

std::optional<std::int32_t> textToInt32(const QString &text) {
    const auto d = parseNumber(text);
    if (!d) return std::nullopt;
    const auto value = toWhole(*d, std::numeric_limits<std::int32_t>::min(),
                               std::numeric_limits<std::int32_t>::max());
    if (!value) return std::nullopt;
    return static_cast<std::int32_t>(*value);
}

std::optional<std::int64_t> textToFixed4(const QString &text) {
    auto d = parseNumber(text);
    if (!d) return std::nullopt;
    if (!d->isZero()) d->point += 4; // times 10 000, exactly
    return toWhole(*d, std::numeric_limits<std::int64_t>::min(),
                   std::numeric_limits<std::int64_t>::max());
}

QString fixed4ToText(std::int64_t scaled) {
    const bool negative = scaled < 0;
    // Unsigned negation also covers the smallest 64-bit value.
    const std::uint64_t magnitude =
        negative ? 0 - static_cast<std::uint64_t>(scaled) : static_cast<std::uint64_t>(scaled);
    QString out = negative ? QStringLiteral("-") : QString();
    out += QString::number(magnitude / 10000);
    if (const std::uint64_t fraction = magnitude % 10000; fraction != 0) {
        QString digits = QStringLiteral("%1").arg(fraction, 4, 10, QChar(u'0'));
        while (digits.endsWith(u'0'))
            digits.chop(1);
        out += u',' + digits;
    }
    return out;
}

std::optional<std::uint32_t> textToColour(const QString &text) {
    const QStringView t = trimmed(text);
    if (t.size() >= 2 && t[0] == u'&' && (t[1] == u'H' || t[1] == u'h')) {
        const QStringView hex = t.sliced(2);
        if (hex.isEmpty()) return std::nullopt;
        std::uint64_t value = 0;
        for (const QChar c : hex) {
            int digit = 0;
            if (isAsciiDigit(c))
                digit = c.unicode() - u'0';
            else if (c.unicode() >= u'a' && c.unicode() <= u'f')
                digit = c.unicode() - u'a' + 10;
            else if (c.unicode() >= u'A' && c.unicode() <= u'F')
                digit = c.unicode() - u'A' + 10;
            else
                return std::nullopt;
            value = value * 16 + static_cast<std::uint64_t>(digit);
            if (value > std::numeric_limits<std::uint32_t>::max()) return std::nullopt;
        }
        return static_cast<std::uint32_t>(value);
    }
    // Decimal: a signed 32-bit number (as stored once a colour was chosen) or
    // an unsigned one; both name the same 32 bits.
    const auto d = parseNumber(text);
    if (!d) return std::nullopt;
    const auto value = toWhole(*d, std::numeric_limits<std::int32_t>::min(),
                               std::numeric_limits<std::uint32_t>::max());
    if (!value) return std::nullopt;
    return static_cast<std::uint32_t>(*value);
}

double roundHalfEven(double value, int decimals) {
    if (!std::isfinite(value)) return value;
    if (value == 0) return 0.0; // +0 also for -0
    Decimal d = fromFloating(value, 15);
    // At or past the 15th significant digit the short text cannot judge a
    // tie, and the value holds no more precision than asked for anyway.
    if (d.point + decimals >= 15) return value;
    roundAt(d, decimals);
    return toFloating<double>(d).value_or(value);
}

namespace {

// The integer part of `d` on the places ("#", "0") of the pattern before its
// point, literals copied. Place j of P stands for 10^(P-1-j); the leftmost
// place also takes every digit beyond the pattern's width.
QString integerText(const Decimal &d, QStringView integerPattern, bool negative) {
    const std::int64_t integerDigits = std::max<std::int64_t>(d.point, 0);
    const qsizetype places = std::count_if(integerPattern.begin(), integerPattern.end(), isPlace);
    const auto firstForced = [&]() -> qsizetype {
        qsizetype j = 0;
        for (const QChar c : integerPattern) {
            if (c == u'0') return j;
            if (c == u'#') ++j;
        }
        return places; // no "0": no place is forced
    }();

    QString out;
    qsizetype signAt = -1; // where "-" goes: in front of the first digit written
    const auto writeDigit = [&](char digit) {
        if (signAt < 0) signAt = out.size();
        out += QChar(u'0' + (digit - '0'));
    };
    qsizetype j = 0;
    for (const QChar c : integerPattern) {
        if (!isPlace(c)) {
            out += c; // literals are always copied
            continue;
        }
        const std::int64_t power = places - 1 - j;
        if (j == 0) {
            for (std::int64_t p = integerDigits - 1; p >= power; --p)
                writeDigit(digitAt(d, p));
            if (integerDigits <= power && j >= firstForced) writeDigit('0');
        } else if (power < integerDigits) {
            writeDigit(digitAt(d, power));
        } else if (j >= firstForced) {
            writeDigit('0');
        }
        ++j;
    }
    if (places == 0) // no place to put them: they stand just before the comma
        for (std::int64_t p = integerDigits - 1; p >= 0; --p)
            writeDigit(digitAt(d, p));
    if (negative) out.insert(signAt < 0 ? out.size() : signAt, u'-');
    return out;
}

// The fraction of `d` on the places after the pattern's point. "#" places
// after the last "0" place show a digit only up to the last one that is not
// zero.
QString fractionText(const Decimal &d, QStringView fractionPattern) {
    qsizetype lastShown = -1;
    qsizetype k = 0;
    for (const QChar c : fractionPattern) {
        if (!isPlace(c)) continue;
        if (c == u'0' || digitAt(d, -1 - k) != '0') lastShown = k;
        ++k;
    }
    QString out;
    k = 0;
    for (const QChar c : fractionPattern) {
        if (!isPlace(c)) {
            out += c;
            continue;
        }
        if (k <= lastShown) out += QChar(u'0' + (digitAt(d, -1 - k) - '0'));
        ++k;
    }
    return out;
}

} // namespace

QString formatNumber(double value, const QString &pattern) {
    if (!std::isfinite(value)) return {};

    const qsizetype dot = pattern.indexOf(u'.');
    const QStringView integerPattern =
        dot < 0 ? QStringView(pattern) : QStringView(pattern).first(dot);
    const QStringView fractionPattern =
        dot < 0 ? QStringView() : QStringView(pattern).sliced(dot + 1);
    const auto fractionPlaces =
        std::count_if(fractionPattern.begin(), fractionPattern.end(), isPlace);

    Decimal d = fromFloating(value, 15);
    roundAt(d, fractionPlaces);
    QString out = integerText(d, integerPattern, d.negative && !d.isZero());
    if (dot >= 0) out += u',' + fractionText(d, fractionPattern);
    return out;
}

QString formatText(const QString &text, const QString &pattern) {
    const auto value = textToDouble(text);
    if (!value) return text;
    return formatNumber(*value, pattern);
}

QString plainText(double value) {
    if (!std::isfinite(value)) return {};
    return plainFrom(fromFloating(value, 15), 15);
}

QString plainText(float value) {
    if (!std::isfinite(value)) return {};
    return plainFrom(fromFloating(value, 7), 7);
}

} // namespace tarvel::geometry
