// The surveyor's sheet against figures worked out by hand: one named row per
// polygon, each with its sides, direction angles, interior angles and totals.
#include "geometry/polygon_commands.h"
#include "geometry/polygon_states.h"
#include "geometry/survey_sheet.h"

#include "support/qstring_print.h"

#include <gtest/gtest.h>

#include <QRegularExpression>

#include <algorithm>
#include <functional>
#include <optional>
#include <ostream>
#include <vector>

namespace tarvel::geometry {
namespace {

PolygonState polygon(Corners corners, Unit unit = Unit::Metres) {
    PolygonState s = polygonOf(corners, "abc");
    s.unit = unit;
    return s;
}

struct Row {
    const char *name;
    PolygonState state;
    double areaM2;
    double perimeterM;
    std::vector<double> sidesM;
    std::vector<const char *> directions;
    std::vector<const char *> interiors;
    std::optional<double> misclosureSec; // nothing: some angle undefined
    bool northIsX = true;                // the rows above 'Y north' are drawn north up
};

void PrintTo(const Row &r, std::ostream *os) {
    *os << r.name;
}

// atan(3/4) = 36,869897646° = 36° 52′ 11,63″; its complement 53° 07′ 48,37″.
const Row kRows[] = {
    {"RightTriangle345Anticlockwise",
     polygon({{"0", "0"}, {"4", "0"}, {"0", "3"}}),
     6,
     12,
     {4, 5, 3},
     {"0° 00′ 00″", "143° 07′ 48″", "270° 00′ 00″"},
     {"90° 00′ 00″", "36° 52′ 12″", "53° 07′ 48″"},
     0},
    {"RightTriangle345Clockwise",
     polygon({{"0", "0"}, {"0", "3"}, {"4", "0"}}),
     6,
     12,
     {3, 5, 4},
     {"90° 00′ 00″", "323° 07′ 48″", "180° 00′ 00″"},
     {"90° 00′ 00″", "53° 07′ 48″", "36° 52′ 12″"},
     0},
    {"RightTriangleAtSurveyCoordinatesKeepsItsAngles",
     polygon({{"6 123 456,00", "2 345 678,00"},
              {"6 123 460,00", "2 345 678,00"},
              {"6 123 456,00", "2 345 681,00"}}),
     6,
     12,
     {4, 5, 3},
     {"0° 00′ 00″", "143° 07′ 48″", "270° 00′ 00″"},
     {"90° 00′ 00″", "36° 52′ 12″", "53° 07′ 48″"},
     0},
    {"SquareOfOneHectare",
     polygon({{"0", "0"}, {"100", "0"}, {"100", "100"}, {"0", "100"}}),
     10000,
     400,
     {100, 100, 100, 100},
     {"0° 00′ 00″", "90° 00′ 00″", "180° 00′ 00″", "270° 00′ 00″"},
     {"90° 00′ 00″", "90° 00′ 00″", "90° 00′ 00″", "90° 00′ 00″"},
     0},
    {"SquareInKilometresIsMeasuredInMetres",
     polygon({{"0", "0"}, {"0,1", "0"}, {"0,1", "0,1"}, {"0", "0,1"}}, Unit::Kilometres),
     10000,
     400,
     {100, 100, 100, 100},
     {"0° 00′ 00″", "90° 00′ 00″", "180° 00′ 00″", "270° 00′ 00″"},
     {"90° 00′ 00″", "90° 00′ 00″", "90° 00′ 00″", "90° 00′ 00″"},
     0},
    {"LShapeAnticlockwiseReadsItsReflexCornerAbove180",
     polygon({{"0", "0"}, {"20", "0"}, {"20", "10"}, {"10", "10"}, {"10", "20"}, {"0", "20"}}),
     300,
     80,
     {20, 10, 10, 10, 10, 20},
     {"0° 00′ 00″", "90° 00′ 00″", "180° 00′ 00″", "90° 00′ 00″", "180° 00′ 00″", "270° 00′ 00″"},
     {"90° 00′ 00″", "90° 00′ 00″", "90° 00′ 00″", "270° 00′ 00″", "90° 00′ 00″", "90° 00′ 00″"},
     0},
    {"LShapeClockwiseReadsItsReflexCornerAbove180",
     polygon({{"0", "0"}, {"0", "20"}, {"10", "20"}, {"10", "10"}, {"20", "10"}, {"20", "0"}}),
     300,
     80,
     {20, 10, 10, 10, 10, 20},
     {"90° 00′ 00″", "0° 00′ 00″", "270° 00′ 00″", "0° 00′ 00″", "270° 00′ 00″", "180° 00′ 00″"},
     {"90° 00′ 00″", "90° 00′ 00″", "90° 00′ 00″", "270° 00′ 00″", "90° 00′ 00″", "90° 00′ 00″"},
     0},
    // The first side dips a millionth below the X axis: 359,99999994°.
    {"DirectionJustBelow360ReadsZeroNot360",
     polygon({{"0", "0"}, {"1000", "-0,000001"}, {"1000", "1000"}}),
     500000,
     1000 + 1000 + 1414.2135623730951,
     {1000, 1000, 1414.2135623730951},
     {"0° 00′ 00″", "90° 00′ 00″", "225° 00′ 00″"},
     {"45° 00′ 00″", "90° 00′ 00″", "45° 00′ 00″"},
     0},
    // Up to (10; 15) and straight back down: the tip is 0°, and the corner
    // below it takes the rest, so the sum still closes.
    {"SpikeTipReadsZeroNot360",
     polygon({{"0", "0"}, {"10", "0"}, {"10", "15"}, {"10", "10"}, {"0", "10"}}),
     100,
     50,
     {10, 15, 5, 10, 10},
     {"0° 00′ 00″", "90° 00′ 00″", "270° 00′ 00″", "180° 00′ 00″", "270° 00′ 00″"},
     {"90° 00′ 00″", "90° 00′ 00″", "0° 00′ 00″", "270° 00′ 00″", "90° 00′ 00″"},
     0},
    // Drawn as the program draws by default, Y upward: Y is north, and the
    // direction angle runs from +Y toward +X. The east side is 90°, the
    // north side 0°; (4; 0) to (0; 3) heads 53° 07′ 48″ west of north.
    {"YNorthSquareReadsZeroForItsNorthSide",
     polygon({{"0", "0"}, {"100", "0"}, {"100", "100"}, {"0", "100"}}),
     10000,
     400,
     {100, 100, 100, 100},
     {"90° 00′ 00″", "0° 00′ 00″", "270° 00′ 00″", "180° 00′ 00″"},
     {"90° 00′ 00″", "90° 00′ 00″", "90° 00′ 00″", "90° 00′ 00″"},
     0,
     false},
    {"YNorthTriangle345",
     polygon({{"0", "0"}, {"4", "0"}, {"0", "3"}}),
     6,
     12,
     {4, 5, 3},
     {"90° 00′ 00″", "306° 52′ 12″", "180° 00′ 00″"},
     {"90° 00′ 00″", "36° 52′ 12″", "53° 07′ 48″"},
     0,
     false},
    {"ZeroSideLeavesItsDirectionAndAnglesUndefined",
     polygon({{"0", "0"}, {"0", "0"}, {"4", "0"}, {"0", "3"}}),
     6,
     12,
     {0, 4, 5, 3},
     {"—", "0° 00′ 00″", "143° 07′ 48″", "270° 00′ 00″"},
     {"—", "—", "36° 52′ 12″", "53° 07′ 48″"},
     std::nullopt},
};

class SurveySheetRows : public ::testing::TestWithParam<Row> {};

TEST_P(SurveySheetRows, MatchesTheFiguresWorkedOutByHand) {
    const Row &r = GetParam();
    SheetInput in;
    in.polygon = r.state;
    in.northIsX = r.northIsX;
    const SurveySheet s = computeSurveySheet(in);
    EXPECT_NEAR(s.areaM2, r.areaM2, 1e-3);
    EXPECT_NEAR(s.hectares, r.areaM2 / 10000, 1e-7);
    EXPECT_NEAR(s.sotki, r.areaM2 / 100, 1e-5);
    EXPECT_NEAR(s.perimeterM, r.perimeterM, 1e-5);
    ASSERT_EQ(s.rows.size(), r.sidesM.size());
    for (std::size_t i = 0; i < s.rows.size(); ++i) {
        SCOPED_TRACE(testing::Message() << "corner " << i + 1);
        const QStringList cells = sheetRowCells(s.rows[i]);
        EXPECT_EQ(s.rows[i].corner, int(i + 1));
        EXPECT_NEAR(s.rows[i].sideM, r.sidesM[i], 1e-5);
        EXPECT_EQ(cells[4], QString::fromUtf8(r.directions[i]));
        EXPECT_EQ(cells[5], QString::fromUtf8(r.interiors[i]));
    }
    EXPECT_EQ(s.angleSumExpectedDeg, 180.0 * double(r.sidesM.size() - 2));
    EXPECT_EQ(s.angleMisclosureSec, r.misclosureSec);
}

INSTANTIATE_TEST_SUITE_P(Polygons, SurveySheetRows, ::testing::ValuesIn(kRows),
                         [](const auto &info) { return std::string(info.param.name); });

// ---- the tolerance ΔP = 3,5 · Mt · √P, rounded to 1 m²

struct ToleranceRow {
    const char *name;
    std::optional<double> mt;
    std::optional<double> expected;
};

class ToleranceRows : public ::testing::TestWithParam<ToleranceRow> {};

TEST_P(ToleranceRows, OnTheHectareSquare) {
    const ToleranceRow &r = GetParam();
    SheetInput in;
    in.polygon = polygon({{"0", "0"}, {"100", "0"}, {"100", "100"}, {"0", "100"}});
    in.mt = r.mt;
    EXPECT_EQ(computeSurveySheet(in).toleranceM2, r.expected);
}

const ToleranceRow kTolerances[] = {
    {"SettlementLand", 0.10, 35}, // 3,5 · 0,1 · 100
    {"Gardens", 0.20, 70},
    {"Forest", 5.00, 1750},
    {"TypedRoundsToWhole", 0.123, 43}, // 43,05
    {"ZeroMtGivesNone", 0.0, std::nullopt},
    {"NegativeMtGivesNone", -1.0, std::nullopt},
    {"NoMtGivesNone", std::nullopt, std::nullopt},
};

INSTANTIATE_TEST_SUITE_P(Mt, ToleranceRows, ::testing::ValuesIn(kTolerances),
                         [](const auto &info) { return std::string(info.param.name); });

TEST(SurveySheet, ToleranceOfAnAreaThatIsNotASquareNumber) {
    // P = 300 m², Mt 0,2: 3,5 · 0,2 · 17,3205 = 12,12 -> 12.
    SheetInput in;
    in.polygon =
        polygon({{"0", "0"}, {"20", "0"}, {"20", "10"}, {"10", "10"}, {"10", "20"}, {"0", "20"}});
    in.mt = 0.2;
    EXPECT_EQ(computeSurveySheet(in).toleranceM2, 12.0);
}

TEST(SurveySheet, LandCategoriesCarryTheirMt) {
    const auto &c = landCategories();
    EXPECT_EQ(c[0].name, QStringLiteral("земли населённых пунктов"));
    const double mt[] = {0.10, 0.20, 2.50, 0.50, 2.50, 5.00};
    for (std::size_t i = 0; i < c.size(); ++i)
        EXPECT_EQ(c[i].mt, mt[i]) << c[i].name.toStdString();
}

// ---- the texts

TEST(SurveySheet, DegreesText) {
    const struct {
        double degrees;
        const char *text;
    } rows[] = {{0, "0° 00′ 00″"},
                {45.125, "45° 07′ 30″"},
                {359.9999999, "360° 00′ 00″"},
                {143.13010235415598, "143° 07′ 48″"},
                {-0.5, "-0° 30′ 00″"},
                {270, "270° 00′ 00″"}};
    for (const auto &r : rows) {
        SCOPED_TRACE(r.text);
        EXPECT_EQ(degreesText(r.degrees), QString::fromUtf8(r.text));
    }
}

TEST(SurveySheet, TotalsOfTheHectareSquareWithTheEllipsoid) {
    SheetInput in;
    in.polygon = polygon({{"0", "0"}, {"100", "0"}, {"100", "100"}, {"0", "100"}});
    in.mt = 0.10;
    in.category = landCategories()[0].name;
    in.ellipsoidAreaM2 = 10045;
    const QStringList lines = sheetTotalLines(computeSurveySheet(in));
    const QStringList expected = {
        QStringLiteral("Площадь: 10 000 м² (10 000,00 м²)"),
        QStringLiteral("Гектары: 1,0000 га"),
        QStringLiteral("Сотки: 100,00 сот."),
        QStringLiteral("Периметр: 400,00 м"),
        QStringLiteral("± ΔP: 35 м² (P = 10 000 ± 35 м²; Mt = 0,10 м, земли населённых пунктов)"),
        QStringLiteral("Сумма углов: 360° 00′ 00″, теоретическая 180° · (n − 2) = 360° 00′ 00″, "
                       "невязка 0″"),
        QStringLiteral("Дирекционные углы: от оси Y (север), по часовой стрелке"),
        QStringLiteral("Площадь на эллипсоиде WGS 84: 10 045 м² (+0,45 % к площади на плоскости)"),
    };
    EXPECT_EQ(lines, expected);
}

// Survey coordinates and a plot of square kilometres keep every digit group
// on screen ("6 123 456,00", not "6123 456,00").
TEST(SurveySheet, ScreenTextsGroupEveryDigit) {
    SheetInput in;
    in.polygon = polygon(
        {{"6 123 456", "2 345 678"}, {"6 123 460", "2 345 678"}, {"6 123 456", "2 345 681"}},
        Unit::Kilometres);
    const SurveySheet s = computeSurveySheet(in);
    const QStringList cells = sheetRowCells(s.rows[0]);
    EXPECT_EQ(cells[1], QStringLiteral("6 123 456,00"));
    EXPECT_EQ(cells[2], QStringLiteral("2 345 678,00"));
    EXPECT_EQ(cells[3], QStringLiteral("4 000,00"));
    EXPECT_EQ(sheetTotalLines(s).first(),
              QStringLiteral("Площадь: 6 000 000 м² (6 000 000,00 м²)"));
}

TEST(SurveySheet, NoEllipsoidLineWithoutItsArea) {
    SheetInput in;
    in.polygon = polygon({{"0", "0"}, {"4", "0"}, {"0", "3"}});
    for (const QString &l : sheetTotalLines(computeSurveySheet(in)))
        EXPECT_FALSE(l.contains(QStringLiteral("эллипсоид"))) << l.toStdString();
}

TEST(SurveySheet, WarningsOfTheOutlineAreCarried) {
    SheetInput in;
    in.polygon = polygon({{"0", "0"}, {"40", "0"}, {"0", "30"}, {"40", "30"}});
    EXPECT_EQ(computeSurveySheet(in).warnings,
              QStringList{QStringLiteral("Контур пересекает сам себя (20; 15)")});
    in.polygon = polygon({{"0", "0"}, {"x", "0"}, {"0", "30"}});
    EXPECT_EQ(computeSurveySheet(in).warnings,
              QStringList{QStringLiteral("В поле с координатами не число! X2")});
}

TEST(SurveySheet, TheTotalsNameTheNorthAxisOfTheDirections) {
    const struct {
        const char *name;
        bool northIsX;
        const char *line;
    } rows[] = {
        {"X north", true, "Дирекционные углы: от оси X (север), по часовой стрелке"},
        {"Y north", false, "Дирекционные углы: от оси Y (север), по часовой стрелке"},
    };
    for (const auto &r : rows) {
        SCOPED_TRACE(r.name);
        SheetInput in;
        in.polygon = polygon({{"0", "0"}, {"4", "0"}, {"0", "3"}});
        in.northIsX = r.northIsX;
        EXPECT_TRUE(sheetTotalLines(computeSurveySheet(in), false)
                        .contains(QString::fromUtf8(r.line)));
    }
}

TEST(SurveySheet, TabSeparatedTextPastesAsATable) {
    SheetInput in;
    in.polygon = polygon({{"1 000,5", "0"}, {"1 004,5", "0"}, {"1 000,5", "3"}});
    in.polygon.texts.owner = QStringLiteral("Иванов И. И.");
    in.mt = 0.10;
    in.category = landCategories()[0].name;
    in.northIsX = true;
    const QString tsv = sheetTsv(computeSurveySheet(in));
    const QString expected =
        QStringLiteral("Ведомость участка\n"
                       "Иванов И. И.\n"
                       "\n"
                       "№ угла\tX, м\tY, м\tДлина стороны, м\tДирекционный угол\tВнутренний угол\n"
                       "1\t1000,50\t0,00\t4,00\t0° 00′ 00″\t90° 00′ 00″\n"
                       "2\t1004,50\t0,00\t5,00\t143° 07′ 48″\t36° 52′ 12″\n"
                       "3\t1000,50\t3,00\t3,00\t270° 00′ 00″\t53° 07′ 48″\n"
                       "\n"
                       "Площадь, м²\t6\t6,00\n"
                       "Площадь, га\t0,0006\n"
                       "Площадь, сотки\t0,06\n"
                       "Периметр, м\t12,00\n"
                       "± ΔP, м²\t1\tMt, м\t0,10\tземли населённых пунктов\n"
                       "Сумма углов\t180° 00′ 00″\t180° 00′ 00″\t0″\n"
                       "Дирекционные углы\tот оси X (север), по часовой стрелке\n");
    EXPECT_EQ(tsv, expected);
}

TEST(SurveySheet, CoordinatesKeepTheirDecimalsTwoAtLeast) {
    const struct {
        const char *name;
        const char *x;
        const char *shown; // on screen, with digit groups
        const char *copied; // for a spreadsheet
    } rows[] = {
        {"one decimal", "452297,1", "452 297,10", "452297,10"},
        {"none", "452297", "452 297,00", "452297,00"},
        {"three", "452297,125", "452 297,125", "452297,125"},
        {"four", "0,0625", "0,0625", "0,0625"},
        {"five, rounded to four", "1,03125", "1,0312", "1,0312"},
    };
    for (const auto &r : rows) {
        SCOPED_TRACE(r.name);
        SheetInput in;
        in.polygon = polygon({{r.x, "0"}, {"500000", "0"}, {"500000", "3"}});
        const SurveySheet s = computeSurveySheet(in);
        EXPECT_EQ(sheetRowCells(s.rows[0])[1], QString::fromUtf8(r.shown));
        EXPECT_TRUE(sheetTsv(s).contains(QStringLiteral("\n1\t") + QString::fromUtf8(r.copied) +
                                         QStringLiteral("\t0,00\t")));
    }
}

TEST(SurveySheet, TheOwnerPromptIsNoOwner) {
    SheetInput in;
    in.polygon = polygon({{"0", "0"}, {"4", "0"}, {"0", "3"}});
    in.polygon.texts.owner = defaultPolygon().owner;
    const SurveySheet s = computeSurveySheet(in);
    EXPECT_TRUE(s.owner.isEmpty());
    EXPECT_TRUE(sheetTsv(s).startsWith(QStringLiteral("Ведомость участка\n\n№ угла")));
    EXPECT_FALSE(sheetHtml(s).contains(defaultPolygon().owner.toHtmlEscaped()));
}

TEST(SurveySheet, HtmlEscapesTheOwnerText) {
    SheetInput in;
    in.polygon = polygon({{"0", "0"}, {"4", "0"}, {"0", "3"}});
    in.polygon.texts.owner = QStringLiteral("<b>Петров & сын</b>");
    const QString html = sheetHtml(computeSurveySheet(in));
    EXPECT_TRUE(html.contains(QStringLiteral("&lt;b&gt;Петров &amp; сын&lt;/b&gt;")));
    EXPECT_FALSE(html.contains(QStringLiteral("<b>")));
    // Y north: (4; 0) to (0; 3) heads 53° 07′ 48″ west of north.
    EXPECT_TRUE(html.contains(QStringLiteral("<td>306° 52′ 12″</td>")));
}

// The registry's word beside the computed area: a 30 x 20 rectangle
// (600 m²) against registered areas within and beyond their tolerance, and
// a plot of two contours whose area is the plot's.
TEST(SurveySheet, TheRegisteredAreaIsCheckedAgainstTheComputedOne) {
    const struct {
        const char *name;
        std::optional<double> registered, tolerance, plotArea;
        int contours;
        QStringList expected; // the totals lines about the plot
    } rows[] = {
        {"no word of the registry", {}, {}, {}, 1, {}},
        {"within the tolerance", 609, 9, {}, 1,
         {"Площадь по сведениям ЕГРН: 609 ± 9 м²; вычисленная: 600 м², в пределах погрешности",
          "Система координат: МСК-26, зона 1"}},
        {"beyond it", 1312, 390, {}, 1,
         {"Площадь по сведениям ЕГРН: 1 312 ± 390 м²; вычисленная: 600 м², расхождение 712 м² "
          "больше погрешности",
          "Система координат: МСК-26, зона 1"}},
        {"the plot of two contours", 1986, 390, 1986.4, 2,
         {"Площадь участка (контуров: 2): 1 986 м² (1 986,40 м²)",
          "Площадь по сведениям ЕГРН: 1 986 ± 390 м²; вычисленная: 1 986 м², в пределах "
          "погрешности",
          "Система координат: МСК-26, зона 1"}},
    };
    for (const auto &r : rows) {
        SCOPED_TRACE(r.name);
        SheetInput in;
        in.polygon = polygon({{"0", "0"}, {"30", "0"}, {"30", "20"}, {"0", "20"}});
        in.contours = r.contours;
        in.plotAreaM2 = r.plotArea;
        in.info.registeredArea = r.registered;
        in.info.areaTolerance = r.tolerance;
        if (r.registered) in.info.coordinateSystem = QStringLiteral("МСК-26, зона 1");
        const QStringList lines = sheetTotalLines(computeSurveySheet(in), true);
        QStringList aboutThePlot;
        for (const QString &l : lines)
            if (l.startsWith(QStringLiteral("Площадь участка")) ||
                l.startsWith(QStringLiteral("Площадь по сведениям")) ||
                l.startsWith(QStringLiteral("Система координат")))
                aboutThePlot << l;
        EXPECT_EQ(aboutThePlot, r.expected);
    }
}

} // namespace
} // namespace tarvel::geometry

