// Number texts: how the program reads and writes the numbers that live in
// its text fields, its polygon files and its settings.
//
// The decimal separator is always the comma, whatever the system locale:
// the program itself turns every typed point into a comma at once and its
// files hold commas, so reading must give the same result under any LANG.
// Nothing here consults QLocale or the C locale.
//
// Pure functions without widget dependencies.
#pragma once

#include <QString>

#include <cstdint>
#include <optional>

namespace tarvel::geometry {

// Text to a 64-bit float. Accepted: blanks (space, tab, no-break space)
// around the number, an optional sign, digits where single blanks (space or
// no-break space) may stand between two digits (digit groups, in the
// integer and in the fraction part: "1 234,50", "55,605 181"), at most one
// decimal comma (",5" and "5," are numbers), an optional exponent
// ("E"/"e", optional sign, digits). Anything else, an empty text, or a value
// that is not finite ("1e400") is not a number: std::nullopt.
std::optional<double> textToDouble(const QString &text);

// The largest magnitude a coordinate or an Mt may have: a thousand million
// kilometres. Past it a number says nothing about a plot, and its text of
// hundreds of digits would push every sheet and caption out of view.
inline constexpr double kLargestCoordinate = 1e12;

// textToDouble for a coordinate (or an Mt): a value beyond
// ±kLargestCoordinate is not a number either.
std::optional<double> textToCoordinate(const QString &text);

// The same rules, then narrowed to a 32-bit float; a value outside the float
// range is not a number.
std::optional<float> textToSingle(const QString &text);

// The same rules, then rounded to a whole number with halves to the even
// neighbour (36,5 -> 36, 37,5 -> 38); outside -32768..32767 is not a number.
std::optional<std::int16_t> textToInt16(const QString &text);

// The same rules, then rounded to a whole number (halves to even) in the
// 32-bit signed range, else not a number.
std::optional<std::int32_t> textToInt32(const QString &text);

// Fixed-point with four decimals, scaled by 10 000 (1,1 -> 11000): the same
// rules, rounded at the fourth decimal with halves to even; a value whose
// scaled form does not fit 64 bits is not a number.
std::optional<std::int64_t> textToFixed4(const QString &text);

// Plain text of a fixed-point value: shortest form, no trailing zeros
// (11000 -> "1,1", 10000 -> "1", -100 -> "-0,01").
QString fixed4ToText(std::int64_t scaled);

// Colour text: "&H" or "&h" followed by hexadecimal digits of a 32-bit
// value ("&H8000000F", "&hff"; leading zeros do not count), or a number text
// (the rules of textToDouble, rounded to a whole number with halves to even)
// in the signed or unsigned 32-bit range ("-2147483633" and "2147483663" are
// both 0x8000000F). Blanks around are allowed. Anything else is not a colour.
std::optional<std::uint32_t> textToColour(const QString &text);

// Rounds to the given number of decimals with halves to the even neighbour.
// A "half" is judged on the value's shortest decimal text (15 significant
// digits), so 2,675 (stored as 2.67499999...) counts as a tie, like the
// decimal the user typed. Non-finite values are returned unchanged, and so
// is a value when the rounding place lies at or beyond its 15th significant
// digit. A negative "decimals" rounds to tens, hundreds, ... A result of zero
// is +0.
double roundHalfEven(double value, int decimals);

// Formats a value through a number pattern such as "# ##0.00",
// "### ### ### ##0.00" or "#0.000 000":
//  - "0" is a digit always shown, "#" a digit shown only when the value has
//    one there, "." stands for the decimal comma, a blank is a literal that
//    is always copied (in the integer and in the fraction part);
//  - the value is rounded (halves to even) to as many decimals as the
//    pattern has digit places after its ".";
//  - integer digits beyond the pattern's places all go in front of the
//    first "#" ("# ##0.00" of 1234567 is "1234 567,00");
//  - leading places without a digit give nothing, but the literal blanks
//    among them are still copied: "# ##0.00" of 76 is " 76,00",
//    "### ### ### ##0.00" of 10700 is "  10 700,00";
//  - a negative value gets "-" in front of its first digit, after any
//    literal blanks before it ("# ##0.00" of -5 is " -5,00"); a value that
//    rounds to zero is written without a sign;
//  - "#" places after the "." show nothing past the last non-zero digit;
//    any character other than "0", "#" and the first "." is a literal.
// A non-finite value gives an empty text.
QString formatNumber(double value, const QString &pattern);

// Formats a text through a pattern: a text that is not a number (see
// textToDouble) is returned unchanged, an empty text stays empty.
QString formatText(const QString &text, const QString &pattern);

// "Plain shortest text" of a 64-bit value: at most 15 significant digits,
// comma as decimal separator, no trailing zeros, no digit grouping, never
// "-0" (20 -> "20", 12.5 -> "12,5", 0.1 + 0.2 -> "0,3"). Values of 1E15 and
// above in magnitude, or below 1E-4 (non-zero), use the exponent form
// "1E+20", "1,5E-05". Non-finite values give an empty text.
QString plainText(double value);

// The same for a 32-bit value: at most 7 significant digits
// (1234567.89f -> "1234568"); the exponent form starts at 1E7 in magnitude
// (12345678.f -> "1,234568E+07"), where plain digits would have to invent
// zeros, and below 1E-4 as above.
QString plainText(float value);

// The constants of the patterns used across the program.
inline const QString kFieldPattern = QStringLiteral("# ##0.00");
inline const QString kAreaPattern = QStringLiteral("### ### ### ##0.00");
inline const QString kDegreePattern = QStringLiteral("#0.000 000");

} // namespace tarvel::geometry
