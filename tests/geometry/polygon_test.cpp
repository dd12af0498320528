#include "geometry/polygon.h"

#include <gtest/gtest.h>

#include <cmath>
#include <initializer_list>
#include <limits>
#include <vector>
#include <numbers>
#include <optional>
#include <utility>

namespace tarvel::geometry {
namespace {

constexpr double kNaN = std::numeric_limits<double>::quiet_NaN();
constexpr double kInf = std::numeric_limits<double>::infinity();
constexpr double kLargest = std::numeric_limits<double>::max();

// Corners 1..n in arrays indexed like the window's fields (element 0 unused).
struct Ring {
    int n = 0;
    std::vector<double> x = std::vector<double>(64);
    std::vector<double> y = std::vector<double>(64);

    Ring(std::initializer_list<std::pair<double, double>> corners) {
        for (const auto &[cx, cy] : corners) {
            ++n;
            x[n] = cx;
            y[n] = cy;
        }
    }
    Ring reversed() const {
        Ring r{};
        r.n = n;
        for (int i = 1; i <= n; ++i) {
            r.x[i] = x[n + 1 - i];
            r.y[i] = y[n + 1 - i];
        }
        return r;
    }
    double area() const { return PolygonArea(n, x.data(), y.data()); }
    Measures measures() const {
        Measures m;
        computeMeasures(n, x.data(), y.data(), m);
        return m;
    }
};

Ring defaultPolygon() {
    return {{26, 30},  {26, 5},    {6, 5},    {6, 90},   {96, 90},  {101, 110}, {106, 90},
            {114, 90}, {118, 110}, {126, 90}, {176, 90}, {176, 70}, {140, 70},  {140, 50},
            {176, 50}, {176, 30},  {96, 30},  {96, 5},   {76, 5},   {76, 30}};
}

bool allFinite(const Measures &m) {
    for (std::size_t i = 0; i < m.SideLen.size(); ++i) {
        if (!std::isfinite(m.SideLen[i]) || !std::isfinite(m.ChordLen[i]) ||
            !std::isfinite(m.CornerCos[i]) || !std::isfinite(m.CornerAngle[i]))
            return false;
    }
    return true;
}

// ---- Measures of known polygons ----

TEST(PolygonMeasures, DefaultPolygonMatchesItsKnownFigures) {
    const Ring p = defaultPolygon();
    EXPECT_DOUBLE_EQ(p.area(), 10700.0);

    const Measures m = p.measures();
    const double sides[] = {25, 20, 85, 90, 20.62, 20.62, 8,  20.4, 21.54, 50,
                            20, 36, 20, 36, 20,    80,    25, 20,   25,    50};
    for (int i = 1; i <= 20; ++i) {
        SCOPED_TRACE(i);
        EXPECT_NEAR(m.SideLen[i], sides[i - 1], 0.005);
        const double angle =
            (i >= 5 && i <= 10) ? std::array{104.0, 28.1, 104.0, 101.3, 33.1, 111.8}[i - 5] : 90.0;
        EXPECT_NEAR(m.CornerAngle[i], angle, 0.05);
        EXPECT_TRUE(m.AngleDefined[i]);
    }
}

TEST(PolygonMeasures, RightTriangle345) {
    const Ring t{{0, 0}, {4, 0}, {0, 3}};
    EXPECT_DOUBLE_EQ(t.area(), 6.0);
    const Measures m = t.measures();
    const double sides[] = {4, 5, 3};
    const double chords[] = {5, 3, 4};
    const double angles[] = {90, 36.9, 53.1};
    for (int i = 1; i <= 3; ++i) {
        SCOPED_TRACE(i);
        EXPECT_DOUBLE_EQ(m.SideLen[i], sides[i - 1]);
        EXPECT_DOUBLE_EQ(m.ChordLen[i], chords[i - 1]);
        EXPECT_NEAR(m.CornerAngle[i], angles[i - 1], 0.05);
    }
    EXPECT_FLOAT_EQ(m.CornerCos[2], 0.8f);
}

TEST(PolygonMeasures, MeasuresHoldIndexesZeroToNAndBadCountsOnlyClear) {
    const Ring t{{0, 0}, {4, 0}, {0, 3}};
    const Ring p = defaultPolygon();
    Measures m = p.measures();
    computeMeasures(t.n, t.x.data(), t.y.data(), m);
    EXPECT_EQ(m.corners(), 3);
    EXPECT_EQ(m.SideLen.size(), 4u);
    EXPECT_EQ(m.SideLen[0], 0.0);
    EXPECT_FALSE(m.AngleDefined[0]);
    for (int n : {-1, 0, 2}) {
        SCOPED_TRACE(n);
        m = p.measures();
        computeMeasures(n, p.x.data(), p.y.data(), m);
        EXPECT_EQ(m.corners(), 0);
    }
    EXPECT_EQ(PolygonArea(0, p.x.data(), p.y.data()), 0.0);
}

// ---- Independence of direction ----

TEST(PolygonMeasures, ReversedOrderGivesSameAreaSidesAndAngles) {
    for (const Ring &p : {defaultPolygon(), Ring{{0, 0}, {4, 0}, {0, 3}},
                          Ring{{0, 0}, {10, 0}, {10, 10}, {5, 2}, {0, 10}}}) {
        const Ring r = p.reversed();
        const int n = p.n;
        EXPECT_DOUBLE_EQ(r.area(), p.area());
        const Measures a = p.measures();
        const Measures b = r.measures();
        for (int i = 1; i <= n; ++i) {
            SCOPED_TRACE(i);
            // Corner i is corner n + 1 - i of the reversed ring; side i (from
            // corner i to i + 1) becomes side n - i, and the closing side stays.
            EXPECT_DOUBLE_EQ(b.CornerAngle[n + 1 - i], a.CornerAngle[i]);
            EXPECT_DOUBLE_EQ(b.SideLen[i == n ? n : n - i], a.SideLen[i]);
        }
    }
}

// ---- Degenerate corners ----

TEST(PolygonMeasures, CollinearAndFoldedCornersGiveStraightAndZeroAngles) {
    struct Case {
        const char *name;
        Ring ring;
        int corner;
        float cosine;
        double angle;
    };
    const Case cases[] = {
        {"straight", {{0, 0}, {5, 0}, {10, 0}}, 2, -1.0f, 180.0},
        {"straight slanted", {{0, 0}, {3, 4}, {6, 8}, {0, 8}}, 2, -1.0f, 180.0},
        {"folded back", {{0, 0}, {10, 0}, {5, 0}}, 2, 1.0f, 0.0},
        {"folded onto start", {{0, 0}, {10, 0}, {0, 0}, {0, 5}}, 2, 1.0f, 0.0},
        // Law of cosines lands just past -1 and 1 here through rounding.
        {"straight, rounded past -1",
         {{550.79, 728.84}, {282.41, 589.32}, {14.03, 449.80}},
         2,
         -1.0f,
         180.0},
        {"folded, rounded past 1",
         {{465.86, 340.27}, {704.52, 16.69}, {585.19, 178.48}},
         2,
         1.0f,
         0.0},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.name);
        const Measures m = c.ring.measures();
        EXPECT_TRUE(m.AngleDefined[c.corner]);
        EXPECT_EQ(m.CornerCos[c.corner], c.cosine);
        EXPECT_NEAR(m.CornerAngle[c.corner], c.angle, 1e-4);
        EXPECT_TRUE(allFinite(m));
    }
}

TEST(PolygonMeasures, ZeroLengthSideLeavesOnlyItsCornersWithoutAngle) {
    const Ring p{{0, 0}, {10, 0}, {10, 0}, {10, 5}};
    EXPECT_DOUBLE_EQ(p.area(), 25.0);
    const Measures m = p.measures();
    EXPECT_EQ(m.SideLen[2], 0.0);
    for (int i : {2, 3}) {
        SCOPED_TRACE(i);
        EXPECT_FALSE(m.AngleDefined[i]);
        EXPECT_EQ(m.CornerCos[i], 0.0f);
        EXPECT_EQ(m.CornerAngle[i], 0.0);
    }
    EXPECT_TRUE(m.AngleDefined[1]);
    EXPECT_TRUE(m.AngleDefined[4]);
    EXPECT_NEAR(m.CornerAngle[1], std::atan(0.5) * 180 / std::numbers::pi, 1e-4);
    EXPECT_NEAR(m.CornerAngle[4], std::atan(2.0) * 180 / std::numbers::pi, 1e-4);
    EXPECT_TRUE(allFinite(m));
}

TEST(PolygonMeasures, AllCornersEqualHasNoAnglesAndNoArea) {
    const Ring p{{3, 3}, {3, 3}, {3, 3}};
    EXPECT_EQ(p.area(), 0.0);
    const Measures m = p.measures();
    for (int i = 1; i <= 3; ++i)
        EXPECT_FALSE(m.AngleDefined[i]);
    EXPECT_TRUE(allFinite(m));
}

TEST(PolygonMeasures, NearlyCollinearCornersKeepCosineInRange) {
    // Tiny bends on long sides: rounding may push the law of cosines just
    // past -1 or 1, which must end as 180 or 0 degrees, never as NaN.
    const Ring rings[] = {
        {{0, 0}, {1e6, 1e-9}, {2e6, 0}},
        {{0, 0}, {0.1, 0}, {0.3, 1e-12}},
        {{6000000.01, 7000000.02}, {6000000.03, 7000000.06}, {6000000.05, 7000000.1}},
        {{0, 0}, {1e7, 0}, {1e-7, 1e-15}},
        {{1, 1}, {1 + 1e-9, 1 + 1e-9}, {1 + 2e-9, 1 + 2e-9}},
    };
    for (const Ring &p : rings) {
        const Measures m = p.measures();
        for (int i = 1; i <= p.n; ++i) {
            SCOPED_TRACE(i);
            EXPECT_TRUE(m.AngleDefined[i]);
            EXPECT_GE(m.CornerCos[i], -1.0f);
            EXPECT_LE(m.CornerCos[i], 1.0f);
            EXPECT_GE(m.CornerAngle[i], 0.0);
            EXPECT_LE(m.CornerAngle[i], 180.0001);
        }
        EXPECT_TRUE(allFinite(m));
    }
}

// ---- Extreme and unreadable coordinates ----

TEST(PolygonMeasures, ScaleOfCoordinatesDoesNotChangeAngles) {
    // The 3-4-5 triangle blown up or shrunk far beyond any survey: the
    // squares in the law of cosines would overflow or vanish.
    for (double scale : {1e-200, 1e-160, 1e160, 1e200, 1e300}) {
        SCOPED_TRACE(scale);
        const Ring t{{0, 0}, {4 * scale, 0}, {0, 3 * scale}};
        const Measures m = t.measures();
        EXPECT_DOUBLE_EQ(m.SideLen[2], 5 * scale);
        EXPECT_NEAR(m.CornerAngle[1], 90, 0.05);
        EXPECT_NEAR(m.CornerAngle[2], 36.9, 0.05);
        EXPECT_NEAR(m.CornerAngle[3], 53.1, 0.05);
        EXPECT_TRUE(allFinite(m));
    }
}

TEST(PolygonMeasures, CoordinatesAtTheDoubleLimitGiveFiniteResults) {
    const Ring p{{-kLargest, -kLargest}, {kLargest, -kLargest}, {kLargest, kLargest}};
    EXPECT_EQ(p.area(), kLargest);
    const Measures m = p.measures();
    EXPECT_EQ(m.SideLen[1], kLargest);
    EXPECT_NEAR(m.CornerAngle[2], 90, 0.05);
    EXPECT_NEAR(m.CornerAngle[1], 45, 0.05);
    EXPECT_TRUE(allFinite(m));

    // The sum of two X overflows although the area itself is small.
    const Ring thin{{1e308, 0}, {1e308, 1e-300}, {-1e308, 0}};
    EXPECT_NEAR(thin.area() / 1e8, 1.0, 1e-12);
}

TEST(PolygonMeasures, NonFiniteCoordinatesCountAsZero) {
    const Ring bad{{kNaN, 0}, {4, kInf}, {0, 3}};
    const Ring zero{{0, 0}, {4, 0}, {0, 3}};
    EXPECT_EQ(bad.area(), zero.area());
    const Measures a = bad.measures();
    const Measures b = zero.measures();
    for (int i = 1; i <= 3; ++i) {
        EXPECT_EQ(a.SideLen[i], b.SideLen[i]);
        EXPECT_EQ(a.CornerAngle[i], b.CornerAngle[i]);
    }
}

// ---- The way round and the angle inside ----

TEST(SignedArea, SignFollowsTheWayTheCornersRun) {
    struct Row {
        const char *name;
        Ring ring;
        double expected;
        double tolerance;
    };
    const Row rows[] = {
        {"unit square counterclockwise", {{0, 0}, {1, 0}, {1, 1}, {0, 1}}, 1, 0},
        {"unit square clockwise", {{0, 0}, {0, 1}, {1, 1}, {1, 0}}, -1, 0},
        {"3-4-5 triangle counterclockwise", {{0, 0}, {4, 0}, {0, 3}}, 6, 0},
        // 10 m by 10 m at survey coordinates: the decimals of the corners are
        // not exact in binary, so the area is 100 to about 1e-8.
        {"survey square clockwise",
         {{452297.10, 2231458.35}, {452297.10, 2231468.35}, {452307.10, 2231468.35},
          {452307.10, 2231458.35}},
         -100,
         1e-6},
        {"collinear", {{0, 0}, {1, 1}, {2, 2}}, 0, 0},
        // The L of three unit squares, with a reflex corner at (1, 1).
        {"L counterclockwise", {{0, 0}, {2, 0}, {2, 1}, {1, 1}, {1, 2}, {0, 2}}, 3, 0},
        // 1e200 by 1e200 is beyond the double range: it saturates, signed.
        {"huge counterclockwise", {{0, 0}, {1e200, 0}, {1e200, 1e200}, {0, 1e200}}, kLargest, 0},
        {"huge clockwise", {{0, 0}, {0, 1e200}, {1e200, 1e200}, {1e200, 0}}, -kLargest, 0},
    };
    for (const Row &r : rows) {
        SCOPED_TRACE(r.name);
        const double a = SignedArea(r.ring.n, r.ring.x.data(), r.ring.y.data());
        EXPECT_NEAR(a, r.expected, r.tolerance);
        EXPECT_EQ(PolygonArea(r.ring.n, r.ring.x.data(), r.ring.y.data()), std::abs(a));
    }
}

TEST(InteriorAngle, MeasuredInsideTheOutlineReflexAbove180) {
    struct Row {
        const char *name;
        double x, y, prevX, prevY, nextX, nextY;
        bool clockwise;
        std::optional<double> expected;
    };
    const Row rows[] = {
        {"square corner, counterclockwise", 0, 0, 0, 1, 1, 0, false, 90},
        {"square corner, clockwise", 0, 0, 1, 0, 0, 1, true, 90},
        {"45 degrees", 1, 0, 0, 0, 0, 1, false, 45},
        // The L (0,0) (2,0) (2,1) (1,1) (1,2) (0,2): the notch at (1, 1).
        {"reflex, counterclockwise", 1, 1, 2, 1, 1, 2, false, 270},
        {"reflex, clockwise", 1, 1, 1, 2, 2, 1, true, 270},
        {"straight", 1, 0, 0, 0, 2, 0, false, 180},
        // A 30-degree wedge (0,0) (1,0) (cos 30, sin 30) runs counterclockwise;
        // read as running clockwise, its inside is the other 330.
        {"30 degrees", 0, 0, 0.8660254037844387, 0.5, 1, 0, false, 30},
        {"330 degrees the other way", 0, 0, 0.8660254037844387, 0.5, 1, 0, true, 330},
        {"no side before", 1, 1, 1, 1, 2, 2, false, std::nullopt},
        {"no side after", 1, 1, 0, 0, 1, 1, true, std::nullopt},
    };
    for (const Row &r : rows) {
        SCOPED_TRACE(r.name);
        const auto a = InteriorAngle(r.x, r.y, r.prevX, r.prevY, r.nextX, r.nextY, r.clockwise);
        ASSERT_EQ(a.has_value(), r.expected.has_value());
        if (a) EXPECT_NEAR(*a, *r.expected, 1e-9);
    }
}

TEST(Distance, PlainAndOutOfRangeSquares) {
    struct Case {
        double xa, ya, xb, yb, expected;
    };
    const Case cases[] = {
        {0, 0, 3, 4, 5},
        {3, 4, 0, 0, 5},
        {1.5, -2, 1.5, -2, 0},
        {1e-200, 0, 0, 0, 1e-200},
        {0, 3e-320, 0, 0, 3e-320},
        {3e200, 0, 0, 4e200, 5e200},
        {-1e308, 0, 1e308, 0, kLargest},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.xa);
        EXPECT_DOUBLE_EQ(distance(c.xa, c.ya, c.xb, c.yb), c.expected);
    }
}

