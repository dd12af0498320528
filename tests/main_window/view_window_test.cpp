// The view in the window: it takes in a polygon that arrives (an open, a
// paste, a geographic entry, the command "Показать весь участок") at its
// best scale, and follows one a change leaves outside the drawing;
// the axes show the real coordinates; and the highlighted row is always the
// corner the step buttons move.
#include "main_window/editing_fixture.h"

#include "geographic/conversion.h"
#include "drawing/drawing_surface.h"
#include "support/polygon_folder.h"

#include <QAction>
#include <QLineEdit>
#include <QMenu>

#include <functional>
#include <set>

namespace tarvel::testing {
namespace {

using platform::MsgResult;

// A survey plot of five corners near X 6 123 456, Y 2 345 678, and a field
// of a kilometre there.
const Texts kSurveyPlot = {{"6123456,00", "2345678,00"},
                           {"6123500,00", "2345690,00"},
                           {"6123530,00", "2345740,00"},
                           {"6123460,00", "2345730,00"},
                           {"6123458,00", "2345700,00"}};
const Texts kOriginPlot = {
    {"0,00", "0,00"}, {"44,00", "12,00"}, {"74,00", "62,00"}, {"4,00", "52,00"}, {"2,00", "22,00"}};
const Texts kGeoField = {{"0", "0"}, {"3000", "0"}, {"3000", "3000"}, {"0", "3000"}};
const Texts kSurveyField = {{"6123456,00", "2345678,00"},
                            {"6124456,00", "2345678,00"},
                            {"6124456,00", "2346478,00"},
                            {"6123456,00", "2346478,00"}};

class ViewWindowTest : public EditingTest, protected PolygonFolder {
protected:
    void showAll() { form->controls().Menu_Tools_ShowAll->trigger(); }
    void open(const Texts &corners) {
        QStringList xs, ys;
        for (const auto &[x, y] : corners)
            xs << x, ys << y;
        writeBytes(QStringLiteral("plot.squ"), polygonFile(QString::number(corners.size()), xs, ys,
                                                           QStringLiteral("Хозяин"), "\r\n"));
        fakes.dialogs.fileAnswers = {path(QStringLiteral("plot.squ"))};
        form->controls().Menu_File_Open->trigger();
    }
};

TEST_F(ViewWindowTest, TheViewTakesInAPolygonThatArrivesOrLeavesTheDrawing) {
    struct Row {
        const char *name;
        std::function<void()> act;
        const Texts &corners;
        double axisX, axisY;
        const char *scale;
        const char *firstAcross, *firstUp; // the values at the first ticks
        int changes = 1;                   // of the document, each with one redraw
    };
    // The survey plot, 74 m by 62 m, with a centimetre of room all round,
    // fits 20 cm by 17 cm at 1 cm = 5 m: X from 6 123 450, a tick multiple
    // (85 m of 100), Y from 2 345 670, a whole centimetre (75 m of 85; the
    // tick multiple 2 345 650 would need 95).
    const Row rows[] = {
        {"a change leaving the plot outside takes it in", [this] { setPolygon(kSurveyPlot); },
         kSurveyPlot, 6123450, 2345670, "5", "6 123 475", "2 345 695"},
        {"the command takes the plot in",
         [this] {
             setPolygon(kSurveyPlot);
             showAll();
         },
         kSurveyPlot, 6123450, 2345670, "5", "6 123 475", "2 345 695"},
        // 1 000 m by 800 m: at 1 cm = 50 m even the centimetre 6 123 400
        // needs 1 106 m of 1 000.
        {"a field steps the scale up",
         [this] {
             setPolygon(kSurveyField);
             showAll();
         },
         kSurveyField, 6123000, 2345500, "100", "6 123 500", "2 346 000"},
        // Taken to the origin, the plot leaves the view at its old place;
        // from -5 m, with its room, it takes 84 m across and 72 m up.
        {"the move to the origin follows the plot",
         [this] {
             open(kSurveyPlot);
             form->controls().Menu_Tools_Norm->trigger();
         },
         kOriginPlot, -5, -5, "5", "20", "20", 2},
        // A converted plot starts at the origin; 3 km and 200 m of room
        // either side need 1 cm = 200 m, the 17 cm up exactly.
        {"a geographic entry steps the scale up",
         [this] {
             geographic::PlaneCorners c;
             c.count = 4;
             c.x = {0, 0, 3000, 3000, 0};
             c.y = {0, 0, 0, 3000, 3000};
             form->enterGeographicCorners(c);
         },
         kGeoField, -200, -200, "200", "800", "800"},
        {"an open takes the plot in", [this] { open(kSurveyPlot); }, kSurveyPlot, 6123450, 2345670,
         "5", "6 123 475", "2 345 695"},
        // Cells copied from a spreadsheet: tab-separated, decimal comma. The
        // plot at the origin lies in the first view, which stays until the
        // paste.
        {"a paste of coordinates takes the plot in",
         [this] {
             setPolygon(kOriginPlot);
             ASSERT_EQ(form->view().axisX, 0);
             QString cells;
             for (const auto &[x, y] : kSurveyPlot)
                 cells += x + QLatin1Char('\t') + y + QLatin1Char('\n');
             fakes.clipboard.plain = cells;
             focus(*form->table().x(1));
             QTest::keyClick(form->table().x(1)->edit(), Qt::Key_V, Qt::ControlModifier);
             ASSERT_TRUE(fakes.messages.shown.empty());
         },
         kSurveyPlot, 6123450, 2345670, "5", "6 123 475", "2 345 695", 2},
    };
    for (const Row &r : rows) {
        SCOPED_TRACE(r.name);
        makeWindow();
        const int draws = form->drawCount();
        r.act();
        EXPECT_EQ(form->drawCount(), draws + r.changes) << "one change, one redraw";
        // The coordinates never change.
        for (std::size_t i = 1; i <= r.corners.size(); ++i) {
            EXPECT_EQ(form->document().values().X[i],
                      geometry::textToDouble(r.corners[i - 1].first));
            EXPECT_EQ(form->document().values().Y[i],
                      geometry::textToDouble(r.corners[i - 1].second));
        }
        EXPECT_DOUBLE_EQ(form->view().axisX, r.axisX);
        EXPECT_DOUBLE_EQ(form->view().axisY, r.axisY);
        EXPECT_EQ(form->controls().txtMsb->Text(), r.scale);
        EXPECT_EQ(form->view().scale, geometry::textToSingle(r.scale));
        const DrawingLayout &d = form->plot().layout();
        EXPECT_EQ(d.xScale[0].text, r.firstAcross);
        EXPECT_EQ(d.yScale[0].text, r.firstUp);
        // Every corner lies on the grid, right of and above the axes.
        for (const auto &c : d.corners) {
            EXPECT_GE(c.x, kCrossX);
            EXPECT_LE(c.x, d.verticalGrid.back().x1 + 0.01);
            EXPECT_LE(c.y, kCrossY);
            EXPECT_GE(c.y, d.horizontalGrid.back().y1 - 0.01);
        }
    }
}

TEST_F(ViewWindowTest, TheCommandLeavesAPolygonInItsBestViewAlone) {
    setPolygon(kSurveyPlot);
    showAll();
    const int draws = form->drawCount();
    const int layouts = form->plot().layoutCount();
    showAll();
    EXPECT_EQ(form->plot().layoutCount(), layouts);
    EXPECT_EQ(form->drawCount(), draws);
}

// A corner typed out of the drawing brings the view along once its fields
// are left, not at every digit. X2 = 6 123 900 makes the plot 444 m across:
// at 1 cm = 25 m its 494 m with their room fit 20 cm from the centimetre
// 6 123 425 (from the tick multiple 6 123 375 they would not); at 20 m
// neither origin holds them.
TEST_F(ViewWindowTest, ATypedCornerOutsideTheDrawingBringsTheViewAlongOnceEntered) {
    setPolygon(kSurveyPlot);
    showAll();
    const auto &x2 = *form->table().x(2);
    focus(x2);
    x2.edit()->selectAll();
    QTest::keyClicks(x2.edit(), QStringLiteral("6123900"));
    EXPECT_DOUBLE_EQ(form->view().axisX, 6123450) << "the field is still being typed";
    EXPECT_EQ(form->view().scale, 5.0f);
    // On to the corner's Y: the corner is still being entered.
    focus(*form->table().y(2));
    EXPECT_EQ(form->view().scale, 5.0f);
    focus(*form->table().x(3));
    EXPECT_DOUBLE_EQ(form->view().axisX, 6123425);
    EXPECT_DOUBLE_EQ(form->view().axisY, 2345625);
    EXPECT_EQ(form->view().scale, 25.0f);
    EXPECT_EQ(form->controls().txtMsb->Text(), QStringLiteral("25"));
    // An undo takes the corner back inside the view: the view stays.
    form->controls().Menu_Undo->trigger();
    EXPECT_EQ(form->table().x(2)->Text(), QStringLiteral("6123500,00"));
    EXPECT_EQ(form->view().scale, 25.0f);
}

// The highlighted row and the corner the step buttons move, after whatever
// made a corner current. "X+" moves that corner's X by the step (1): exactly
// the highlighted corner moves, or none when no row of the polygon is lit.
TEST_F(ViewWindowTest, TheHighlightedRowIsTheCornerTheStepButtonsMove) {
    struct Row {
        const char *name;
        std::function<void()> act;
        int current; // 0: no row of the polygon is highlighted
    };
    const auto rightClick = [this](int row) {
        release(form->table().xCaption(row)->widget(), Qt::RightButton, QPoint(2, 2));
    };
    const auto command = [this](QAction *a) {
        fakes.messages.answers = {MsgResult::Yes};
        a->trigger();
    };
    const Row rows[] = {
        {"focus in a field", [] {}, 3},
        {"right click on another row's caption", [&] { rightClick(5); }, 5},
        {"delete through the caption's menu",
         [&] {
             rightClick(5);
             command(form->controls().Menu_DelUgol);
         },
         5},
        {"delete the last corner",
         [&] {
             rightClick(6);
             command(form->controls().Menu_DelUgol);
         },
         0},
        {"insert after a corner",
         [&] {
             rightClick(2);
             command(form->controls().Menu_lnsertUgol);
         },
         2},
        {"undo of a delete",
         [&] {
             rightClick(4);
             command(form->controls().Menu_DelUgol);
             form->controls().Menu_Undo->trigger();
         },
         4},
        {"count down past the current corner",
         [&] {
             rightClick(6);
             form->controls().Command3->button()->click();
         },
         0},
        {"right press on an angle caption",
         [this] {
             state.settings.ShowAngles = 1;
             form->VICHISLIT();
             const QRectF a = form->plot().layout().corner(4).angle.box;
             const QPoint p(int(a.left() / 15) + 6, int(a.top() / 15) + 4);
             press(form->surface(), Qt::RightButton, p);
             release(form->surface(), Qt::RightButton, p);
         },
         4},
    };
    for (const Row &r : rows) {
        SCOPED_TRACE(r.name);
        makeWindow();
        setPolygon({{0, 0}, {40, 0}, {60, 20}, {40, 40}, {0, 40}, {-10, 20}});
        form->setPopupMenu([](QMenu &, const QPoint &) {});
        focus(*form->table().x(3));
        r.act();
        const int n = form->cornerCount();
        std::set<int> lit;
        for (int i = 1; i <= n; ++i)
            if (form->table().x(i)->BackColor() == 0xFFFFu) lit.insert(i);
        EXPECT_EQ(lit, r.current ? std::set<int>{r.current} : std::set<int>{});
        const Texts before = texts(n);
        form->controls().CmdXUp->button()->click();
        const Texts after = texts(n);
        std::set<int> moved;
        for (int i = 1; i <= n; ++i)
            if (before[std::size_t(i - 1)] != after[std::size_t(i - 1)]) moved.insert(i);
        EXPECT_EQ(moved, lit);
    }
}

} // namespace
} // namespace tarvel::testing
