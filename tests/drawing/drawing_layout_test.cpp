// The drawing as a value: where the layout puts every line, mark and
// caption for a document and a view state, what it shows, what a point of
// the drawing hits, and how a dragged element follows the mouse. No window:
// captions are measured by a rule of the test's own (100 twips a letter,
// 195 high), and the expected places are worked out here from the mapping
// x = 10 / scale * 56.692 * X + 3540, y = 10080 - 10 / scale * 56.692 * Y.
#include "files/settings.h"
#include "geometry/polygon_document.h"
#include "drawing/drag_control.h"
#include "drawing/drawing_layout.h"
#include "support/qstring_print.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <limits>
#include <utility>
#include <vector>

namespace tarvel::testing {

using namespace tarvel::drawing;
namespace {

QSizeF letters(const QString &text, double) {
    return QSizeF(100.0 * text.size(), 195);
}

geometry::PolygonTexts polygon(const std::vector<std::pair<const char *, const char *>> &c) {
    geometry::PolygonTexts t;
    t.count = QString::number(c.size());
    for (std::size_t i = 0; i < c.size(); ++i) {
        t.x[i + 1] = QString::fromUtf8(c[i].first);
        t.y[i + 1] = QString::fromUtf8(c[i].second);
    }
    return t;
}

files::Settings defaults() {
    files::Settings s;
    s.ShowGrid = 0;
    s.ShowAngles = 0;
    s.ShowNumbers = 1;
    s.ShowLengths = 1;
    s.GridColour = 0;
    s.LineColour = 255;
    return s;
}

ViewState atScale(const char *scale) {
    ViewState v;
    EXPECT_TRUE(v.applyScale(QString::fromUtf8(scale)));
    return v;
}

class LayoutTest : public ::testing::Test {
protected:
    DrawingLayout lay(const geometry::PolygonTexts &t, const ViewState &v,
                      const files::Settings &s = defaults()) {
        doc.reset(t);
        return layOutDrawing(doc, v, s, letters);
    }
    geometry::PolygonDocument doc;
};

// How far a box lies from an edge's line on the side away from `inside`
// (negative: it reaches over the line or lies on the inner side).
double clearanceOutside(const QRectF &box, const DrawnLine &e,
                        const DrawingLayout::Corner &inside) {
    const double dx = e.x2 - e.x1, dy = e.y2 - e.y1, l = std::hypot(dx, dy);
    double nx = dy / l, ny = -dx / l;
    if ((inside.x - e.x1) * nx + (inside.y - e.y1) * ny > 0) nx = -nx, ny = -ny;
    double nearest = 1e18;
    for (const QPointF p : {box.topLeft(), box.topRight(), box.bottomLeft(), box.bottomRight()})
        nearest = std::min(nearest, (p.x() - e.x1) * nx + (p.y() - e.y1) * ny);
    return nearest;
}
// How far a box's centre lies from the edge's middle, along the edge.
double alongFromMiddle(const QRectF &box, const DrawnLine &e) {
    const double dx = e.x2 - e.x1, dy = e.y2 - e.y1, l = std::hypot(dx, dy);
    const QPointF c = box.center();
    return ((c.x() - (e.x1 + e.x2) / 2) * dx + (c.y() - (e.y1 + e.y2) / 2) * dy) / l;
}

// The 3-4-5 right triangle (0; 0), (30; 0), (30; 40).
const geometry::PolygonTexts kTriangle = polygon({{"0", "0"}, {"30", "0"}, {"30", "40"}});

TEST_F(LayoutTest, CornersCaptionsAndEdgesLieWhereTheMappingPutsThem) {
    struct Row {
        const char *name;
        const char *scale;
        int corner;
        double x, y; // where the corner is drawn
        const char *length, *angle;
    };
    const Row rows[] = {
        // 56.692 twips per metre at 10 m per cm, 5.6692 at 100, 226.768 at 2,5.
        {"origin at 10", "10", 1, 3540, 10080, "30", "53,1 град"},
        {"(30; 0) at 10", "10", 2, 3540 + 30 * 56.692, 10080, "40", "90 град"},
        {"(30; 40) at 10", "10", 3, 3540 + 30 * 56.692, 10080 - 40 * 56.692, "50", "36,9 град"},
        {"(30; 40) at 100", "100", 3, 3540 + 30 * 5.6692, 10080 - 40 * 5.6692, "50", "36,9 град"},
        {"(30; 0) at 2,5", "2,5", 2, 3540 + 30 * 226.768, 10080, "40", "90 град"},
    };
    for (const Row &r : rows) {
        SCOPED_TRACE(r.name);
        const DrawingLayout d = lay(kTriangle, atScale(r.scale));
        ASSERT_EQ(d.cornerCount(), 3);
        const DrawingLayout::Corner &c = d.corner(r.corner);
        EXPECT_NEAR(c.x, r.x, 0.01);
        EXPECT_NEAR(c.y, r.y, 0.01);
        EXPECT_EQ(c.length.text, r.length);
        EXPECT_EQ(c.angle.text, r.angle);
        EXPECT_EQ(c.number.text, QString::number(r.corner));
        // The edge runs from this corner to the next, the last back to the first.
        const DrawingLayout::Corner &next = d.corner(r.corner % 3 + 1);
        EXPECT_EQ(c.edge.x1, c.x);
        EXPECT_EQ(c.edge.y2, next.y);
        EXPECT_EQ(c.edge.colour, 255u);
        // The marker 35 twips up and left, the number 50 down and right, the
        // angle on the corner, the length beside the middle of the edge, 45
        // twips off it on the outer side (away from the third corner).
        EXPECT_NEAR(c.marker.box.left(), r.x - 35, 0.01);
        EXPECT_NEAR(c.marker.box.top(), r.y - 35, 0.01);
        EXPECT_EQ(c.marker.box.width(), 75);
        EXPECT_NEAR(c.number.box.left(), r.x + 50, 0.01);
        EXPECT_NEAR(c.number.box.top(), r.y + 50, 0.01);
        EXPECT_NEAR(c.angle.box.left(), r.x, 0.01);
        const DrawingLayout::Corner &third = d.corner((r.corner + 1) % 3 + 1);
        EXPECT_NEAR(clearanceOutside(c.length.box, c.edge, third), 45, 0.01);
        EXPECT_NEAR(alongFromMiddle(c.length.box, c.edge), 0, 0.01);
        EXPECT_EQ(c.length.box.width(), 100.0 * c.length.text.size());
        EXPECT_EQ(c.number.colour, 0xFF0000u);
        EXPECT_EQ(c.angle.colour, 0xC000C0u);
    }
}

TEST_F(LayoutTest, AngleCaptionsReadTheAngleInsideTheOutline) {
    struct Row {
        const char *name;
        geometry::PolygonTexts polygon;
        int corner;
        const char *angle;
    };
    // The L (0;0) (20;0) (20;10) (10;10) (10;20) (0;20) has its reflex
    // corner at (10;10); the notched square's corner (20;23) dips inward
    // between sides at atan(7/20) = 19,29 degrees to the horizontal:
    // 180 + 2 * 19,29 = 218,58.
    const Row rows[] = {
        {"L, reflex corner",
         polygon({{"0", "0"}, {"20", "0"}, {"20", "10"}, {"10", "10"}, {"10", "20"}, {"0", "20"}}),
         4, "270 град"},
        {"L, plain corner",
         polygon({{"0", "0"}, {"20", "0"}, {"20", "10"}, {"10", "10"}, {"10", "20"}, {"0", "20"}}),
         1, "90 град"},
        {"L the other way round",
         polygon({{"0", "20"}, {"10", "20"}, {"10", "10"}, {"20", "10"}, {"20", "0"}, {"0", "0"}}),
         3, "270 град"},
        {"notch", polygon({{"0", "0"}, {"40", "0"}, {"40", "30"}, {"20", "23"}, {"0", "30"}}), 4,
         "218,6 град"},
        {"notch the other way round",
         polygon({{"0", "30"}, {"20", "23"}, {"40", "30"}, {"40", "0"}, {"0", "0"}}), 2,
         "218,6 град"},
        {"beside the notch", polygon({{"0", "0"}, {"40", "0"}, {"40", "30"}, {"20", "23"}, {"0", "30"}}),
         3, "70,7 град"},
    };
    files::Settings s = defaults();
    s.ShowAngles = 1;
    for (const Row &r : rows) {
        SCOPED_TRACE(r.name);
        const DrawingLayout d = lay(r.polygon, atScale("10"), s);
        EXPECT_EQ(d.corner(r.corner).angle.text, QString::fromUtf8(r.angle));
    }
}

TEST_F(LayoutTest, TheSwitchesDecideWhatIsShown) {
    struct Row {
        const char *name;
        std::int16_t grid, angles, numbers, lengths;
        bool gridShown, anglesShown, numbersShown, lengthsShown;
    };
    const Row rows[] = {
        {"as installed", 0, 0, 1, 1, false, false, true, true},
        {"all on", 1, 1, 1, 1, true, true, true, true},
        {"all off", 0, 0, 0, 0, false, false, false, false},
        // A flag of another value: angles and numbers stay hidden, lengths
        // shown, the grid built shown.
        {"other values", 2, 2, 2, 2, true, false, false, true},
    };
    for (const Row &r : rows) {
        SCOPED_TRACE(r.name);
        files::Settings s = defaults();
        s.ShowGrid = r.grid;
        s.ShowAngles = r.angles;
        s.ShowNumbers = r.numbers;
        s.ShowLengths = r.lengths;
        const DrawingLayout d = lay(kTriangle, atScale("10"), s);
        for (int i = 1; i <= 20; ++i)
            EXPECT_EQ(d.verticalGrid[i].visible, r.gridShown) << i;
        for (int i = 1; i <= 17; ++i)
            EXPECT_EQ(d.horizontalGrid[i].visible, r.gridShown) << i;
        // The grid's first lines lie on the axes and are never drawn.
        EXPECT_FALSE(d.verticalGrid[0].visible);
        EXPECT_FALSE(d.horizontalGrid[0].visible);
        for (int i = 1; i <= 3; ++i) {
            EXPECT_EQ(d.corner(i).angle.visible, r.anglesShown) << i;
            EXPECT_EQ(d.corner(i).number.visible, r.numbersShown) << i;
            EXPECT_EQ(d.corner(i).length.visible, r.lengthsShown) << i;
            EXPECT_TRUE(d.corner(i).edge.visible) << i;
            EXPECT_TRUE(d.corner(i).marker.visible) << i;
        }
        EXPECT_FALSE(d.measureLine.visible);
        EXPECT_FALSE(d.measureCaption.visible);
    }
}

TEST_F(LayoutTest, TheGridIsOneCentimetreApartFromTheAxesCrossing) {
    files::Settings s = defaults();
    s.ShowGrid = 1;
    s.GridColour = 0xC0C0C0;
    const DrawingLayout d = lay(kTriangle, atScale("10"), s);
    // 20 cm across from x 3540, 17 up from y 10080, 566.92 twips a centimetre.
    EXPECT_NEAR(d.verticalGrid[20].x1, 3540 + 20 * 566.92, 0.01);
    EXPECT_NEAR(d.horizontalGrid[17].y1, 10080 - 17 * 566.92, 0.01);
    EXPECT_EQ(d.verticalGrid[7].y1, 450);
    EXPECT_EQ(d.verticalGrid[7].y2, 10050);
    EXPECT_EQ(d.horizontalGrid[3].x2, d.verticalGrid[20].x1);
    EXPECT_EQ(d.horizontalGrid[3].colour, 0xC0C0C0u);
    // Ticks every 5 cm below the X axis and left of the Y axis.
    EXPECT_NEAR(d.xTicks[1].x1, 3540 + 10 * 566.92, 0.01);
    EXPECT_EQ(d.xTicks[1].y1, 10080);
    EXPECT_EQ(d.xTicks[1].y2, 10260);
    EXPECT_NEAR(d.yTicks[3].y1, 10080 - 20 * 566.92, 0.01);
    EXPECT_EQ(d.yTicks[3].x2, 3360);
    EXPECT_EQ(d.xName.text, "X");
    EXPECT_EQ(d.yName.box.topLeft(), QPointF(3450, 120));
}

TEST_F(LayoutTest, ScaleValuesStandBesideTheirTicksAndOnEndWhenTooLong) {
    struct Row {
        const char *name;
        const char *scale;
        const char *values[4];
        bool upright;
    };
    const Row rows[] = {
        {"10", "10", {"50", "100", "150", "200"}, false},
        {"12,5", "12,5", {"62,5", "125", "187,5", "250"}, true},
        {"100", "100", {"500", "1000", "1500", "2000"}, false},
        {"1000", "1000", {"5000", "10000", "15000", "20000"}, true},
    };
    for (const Row &r : rows) {
        SCOPED_TRACE(r.name);
        const DrawingLayout d = lay(kTriangle, atScale(r.scale));
        for (int k = 0; k < 4; ++k) {
            SCOPED_TRACE(k);
            EXPECT_EQ(d.xScale[k].text, r.values[k]);
            EXPECT_EQ(d.yScale[k].text, r.values[k]);
            // X values 100 twips left of their tick, below the axis.
            const double xTick = 3540 + (k + 1) * 5 * 566.92;
            EXPECT_NEAR(d.xScale[k].box.left(), xTick - 100, 0.01);
            EXPECT_EQ(d.xScale[k].box.top(), 10290);
            // Y values end at x 3330; across, 200 twips above their tick; on
            // end, centred on it and never above the clear button (1335)
            // when the tick is below it.
            const Caption &y = d.yScale[k];
            const double tick = 10080 - (k + 1) * 5 * 566.92;
            const double length = 100.0 * y.text.size();
            EXPECT_EQ(y.upright, r.upright);
            EXPECT_EQ(y.box.right(), 3330);
            if (r.upright) {
                EXPECT_EQ(y.box.width(), 195);
                EXPECT_EQ(y.box.height(), length);
                // (The fourth tick, 20 cm up, lies above the window.)
                const double centred = tick - length / 2;
                EXPECT_NEAR(y.box.top(), tick > 1335 ? std::max(centred, 1335.0) : centred, 0.01);
            } else {
                EXPECT_EQ(y.box.width(), length);
                EXPECT_NEAR(y.box.top(), tick - 200, 0.01);
            }
        }
    }
}

TEST_F(LayoutTest, AScaleTextThatIsNotAScaleKeepsTheLastOne) {
    struct Row {
        const char *name;
        const char *text;
        bool applied;
        float scale;
    };
    const Row rows[] = {
        {"number", "25", true, 25},
        {"comma", "2,5", true, 2.5f},
        {"zero", "0", false, 10},
        {"negative", "-5", false, 10},
        {"letters", "abc", false, 10},
        {"empty", "", false, 10},
        // 10 / 1e-45 has no finite factor.
        {"tiny", "1E-45", false, 10},
    };
    for (const Row &r : rows) {
        SCOPED_TRACE(r.name);
        ViewState v = atScale("10");
        EXPECT_EQ(v.applyScale(QString::fromUtf8(r.text)), r.applied);
        EXPECT_FLOAT_EQ(v.scale, r.scale);
        EXPECT_NEAR(v.scaleFactor(), 10 / r.scale * 56.692, 1e-4);
    }
}

TEST_F(LayoutTest, TheHighlightMarksTheCornerAndItsAngle) {
    struct Row {
        const char *name;
        int marked, red;
    };
    const Row rows[] = {{"none", 0, 0},
                        {"corner 2", 2, 2},
                        {"angle turned plain", 3, 0},
                        {"beyond the polygon", 7, 7}};
    for (const Row &r : rows) {
        SCOPED_TRACE(r.name);
        ViewState v = atScale("10");
        v.markedCorner = r.marked;
        v.redAngle = r.red;
        const DrawingLayout d = lay(kTriangle, v);
        for (int i = 1; i <= 3; ++i) {
            const bool marked = i == r.marked;
            EXPECT_EQ(d.corner(i).marker.box.width(), marked ? 100 : 75) << i;
            EXPECT_EQ(d.corner(i).marker.box.height(), marked ? 100 : 75) << i;
            EXPECT_EQ(d.corner(i).marker.colour, marked ? 0xC0C000u : 0x80000008u) << i;
            // The larger marker keeps its top left corner.
            EXPECT_NEAR(d.corner(i).marker.box.left(), d.corner(i).x - 35, 0.01) << i;
            EXPECT_EQ(d.corner(i).angle.colour, i == r.red ? 255u : 0xC000C0u) << i;
        }
    }
}

TEST_F(LayoutTest, TheMeasuringLineJoinsTwoCornersWithTheirDistance) {
    struct Row {
        const char *name;
        int a, b;
        bool shown;
        const char *distance;
    };
    const Row rows[] = {
        {"1 to 3", 1, 3, true, "50"},
        {"3 to 1", 3, 1, true, "50"},
        {"1 to 2", 1, 2, true, "30"},
        {"the same corner", 2, 2, false, ""},
        {"beyond the polygon", 1, 4, false, ""},
        {"corner 0", 0, 2, false, ""},
    };
    for (const Row &r : rows) {
        SCOPED_TRACE(r.name);
        ViewState v = atScale("10");
        v.measured = ViewState::Pair{r.a, r.b};
        const DrawingLayout d = lay(kTriangle, v);
        EXPECT_EQ(d.measureLine.visible, r.shown);
        EXPECT_EQ(d.measureCaption.visible, r.shown);
        if (!r.shown) continue;
        EXPECT_EQ(d.measureCaption.text, r.distance);
        EXPECT_EQ(d.measureLine.colour, 0xC000u);
        EXPECT_EQ(d.measureCaption.colour, 0x8000u);
        const DrawingLayout::Corner &a = d.corner(r.a), &b = d.corner(r.b);
        EXPECT_EQ(d.measureLine.x1, a.x);
        EXPECT_EQ(d.measureLine.y2, b.y);
        EXPECT_NEAR(d.measureCaption.box.left(), (a.x + b.x) / 2, 0.01);
        EXPECT_NEAR(d.measureCaption.box.top(), (a.y + b.y) / 2, 0.01);
    }
}

TEST_F(LayoutTest, ADraggedElementIsWhereTheMouseHoldsIt) {
    ViewState v = atScale("10");
    const DrawingLayout still = lay(kTriangle, v);
    for (bool angle : {false, true}) {
        SCOPED_TRACE(angle ? "angle" : "marker");
        v.drag = ViewState::Drag{2, angle, 150, -30};
        const DrawingLayout d = lay(kTriangle, v);
        const QRectF &moved = angle ? d.corner(2).angle.box : d.corner(2).marker.box;
        const QRectF &was = angle ? still.corner(2).angle.box : still.corner(2).marker.box;
        EXPECT_EQ(moved, was.translated(150, -30));
        const QRectF &other = angle ? d.corner(2).marker.box : d.corner(2).angle.box;
        EXPECT_EQ(other, angle ? still.corner(2).marker.box : still.corner(2).angle.box);
        // The corner, its edge and the other corners stay.
        EXPECT_EQ(d.corner(2).x, still.corner(2).x);
        EXPECT_EQ(d.corner(1).edge.x2, still.corner(1).edge.x2);
    }
}

TEST_F(LayoutTest, CornersBeyondAnyScreenCannotBeDrawn) {
    const DrawingLayout d =
        lay(polygon({{"0", "0"}, {"1E12", "0"}, {"abc", "-1E12"}, {"", ""}}), atScale("10"));
    ASSERT_EQ(d.cornerCount(), 4);
    EXPECT_TRUE(drawable(d.corner(1).x, d.corner(1).y));
    EXPECT_FALSE(drawable(d.corner(2).x, d.corner(2).y));
    EXPECT_FALSE(drawable(d.corner(3).x, d.corner(3).y));
    // Letters and nothing count as 0: corner 4 lies on the origin.
    EXPECT_EQ(d.corner(4).x, 3540);
    EXPECT_EQ(d.corner(4).y, 10080);
    EXPECT_FALSE(drawable(d.corner(2).marker.box.left(), d.corner(2).marker.box.top()));
}

// ---------------------------------------------------------------- hit test

TEST_F(LayoutTest, APointHitsTheTopmostElementUnderIt) {
    files::Settings s = defaults();
    s.ShowAngles = 1;
    ViewState v = atScale("10");
    v.measured = ViewState::Pair{1, 3};
    const DrawingLayout d = lay(kTriangle, v, s);
    // Pixel cells: a box covers the cells from round(left / 15) for
    // round(width / 15) cells.
    const auto cell = [](double twips) { return std::round(twips / 15) * 15; };
    const QRectF m2 = d.corner(2).marker.box; // 75 twips: 5 cells
    const QRectF a3 = d.corner(3).angle.box;  // "36,9 град": 9 letters, 900 twips
    const QRectF l2 = d.corner(2).length.box; // "40", halfway up the second side
    const QRectF r = d.measureCaption.box;
    struct Row {
        const char *name;
        double x, y;
        DrawingHit hit;
    };
    const Row rows[] = {
        {"marker's first cell", cell(m2.left()), cell(m2.top()), {DrawingHit::Marker, 2}},
        {"marker's last cell",
         cell(m2.left()) + 4 * 15 + 14,
         cell(m2.top()) + 4 * 15,
         {DrawingHit::Marker, 2}},
        {"just past the marker", cell(m2.left()) + 5 * 15, cell(m2.top()) - 15, {}},
        // Corner 2's angle caption starts at the corner, under its marker.
        {"marker over its angle", d.corner(2).x, d.corner(2).y, {DrawingHit::Marker, 2}},
        {"angle caption", cell(a3.left()) + 600, cell(a3.top()) + 30, {DrawingHit::Angle, 3}},
        {"length caption",
         cell(l2.left()) + 20,
         cell(l2.top()) + 20,
         {DrawingHit::OtherCaption, 2}},
        // Corner 1's number keeps clear of its angle caption.
        {"number beside the angle",
         cell(d.corner(1).number.box.left()) + 20,
         cell(d.corner(1).number.box.top()) + 20,
         {DrawingHit::OtherCaption, 1}},
        {"measuring caption",
         cell(r.left()) + 10,
         cell(r.top()) + 10,
         {DrawingHit::OtherCaption, 0}},
        {"scale value", cell(d.xScale[1].box.left()) + 5, 10300, {DrawingHit::OtherCaption, 0}},
        {"empty drawing", 12000, 2000, {}},
    };
    for (const Row &row : rows) {
        SCOPED_TRACE(row.name);
        EXPECT_EQ(hitTest(d, row.x, row.y), row.hit);
    }
}

TEST_F(LayoutTest, HiddenCaptionsAndUndrawableCornersAreNotHit) {
    files::Settings s = defaults();
    s.ShowNumbers = 0;
    s.ShowAngles = 0;
    const DrawingLayout d =
        lay(polygon({{"0", "0"}, {"30", "0"}, {"1E12", "40"}}), atScale("10"), s);
    const QRectF n1 = d.corner(1).number.box;
    EXPECT_EQ(hitTest(d, n1.left() + 20, n1.top() + 20).kind, DrawingHit::Nothing);
    const QRectF a2 = d.corner(2).angle.box;
    EXPECT_NE(hitTest(d, a2.left() + 300, a2.top() + 60).kind, DrawingHit::Angle);
    for (double x : {-1e9, 0.0, 1e9})
        EXPECT_NE(hitTest(d, x, 0).corner, 3) << x;
}

TEST_F(LayoutTest, ALaterCornerLiesAboveAnEarlierOne) {
    // Two corners on the same place: the marker of the later one is hit.
    const DrawingLayout d = lay(polygon({{"10", "10"}, {"40", "10"}, {"10", "10"}}), atScale("10"));
    EXPECT_EQ(hitTest(d, d.corner(1).x, d.corner(1).y), (DrawingHit{DrawingHit::Marker, 3}));
}

// ---------------------------------------------------------------- drag

TEST(DragControlTest, FollowsTheMouseInWholePixelsInsideTheContainer) {
    struct Row {
        const char *name;
        QPointF to; // twips of the container
        QPointF offset;
    };
    // A 100-twip box at (1500, 3000) in a container of 1000 x 500 pixels,
    // taken at its first pixel (100, 200).
    const Row rows[] = {
        {"38 pixels right", QPointF(138 * 15, 200 * 15), QPointF(570, 0)},
        {"within the same pixel", QPointF(100 * 15 + 14, 200 * 15 + 7), QPointF(0, 0)},
        {"up and left", QPointF(90 * 15, 181 * 15), QPointF(-150, -285)},
        {"beyond the left and top", QPointF(-5000, -5000), QPointF(-1500, -3000)},
        {"beyond the right and bottom", QPointF(1e6, 1e6),
         QPointF(15000 - 100 - 1500, 7500 - 100 - 3000)},
    };
    for (const Row &r : rows) {
        SCOPED_TRACE(r.name);
        DragControl drag;
        drag.start(QRectF(1500, 3000, 100, 100), QPointF(100 * 15 + 3, 200 * 15 + 3), 1,
                   QSizeF(15000, 7500));
        ASSERT_TRUE(drag.active());
        drag.follow(r.to, 1);
        EXPECT_EQ(drag.offset(), r.offset);
    }
}

TEST(DragControlTest, EndsWhenItsButtonsAreNoLongerHeld) {
    DragControl drag;
    drag.start(QRectF(1500, 3000, 100, 100), QPointF(1650, 3150), 1, QSizeF(15000, 7500));
    EXPECT_TRUE(drag.follow(QPointF(1800, 3150), 1 | 2));
    EXPECT_FALSE(drag.follow(QPointF(2400, 3150), 2)); // the left button let go unseen
    EXPECT_FALSE(drag.active());
    EXPECT_EQ(drag.offset(), QPointF(150, 0));
    // A drag without buttons never starts.
    drag.start(QRectF(0, 0, 10, 10), QPointF(), 0, QSizeF(100, 100));
    EXPECT_FALSE(drag.active());
}

// An element already partly outside the container is not pulled in; it only
// may not move further out.
TEST(DragControlTest, AnElementOutsideStaysWhereItIsUntilMovedIn) {
    DragControl drag;
    drag.start(QRectF(-60, 100, 100, 100), QPointF(0, 150), 1, QSizeF(15000, 7500));
    drag.follow(QPointF(0, 150), 1);
    EXPECT_EQ(drag.offset(), QPointF(0, 0));
    drag.follow(QPointF(30, 150), 1);
    EXPECT_EQ(drag.offset(), QPointF(30, 0));
}

// The axes carry the coordinates they stand at, and north up X is the
// upright axis.
TEST_F(LayoutTest, TheAxesNameAndLabelTheCoordinatesTheyShow) {
    struct Row {
        const char *name;
        bool northUp;
        const char *across, *up, *firstAcross, *lastAcross, *firstUp;
    } rows[] = {
        {"as the program drew", false, "X", "Y", "6 123 500", "6 123 650", "2 345 700"},
        {"north up", true, "Y", "X", "2 345 700", "2 345 850", "6 123 500"},
    };
    for (const Row &r : rows) {
        SCOPED_TRACE(r.name);
        ViewState v = atScale("10");
        v.setNorthUp(r.northUp);
        v.moveAxes(6123450, 2345650);
        const DrawingLayout d = lay(kTriangle, v);
        EXPECT_EQ(d.xName.text, r.across);
        EXPECT_EQ(d.yName.text, r.up);
        EXPECT_EQ(d.xScale[0].text, r.firstAcross);
        EXPECT_EQ(d.yScale[0].text, r.firstUp);
        EXPECT_EQ(d.xScale[3].text, r.lastAcross);
    }
}

// Captions never overlap. An angle caption stays on its corner, where a
// drop reads it, unless an earlier corner's lies there: then it moves a
// little off its corner, outward, and the corner keeps the shift. Numbers
// and lengths keep off the angle captions and off each other. A length sits
// beyond its side on the outer side; the longest side's stays at its middle
// unless a moved caption took it, the shorter ones give way.
struct CaptionCase {
    const char *name;
    std::vector<std::pair<const char *, const char *>> corners;
    const char *scale;
    std::vector<int> shiftedAngles; // the corners whose angle caption leaves the corner
    double axisX = 0, axisY = 0;
    bool northUp = false;
    bool shiftedOutside = true;  // the shifted angle captions lie outside the outline
    bool longestAtMiddle = true; // the longest side's length stays at its middle
};

// Whether a point lies inside the drawn outline (crossings of a ray to the right).
bool insideOutline(const DrawingLayout &d, QPointF p) {
    bool inside = false;
    for (const DrawingLayout::Corner &c : d.corners) {
        const DrawnLine &e = c.edge;
        if ((e.y1 > p.y()) != (e.y2 > p.y()) &&
            p.x() < e.x1 + (p.y() - e.y1) * (e.x2 - e.x1) / (e.y2 - e.y1))
            inside = !inside;
    }
    return inside;
}

// How far a point lies from a box (0 inside it).
double distanceTo(const QRectF &box, QPointF p) {
    const double dx = std::max({box.left() - p.x(), 0.0, p.x() - box.right()});
    const double dy = std::max({box.top() - p.y(), 0.0, p.y() - box.bottom()});
    return std::hypot(dx, dy);
}

class CaptionTest : public ::testing::TestWithParam<CaptionCase> {
protected:
    geometry::PolygonDocument doc;
};

TEST_P(CaptionTest, CaptionsKeepApart) {
    const CaptionCase &c = GetParam();
    doc.reset(polygon(c.corners));
    ViewState v = atScale(c.scale);
    v.setNorthUp(c.northUp);
    v.moveAxes(c.axisX, c.axisY);
    files::Settings s = defaults();
    s.ShowAngles = 1;
    const DrawingLayout d = layOutDrawing(doc, v, s, letters);
    const int n = d.cornerCount();
    struct Placed {
        QString what;
        QRectF box;
    };
    std::vector<Placed> all;
    int longest = 1;
    for (int i = 1; i <= n; ++i) {
        const DrawingLayout::Corner &k = d.corner(i);
        const QPointF at(k.x, k.y);
        // The corner lies exactly its shift away from the caption's top left.
        EXPECT_EQ(k.angle.box.topLeft() - k.angleShift, at) << i;
        if (std::find(c.shiftedAngles.begin(), c.shiftedAngles.end(), i) == c.shiftedAngles.end()) {
            EXPECT_EQ(k.angle.box.topLeft(), at) << i;
        } else {
            EXPECT_NE(k.angle.box.topLeft(), at) << i;
            EXPECT_LE(distanceTo(k.angle.box, at), 500) << i; // a little away
            if (c.shiftedOutside) EXPECT_FALSE(insideOutline(d, k.angle.box.center())) << i;
        }
        all.push_back({QStringLiteral("angle %1").arg(i), k.angle.box});
        all.push_back({QStringLiteral("number %1").arg(i), k.number.box});
        all.push_back({QStringLiteral("length %1").arg(i), k.length.box});
        if (doc.measures().SideLen[std::size_t(i)] > doc.measures().SideLen[std::size_t(longest)])
            longest = i;
        // Beyond its side, never across it.
        const DrawingLayout::Corner &away = d.corner((i + 1) % n + 1);
        if (n == 3) EXPECT_GE(clearanceOutside(k.length.box, k.edge, away), 44.99) << i;
    }
    for (std::size_t a = 0; a < all.size(); ++a)
        for (std::size_t b = a + 1; b < all.size(); ++b)
            EXPECT_FALSE(all[a].box.intersects(all[b].box))
                << all[a].what << " and " << all[b].what;
    // Nor do they lie on the values and names of the axes.
    std::vector<Placed> axes = {{"X name", d.xName.box}, {"Y name", d.yName.box}};
    for (std::size_t k = 0; k < d.xScale.size(); ++k) {
        axes.push_back({QStringLiteral("value %1 across").arg(k + 1), d.xScale[k].box});
        axes.push_back({QStringLiteral("value %1 up").arg(k + 1), d.yScale[k].box});
    }
    for (const Placed &a : all)
        for (const Placed &b : axes)
            if (a.what.startsWith(QLatin1String("number")) ||
                a.what.startsWith(QLatin1String("length")))
                EXPECT_FALSE(a.box.intersects(b.box)) << a.what << " and " << b.what;
    if (c.longestAtMiddle)
        EXPECT_NEAR(alongFromMiddle(d.corner(longest).length.box, d.corner(longest).edge), 0, 0.01);
}

INSTANTIATE_TEST_SUITE_P(
    ShortSides, CaptionTest,
    ::testing::Values(
        // Two sides of 20,62 whose lengths once lay on each other ("20,6220,62").
        CaptionCase{"TwinSidesOfTwentyAtScale20",
                    {{"0", "0"}, {"20", "5"}, {"0", "10"}, {"-30", "5"}},
                    "20",
                    {2, 3, 4},
                    -50,
                    -50,
                    false,
                    true,
                    false}, // corner 1's number, moved round the shifted angles, takes it
        CaptionCase{"SurveyPlotWithATwoMetreSide",
                    {{"6123456", "2345678"},
                     {"6123500", "2345690"},
                     {"6123502", "2345690"},
                     {"6123530", "2345740"},
                     {"6123460", "2345730"}},
                    "10",
                    {3},
                    6123450,
                    2345650},
        CaptionCase{"SurveyPlotNorthUp",
                    {{"6123456", "2345678"},
                     {"6123500", "2345690"},
                     {"6123502", "2345690"},
                     {"6123530", "2345740"},
                     {"6123460", "2345730"}},
                    "10",
                    {3},
                    6123450,
                    2345650,
                    true},
        CaptionCase{"ThinTriangle", {{"0", "0"}, {"60", "0"}, {"60", "4"}}, "10", {}},
        // The length of a side on the X axis would lie on the value of its tick.
        CaptionCase{"ASideOnTheAxisUnderItsTick",
                    {{"40", "0"}, {"60", "0"}, {"60", "30"}, {"40", "30"}},
                    "10",
                    {}},
        CaptionCase{"NarrowNotch",
                    {{"0", "0"},
                     {"80", "0"},
                     {"80", "60"},
                     {"42", "60"},
                     {"42", "20"},
                     {"38", "20"},
                     {"38", "60"},
                     {"0", "60"}},
                    "10",
                    {6, 7},
                    0,
                    0,
                    false,
                    false}, // a caption is wider than the notch
        // Two millimetres apart on the drawing: the later one gives way.
        CaptionCase{"TwoCornersTwoMetresApart",
                    {{"0", "0"}, {"40", "0"}, {"40", "2"}, {"0", "30"}},
                    "10",
                    {3}},
        CaptionCase{"ThreeCornersInACluster",
                    {{"0", "0"}, {"40", "0"}, {"41", "1"}, {"40", "2"}, {"0", "30"}},
                    "10",
                    {3, 4}},
        // At the scale 5 the same two lie four millimetres apart, clear.
        CaptionCase{"TwoMetresApartAtScale5AreClear",
                    {{"0", "0"}, {"40", "0"}, {"40", "2"}, {"0", "30"}},
                    "5",
                    {}},
        CaptionCase{"ANormalPlotLeavesEveryAngleOnItsCorner",
                    {{"0", "0"}, {"30", "0"}, {"35", "40"}, {"5", "45"}},
                    "10",
                    {}}),
    [](const auto &info) { return std::string(info.param.name); });

} // namespace
} // namespace tarvel::testing
