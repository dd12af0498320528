// The plan on paper as a value: the scale that fits, the grid's values,
// where a corner lands on the page, north up, the scale bar, the texts,
// the catalogue over pages and the labels that find room. No window: texts
// are measured by a rule of the test's own (0,2 mm a letter per point,
// 0,4 mm high per point).
//
// The expected places are worked out by hand from the page of A4 portrait:
// the frame runs from 25 mm (20 of margin and 5 for the X values) to 200 mm
// across (10 of margin on the right), 175 mm, and from 25 mm (10 of margin,
// 12 for the title, 3 of gap) down to 200 mm, square. A plot fits when its
// bounds take at most 175 − 2 · 10 = 155 mm each way. The plot's bounds are
// centred: x0 = centre X − 87,5 mm · denominator / 1000 and likewise y0, and
// a corner lies at x = 25 + (Y − y0) / denominator · 1000,
// y = 200 − (X − x0) / denominator · 1000.
#include "drawing/plan_layout.h"
#include "geometry/polygon_document.h"
#include "support/qstring_print.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <numbers>
#include <vector>

namespace tarvel::testing {

using namespace tarvel::drawing;
namespace {

QSizeF letters(const QString &text, double points, bool) {
    return QSizeF(0.2 * points * double(text.size()), 0.4 * points);
}

const QSizeF kA4(210, 297);

// A rectangle from (x, y) of `up` metres along X and `across` along Y,
// corners named н1..н4 counterclockwise on the page.
PlanInput rectangle(double x, double y, double up, double across) {
    PlanInput in;
    PlanContour c;
    c.corners = {{x, y, QStringLiteral("н1"), up},
                 {x + up, y, QStringLiteral("н2"), across},
                 {x + up, y + across, QStringLiteral("н3"), up},
                 {x, y + across, QStringLiteral("н4"), across}};
    in.contours.push_back(c);
    in.areaM2 = up * across;
    in.owner = QStringLiteral("Иванов Иван Иванович");
    for (const PlanContour::Corner &p : c.corners)
        in.catalogue.push_back({PlanCatalogueLine::Kind::Corner,
                                {p.label, QString::number(p.x), QString::number(p.y),
                                 QString::number(p.sideM), QStringLiteral("0° 00′ 00″")}});
    return in;
}

// `n` corners on a circle of `r` metres round (x, y), numbered.
PlanInput circle(int n, double x, double y, double r) {
    PlanInput in;
    PlanContour c;
    const double side = 2 * r * std::sin(std::numbers::pi / n);
    for (int i = 0; i < n; ++i) {
        const double a = 2 * std::numbers::pi * i / n;
        c.corners.push_back({x + r * std::cos(a), y + r * std::sin(a), QString::number(i + 1), side});
        in.catalogue.push_back(
            {PlanCatalogueLine::Kind::Corner, {QString::number(i + 1), "x", "y", "s", "a"}});
    }
    in.contours.push_back(c);
    return in;
}

std::vector<QString> textsOf(const PlanPage &page) {
    std::vector<QString> out;
    for (const PlanText &t : page.texts)
        out.push_back(t.text);
    return out;
}
bool has(const std::vector<QString> &texts, const QString &t) {
    return std::find(texts.begin(), texts.end(), t) != texts.end();
}

TEST(PlanScale, TheFirstStandardScaleAtWhichThePlotFitsWithItsRoom) {
    const struct {
        const char *name;
        double up, across; // metres along X and Y
        int expected;
        bool fits;
    } rows[] = {
        // 150 mm at 1:100.
        {"Room15x10", 15, 10, 100, true},
        // 160 mm at 1:100 is more than 155; 80 mm at 1:200.
        {"Room16x10", 16, 10, 200, true},
        // 300 mm at 1:200; 120 mm at 1:500.
        {"Plot60x40", 60, 40, 500, true},
        {"Plot40x60AcrossTheNorth", 40, 60, 500, true},
        // Exactly the 155 mm of room at 1:500.
        {"ExactlyTheRoom", 77.5, 10, 500, true},
        // 155,2 mm at 1:500; 77,6 mm at 1:1 000.
        {"JustOverTheRoom", 77.6, 10, 1000, true},
        // 300 mm at 1:10 000; 120 mm at 1:25 000.
        {"Field3km", 3000, 1200, 25000, true},
        // 200 mm even at 1:25 000: the coarsest, cut at the frame.
        {"Field5kmFitsNone", 5000, 300, 25000, false},
        // A point: anything fits.
        {"OnePoint", 0, 0, 100, true},
    };
    for (const auto &r : rows) {
        SCOPED_TRACE(r.name);
        const PlanInput in = rectangle(6000000, 2000000, r.up, r.across);
        EXPECT_EQ(firstFittingScale(in, kA4), r.expected);
        EXPECT_EQ(layOutPlan(in, kA4, r.expected, letters).fits, r.fits);
    }
}

TEST(PlanScale, TheFrameOfA4) {
    const QRectF f = planFrame(kA4);
    EXPECT_DOUBLE_EQ(f.left(), 25);
    EXPECT_DOUBLE_EQ(f.right(), 200);
    EXPECT_DOUBLE_EQ(f.top(), 25);
    EXPECT_DOUBLE_EQ(f.bottom(), 200);
}

TEST(PlanScale, TextsOfTheScales) {
    const struct {
        int denominator;
        const char *text;
    } rows[] = {{100, "1:100"}, {500, "1:500"}, {1000, "1:1 000"}, {25000, "1:25 000"}};
    for (const auto &r : rows)
        EXPECT_EQ(planScaleText(r.denominator), QString::fromUtf8(r.text));
}

TEST(PlanGrid, LinesEveryTenCentimetresAtRoundGroundValues) {
    const struct {
        const char *name;
        double x, y, up, across;
        int denominator;
        double step;
        std::vector<double> gridX, gridY;
    } rows[] = {
        // Centre (6 000 030; 2 000 020); 87,5 mm is 43,75 m: X from
        // 5 999 986,25 to 6 000 073,75, Y from 1 999 976,25 to 2 000 063,75.
        {"Plot60x40At500", 6000000, 2000000, 60, 40, 500, 50, {6000000, 6000050}, {2000000, 2000050}},
        // 87,5 m each way: X 5 999 942,5 .. 6 000 117,5, Y 1 999 932,5 .. 2 000 107,5.
        {"Plot60x40At1000", 6000000, 2000000, 60, 40, 1000, 100, {6000000, 6000100}, {2000000, 2000100}},
        // Centre (507,5; 305); 8,75 m each way: X 498,75 .. 516,25, Y 296,25 .. 313,75.
        {"RoomAt100", 500, 300, 15, 10, 100, 10, {500, 510}, {300, 310}},
        // Centre (1 500; 600); 2 187,5 m each way: X −687,5 .. 3 687,5, Y −1 587,5 .. 2 787,5.
        {"FieldAt25000", 0, 0, 3000, 1200, 25000, 2500, {0, 2500}, {0, 2500}},
    };
    for (const auto &r : rows) {
        SCOPED_TRACE(r.name);
        const PlanLayout plan = layOutPlan(rectangle(r.x, r.y, r.up, r.across), kA4, r.denominator, letters);
        EXPECT_DOUBLE_EQ(plan.gridStepM, r.step);
        EXPECT_EQ(plan.gridX, r.gridX);
        EXPECT_EQ(plan.gridY, r.gridY);
    }
}

TEST(PlanGrid, ValuesAreWrittenOutsideTheFrame) {
    const PlanLayout plan = layOutPlan(rectangle(6000000, 2000000, 60, 40), kA4, 500, letters);
    const std::vector<QString> texts = textsOf(plan.pages[0]);
    for (const char *value : {"6 000 000", "6 000 050", "2 000 000", "2 000 050"})
        EXPECT_TRUE(has(texts, QString::fromUtf8(value))) << value;
    for (const PlanText &t : plan.pages[0].texts) {
        if (!t.text.startsWith(QStringLiteral("6 000")) && !t.text.startsWith(QStringLiteral("2 000")))
            continue;
        EXPECT_FALSE(t.box.intersects(plan.frame)) << t.text;
        // X values stand left of the frame reading upward, Y values under it.
        EXPECT_EQ(t.upright, t.text.startsWith(QStringLiteral("6 000"))) << t.text;
    }
}

TEST(PlanPlace, CornersLieWhereTheScaleAndTheCentredFramePutThem) {
    const struct {
        const char *name;
        double x, y, up, across;
        int denominator;
        // Corners н1..н4 on the page, mm.
        std::vector<QPointF> expected;
    } rows[] = {
        // x0 = 5 999 986,25, y0 = 1 999 976,25, 2 mm a metre.
        {"Plot60x40At500", 6000000, 2000000, 60, 40, 500,
         {{72.5, 172.5}, {72.5, 52.5}, {152.5, 52.5}, {152.5, 172.5}}},
        // x0 = 498,75, y0 = 296,25, 10 mm a metre.
        {"RoomAt100", 500, 300, 15, 10, 100,
         {{62.5, 187.5}, {62.5, 37.5}, {162.5, 37.5}, {162.5, 187.5}}},
        // x0 = 5 999 942,5, y0 = 1 999 932,5, 1 mm a metre.
        {"Plot60x40At1000", 6000000, 2000000, 60, 40, 1000,
         {{92.5, 142.5}, {92.5, 82.5}, {132.5, 82.5}, {132.5, 142.5}}},
    };
    for (const auto &r : rows) {
        SCOPED_TRACE(r.name);
        const PlanLayout plan =
            layOutPlan(rectangle(r.x, r.y, r.up, r.across), kA4, r.denominator, letters);
        ASSERT_EQ(plan.corners.size(), r.expected.size());
        ASSERT_EQ(plan.rings.size(), 1u);
        for (std::size_t i = 0; i < r.expected.size(); ++i) {
            EXPECT_NEAR(plan.corners[i].x(), r.expected[i].x(), 1e-9) << i;
            EXPECT_NEAR(plan.corners[i].y(), r.expected[i].y(), 1e-9) << i;
            EXPECT_TRUE(plan.rings[0].points.contains(r.expected[i])) << i;
        }
    }
}

TEST(PlanPlace, NorthIsUpAndEastToTheRight) {
    // A triangle: the northmost corner highest, the eastmost rightmost.
    PlanInput in;
    in.contours.push_back({{{100, 100, "1", 0}, {180, 120, "2", 0}, {120, 160, "3", 0}}, false});
    const PlanLayout plan = layOutPlan(in, kA4, firstFittingScale(in, kA4), letters);
    ASSERT_EQ(plan.corners.size(), 3u);
    const auto &c = plan.corners;
    // X: 180 > 120 > 100, so corner 2 above 3 above 1.
    EXPECT_LT(c[1].y(), c[2].y());
    EXPECT_LT(c[2].y(), c[0].y());
    // Y: 160 > 120 > 100, so corner 3 right of 2 right of 1.
    EXPECT_GT(c[2].x(), c[1].x());
    EXPECT_GT(c[1].x(), c[0].x());
}

TEST(PlanScaleBar, TwoRoundPartsOfTwoCentimetresOrMore) {
    const struct {
        int denominator;
        double step, mm;
    } rows[] = {
        // 2 cm of paper is 2 m at 1:100, 4 m at 1:200 (5 m: 25 mm), ...
        {100, 2, 40},    {200, 5, 50},     {500, 10, 40},     {1000, 20, 40},
        {2000, 50, 50},  {5000, 100, 40},  {10000, 200, 40},  {25000, 500, 40},
    };
    for (const auto &r : rows) {
        SCOPED_TRACE(r.denominator);
        EXPECT_DOUBLE_EQ(scaleBarStep(r.denominator), r.step);
        const PlanLayout plan = layOutPlan(rectangle(0, 0, 10, 10), kA4, r.denominator, letters);
        EXPECT_DOUBLE_EQ(plan.barMm, r.mm);
    }
}

TEST(PlanTexts, TitleScaleAreaNamesAndLengths) {
    const PlanLayout plan = layOutPlan(rectangle(6000000, 2000000, 60, 40.4), kA4, 500, letters);
    const std::vector<QString> texts = textsOf(plan.pages[0]);
    const struct {
        const char *name, *text;
    } rows[] = {
        {"Title", "Иванов Иван Иванович"},
        {"Scale", "Масштаб 1:500"},
        // 60 · 40,4 = 2 424 m².
        {"Area", "Площадь участка: 2 424,00 м²"},
        {"BarStart", "0"},
        {"BarMiddle", "10"},
        {"BarEnd", "20 м"},
        {"North", "С"},
    };
    for (const auto &r : rows)
        EXPECT_TRUE(has(texts, QString::fromUtf8(r.text))) << r.name;
    // The title above the frame.
    const auto title = std::find_if(plan.pages[0].texts.begin(), plan.pages[0].texts.end(),
                                    [](const PlanText &t) { return t.text.startsWith("Иванов"); });
    ASSERT_NE(title, plan.pages[0].texts.end());
    EXPECT_LE(title->box.bottom(), plan.frame.top());

    std::vector<QString> labels;
    for (const PlanText &t : plan.labels)
        labels.push_back(t.text);
    for (const char *label : {"н1", "н2", "н3", "н4", "60,00", "40,40"})
        EXPECT_TRUE(has(labels, QString::fromUtf8(label))) << label;
    EXPECT_EQ(plan.labelsLeftOut, 0);
}

TEST(PlanTexts, LengthsAndNamesStandOutsideTheirPlot) {
    // The 60 x 40 plot at 1:500 spans 72,5..152,5 across and 52,5..172,5 down.
    const PlanLayout plan = layOutPlan(rectangle(6000000, 2000000, 60, 40), kA4, 500, letters);
    const QRectF plot(QPointF(72.5, 52.5), QPointF(152.5, 172.5));
    ASSERT_EQ(plan.labels.size(), 8u);
    for (const PlanText &t : plan.labels) {
        EXPECT_FALSE(t.box.intersects(plot)) << t.text;
        EXPECT_TRUE(plan.frame.contains(t.box)) << t.text;
    }
}

TEST(PlanLabels, CrowdedLabelsAreLeftOutNeverOverlapping) {
    const PlanInput in = circle(10000, 6000000, 2000000, 1000);
    const PlanLayout plan = layOutPlan(in, kA4, firstFittingScale(in, kA4), letters);
    EXPECT_EQ(plan.denominator, 25000); // 2 000 m is 200 mm at 1:10 000
    EXPECT_EQ(plan.corners.size(), 10000u);
    // Sides of 0,03 mm on paper get no length; most names find no room.
    EXPECT_GT(plan.labelsLeftOut, 9000);
    EXPECT_FALSE(plan.labels.empty());
    for (std::size_t i = 0; i < plan.labels.size(); ++i) {
        EXPECT_TRUE(plan.frame.contains(plan.labels[i].box));
        for (std::size_t j = i + 1; j < plan.labels.size(); ++j)
            EXPECT_FALSE(plan.labels[i].box.intersects(plan.labels[j].box)) << i << " " << j;
    }
}

TEST(PlanLabels, APlotTooLargeForTheScaleIsCutAtTheFrame) {
    // 60 x 40 m at 1:100 is 600 x 400 mm.
    const PlanLayout plan = layOutPlan(rectangle(6000000, 2000000, 60, 40), kA4, 100, letters);
    EXPECT_FALSE(plan.fits);
    EXPECT_TRUE(plan.corners.empty());
    ASSERT_EQ(plan.rings.size(), 1u);
    const QRectF around = plan.frame.adjusted(-1, -1, 1, 1);
    for (const QPointF &p : plan.rings[0].points)
        EXPECT_TRUE(around.contains(p)) << p.x() << " " << p.y();
}

TEST(PlanCatalogue, UnderTheDrawingWhenItFitsElseFromTheNextPage) {
    // Under the frame: the values to 205 mm, the scale's row 208..216, the
    // table from 220 with its caption (7) and heading (6): rows of 5 mm down
    // to 282 (10 of margin and 5 for the sheet's number): nine. A page of
    // its own holds (282 − 10 − 13) / 5 = 51 rows.
    const struct {
        const char *name;
        int corners;
        int pages;
        int cataloguePage;
    } rows[] = {
        {"NineOnTheFirstPage", 9, 1, 0},
        {"TenOnAPageOfTheirOwn", 10, 2, 1},
        {"FiftyOneFillThatPage", 51, 2, 1},
        {"FiftyTwoRunOn", 52, 3, 1},
        // 51 + 51 + 51 + 47.
        {"TwoHundred", 200, 5, 1},
    };
    for (const auto &r : rows) {
        SCOPED_TRACE(r.name);
        const PlanLayout plan = layOutPlan(circle(r.corners, 0, 0, 30), kA4, 500, letters);
        EXPECT_EQ(plan.pageCount(), r.pages);
        EXPECT_EQ(plan.cataloguePage, r.cataloguePage);
        // Every page of the catalogue has its heading row, and every corner
        // is listed once, in order.
        std::vector<QString> numbers;
        for (int k = plan.cataloguePage; k < plan.pageCount(); ++k) {
            const std::vector<QString> texts = textsOf(plan.pages[std::size_t(k)]);
            EXPECT_TRUE(has(texts, QStringLiteral("№ точки"))) << k;
            EXPECT_TRUE(has(texts, QStringLiteral("Дирекционный угол"))) << k;
            for (const PlanText &t : plan.pages[std::size_t(k)].texts)
                if (t.points == 9 && !t.bold && t.box.left() < 50) numbers.push_back(t.text);
            for (const PlanText &t : plan.pages[std::size_t(k)].texts)
                EXPECT_LE(t.box.bottom(), 297 - 10 + 1e-9) << t.text;
        }
        ASSERT_EQ(numbers.size(), std::size_t(r.corners));
        for (int i = 0; i < r.corners; ++i)
            EXPECT_EQ(numbers[std::size_t(i)], QString::number(i + 1));
        if (r.pages > 1)
            EXPECT_TRUE(has(textsOf(plan.pages.back()),
                            QStringLiteral("Лист %1 из %1").arg(r.pages)));
    }
}

// The input from the document: metres whatever the unit, names or numbers,
// direction angles clockwise from +X, the sides; several contours under
// their headings.
TEST(PlanInputFromDocument, CornersInMetresWithTheirCatalogue) {
    const struct {
        const char *name;
        geometry::Unit unit;
        const char *side; // the texts of the square's side
        std::vector<QStringList> catalogue;
    } rows[] = {
        {"Metres", geometry::Unit::Metres, "100",
         {{"н1", "0,00", "0,00", "100,00", "0° 00′ 00″"},
          {"2", "100,00", "0,00", "100,00", "90° 00′ 00″"},
          {"3", "100,00", "100,00", "100,00", "180° 00′ 00″"},
          {"4", "0,00", "100,00", "100,00", "270° 00′ 00″"}}},
        {"Kilometres", geometry::Unit::Kilometres, "0,1",
         {{"н1", "0,00", "0,00", "100,00", "0° 00′ 00″"},
          {"2", "100,00", "0,00", "100,00", "90° 00′ 00″"},
          {"3", "100,00", "100,00", "100,00", "180° 00′ 00″"},
          {"4", "0,00", "100,00", "100,00", "270° 00′ 00″"}}},
    };
    for (const auto &r : rows) {
        SCOPED_TRACE(r.name);
        const QString s = QString::fromUtf8(r.side);
        geometry::PolygonTexts t;
        t.count = QStringLiteral("4");
        const QString x[] = {"0", s, s, "0"}, y[] = {"0", "0", s, s};
        for (std::size_t i = 1; i <= 4; ++i) {
            t.x[i] = x[i - 1];
            t.y[i] = y[i - 1];
        }
        t.names[1] = QStringLiteral("н1");
        t.owner = QStringLiteral("Петров");
        geometry::PolygonDocument doc;
        doc.reset(t);
        doc.setUnit(r.unit);
        const PlanInput in = planInputOf(doc);
        EXPECT_EQ(in.owner, QStringLiteral("Петров"));
        EXPECT_DOUBLE_EQ(in.areaM2, 10000);
        ASSERT_EQ(in.contours.size(), 1u);
        ASSERT_EQ(in.contours[0].corners.size(), 4u);
        EXPECT_DOUBLE_EQ(in.contours[0].corners[2].x, 100);
        EXPECT_DOUBLE_EQ(in.contours[0].corners[2].y, 100);
        EXPECT_EQ(in.contours[0].corners[0].label, QStringLiteral("н1"));
        EXPECT_EQ(in.contours[0].corners[1].label, QStringLiteral("2"));
        ASSERT_EQ(in.catalogue.size(), r.catalogue.size());
        for (std::size_t i = 0; i < r.catalogue.size(); ++i)
            EXPECT_EQ(in.catalogue[i].cells, r.catalogue[i]) << i;
    }
}

TEST(PlanInputFromDocument, AHoleIsDrawnAndListedUnderItsHeading) {
    geometry::ContourTexts outer, hole;
    outer.count = hole.count = QStringLiteral("4");
    const QString ox[] = {"0", "100", "100", "0"}, oy[] = {"0", "0", "100", "100"};
    const QString hx[] = {"40", "60", "60", "40"}, hy[] = {"40", "40", "60", "60"};
    for (std::size_t i = 1; i <= 4; ++i) {
        outer.x[i] = ox[i - 1];
        outer.y[i] = oy[i - 1];
        hole.x[i] = hx[i - 1];
        hole.y[i] = hy[i - 1];
    }
    hole.hole = true;
    geometry::PolygonDocument doc;
    doc.reset(geometry::plotOf({outer, hole}, QStringLiteral("Сидоров")));
    const PlanInput in = planInputOf(doc);
    ASSERT_EQ(in.contours.size(), 2u);
    EXPECT_FALSE(in.contours[0].hole);
    EXPECT_TRUE(in.contours[1].hole);
    // 100 · 100 − 20 · 20.
    EXPECT_DOUBLE_EQ(in.areaM2, 9600);
    // Heading, four corners, area; twice.
    ASSERT_EQ(in.catalogue.size(), 12u);
    EXPECT_EQ(in.catalogue[0].kind, PlanCatalogueLine::Kind::Heading);
    EXPECT_EQ(in.catalogue[0].cells.value(0), QStringLiteral("Контур 1 из 2"));
    EXPECT_EQ(in.catalogue[5].kind, PlanCatalogueLine::Kind::Note);
    EXPECT_EQ(in.catalogue[6].cells.value(0), QStringLiteral("Контур 2 из 2 (дырка)"));
    EXPECT_EQ(in.catalogue[7].cells.value(1), QStringLiteral("40,00"));

    const PlanLayout plan = layOutPlan(in, kA4, firstFittingScale(in, kA4), letters);
    ASSERT_EQ(plan.rings.size(), 2u);
    EXPECT_TRUE(plan.rings[1].hole);
    EXPECT_TRUE(has(textsOf(plan.pages[std::size_t(plan.cataloguePage)]),
                    QStringLiteral("Контур 2 из 2 (дырка)")));
    EXPECT_TRUE(has(textsOf(plan.pages[0]), QStringLiteral("Площадь участка: 9 600,00 м²")));
}

} // namespace
} // namespace tarvel::testing
