// The warnings about an outline, one named row per case: the whole warning
// list is compared as the lines the window shows, so a missing warning, an
// extra one and a wrong order all fail.
#include "geometry/polygon_commands.h"
#include "geometry/polygon_states.h"
#include "geometry/polygon_warnings.h"

#include "support/qstring_print.h"

#include <gtest/gtest.h>

#define BOOST_ALLOW_DEPRECATED_HEADERS
#define BOOST_GEOMETRY_NO_ROBUSTNESS
#pragma GCC diagnostic push
#pragma GCC diagnostic ignored "-Wmaybe-uninitialized"
#include <boost/geometry/algorithms/is_valid.hpp>
#include <boost/geometry/geometries/point_xy.hpp>
#include <boost/geometry/geometries/ring.hpp>
#pragma GCC diagnostic pop

#include <initializer_list>
#include <random>
#include <ostream>
#include <string>
#include <utility>
#include <vector>

namespace tarvel::geometry {
namespace {

// The hidden rows hold "abc", which must never be read.
PolygonState polygon(Corners corners) {
    return polygonOf(corners, "abc");
}

struct Row {
    const char *name;
    PolygonState state;
    std::vector<const char *> lines;
};

void PrintTo(const Row &r, std::ostream *os) {
    *os << r.name;
}

const char *const kCrossed = "Контур пересекает сам себя";
const char *const kNaN = "В поле с координатами не число!";

std::string crossed(const char *at) {
    return std::string(kCrossed) + " " + at;
}
std::string notANumber(const char *field) {
    return std::string(kNaN) + " " + field;
}

const Row kRows[] = {
    // ---- clean outlines: nothing to say
    {"CleanConvex", polygon({{"0", "0"}, {"40", "0"}, {"40", "30"}, {"0", "30"}}), {}},
    {"CleanConcave",
     polygon({{"0", "0"}, {"20", "0"}, {"20", "10"}, {"10", "10"}, {"10", "20"}, {"0", "20"}}),
     {}},
    {"CleanClockwise", polygon({{"0", "0"}, {"0", "30"}, {"40", "30"}, {"40", "0"}}), {}},
    {"CleanAtSurveyCoordinates",
     polygon({{"6 123 456,17", "2 345 678,03"},
              {"6 123 496,17", "2 345 678,03"},
              {"6 123 496,17", "2 345 698,91"},
              {"6 123 476,55", "2 345 688,01"},
              {"6 123 456,17", "2 345 708,03"}}),
     {}},
    {"ThreeCornersOnAStraightSideAreClean",
     polygon({{"0", "0"}, {"20", "0"}, {"40", "0"}, {"40", "30"}}),
     {}},

    // ---- crossed outlines
    {"BowTie",
     polygon({{"0", "0"}, {"40", "0"}, {"0", "30"}, {"40", "30"}}),
     {"Контур пересекает сам себя (20; 15)"}},
    {"BowTieAtSurveyCoordinates",
     polygon({{"6 123 456", "2 345 678"},
              {"6 123 496", "2 345 678"},
              {"6 123 456", "2 345 708"},
              {"6 123 496", "2 345 708"}}),
     {"Контур пересекает сам себя (6123476; 2345693)"}},
    {"CrossingPointRoundedToHundredths",
     polygon({{"0", "0"}, {"10", "0"}, {"0", "10"}, {"10", "3"}}),
     {"Контур пересекает сам себя (7,69; 2,31)"}},
    {"CornerTouchingAnotherSide",
     polygon({{"0", "0"},
              {"40", "0"},
              {"40", "30"},
              {"30", "30"},
              {"20", "0"},
              {"10", "30"},
              {"0", "30"}}),
     {"Контур пересекает сам себя (20; 0)"}},
    {"OverlappingCollinearSides",
     polygon({{"0", "0"},
              {"30", "0"},
              {"30", "10"},
              {"20", "10"},
              {"20", "0"},
              {"10", "0"},
              {"10", "-10"},
              {"0", "-10"}}),
     {"Контур пересекает сам себя (20; 0)"}},
    {"SpikeGoingBackAlongASide",
     polygon({{"0", "0"}, {"40", "0"}, {"40", "30"}, {"40", "10"}, {"0", "30"}}),
     {"Контур пересекает сам себя (40; 30)"}},
    {"AllCornersOnOneLine",
     polygon({{"0", "0"}, {"5", "0"}, {"10", "0"}}),
     {"Контур пересекает сам себя (10; 0)"}},

    // ---- corners in the same place
    {"AdjacentCoincidentCorners",
     polygon({{"0", "0"}, {"40", "0"}, {"40", "30"}, {"40", "30"}, {"0", "30"}}),
     {"Углы 3 и 4 совпадают"}},
    {"CoincidentWrittenDifferently",
     polygon({{"0", "0"}, {"40", "0"}, {"40,00", "30"}, {" 40", "30,0"}, {"0", "30"}}),
     {"Углы 3 и 4 совпадают"}},
    {"LastCoincidesWithFirst",
     polygon({{"0", "0"}, {"40", "0"}, {"40", "30"}, {"0", "0"}}),
     {"Углы 1 и 4 совпадают"}},
    {"CoincidentFarApartIsNotAlsoACrossing",
     polygon({{"0", "0"}, {"20", "20"}, {"40", "0"}, {"40", "40"}, {"20", "20"}, {"0", "40"}}),
     {"Углы 2 и 5 совпадают"}},
    {"CoincidentFarApartAtSurveyCoordinates",
     polygon({{"6 123 456,01", "2 345 678,03"},
              {"6 123 476,13", "2 345 698,17"},
              {"6 123 496,07", "2 345 678,11"},
              {"6 123 496,07", "2 345 718,29"},
              {"6 123 476,13", "2 345 698,17"},
              {"6 123 456,01", "2 345 718,23"}}),
     {"Углы 2 и 5 совпадают"}},
    {"CoincidentAndCrossedElsewhere",
     polygon({{"0", "0"}, {"40", "0"}, {"40", "0"}, {"0", "30"}, {"40", "30"}}),
     {"Контур пересекает сам себя (20; 15)", "Углы 2 и 3 совпадают"}},
    {"OnlyTheFirstPairIsNamed",
     polygon({{"0", "0"}, {"40", "0"}, {"40", "0"}, {"40", "30"}, {"40", "30"}, {"0", "30"}}),
     {"Углы 2 и 3 совпадают"}},
    {"FewerThanThreeDistinctCorners",
     polygon({{"5", "5"}, {"5", "5"}, {"7", "5"}}),
     {"Углы 1 и 2 совпадают"}},
    {"AllCornersInOnePlace",
     polygon({{"5", "5"}, {"5", "5"}, {"5", "5"}}),
     {"Углы 1 и 2 совпадают"}},

    // ---- texts that are not numbers: the one warning
    {"LetterInX3",
     polygon({{"0", "0"}, {"40", "0"}, {"abc", "30"}, {"40", "30"}}),
     {"В поле с координатами не число! X3"}},
    {"EmptyY2BeforeALetterInX4",
     polygon({{"0", "0"}, {"40", ""}, {"0", "30"}, {"x", "30"}}),
     {"В поле с координатами не число! Y2"}},
    {"PastedLinesInX1",
     polygon({{"12\n13\n14", "0"}, {"40", "0"}, {"0", "30"}, {"40", "30"}}),
     {"В поле с координатами не число! X1"}},
    // Past a thousand million kilometres a number says nothing of a plot.
    {"HugeY2",
     polygon({{"0", "0"}, {"40", "1e15"}, {"0", "30"}}),
     {"В поле с координатами не число! Y2"}},
    {"TheLargestCoordinateIsStillOne",
     polygon({{"0", "0"}, {"-1 000 000 000 000", "0"}, {"0", "1000000000000"}}),
     {}},
    {"ThreeHundredDigitsInX1",
     polygon({{"1e300", "0"}, {"40", "0"}, {"0", "30"}}),
     {"В поле с координатами не число! X1"}},
    {"NotANumberHidesTheCrossing",
     polygon({{"0", "0"}, {"40", "0"}, {"0", "30"}, {"40", "30"}, {"40", "."}}),
     {"В поле с координатами не число! Y5"}},
};

class WarningTable : public ::testing::TestWithParam<Row> {};

TEST_P(WarningTable, GivesTheExpectedLines) {
    const Row &r = GetParam();
    std::vector<QString> lines;
    for (const PolygonWarning &w : polygonWarnings(r.state))
        lines.push_back(w.line());
    std::vector<QString> expected;
    for (const char *line : r.lines)
        expected.push_back(QString::fromUtf8(line));
    EXPECT_EQ(lines, expected);
}

INSTANTIATE_TEST_SUITE_P(Warnings, WarningTable, ::testing::ValuesIn(kRows),
                         [](const auto &info) { return std::string(info.param.name); });

TEST(Warnings, NameTheFieldAndThePointApartFromTheMessage) {
    const auto nan = polygonWarnings(polygon({{"0", "0"}, {"40", "0"}, {"0", "30"}, {"40", "y"}}));
    ASSERT_EQ(nan.size(), 1u);
    EXPECT_EQ(nan[0].kind, PolygonWarning::Kind::NotANumber);
    EXPECT_EQ(nan[0].message, QString::fromUtf8(kNaN));
    EXPECT_EQ(nan[0].where, "Y4");
    EXPECT_EQ(nan[0].axis, Axis::Y);
    EXPECT_EQ(nan[0].corner, 4);

    const auto bowTie =
        polygonWarnings(polygon({{"0", "0"}, {"40", "0"}, {"0", "30"}, {"40", "30"}}));
    ASSERT_EQ(bowTie.size(), 1u);
    EXPECT_EQ(bowTie[0].kind, PolygonWarning::Kind::CrossesItself);
    EXPECT_EQ(bowTie[0].message, QString::fromUtf8(kCrossed));
    EXPECT_EQ(bowTie[0].where, "(20; 15)");
    EXPECT_DOUBLE_EQ(bowTie[0].at.x, 20);
    EXPECT_DOUBLE_EQ(bowTie[0].at.y, 15);

    const auto same = polygonWarnings(polygon({{"0", "0"}, {"9", "9"}, {"40", "0"}, {"9", "9"}}));
    ASSERT_FALSE(same.empty());
    EXPECT_EQ(same.back().kind, PolygonWarning::Kind::CoincidentCorners);
    EXPECT_EQ(same.back().first, 2);
    EXPECT_EQ(same.back().second, 4);
    EXPECT_TRUE(same.back().where.isEmpty());
}

// The window does not tell of an empty field, nor of the one being typed
// into; another text that is no number is still told of, and while a
// pending one stands nothing else is checked.
TEST(Warnings, PendingTextsAreNotToldOf) {
    const auto emptyOrX2 = [](Axis axis, int i, const QString &text) {
        return text.isEmpty() || (axis == Axis::X && i == 2);
    };
    const struct {
        const char *name;
        PolygonState state;
        std::vector<const char *> lines;
    } rows[] = {
        {"all empty, as after clearing", polygon({{"", ""}, {"", ""}, {"", ""}}), {}},
        {"being typed into", polygon({{"0", "0"}, {"-", "0"}, {"0", "30"}}), {}},
        {"a letter elsewhere", polygon({{"0", "0"}, {"-", "0"}, {"a", "30"}}),
         {"В поле с координатами не число! X3"}},
        {"a letter in Y2 beside X2", polygon({{"0", "0"}, {"-", "b"}, {"0", "30"}}),
         {"В поле с координатами не число! Y2"}},
        {"every text a number", polygon({{"0", "0"}, {"0", "0"}, {"0", "30"}}),
         {"Углы 1 и 2 совпадают"}},
    };
    for (const auto &r : rows) {
        SCOPED_TRACE(r.name);
        std::vector<QString> lines;
        for (const PolygonWarning &w : polygonWarnings(r.state, cornerValues(r.state), emptyOrX2))
            lines.push_back(w.line());
        std::vector<QString> expected;
        for (const char *line : r.lines) expected.push_back(QString::fromUtf8(line));
        EXPECT_EQ(lines, expected);
    }
}

TEST(Warnings, ReadOnlyTheCornersInForce) {
    PolygonState s = polygon({{"0", "0"}, {"40", "0"}, {"0", "30"}, {"40", "30"}, {"y", "z"}});
    s.corners = 3; // the count text may say otherwise: the count in force counts
    s.texts.count = QStringLiteral("25");
    EXPECT_TRUE(polygonWarnings(s).empty());
}


// The quick look that spares most outlines the full check: it passes only
// outlines that keep apart from themselves, and leaves every doubtful one
// to the full check.
TEST(SurelySimple, PassesOnlyOutlinesThatKeepApart) {
    struct Case {
        const char *name;
        std::vector<QPointF> corners;
        bool simple;
    };
    const std::vector<Case> cases = {
        {"a square", {{0, 0}, {10, 0}, {10, 10}, {0, 10}}, true},
        {"a notch with sides on one line", {{0, 0}, {30, 0}, {30, 10}, {20, 10}, {20, 5}, {10, 5},
                                            {10, 10}, {0, 10}}, true},
        {"survey coordinates",
         {{6123456.1, 2345678.2}, {6123480.55, 2345671.4}, {6123502, 2345700.9},
          {6123490.25, 2345731.15}, {6123461.8, 2345722.6}},
         true},
        {"a bow-tie", {{0, 0}, {40, 0}, {0, 30}, {40, 30}}, false},
        {"a corner on another side", {{0, 0}, {20, 0}, {20, 10}, {10, 0}, {0, 10}}, false},
        {"sides overlapping along a line", {{0, 0}, {20, 0}, {20, 10}, {15, 0}, {5, 0}, {0, 10}},
         false},
        {"a spike", {{0, 0}, {10, 0}, {10, 10}, {10, 20}, {10, 5}, {0, 10}}, false},
        {"three corners", {{0, 0}, {10, 0}, {0, 10}}, false},
        {"a corner a hair off the far side",
         {{0, 0}, {1e6, 0}, {1e6, 1}, {5e5, 1e-10}, {0, 1}}, false},
    };
    for (const Case &c : cases)
        EXPECT_EQ(surelySimple(c.corners), c.simple) << c.name;
}

// On a small grid, where corners often meet sides and sides overlap, every
// outline the quick look passes is one the full check finds neither
// crossing nor spiked.
TEST(SurelySimple, NeverPassesWhatTheFullCheckRefuses) {
    namespace bg = boost::geometry;
    using Point = bg::model::d2::point_xy<double>;
    std::mt19937 random(20261208);
    std::uniform_int_distribution<int> coordinate(0, 4), count(4, 8);
    int passed = 0;
    for (int round = 0; round < 20000; ++round) {
        std::vector<QPointF> corners;
        const int n = count(random);
        for (int i = 0; i < n; ++i) {
            const QPointF p(coordinate(random), coordinate(random));
            if (corners.empty() || corners.back() != p) corners.push_back(p);
        }
        while (corners.size() > 1 && corners.back() == corners.front())
            corners.pop_back();
        if (!surelySimple(corners)) continue;
        ++passed;
        bg::model::ring<Point, true, false> ring;
        for (const QPointF &p : corners)
            ring.emplace_back(p.x(), p.y());
        bg::validity_failure_type failure = bg::no_failure;
        bg::is_valid(ring, failure);
        EXPECT_NE(failure, bg::failure_self_intersections) << round;
        EXPECT_NE(failure, bg::failure_spikes) << round;
    }
    EXPECT_GT(passed, 100); // the look does pass plain outlines
}

} // namespace
} // namespace tarvel::geometry