TEST(Acos, EndsRangeAndAgreementWithLibrary) {
    const float pi = static_cast<float>(std::numbers::pi);
    EXPECT_EQ(Acos(1.0f), 0.0f);
    EXPECT_EQ(Acos(-1.0f), pi);
    EXPECT_EQ(Acos(1.5f), 0.0f);
    EXPECT_EQ(Acos(-7.0f), pi);
    EXPECT_FLOAT_EQ(Acos(std::numeric_limits<float>::quiet_NaN()), pi / 2);
    for (float x : {-0.9999999f, -0.75f, -0.5f, 0.0f, 0.1f, 0.5f, 0.8f, 0.9999999f}) {
        SCOPED_TRACE(x);
        EXPECT_NEAR(Acos(x), std::acos(static_cast<double>(x)), 2e-6);
    }
    // Straight corner in degrees, through the single 180 and the double pi.
    EXPECT_NEAR(static_cast<double>(Acos(-1.0f) * 180.0f) / 3.1415926535, 180.0, 1e-4);
}

// ---- Transformations ----

TEST(Transformations, SmallestTakesFirstCornerThenStrictlySmaller) {
    const Ring p{{5, -3}, {15, -3}, {15, 7}};
    const Shift s = smallest(p.n, p.x.data(), p.y.data());
    EXPECT_EQ(s.minX, 5.0);
    EXPECT_EQ(s.minY, -3.0);

    const Ring q{{4, 9}, {-2, 1}, {7, -8}};
    const Shift t = smallest(q.n, q.x.data(), q.y.data());
    EXPECT_EQ(t.minX, -2.0);
    EXPECT_EQ(t.minY, -8.0);
}