namespace tarvel::geometry {
namespace {

// A plot of three contours, the second edited: a 30 x 20 rectangle, a
// 3-4-5 triangle (6 m²) cut out of it as a hole, and a separate 10 x 10
// square. Each contour gets its own table and area, in the plot's order.
TEST(SurveySheet, EveryContourOfAPlotHasItsTableAndArea) {
    const PolygonState rect = polygon({{"0", "0"}, {"30", "0"}, {"30", "20"}, {"0", "20"}});
    const PolygonState hole = polygon({{"1", "1"}, {"5", "1"}, {"1", "4"}});
    const PolygonState square = polygon({{"100", "0"}, {"110", "0"}, {"110", "10"}, {"100", "10"}});
    const auto contourOf = [](const PolygonState &s, bool isHole) {
        ContourTexts c;
        c.count = s.texts.count;
        c.x = s.texts.x;
        c.y = s.texts.y;
        c.hole = isHole;
        return c;
    };
    SheetInput in;
    in.polygon = polygon({{"1", "1"}, {"5", "1"}, {"1", "4"}});
    in.polygon.texts = plotOf({contourOf(rect, false), contourOf(hole, true), contourOf(square, false)},
                              QStringLiteral("Участок"), 1);
    in.contours = 3;
    in.plotAreaM2 = 694;
    const SurveySheet s = computeSurveySheet(in);

    const struct {
        const char *name;
        bool hole, edited;
        std::size_t rows;
        double area, perimeter;
    } expected[] = {
        {"the rectangle", false, false, 4, 600, 100},
        {"the hole, edited", true, true, 3, 6, 12},
        {"the square", false, false, 4, 100, 40},
    };
    ASSERT_EQ(s.parts.size(), 3u);
    for (std::size_t k = 0; k < 3; ++k) {
        SCOPED_TRACE(expected[k].name);
        EXPECT_EQ(s.parts[k].number, int(k) + 1);
        EXPECT_EQ(s.parts[k].hole, expected[k].hole);
        EXPECT_EQ(s.parts[k].edited, expected[k].edited);
        EXPECT_EQ(s.parts[k].rows.size(), expected[k].rows);
        EXPECT_DOUBLE_EQ(s.parts[k].areaM2, expected[k].area);
        EXPECT_DOUBLE_EQ(s.parts[k].perimeterM, expected[k].perimeter);
    }

    // The table as shown: per contour a heading, its corners, its area.
    const struct {
        int line;
        SheetTableLine::Kind kind;
        const char *first;
    } lines[] = {
        {0, SheetTableLine::Kind::Heading, "Контур 1 из 3"},
        {1, SheetTableLine::Kind::Corner, "1"},
        {5, SheetTableLine::Kind::Area, "Площадь контура: 600 м² (600,00 м²), периметр 100,00 м"},
        {6, SheetTableLine::Kind::Heading, "Контур 2 из 3 (дырка)"},
        {10, SheetTableLine::Kind::Area, "Площадь дырки: 6 м² (6,00 м²), периметр 12,00 м"},
        {11, SheetTableLine::Kind::Heading, "Контур 3 из 3"},
        {13, SheetTableLine::Kind::Corner, "2"},
        {16, SheetTableLine::Kind::Area, "Площадь контура: 100 м² (100,00 м²), периметр 40,00 м"},
    };
    EXPECT_EQ(sheetTableLineCount(s), 17);
    for (const auto &l : lines) {
        SCOPED_TRACE(l.line);
        const SheetTableLine got = sheetTableLine(s, l.line);
        EXPECT_EQ(got.kind, l.kind);
        EXPECT_EQ(got.cells.value(0).toStdString(), std::string(l.first));
    }
    EXPECT_EQ(sheetTableLine(s, 13).cells.value(1).toStdString(), "110,00");

    // Copied, each contour is a table of its own under its heading.
    const QString tsv = sheetTsv(s);
    EXPECT_TRUE(tsv.contains(QStringLiteral("Контур 2 из 3 (дырка)\n№ угла\t")));
    EXPECT_TRUE(tsv.contains(QStringLiteral("Площадь дырки, м²\t6\t6,00\tПериметр, м\t12,00\n")));
    EXPECT_TRUE(tsv.contains(QStringLiteral("Площадь участка, м²\t694\t694,00\n")));
    EXPECT_EQ(tsv.count(QStringLiteral("№ угла\t")), 3);
}

} // namespace
} // namespace tarvel::geometry

