#include "geometry/numtext.h"

#include <QLocale>

#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <optional>
#include <ostream>

using namespace tarvel::geometry;

// Readable failure messages; internal linkage so that no other test file's
// printer can clash with it.
static void PrintTo(const QString &text, std::ostream *os) {
    *os << '"' << text.toStdString() << '"';
}

namespace {

QString q(const char *utf8) {
    return QString::fromUtf8(utf8);
}

constexpr double kNaN = std::numeric_limits<double>::quiet_NaN();
constexpr double kInf = std::numeric_limits<double>::infinity();

} // namespace

TEST(NumTextReading, AcceptsCommaNumbersWithBlanks) {
    const struct {
        const char *text;
        double value;
    } rows[] = {
        {"1 234,50", 1234.5},
        {" 76,00", 76},
        {"  10 700,00", 10700},
        {"55,605 181", 55.605181},
        {"  -0,004", -0.004},
        {"1,5E3", 1500},
        {"2e-2", 0.02},
        {",5", 0.5},
        {"5,", 5},
        {"+7", 7},
        {"1\u00A0234,5", 1234.5},
        {"\t12,5\u00A0", 12.5},
        {"12 34", 1234},
        {" -5,00", -5},
        {"1e-400", 0},
        {"0,1000000000000000000000000001", 0.1},
        {"1 234 567 890 123 456 789", 1.234567890123456789e18},
        {"-1,7976931348623157e308", -1.7976931348623157e308},
    };
    for (const auto &row : rows) {
        SCOPED_TRACE(row.text);
        EXPECT_EQ(textToDouble(q(row.text)), std::optional<double>(row.value));
    }
}

TEST(NumTextReading, RejectsWhatIsNotANumber) {
    for (const char *text :
         {"",     " ",      "abc",    "1,2,3", "1e400",      "--1",          "1 ,5",
          "1, 5", "12.5",   "1  234", ",",     "-",          "+,",           "e5",
          "1e",   "1,5 E3", "- 5",    "5-",    "1\u2009234", "\u0661\u0662", "0x10",
          "inf",  "12,5 м", "1\n",    "&H10"}) {
        SCOPED_TRACE(text);
        EXPECT_EQ(textToDouble(q(text)), std::nullopt);
    }
}

TEST(NumTextReading, IgnoresTheDefaultLocale) {
    const QLocale saved;
    QLocale::setDefault(QLocale(QLocale::English, QLocale::UnitedStates));
    EXPECT_EQ(textToDouble(q("12,5")), 12.5);
    EXPECT_EQ(textToDouble(q("12.5")), std::nullopt);
    EXPECT_EQ(formatNumber(1234.5, kFieldPattern), q("1 234,50"));
    EXPECT_EQ(plainText(12.5), q("12,5"));
    QLocale::setDefault(saved);
}

TEST(NumTextReading, SingleIsRoundedOnceAndKeepsToFloatRange) {
    EXPECT_EQ(textToSingle(q("0,1")), 0.1f);
    EXPECT_EQ(textToSingle(q("3,4028235e38")), std::numeric_limits<float>::max());
    EXPECT_EQ(textToSingle(q("1e-50")), 0.0f);
    EXPECT_EQ(textToSingle(q("3,5e38")), std::nullopt); // a fine double, too big for a float
    EXPECT_EQ(textToSingle(q("1e400")), std::nullopt);
    EXPECT_EQ(textToSingle(q("12.5")), std::nullopt);
}

TEST(NumTextReading, CoordinatesKeepWithinAThousandMillionKilometres) {
    const struct {
        const char *name;
        const char *text;
        std::optional<double> value;
    } rows[] = {
        {"plain", "452297,1", 452297.1},
        {"the limit", "1000000000000", 1e12},
        {"the negative limit", "-1 000 000 000 000", -1e12},
        {"just past it", "1000000000000,5", std::nullopt},
        {"an exponent past it", "1e15", std::nullopt},
        {"near the double limit", "1e308", std::nullopt},
        {"not a number at all", "abc", std::nullopt},
    };
    for (const auto &r : rows) {
        SCOPED_TRACE(r.name);
        EXPECT_EQ(textToCoordinate(q(r.text)), r.value);
    }
}

TEST(NumTextIntegers, RoundHalvesToEvenThenCheckTheRange) {
    const struct {
        const char *text;
        std::optional<std::int16_t> i16;
        std::optional<std::int32_t> i32;
    } rows[] = {
        {"36,5", 36, 36},
        {"37,5", 38, 38},
        {"-2,5", -2, -2},
        {"0,5", 0, 0},
        {" 3 ", 3, 3},
        {"0,500000000000000000001", 1, 1},
        {"32767,4", 32767, 32767},
        {"32767,5", std::nullopt, 32768},
        {"-32768,5", -32768, -32768},
        {"-32769", std::nullopt, -32769},
        {"2147483647", std::nullopt, 2147483647},
        {"2147483647,5", std::nullopt, std::nullopt},
        {"-2147483648,5", std::nullopt, -2147483647 - 1},
        {"-2147483649", std::nullopt, std::nullopt},
        {"1e19", std::nullopt, std::nullopt},
        {"1e400", std::nullopt, std::nullopt},
        {"", std::nullopt, std::nullopt},
    };
    for (const auto &row : rows) {
        SCOPED_TRACE(row.text);
        EXPECT_EQ(textToInt16(q(row.text)), row.i16);
        EXPECT_EQ(textToInt32(q(row.text)), row.i32);
    }
}

