#include "geographic/conversion.h"

#include <QStringList>

#include <gtest/gtest.h>

#include <cmath>
#include <vector>

namespace tarvel::geographic {
namespace {

QStringList texts(const PlaneCorners &c, bool x) {
    QStringList out;
    for (int i = 1; i <= c.count; ++i)
        out << cornerText(x ? c.x[i] : c.y[i]);
    return out;
}

TEST(GeoConversion, DegreesMinutesSecondsReadWholeDegreesAndRealSeconds) {
    struct Case {
        const char *deg, *min, *sec;
        double expected;
    } cases[] = {
        {"55", "36", "18,00", 55 + 36 / 60.0 + 18 / 3600.0},
        {"37,5", "0", "0", 38},     // halves to the even neighbour
        {"36,5", "0", "0", 36},     //
        {"0", "30,5", "0", 0.5},    // minutes round the same way
        {"", "", "", 0},            // empty fields count as 0
        {"abc", "36", "", 0.6},     // so do unreadable ones
        {"40000", "0", "36", 0.01}, // degrees beyond a 16-bit whole number
        {"0", "0", "1e400", 0},     // seconds that are not finite
        {"1", "0", "55,605 181", 1 + 55.605181 / 3600},
    };
    for (const Case &c : cases)
        EXPECT_DOUBLE_EQ(dmsToDegrees(QString::fromUtf8(c.deg), QString::fromUtf8(c.min),
                                      QString::fromUtf8(c.sec)),
                         c.expected)
            << c.deg << " " << c.min << " " << c.sec;
    EXPECT_DOUBLE_EQ(decimalDegrees(QStringLiteral("55,605 181")), 55.605181);
    EXPECT_EQ(decimalDegrees(QStringLiteral("55.6")), 0);
}

// What the windows check before converting: exactly what the conversion
// can read, so that nothing it would take as 0 slips through.
TEST(GeoConversion, AFieldIsReadableWhenTheConversionCanReadIt) {
    const struct {
        FieldRule rule;
        const char *text;
        bool readable;
    } cases[] = {
        {FieldRule::LonDegrees, "37", true},
        {FieldRule::LonDegrees, "37,5", true}, // read as a whole number
        {FieldRule::LonDegrees, "37.5", false},
        {FieldRule::LatDegrees, "40000", false}, // beyond a 16-bit whole number
        {FieldRule::LatMinutes, "", false},
        {FieldRule::LonMinutes, " 5 ", true},
        {FieldRule::LatSeconds, "1,2,3", false},
        {FieldRule::LonSeconds, "47,08", true},
        {FieldRule::LatDecimal, "55,605 181", true},
        {FieldRule::LonDecimal, "abc", false},
        {FieldRule::LonDecimal, " ", false},
    };
    for (const auto &c : cases)
        EXPECT_EQ(isReadable(c.rule, QString::fromUtf8(c.text)), c.readable)
            << int(c.rule) << " '" << c.text << "'";
}

TEST(GeoConversion, SmallRectangleIsBoundToTheAxes) {
    const auto dms = [](double latSec, double lonSec) {
        return GeoPoint{(55 + 36 / 60.0) + latSec / 3600, (37 + 35 / 60.0) + lonSec / 3600};
    };
    const std::vector<GeoPoint> rows = {dms(18.00, 47.00), dms(18.65, 47.00), dms(18.65, 48.14),
                                        dms(18.00, 48.14)};
    const PlaneCorners c = bindToAxes(rows);
    ASSERT_EQ(c.count, 4);
    EXPECT_EQ(texts(c, true), (QStringList{"0", "0", "19,88", "19,88"}));
    EXPECT_EQ(texts(c, false), (QStringList{"0", "20,06", "20,06", "0"}));

    const std::vector<GeoPoint> decimal = {
        {55.605, 37.596389}, {55.605181, 37.596389}, {55.605181, 37.596706}, {55.605, 37.596706}};
    const PlaneCorners d = bindToAxes(decimal);
    EXPECT_EQ(texts(d, true), (QStringList{"0", "0", "19,9", "19,9"}));
    EXPECT_EQ(texts(d, false), (QStringList{"0", "20,11", "20,11", "0"}));
}

TEST(GeoConversion, EveryRowUsesTheFirstRowsLatitudeForItsScale) {
    const std::vector<GeoPoint> rows = {{60, 10}, {0, 11}, {89, 12}};
    const PlaneCorners c = bindToAxes(rows);
    const double perDegree = kMetresPerDegree * std::cos(60 / kDegreesPerRadian);
    EXPECT_DOUBLE_EQ(c.x[2], (kMetresPerDegree * 11) * std::cos(60 / kDegreesPerRadian) -
                                 (kMetresPerDegree * 10) * std::cos(60 / kDegreesPerRadian));
    EXPECT_NEAR(c.x[3], 2 * perDegree, 1e-6);
    // The smallest Y is row 2's, not row 1's.
    EXPECT_DOUBLE_EQ(c.y[2], 0);
    EXPECT_DOUBLE_EQ(c.y[1], kMetresPerDegree * 60);

    const std::vector<GeoPoint> sameLatitude = {{55.6, 37.1}, {55.6, 37.3}, {55.6, 37.2}};
    const PlaneCorners s = bindToAxes(sameLatitude);
    EXPECT_EQ(texts(s, false), (QStringList{"0", "0", "0"}));
}

TEST(GeoConversion, CountAndUnusableValues) {
    EXPECT_EQ(bindToAxes({}).count, 0);
    const std::vector<GeoPoint> many(25, GeoPoint{55, 37});
    EXPECT_EQ(bindToAxes(many).count, kMaxRows);

    // A longitude whose plane value overflows counts as 0 instead of turning
    // every corner into a non-number.
    const std::vector<GeoPoint> huge = {{0, 10}, {0, 1e306}, {0, 20}};
    const PlaneCorners c = bindToAxes(huge);
    for (int i = 1; i <= 3; ++i)
        EXPECT_TRUE(std::isfinite(c.x[i])) << i;
    EXPECT_DOUBLE_EQ(c.x[2], 0);
    EXPECT_DOUBLE_EQ(c.x[3], kMetresPerDegree * 20);

    EXPECT_EQ(cornerText(20.5), "20,5");
    EXPECT_EQ(cornerText(0), "0");
    EXPECT_EQ(cornerText(20.065), "20,06"); // half to even
}

TEST(GeoConversion, FieldCorrectionOnLeaving) {
    struct Case {
        FieldRule rule;
        const char *typed, *expected;
    } cases[] = {
        {FieldRule::LatDegrees, "95", "90"},
        {FieldRule::LatDegrees, "90", "90"},
        {FieldRule::LatDegrees, "-3", "0"},
        {FieldRule::LatDegrees, "5,5", "5,"},
        {FieldRule::LatDegrees, "055", "05"},
        {FieldRule::LatMinutes, "60", "60"},
        {FieldRule::LatMinutes, "61", "60"},
        {FieldRule::LonDegrees, "181", "180"},
        {FieldRule::LonDegrees, "180", "180"},
        {FieldRule::LonDegrees, "37,5", "37,"},
        {FieldRule::LonMinutes, "-0,5", "0"},
        {FieldRule::LatSeconds, "47", "47,00"},
        {FieldRule::LatSeconds, "47,5", "47,50"},
        {FieldRule::LatSeconds, "47,08", "47,08"},
        {FieldRule::LatSeconds, "47,", "47,"},
        {FieldRule::LatSeconds, "47,123", "47,123"},
        {FieldRule::LatSeconds, "75", "60,00"},
        {FieldRule::LonSeconds, "-1", "0,00"},
        {FieldRule::LonSeconds, "60,01", "60,00"},
        {FieldRule::LatDecimal, "37,5", "37,500 000"},
        {FieldRule::LatDecimal, "95", "90,000 000"},
        {FieldRule::LatDecimal, "55,605 181", "55,605 181"},
        {FieldRule::LatDecimal, "-1", "0,000 000"},
        // More than six decimals are kept as typed: the seventh is about a centimetre.
        {FieldRule::LatDecimal, "55,6051814", "55,6051814"},
        {FieldRule::LonDecimal, "37,123 456 789", "37,123 456 789"},
        {FieldRule::LatDecimal, "95,1234567", "90,000 000"},
        {FieldRule::LonDecimal, "200", "180,000 000"},
        {FieldRule::LonDecimal, "95", "95,000 000"},
        {FieldRule::LonDecimal, "0,123456", "0,123 456"},
        {FieldRule::LonDecimal, "0,1234565", "0,1234565"}, // seven decimals: as typed
        // Empty and non-numeric texts are left as typed.
        {FieldRule::LatDegrees, "", ""},
        {FieldRule::LatDegrees, "abc", "abc"},
        {FieldRule::LatSeconds, "1.5", "1.5"},
        {FieldRule::LonSeconds, "x", "x"},
        {FieldRule::LatDecimal, "north", "north"},
    };
    for (const Case &c : cases)
        EXPECT_EQ(correctedFieldText(c.rule, QString::fromUtf8(c.typed)),
                  QString::fromUtf8(c.expected))
            << "rule " << int(c.rule) << " typed " << c.typed;
}

TEST(GeoConversion, TwoDecimalSecondsForm) {
    const std::pair<const char *, const char *> cases[] = {
        {"", ""},        {"7", "7,00"},    {",5", ",5"},           {"5,", "5,"},
        {"5,1", "5,10"}, {"0,00", "0,00"}, {"12,3456", "12,3456"},
    };
    for (const auto &[in, out] : cases)
        EXPECT_EQ(twoDecimalSeconds(QString::fromUtf8(in)), QString::fromUtf8(out)) << in;
}

} // namespace
} // namespace tarvel::geographic
