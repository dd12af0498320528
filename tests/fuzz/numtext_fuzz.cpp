// Fuzzes the number texts: every reader on any text, the three patterns of
// the program and a fuzzed pattern, the plain texts and the rounding. Beyond
// "no crash, no undefined behaviour" it checks that the readers agree with
// one another and that what the program writes reads back as the value it
// meant.
//
// Input: byte 0 flags (bit 0: the text is raw UTF-16), byte 1 the decimals
// for roundHalfEven (signed), then the text; a NUL byte in the text starts a
// pattern of its own.
#include "fuzz_support.h"

#include "geometry/numtext.h"

#include <cfloat>
#include <cmath>
#include <cstdint>
#include <limits>

using namespace tarvel::geometry;
using tarvel::fuzz::check;
using tarvel::fuzz::sameValue;
using tarvel::fuzz::show;

namespace {

// Below this the 15-digit text of a value is still a finite double; at the
// very top it rounds up past the largest double.
constexpr double kWritable = 1.797693134862315e308;

void checkReaders(const QString &text) {
    const auto d = textToDouble(text);
    const QString where = QStringLiteral("text \"%1\" reads as %2").arg(text, show(d));

    if (const auto s = textToSingle(text)) {
        check(d.has_value(), "a float without a double", where);
        const double err = std::abs(static_cast<double>(*s) - *d);
        check(err <= std::abs(*d) * 6e-8 + 1e-45, "float far from the double", where);
    } else if (d && std::abs(*d) < 3.4e38) {
        check(false, "a number in float range refused as float", where);
    }

    const auto i16 = textToInt16(text);
    if (i16) check(d && std::abs(*d - *i16) <= 0.5, "16-bit whole not the rounded value", where);
    if (d && *d > -32768.49 && *d < 32767.49) check(i16.has_value(), "16-bit refused", where);

    const auto i32 = textToInt32(text);
    if (i32) check(d && std::abs(*d - *i32) <= 0.5, "32-bit whole not the rounded value", where);
    if (d && *d > -2147483648.49 && *d < 2147483647.49)
        check(i32.has_value(), "32-bit refused", where);
    if (i16) check(i32 && *i32 == *i16, "16- and 32-bit readings differ", where);

    if (const auto f4 = textToFixed4(text)) {
        check(d && std::abs(*d * 1e4 - static_cast<double>(*f4)) <= 0.5 + std::abs(*d) * 1e-11,
              "fixed-point not the rounded value", where);
        const QString back = fixed4ToText(*f4);
        check(textToFixed4(back) == f4, "fixed-point text does not read back",
              where + QStringLiteral(" fixed ") + back);
    } else if (d && std::abs(*d) < 9e14) {
        check(false, "fixed-point refused", where);
    }

    const auto colour = textToColour(text);
    if (i32) check(colour == static_cast<std::uint32_t>(*i32), "colour number misread", where);
}

// What a pattern writes must read back as the value rounded at its decimals,
// taken from the value's 15-digit text.
void checkPattern(double value, const QString &pattern, int decimals) {
    const QString out = formatNumber(value, pattern);
    const QString where =
        QStringLiteral("%1 through \"%2\" gives \"%3\"").arg(show(value), pattern, out);
    if (!std::isfinite(value)) {
        check(out.isEmpty(), "a non-finite value written", where);
        return;
    }
    if (std::abs(value) >= kWritable) return;
    const auto back = textToDouble(out);
    check(back.has_value(), "a pattern text does not read back", where);
    const double shown = *textToDouble(plainText(value));
    const double expected = roundHalfEven(shown, decimals);
    check(sameValue(*back, expected), "a pattern text reads back as another value",
          where + QStringLiteral(" expected ") + show(expected));
    check(!out.contains(u'-') || *back != 0, "minus sign on zero", where);
}

void checkPlain(double value) {
    const QString out = plainText(value);
    if (!std::isfinite(value)) {
        check(out.isEmpty(), "a non-finite value written", show(value));
        return;
    }
    if (std::abs(value) >= kWritable) return;
    const QString where = QStringLiteral("%1 written \"%2\"").arg(show(value), out);
    check(!out.startsWith(QStringLiteral("-0")) || out.size() > 2, "\"-0\" written", where);
    const auto back = textToDouble(out);
    check(back.has_value(), "a plain text does not read back", where);
    check(plainText(*back) == out, "a plain text changes on reading back", where);
}

void checkPlain(float value) {
    const QString out = plainText(value);
    if (!std::isfinite(value)) {
        check(out.isEmpty(), "a non-finite float written", show(value));
        return;
    }
    if (std::abs(value) > 3.4028e38f) return;
    const QString where = QStringLiteral("%1f written \"%2\"").arg(show(value), out);
    const auto back = textToSingle(out);
    check(back.has_value(), "a float text does not read back", where);
    // Half a unit of the 7th digit, then the float's own rounding.
    check(std::abs(static_cast<double>(*back) - value) <=
              std::abs(static_cast<double>(value)) * 5.6e-7 + 1e-45,
          "a float text reads back as another value", where);
}

void checkRounding(double value, int decimals) {
    const double r = roundHalfEven(value, decimals);
    const QString where =
        QStringLiteral("%1 at %2 decimals gives %3").arg(show(value)).arg(decimals).arg(show(r));
    if (!std::isfinite(value)) {
        check(sameValue(r, value), "a non-finite value changed", where);
        return;
    }
    check(std::isfinite(r), "rounding left the finite range", where);
    check(sameValue(roundHalfEven(r, decimals), r), "rounding twice moves again", where);
    const double step = std::pow(10.0, -decimals);
    check(std::abs(r - value) <= step * 0.5000001 + std::abs(value) * 1e-14,
          "rounded by more than half a step", where);
    check(r != 0 || !std::signbit(r), "rounded to -0", where);
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size) {
    tarvel::fuzz::Bytes in(data, size);
    const std::uint8_t flags = in.byte();
    const int decimals = std::clamp(static_cast<int>(static_cast<std::int8_t>(in.byte())), -20, 20);
    const QByteArray body = in.rest();
    const qsizetype nul = body.indexOf('\0');
    const QString text = tarvel::fuzz::textFrom(nul < 0 ? body : body.first(nul), flags & 1);
    const QString pattern = nul < 0 ? QString() : QString::fromUtf8(body.sliced(nul + 1));

    checkReaders(text);

    const auto d = textToDouble(text);
    for (const auto &[p, places] :
         {std::pair{kFieldPattern, 2}, std::pair{kAreaPattern, 2}, std::pair{kDegreePattern, 6}}) {
        const QString formatted = formatText(text, p);
        if (!d) {
            check(formatted == text, "a text that is not a number changed by a pattern", text);
            continue;
        }
        checkPattern(*d, p, places);
    }
    // Any pattern, any value: it must neither crash nor run away.
    if (nul >= 0 && pattern.size() < 512) {
        (void)formatText(text, pattern);
        if (d) (void)formatNumber(*d, pattern);
    }

    // Values the texts cannot spell: NaN, infinities, subnormals, -0.
    tarvel::fuzz::Bytes raw(reinterpret_cast<const std::uint8_t *>(body.constData()),
                            static_cast<std::size_t>(body.size()));
    const double bits = raw.rawDouble();
    for (const double v : {d.value_or(0.0), bits}) {
        checkPlain(v);
        checkPlain(static_cast<float>(std::clamp(v, -3e38, 3e38)));
        checkRounding(v, decimals);
        checkPattern(v, kFieldPattern, 2);
        checkPattern(v, kDegreePattern, 6);
    }
    return 0;
}