TEST(FixedPoint, ReadsFourDecimalsExactly) {
    constexpr auto kMax = std::numeric_limits<std::int64_t>::max();
    constexpr auto kMin = std::numeric_limits<std::int64_t>::min();
    const struct {
        const char *text;
        std::optional<std::int64_t> scaled;
    } rows[] = {
        {"1,1", 11000},
        {"0,0001", 1},
        {"9,9", 99000},
        {"0,00005", 0},
        {"0,00015", 2},
        {"0,000250", 2},
        {"0,00025000001", 3},
        {"-0,00005", 0},
        {"19 999,99", 199999900},
        {"922337203685477,5807", kMax},
        {"-922337203685477,5808", kMin},
        {"922337203685477,5808", std::nullopt},
        {"1e15", std::nullopt},
        {"abc", std::nullopt},
    };
    for (const auto &row : rows) {
        SCOPED_TRACE(row.text);
        EXPECT_EQ(textToFixed4(q(row.text)), row.scaled);
    }
}

TEST(FixedPoint, WritesShortestTextThatReadsBack) {
    const struct {
        std::int64_t scaled;
        const char *text;
    } rows[] = {
        {11000, "1,1"},
        {10000, "1"},
        {199999900, "19999,99"},
        {-100, "-0,01"},
        {0, "0"},
        {1, "0,0001"},
        {-10000, "-1"},
        {std::numeric_limits<std::int64_t>::min(), "-922337203685477,5808"},
    };
    for (const auto &row : rows) {
        SCOPED_TRACE(row.text);
        EXPECT_EQ(fixed4ToText(row.scaled), q(row.text));
        EXPECT_EQ(textToFixed4(fixed4ToText(row.scaled)), row.scaled);
    }
}

TEST(ColourText, ReadsHexAndSignedOrUnsignedDecimal) {
    const struct {
        const char *text;
        std::optional<std::uint32_t> colour;
    } rows[] = {
        {"&H8000000F", 0x8000000Fu},
        {"&hff", 255u},
        {" &HFFFFFFFF ", 0xFFFFFFFFu},
        {"&H00000000FF", 255u},
        {"-2147483633", 0x8000000Fu},
        {"2147483663", 0x8000000Fu},
        {"255", 255u},
        {"4294967295", 0xFFFFFFFFu},
        {"-2147483648", 0x80000000u},
        {"1,677722E+07", 16777220u},
        {"&H", std::nullopt},
        {"&H100000000", std::nullopt},
        {"&HG1", std::nullopt},
        {"&H 1", std::nullopt},
        {"-&H1", std::nullopt},
        {"4294967296", std::nullopt},
        {"-2147483649", std::nullopt},
        {"abc", std::nullopt},
        {"", std::nullopt},
    };
    for (const auto &row : rows) {
        SCOPED_TRACE(row.text);
        EXPECT_EQ(textToColour(q(row.text)), row.colour);
    }
}

TEST(RoundingHalfEven, JudgesTiesOnTheShortDecimalText) {
    const struct {
        double value;
        int decimals;
        double expected;
    } rows[] = {
        {2.675, 2, 2.68}, {0.125, 2, 0.12}, {19.8969, 2, 19.9},  {20.055, 2, 20.06},
        {1.5, 0, 2},      {2.5, 0, 2},      {-2.5, 0, -2},       {1.005, 2, 1.0},
        {9.995, 2, 10.0}, {0.5, 0, 0},      {0.1 + 0.2, 2, 0.3}, {0.1 + 0.2, 14, 0.3},
        {1250, -2, 1200}, {1350, -2, 1400}, {1e20, 2, 1e20},     {0.1 + 0.2, 15, 0.1 + 0.2},
    };
    for (const auto &row : rows) {
        SCOPED_TRACE(testing::Message() << row.value << " at " << row.decimals);
        EXPECT_EQ(roundHalfEven(row.value, row.decimals), row.expected);
    }
}

TEST(RoundingHalfEven, ZeroHasNoSignAndNonFiniteStays) {
    EXPECT_FALSE(std::signbit(roundHalfEven(-0.004, 2)));
    EXPECT_FALSE(std::signbit(roundHalfEven(-0.0, 2))) << "found by the fuzzer";
    EXPECT_TRUE(std::isnan(roundHalfEven(kNaN, 2)));
    EXPECT_EQ(roundHalfEven(-kInf, 2), -kInf);
}