// Rotated, then moved so that the smallest X and Y are 0, as the window does.
Ring rotatedToOrigin(Ring p, bool anticlockwise) {
    if (anticlockwise)
        rotateAnticlockwise(p.n, p.x.data(), p.y.data());
    else
        rotateClockwise(p.n, p.x.data(), p.y.data());
    const Shift s = smallest(p.n, p.x.data(), p.y.data());
    for (int i = 1; i <= p.n; ++i) {
        p.x[i] -= s.minX;
        p.y[i] -= s.minY;
    }
    return p;
}

TEST(Transformations, RotationsTurnByExactlyNinetyDegrees) {
    struct Case {
        bool anticlockwise;
        Ring expected;
    };
    const Ring start{{0, 0}, {10, 0}, {10, 5}};
    const Case cases[] = {
        {true, {{5, 0}, {5, 10}, {0, 10}}},
        {false, {{0, 10}, {0, 0}, {5, 0}}},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.anticlockwise);
        const Ring r = rotatedToOrigin(start, c.anticlockwise);
        for (int i = 1; i <= 3; ++i) {
            EXPECT_EQ(r.x[i], c.expected.x[i]);
            EXPECT_EQ(r.y[i], c.expected.y[i]);
            EXPECT_FALSE(std::signbit(r.x[i]));
            EXPECT_FALSE(std::signbit(r.y[i]));
        }
    }
}

