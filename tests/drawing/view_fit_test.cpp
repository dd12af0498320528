// Bringing the polygon into the drawing: when a view shows the whole
// polygon, where the axes' origin goes and how far the scale steps up, and
// the view's mapping between plane and form in both directions of the axes.
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
    std::optional<ViewPlacement> expected; // nullopt: the view stays
};

class FitTest : public ::testing::TestWithParam<FitCase> {};

TEST_P(FitTest, MovesTheOriginThenStepsTheScale) {
    const FitCase &c = GetParam();
    const auto fit = fitView(c.polygon, c.view, c.scales);
    ASSERT_EQ(fit.has_value(), c.expected.has_value());
    if (!fit) return;
    EXPECT_DOUBLE_EQ(fit->axisX, c.expected->axisX);
    EXPECT_DOUBLE_EQ(fit->axisY, c.expected->axisY);
    EXPECT_EQ(fit->scale, c.expected->scale);
    EXPECT_EQ(fit->northUp, c.view.northUp);
    // Whatever it chose, the polygon lies in it unless no scale could hold it.
    if (fit->scale != c.scales.back()) EXPECT_TRUE(liesInView(c.polygon, *fit));
}

INSTANTIATE_TEST_SUITE_P(
    Plots, FitTest,
    ::testing::Values(
        FitCase{"DefaultPolygonAlreadyInView", {6, 176, 5, 110}, {0, 0, 10}, kScaleList, {}},
        // 6 123 456 rounds down to the 50 m between ticks at 1 cm = 10 m.
        FitCase{"SurveyPlotAtScale10",
                {6123456, 6123556, 2345678, 2345758},
                {0, 0, 10},
                kScaleList,
                ViewPlacement{6123450, 2345650, 10}},
        // 1 000 m across needs 1 456 m from 6 123 000 at scale 100 (ticks
        // 500 m apart); scales 20, 25 and 50 leave it short.
        FitCase{"SurveyFieldStepsUpToScale100",
                {6123456, 6124456, 2345678, 2346478},
                {0, 0, 10},
                kScaleList,
                ViewPlacement{6123000, 2345500, 100}},
        FitCase{"NegativeCoordinatesRoundDownwards",
                {-30, 50, -10, 40},
                {0, 0, 10},
                kScaleList,
                ViewPlacement{-50, -50, 10}},
        FitCase{"PartlyOutMovesTheOriginAtTheSameScale",
                {150, 250, 0, 100},
                {0, 0, 10},
                kScaleList,
                ViewPlacement{150, 0, 10}},
        FitCase{
            "CornerOnTheEdgeOfTheDrawingIsInView", {0, 200, 0, 170}, {0, 0, 10}, kScaleList, {}},
        // 190 m of X fits 20 cm across but not 17 cm up.
        FitCase{"NorthUpHasXUpTheShorterSide",
                {0, 190, 0, 150},
                {0, 0, 10, true},
                kScaleList,
                ViewPlacement{0, 0, 20, true}},
        FitCase{"NorthUpSameFieldFitsAcross", {0, 190, 0, 150}, {0, 0, 10, false}, kScaleList, {}},
        FitCase{"ALargeScaleNeverStepsDown",
                {6123456, 6123457, 2345678, 2345679},
                {0, 0, 1000},
                kScaleList,
                ViewPlacement{6120000, 2345000, 1000}},
        // A typed scale between two of the list's goes on from the next one.
        FitCase{"TypedScaleStepsToTheNextOfTheList",
                {6123456, 6123956, 2345678, 2345778},
                {0, 0, 7},
                kScaleList,
                ViewPlacement{6123250, 2345500, 50}},
        // Scales the user added come last in the list; they are tried in
        // increasing order all the same.
        FitCase{"AddedScalesAreTriedInOrder",
                {0, 500, 0, 100},
                {0, 0, 10},
                {10, 1000, 30},
                ViewPlacement{0, 0, 30}},
        FitCase{"TooLargeForEveryScaleEndsAtTheLargest",
                {0, 5e6, 0, 10},
                {0, 0, 10},
                kScaleList,
                ViewPlacement{0, 0, 10000}}),
    [](const auto &info) { return std::string(info.param.name); });

TEST(RoundOrigin, IsTheTickMultipleJustBelow) {
    struct Row {
        const char *name;
        double low;
        float scale;
        double origin;
    } rows[] = {
        {"survey X at scale 10", 6123456, 10, 6123450},
        {"survey Y at scale 20", 2345678, 20, 2345600},
        {"already round", 6123450, 10, 6123450},
        {"just below zero", -1, 10, -50},
        {"fraction of a scale", 0.7, 0.1f, 0.5},
    };
    for (const Row &r : rows) {
        SCOPED_TRACE(r.name);
        EXPECT_NEAR(roundOrigin(r.low, r.scale), r.origin, 1e-6);
        EXPECT_LE(roundOrigin(r.low, r.scale), r.low);
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