TEST(PatternFormat, FillsPlacesAndCopiesBlanks) {
    const struct {
        double value;
        QString pattern;
        const char *text;
    } rows[] = {
        {1234.5, kFieldPattern, "1 234,50"},
        {76, kFieldPattern, " 76,00"},
        {1234567, kFieldPattern, "1234 567,00"},
        {0, kFieldPattern, " 0,00"},
        {12.5, kFieldPattern, " 12,50"},
        {999.999, kFieldPattern, "1 000,00"},
        {-5, kFieldPattern, " -5,00"},
        {-1234.5, kFieldPattern, "-1 234,50"},
        {0.004, kFieldPattern, " 0,00"},
        {-0.004, kFieldPattern, " 0,00"},
        {2.675, kFieldPattern, " 2,68"},
        {0.005, kFieldPattern, " 0,00"},
        {1e15, kFieldPattern, "1000000000000 000,00"},
        {10700, kAreaPattern, "  10 700,00"},
        {6, kAreaPattern, "   6,00"},
        {-10700, kAreaPattern, "  -10 700,00"},
        {1234567890123, kAreaPattern, "1234 567 890 123,00"},
        {37.5, kDegreePattern, "37,500 000"},
        {90, kDegreePattern, "90,000 000"},
        {55.605181, kDegreePattern, "55,605 181"},
        {0, kDegreePattern, "0,000 000"},
        {123.4567895, kDegreePattern, "123,456 790"},
        {-0.5, kDegreePattern, "-0,500 000"},
        {2.5, q("0"), "2"},
        {3.5, q("0"), "4"},
        {5, q("00"), "05"},
        {0, q("#"), ""},
        {1.5, q("0.0#"), "1,5"},
        {1.25, q("0.0#"), "1,25"},
        {-0.5, q("#.00"), "-,50"},
    };
    for (const auto &row : rows) {
        SCOPED_TRACE(testing::Message() << row.value << " through " << row.pattern.toStdString());
        EXPECT_EQ(formatNumber(row.value, row.pattern), q(row.text));
    }
    EXPECT_EQ(formatNumber(kNaN, kFieldPattern), QString());
    EXPECT_EQ(formatNumber(kInf, kFieldPattern), QString());
}

TEST(PatternText, LeavesNonNumbersAloneAndReadsItsOwnOutput) {
    for (const char *text : {"", "abc", "1,2,3", "12.5", "1e400", "1 ,5"}) {
        SCOPED_TRACE(text);
        EXPECT_EQ(formatText(q(text), kFieldPattern), q(text));
    }
    EXPECT_EQ(formatText(q("1234,5"), kFieldPattern), q("1 234,50"));
    EXPECT_EQ(formatText(q("2,675"), kFieldPattern), q(" 2,68"));
    // What a field shows must read back as the same number, under every pattern.
    for (const QString &pattern : {kFieldPattern, kAreaPattern, kDegreePattern})
        for (double value : {0.0, -5.0, 76.0, 1234.5, -10700.25, 1234567.0, 55.605181}) {
            const QString once = formatNumber(value, pattern);
            SCOPED_TRACE(once.toStdString());
            EXPECT_EQ(formatText(once, pattern), once);
            EXPECT_EQ(textToDouble(once), roundHalfEven(value, pattern == kDegreePattern ? 6 : 2));
        }
}

TEST(PlainText, ShortestTextWithComma) {
    const struct {
        double value;
        const char *text;
    } rows[] = {
        {20, "20"},
        {12.5, "12,5"},
        {0.1 + 0.2, "0,3"},
        {-0.0, "0"},
        {1234567.89, "1234567,89"},
        {1e15, "1E+15"},
        {1.5e-5, "1,5E-05"},
        {0.0001, "0,0001"},
        {0.00009, "9E-05"},
        {999999999999999, "999999999999999"},
        {123456789012345678.0, "1,23456789012346E+17"},
        {-2.5, "-2,5"},
        {1e-300, "1E-300"},
        {kNaN, ""},
        {kInf, ""},
    };
    for (const auto &row : rows) {
        SCOPED_TRACE(row.text);
        const QString text = plainText(row.value);
        EXPECT_EQ(text, q(row.text));
        if (!std::isfinite(row.value)) continue;
        const auto back = textToDouble(text); // 15 digits: within a few units of the 16th
        ASSERT_TRUE(back.has_value());
        EXPECT_NEAR(*back, row.value, std::fabs(row.value) * 1e-14);
    }
}

TEST(PlainText, SingleKeepsSevenDigits) {
    const struct {
        float value;
        const char *text;
    } rows[] = {
        {1234567.89f, "1234568"},
        {2.5f, "2,5"},
        {0.1f, "0,1"},
        {0.3f, "0,3"},
        {50.f, "50"},
        {-0.0f, "0"},
        {12345678.f, "1,234568E+07"},
        {16777215.f, "1,677722E+07"},
        {1e-5f, "1E-05"},
    };
    for (const auto &row : rows) {
        SCOPED_TRACE(row.text);
        EXPECT_EQ(plainText(row.value), q(row.text));
    }
}