TEST(Transformations, RotatingLargeSurveyKeepsLengthsAndArea) {
    const Ring start{{6000000.25, 5999990.5}, {6000120.75, 6000001.25}, {6000050.5, 6000210}};
    const Measures before = start.measures();
    for (bool anticlockwise : {true, false}) {
        SCOPED_TRACE(anticlockwise);
        Ring r = start;
        if (anticlockwise)
            rotateAnticlockwise(r.n, r.x.data(), r.y.data());
        else
            rotateClockwise(r.n, r.x.data(), r.y.data());
        const Measures after = r.measures();
        for (int i = 1; i <= 3; ++i) {
            EXPECT_NEAR(after.SideLen[i], before.SideLen[i], 0.005);
            EXPECT_NEAR(after.CornerAngle[i], before.CornerAngle[i], 1e-6);
        }
        EXPECT_NEAR(r.area(), start.area(), 0.01);
        // Four quarter turns bring every corner back exactly.
        for (int k = 0; k < 3; ++k) {
            if (anticlockwise)
                rotateAnticlockwise(r.n, r.x.data(), r.y.data());
            else
                rotateClockwise(r.n, r.x.data(), r.y.data());
        }
        for (int i = 1; i <= 3; ++i) {
            EXPECT_EQ(r.x[i], start.x[i]);
            EXPECT_EQ(r.y[i], start.y[i]);
        }
    }
}