namespace tarvel::geometry {
namespace {

// ---- the document to save

// The document read back with patterns of its own, not with the code that
// wrote it: each <table> as its rows of cell texts; the headings and the
// paragraphs outside the tables.
struct DocumentParts {
    std::vector<std::vector<QStringList>> tables;
    QStringList h1, h2, paragraphs;
};

DocumentParts partsOf(QString html) {
    const auto matches = [](const QString &text, const QString &pattern) {
        QStringList found;
        const QRegularExpression re(pattern, QRegularExpression::DotMatchesEverythingOption);
        for (const auto &m : re.globalMatch(text))
            found << m.captured(1);
        return found;
    };
    const QString table = QStringLiteral("<table[^>]*>(.*?)</table>");
    DocumentParts d;
    for (const QString &t : matches(html, table)) {
        d.tables.emplace_back();
        for (const QString &row : matches(t, QStringLiteral("<tr>(.*?)</tr>")))
            d.tables.back().push_back(matches(row, QStringLiteral("<t[dh][^>]*>(.*?)</t[dh]>")));
    }
    html.remove(QRegularExpression(table, QRegularExpression::DotMatchesEverythingOption));
    d.h1 = matches(html, QStringLiteral("<h1>(.*?)</h1>"));
    d.h2 = matches(html, QStringLiteral("<h2>(.*?)</h2>"));
    d.paragraphs = matches(html, QStringLiteral("<p[^>]*>(.*?)</p>"));
    return d;
}

ContourTexts contourOf(const PolygonState &s, bool hole) {
    return {s.texts.count, s.texts.x, s.texts.y, hole, {}};
}

// A 30 x 20 rectangle at (10 000; 20 000), Y north: the sides run east
// (90°), north (0°), west (270°) and south (180°); 600 m², 100 m round,
// ΔP = 3,5 · 0,1 · √600 = 8,57 -> 9 m². Inside it, as a hole, the 3-4-5
// triangle at (10 001; 20 001): east 4 m (90°), back north-west 5 m
// (360° − atan(4/3) = 306° 52′ 12″), south 3 m (180°); 6 m².
const PolygonState kRectangle = polygon(
    {{"10 000", "20 000"}, {"10 030", "20 000"}, {"10 030", "20 020"}, {"10 000", "20 020"}});
const PolygonState kHole =
    polygon({{"10 001", "20 001"}, {"10 005", "20 001"}, {"10 001", "20 004"}});
const QStringList kHeads = {
    "№ угла", "X, м", "Y, м", "Длина стороны, м", "Дирекционный угол", "Внутренний угол"};
const std::vector<QStringList> kRectangleTable = {
    kHeads,
    {"1", "10 000,00", "20 000,00", "30,00", "90° 00′ 00″", "90° 00′ 00″"},
    {"2", "10 030,00", "20 000,00", "20,00", "0° 00′ 00″", "90° 00′ 00″"},
    {"3", "10 030,00", "20 020,00", "30,00", "270° 00′ 00″", "90° 00′ 00″"},
    {"4", "10 000,00", "20 020,00", "20,00", "180° 00′ 00″", "90° 00′ 00″"},
};
const std::vector<QStringList> kHoleTable = {
    kHeads,
    {"1", "10 001,00", "20 001,00", "4,00", "90° 00′ 00″", "90° 00′ 00″"},
    {"2", "10 005,00", "20 001,00", "5,00", "306° 52′ 12″", "36° 52′ 12″"},
    {"3", "10 001,00", "20 004,00", "3,00", "180° 00′ 00″", "53° 07′ 48″"},
};

struct DocumentRow {
    const char *name;
    std::function<SheetInput()> input;
    QStringList h2;
    std::vector<std::vector<QStringList>> cornerTables;
    std::vector<QStringList> totalsHeld; // rows the totals' table holds
    QStringList paragraphs;              // the owner, the contours' areas, the warnings
};

void PrintTo(const DocumentRow &r, std::ostream *os) {
    *os << r.name;
}

const DocumentRow kDocuments[] = {
    {"RectangleWithAnOwnerToEscape",
     [] {
         SheetInput in;
         in.polygon = kRectangle;
         in.polygon.texts.owner = QStringLiteral("<b>Петров & сын</b>");
         return in;
     },
     {},
     {kRectangleTable},
     {{"Площадь", "600 м² (600,00 м²)"},
      {"Гектары", "0,0600 га"},
      {"Сотки", "6,00 сот."},
      {"Периметр", "100,00 м"},
      {"± ΔP", "9 м² (P = 600 ± 9 м²; Mt = 0,10 м)"}},
     {"&lt;b&gt;Петров &amp; сын&lt;/b&gt;"}},
    {"PlotOfARectangleAndItsHole",
     [] {
         SheetInput in;
         in.polygon = kRectangle;
         in.polygon.texts = plotOf({contourOf(kRectangle, false), contourOf(kHole, true)},
                                   QStringLiteral("Участок 7"), 0);
         in.contours = 2;
         in.plotAreaM2 = 594;
         return in;
     },
     {"Контур 1 из 2", "Контур 2 из 2 (дырка)"},
     {kRectangleTable, kHoleTable},
     {{"Площадь", "600 м² (600,00 м²)"}, {"Площадь участка (контуров: 2)", "594 м² (594,00 м²)"}},
     {"Участок 7", "Площадь контура: 600 м² (600,00 м²), периметр 100,00 м",
      "Площадь дырки: 6 м² (6,00 м²), периметр 12,00 м"}},
    // The sides 1-2 and 3-4 cross at (20; 15); the warning follows the
    // totals, apart from them.
    {"CrossedOutlineHasItsWarningLast",
     [] {
         SheetInput in;
         in.polygon = polygon({{"0", "0"}, {"40", "0"}, {"0", "30"}, {"40", "30"}});
         return in;
     },
     {},
     {{kHeads,
       {"1", "0,00", "0,00", "40,00", "90° 00′ 00″", "36° 52′ 12″"},
       {"2", "40,00", "0,00", "50,00", "306° 52′ 12″", "36° 52′ 12″"},
       {"3", "0,00", "30,00", "40,00", "90° 00′ 00″", "323° 07′ 48″"},
       {"4", "40,00", "30,00", "50,00", "233° 07′ 48″", "323° 07′ 48″"}}},
     {{"Периметр", "180,00 м"}},
     {"Предупреждение: Контур пересекает сам себя (20; 15)"}},
};

class SheetDocumentRows : public ::testing::TestWithParam<DocumentRow> {};

TEST_P(SheetDocumentRows, HoldsHeadingsTablesAndTotals) {
    const DocumentRow &r = GetParam();
    const QString html = sheetDocumentHtml(computeSurveySheet(r.input()));
    const DocumentParts d = partsOf(html);
    EXPECT_EQ(d.h1, QStringList{QStringLiteral("Ведомость участка")});
    EXPECT_EQ(d.h2, r.h2);
    // A table per contour, then the totals, two cells a line.
    ASSERT_EQ(d.tables.size(), r.cornerTables.size() + 1);
    for (std::size_t k = 0; k < r.cornerTables.size(); ++k)
        EXPECT_EQ(d.tables[k], r.cornerTables[k]) << "table " << k + 1;
    const std::vector<QStringList> &totals = d.tables.back();
    for (const QStringList &held : r.totalsHeld)
        EXPECT_NE(std::find(totals.begin(), totals.end(), held), totals.end())
            << held.join('|').toStdString();
    for (const QStringList &t : totals)
        EXPECT_EQ(t.size(), 2) << t.join('|').toStdString();
    EXPECT_EQ(d.paragraphs, r.paragraphs);
    EXPECT_FALSE(html.contains(QStringLiteral("<b>")));
}

INSTANTIATE_TEST_SUITE_P(Sheets, SheetDocumentRows, ::testing::ValuesIn(kDocuments),
                         [](const auto &info) { return std::string(info.param.name); });

} // namespace
} // namespace tarvel::geometry
