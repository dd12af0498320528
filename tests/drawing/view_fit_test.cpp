// Bringing the polygon into the drawing: whether a view shows the whole
// polygon, the best view of it (its scale and the axes' origin), and the
// view's mapping between plane and form in both directions of the axes.
// The figures are worked out by hand from the drawing's size (20 cm across,
// 17 cm up) and the labelled ticks every 5 cm.
#include "drawing/view_fit.h"
#include "drawing/view_state.h"

#include <gtest/gtest.h>

#include <cmath>
#include <optional>
#include <vector>

namespace tarvel::testing {

using namespace tarvel::drawing;
namespace {

const std::vector<float> kScaleList = {1,   2,   5,    10,   20,   25,   50,   100,  200,
                                       400, 500, 1000, 1500, 2000, 3000, 5000, 10000};

struct FitCase {
    const char *name;
    PlaneBounds polygon;
    ViewPlacement view;
    std::vector<float> scales;
    ViewPlacement expected;
    DrawingExtent extent = {};
};

class FitTest : public ::testing::TestWithParam<FitCase> {};

// The figures: a centimetre of room round the polygon at the scale tried,
// the origin at the multiple of five centimetres below that (or of one,
// where five leave the far side out), and the far side within 20 cm across
// and 17 cm up (or the extent given).
TEST_P(FitTest, TakesTheFinestScaleThatHoldsThePolygonWithRoom) {
    const FitCase &c = GetParam();
    const ViewPlacement fit = bestView(c.polygon, c.view, c.scales, c.extent);
    EXPECT_DOUBLE_EQ(fit.axisX, c.expected.axisX);
    EXPECT_DOUBLE_EQ(fit.axisY, c.expected.axisY);
    EXPECT_EQ(fit.scale, c.expected.scale);
    EXPECT_EQ(fit.northUp, c.view.northUp);
}

INSTANTIATE_TEST_SUITE_P(
    Plots, FitTest,
    ::testing::Values(
        // 100 m across: at scale 5 the room and the origin 6 123 450 need
        // 111 m of the 100; at 10 the origin is 6 123 400 and 166 m of 200.
        FitCase{"SurveyPlotAtScale10",
                {6123456, 6123556, 2345678, 2345758},
                {0, 0, 10},
                kScaleList,
                {6123400, 2345650, 10}},
        // 1 000 m across needs 1 256 m from 6 123 250 at scale 50 (of
        // 1 000), and 1 556 m from 6 123 000 at scale 100.
        FitCase{"SurveyFieldAtScale100",
                {6123456, 6124456, 2345678, 2346478},
                {0, 0, 10},
                kScaleList,
                {6123000, 2345500, 100}},
        // At scale 5 X from -35 m to 55 m fits 20 cm from -35, a whole
        // centimetre, but not from the tick multiple -50; Y fits from -25.
        FitCase{"NegativeCoordinatesRoundDownwards",
                {-30, 50, -10, 40},
                {0, 0, 10},
                kScaleList,
                {-35, -25, 5}},
        // 155 m of X fits 20 cm across at scale 10, but not 17 cm up.
        FitCase{"AcrossXFitsAtScale10", {20, 175, 20, 130}, {0, 0, 10}, kScaleList, {0, 0, 10}},
        FitCase{"NorthUpHasXUpTheShorterSide",
                {20, 175, 20, 130},
                {0, 0, 10, true},
                kScaleList,
                {0, 0, 20, true}},
        // A metre-wide plot shown at 1 cm = 1 000 m comes back to 1 cm = 1 m.
        FitCase{"ASmallPlotAtALargeScaleComesCloser",
                {6123456, 6123457, 2345678, 2345679},
                {0, 0, 1000},
                kScaleList,
                {6123455, 2345675, 1}},
        FitCase{"OnePointTakesTheFinestScale", {6, 6, 5, 5}, {0, 0, 10}, kScaleList, {5, 0, 1}},
        // Scales the user added come last in the list; they are tried in
        // increasing order all the same: 10 needs 560 m of 200, 30 needs
        // 580 m of 600.
        FitCase{"AddedScalesAreTriedInOrder",
                {200, 700, 200, 300},
                {0, 0, 10},
                {10, 1000, 30},
                {150, 150, 30}},
        FitCase{"TooLargeForEveryScaleEndsAtTheLargest",
                {0, 5e6, 0, 10},
                {0, 0, 10},
                kScaleList,
                {-50000, -50000, 10000}},
        FitCase{"WithoutAUsableScaleTheViewsOwn",
                {6123456, 6123556, 2345678, 2345758},
                {0, 0, 10},
                {0, -5},
                {6123400, 2345650, 10}},
        // A page of 12 cm by 8 cm at scale 20: up, 178 m from the tick
        // multiple 2 345 600 exceed 160; from the centimetre 2 345 640 they
        // take 138.
        FitCase{"APageOfItsOwnSize",
                {6123456, 6123556, 2345678, 2345758},
                {0, 0, 10},
                kScaleList,
                {6123400, 2345640, 20},
                {12, 8}}),
    [](const auto &info) { return std::string(info.param.name); });

TEST(LiesInView, EveryCornerWithinTheDrawingEdgesIncluded) {
    struct Row {
        const char *name;
        PlaneBounds polygon;
        ViewPlacement view;
        DrawingExtent extent;
        bool lies;
    } rows[] = {
        {"corners on the edges", {0, 200, 0, 170}, {0, 0, 10}, {}, true},
        {"a millimetre past the right edge", {0, 200.001, 0, 170}, {0, 0, 10}, {}, false},
        {"below the X axis", {0, 100, -0.01, 100}, {0, 0, 10}, {}, false},
        {"north up, X runs up 17 cm", {0, 170, 0, 200}, {0, 0, 10, true}, {}, true},
        {"north up, X past 17 cm", {0, 171, 0, 100}, {0, 0, 10, true}, {}, false},
        {"a smaller page", {0, 100, 0, 50}, {0, 0, 10}, {10, 5}, true},
        {"past the smaller page", {0, 101, 0, 50}, {0, 0, 10}, {10, 5}, false},
        {"no usable scale", {0, 1, 0, 1}, {0, 0, 0}, {}, false},
    };
    for (const Row &r : rows) {
        SCOPED_TRACE(r.name);
        EXPECT_EQ(liesInView(r.polygon, r.view, r.extent), r.lies);
    }
}

TEST(RoundOrigin, IsTheTickMultipleJustBelow) {
    struct Row {
        const char *name;
        double low;
        float scale;
        double origin;
        double cm = 5;
    } rows[] = {
        {"survey X at scale 10", 6123456, 10, 6123450},
        {"survey Y at scale 20", 2345678, 20, 2345600},
        {"already round", 6123450, 10, 6123450},
        {"just below zero", -1, 10, -50},
        {"fraction of a scale", 0.7, 0.1f, 0.5},
        {"a centimetre at scale 20", 2345658, 20, 2345640, 1},
        {"a centimetre below zero", -35.5, 5, -40, 1},
    };
    for (const Row &r : rows) {
        SCOPED_TRACE(r.name);
        EXPECT_NEAR(roundOrigin(r.low, r.scale, r.cm), r.origin, 1e-6);
        EXPECT_LE(roundOrigin(r.low, r.scale, r.cm), r.low);
    }
}

TEST(Bounds, PassOverCornersThatAreNotFinite) {
    const double nan = std::nan("");
    const auto b = boundsOf({6123456, nan, 6123400}, {2345678, 1, 2345700});
    ASSERT_TRUE(b);
    EXPECT_EQ(b->minX, 6123400);
    EXPECT_EQ(b->maxX, 6123456);
    EXPECT_EQ(b->minY, 2345678);
    EXPECT_EQ(b->maxY, 2345700);
    EXPECT_FALSE(boundsOf({nan}, {0}));
}

// The mapping: a plane point, its form position, and back.
TEST(ViewMapping, PlacesAndFindsPointsInBothDirectionsOfTheAxes) {
    struct Row {
        const char *name;
        bool northUp;
        double axisX, axisY;
        const char *scale;
        double X, Y;
        double x, y; // form twips, by x = 3540 + f*across, y = 10080 - f*up
    };
    const double f10 = double(56.692f), f100 = double(5.6692f);
    const Row rows[] = {
        {"as drawn from the origin", false, 0, 0, "10", 30, 40, 3540 + f10 * 30, 10080 - f10 * 40},
        {"survey plot", false, 6123450, 2345650, "10", 6123456, 2345678, 3540 + f10 * 6,
         10080 - f10 * 28},
        {"north up, survey plot", true, 6123450, 2345650, "10", 6123456, 2345678, 3540 + f10 * 28,
         10080 - f10 * 6},
        {"north up at scale 100", true, 6123000, 2345500, "100", 6123456, 2345678,
         3540 + f100 * 178, 10080 - f100 * 456},
    };
    for (const Row &r : rows) {
        SCOPED_TRACE(r.name);
        ViewState v;
        ASSERT_TRUE(v.applyScale(QString::fromUtf8(r.scale)));
        v.setNorthUp(r.northUp);
        v.moveAxes(r.axisX, r.axisY);
        const QPointF at = v.toForm(r.X, r.Y);
        EXPECT_NEAR(at.x(), r.x, 1e-3);
        EXPECT_NEAR(at.y(), r.y, 1e-3);
        const auto back = v.toPlane(at);
        ASSERT_TRUE(back);
        EXPECT_NEAR(back->x(), r.X, 1e-6);
        EXPECT_NEAR(back->y(), r.Y, 1e-6);
        // Drawn as the program always drew, a reader of the plane's origin
        // on the form finds the same coordinates.
        if (!r.northUp) {
            EXPECT_NEAR((at.x() - v.originX) / v.scaleFactor(), r.X, 1e-6);
            EXPECT_NEAR((at.y() - v.originY) / -v.scaleFactor(), r.Y, 1e-6);
        }
    }
}

TEST(ViewMapping, AScaleChangeKeepsTheAxesOrigin) {
    ViewState v;
    v.moveAxes(6123450, 2345650);
    ASSERT_TRUE(v.applyScale(QStringLiteral("100")));
    const QPointF crossing = v.toForm(6123450, 2345650);
    EXPECT_DOUBLE_EQ(crossing.x(), kCrossX);
    EXPECT_DOUBLE_EQ(crossing.y(), kCrossY);
    EXPECT_NEAR((kCrossX - v.originX) / v.scaleFactor(), 6123450, 1e-6);
}

} // namespace
} // namespace tarvel::testing