TEST(Transformations, RotationTouchesOnlyCornersOneToNAndNeverMakesMinusZero) {
    Ring p{{0, 0}, {3, 4}, {5, 6}};
    p.x[4] = 99;
    p.y[0] = 77;
    rotateClockwise(3, p.x.data(), p.y.data());
    EXPECT_EQ(p.x[4], 99.0);
    EXPECT_EQ(p.y[0], 77.0);
    EXPECT_FALSE(std::signbit(p.y[1]));
    rotateAnticlockwise(3, p.x.data(), p.y.data());
    rotateAnticlockwise(3, p.x.data(), p.y.data());
    EXPECT_FALSE(std::signbit(p.x[1]));
    EXPECT_FALSE(std::signbit(p.y[1]));
}

TEST(Transformations, InsertedCornerIsTheMidpointWithTheDecimalsItNeeds) {
    struct Case {
        const char *name;
        Ring ring;
        int after;
        double x, y;
    };
    const Case cases[] = {
        {"between 2 and 3", {{0, 0}, {10, 0}, {10, 5}}, 2, 10, 2.5},
        {"after the last", {{0, 0}, {10, 0}, {10, 5}}, 3, 5, 2.5},
        {"after the first", {{0, 0}, {10, 0}, {10, 5}}, 1, 5, 0},
        {"full precision",
         {{1234567.89, 7654321.01}, {1234567.89, 7654321.03}, {0, 0}},
         1,
         1234567.89,
         7654321.02},
        {"a third decimal", {{0, 0.03}, {0.01, 0.04}, {0, 0}}, 1, 0.005, 0.035},
        {"odd hundredths", {{4230.51, 0}, {4230.62, 0.01}, {0, 0}}, 1, 4230.565, 0.005},
        {"survey coordinates",
         {{6123456.78, 2345678.01}, {6123456.79, 2345678.04}, {0, 0}},
         1,
         6123456.785,
         2345678.025},
        {"negative", {{-10.01, -3}, {-10.02, -4}, {0, 0}}, 1, -10.015, -3.5},
        {"four decimals give five", {{0.0001, 1.2345}, {0.0002, 1.2346}, {0, 0}}, 1, 0.00015,
         1.23455},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.name);
        const Point m = insertedCorner(c.after, c.ring.n, c.ring.x.data(), c.ring.y.data());
        EXPECT_DOUBLE_EQ(m.x, c.x);
        EXPECT_DOUBLE_EQ(m.y, c.y);
    }
}

TEST(Transformations, InsertedCornerOutsideTheRingIsOrigin) {
    const Ring p{{1, 1}, {3, 3}, {5, 1}};
    for (int after : {0, -1, 4}) {
        SCOPED_TRACE(after);
        const Point m = insertedCorner(after, p.n, p.x.data(), p.y.data());
        EXPECT_EQ(m.x, 0.0);
        EXPECT_EQ(m.y, 0.0);
    }
}

} // namespace
} // namespace tarvel::geometry
