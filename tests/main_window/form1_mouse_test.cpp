// The mouse: dragging a corner by its marker or its angle label, the row
// captions with their hover, hint and context menu.
#include "main_window/editing_fixture.h"

#include "drawing/drawing_surface.h"
#include "settings_windows/frm_nastr_grid.h"

#include <QAction>
#include <QMenu>

#include <cmath>
#include <limits>

namespace tarvel::testing {

using geometry::textToDouble;
namespace {

using platform::MsgButtons;
using platform::MsgIcon;
using platform::MsgResult;

constexpr QPoint kGrip(2, 2); // where the tests take hold of a control

class MouseTest : public EditingTest {
protected:
    void SetUp() override {
        EditingTest::SetUp();
        state.settings.ShowAngles = 1; // the angle labels can be taken hold of
        form->VICHISLIT();
        form->setPopupMenu([this](QMenu &menu, const QPoint &) { popups.push_back(&menu); });
    }
    // A point of the window surface with no control on it.
    QPoint emptySurfacePoint() const {
        const QPoint p(1060, 20);
        EXPECT_EQ(form->surface()->childAt(p), nullptr);
        return p;
    }
    const DrawingLayout::Corner &corner(int i) const { return form->plot().layout().corner(i); }
    // The pixel of the surface `grip` pixels into a drawn box.
    static QPoint pixelOf(const QRectF &box, QPoint grip = kGrip) {
        return QPoint(int(std::lround(box.left() / 15)), int(std::lround(box.top() / 15))) + grip;
    }
    QWidget *surface() const { return form->surface(); }
    std::vector<QMenu *> popups;
};

// The default polygon's corner 3 lies at (6, 5); at the scale 10 a metre is
// 56,692 twips, so 38 pixels (570 twips) to the right add 10,05 m.
TEST_F(MouseTest, DraggingAMarkerMovesItsCorner) {
    const QPoint grip = pixelOf(corner(3).marker.box);
    const double left = corner(3).marker.box.left();
    const double top = corner(3).marker.box.top();
    ASSERT_EQ(hitTest(form->plot().layout(), grip.x() * 15.0, grip.y() * 15.0),
              (DrawingHit{DrawingHit::Marker, 3}));

    press(surface(), Qt::LeftButton, grip);
    EXPECT_EQ(form->view().currentCorner, 3);
    EXPECT_TRUE(form->table().x(3)->hasFocus());
    EXPECT_EQ(corner(3).marker.box.width(), 100); // highlighted

    dragTo(surface(), Qt::LeftButton, grip + QPoint(38, 0));
    EXPECT_DOUBLE_EQ(corner(3).marker.box.left(), left + 570);
    EXPECT_DOUBLE_EQ(corner(3).marker.box.top(), top);
    EXPECT_EQ(form->table().x(3)->Text(), "6,00"); // nothing written before the drop

    release(surface(), Qt::LeftButton, grip + QPoint(38, 0));
    EXPECT_EQ(form->table().x(3)->Text(), "16,05");
    EXPECT_EQ(form->table().y(3)->Text(), "5");
    EXPECT_TRUE(form->document().isModified());
    // The drop is not a click on the empty window: the corner stays current.
    EXPECT_EQ(form->view().currentCorner, 3);
    EXPECT_TRUE(form->table().x(3)->hasFocus());
    // Redrawn onto the new corner.
    EXPECT_DOUBLE_EQ(corner(3).marker.box.left(), float(corner(3).edge.x1 - kMarkerOffset));
    EXPECT_FALSE(form->view().drag.has_value());

    // Moves after the release do not move the marker.
    const double dropped = corner(3).marker.box.left();
    dragTo(surface(), Qt::LeftButton, grip + QPoint(60, 20));
    EXPECT_DOUBLE_EQ(corner(3).marker.box.left(), dropped);
}

// A survey plot taken into view, corner 3 at X 6 123 530, Y 2 345 740. The
// marker dropped 38 pixels (570 twips, 10,05 m) right and 20 pixels (300
// twips, 5,29 m) up of where it was taken: drawn as the program always drew,
// right is +X and up is +Y; with "Ось X — на север" up is +X and right is +Y.
// A count typed without Enter applies when the focus leaves its field: a
// press on a marker moves the focus first, and its corner may then be gone.
TEST_F(MouseTest, APressOnACornerTheCountJustRemovedDoesNothing) {
    const struct {
        const char *name;
        int corner;     // the marker pressed, of the twenty
        int afterCount; // the corners then
        int current;    // the current corner after the press
    } rows[] = {
        {"corner 20, count 4", 20, 4, 0},
        {"corner 5, count 4", 5, 4, 0},
        {"corner 4 stays", 4, 4, 4},
    };
    for (const auto &r : rows) {
        SCOPED_TRACE(r.name);
        form->document().open(geometry::defaultPolygon());
        makeCurrent(0);
        const QPoint grip = pixelOf(corner(r.corner).marker.box);
        focus(*form->controls().Text1);
        form->controls().Text1->edit()->selectAll();
        QTest::keyClicks(form->controls().Text1->edit(), QStringLiteral("4"));
        press(surface(), Qt::LeftButton, grip);
        EXPECT_EQ(form->cornerCount(), r.afterCount);
        EXPECT_EQ(form->view().currentCorner, r.current);
        dragTo(surface(), Qt::LeftButton, grip + QPoint(30, 0));
        release(surface(), Qt::LeftButton, grip + QPoint(30, 0));
        EXPECT_EQ(form->plot().layout().cornerCount(), 4);
        if (r.corner <= 4) EXPECT_NE(form->table().x(r.corner)->Text(), QStringLiteral("6"));
    }
}

TEST_F(MouseTest, ADroppedMarkerTakesThePlanePointUnderItInEitherDrawing) {
    const struct {
        const char *name;
        int northUp;
        const char *x, *y;
    } rows[] = {
        // The command shows the plot at 1 cm = 5 m (f = 113,384 twips a
        // metre): 38 px (570 twips) are 5,03 m and 20 px (300 twips) 2,65 m.
        {"XToTheRight", 0, "6123535,03", "2345742,65"},
        {"XToTheNorth", 1, "6123532,65", "2345745,03"},
    };
    for (const auto &r : rows) {
        SCOPED_TRACE(r.name);
        form->controls().Menu_Set_Grid->trigger();
        auto *grid = form->findChild<settings_windows::FrmNastrGrid *>();
        ASSERT_NE(grid, nullptr);
        grid->Check7->setValue(r.northUp);
        grid->close();
        ASSERT_EQ(form->view().northUp, r.northUp != 0);
        setPolygon(Texts{{"6123456,00", "2345678,00"},
                         {"6123500,00", "2345690,00"},
                         {"6123530,00", "2345740,00"},
                         {"6123460,00", "2345730,00"},
                         {"6123458,00", "2345700,00"}});
        form->controls().Menu_Tools_ShowAll->trigger();
        const QPoint grip = pixelOf(corner(3).marker.box);
        ASSERT_EQ(hitTest(form->plot().layout(), grip.x() * 15.0, grip.y() * 15.0),
                  (DrawingHit{DrawingHit::Marker, 3}));
        press(surface(), Qt::LeftButton, grip);
        dragTo(surface(), Qt::LeftButton, grip + QPoint(38, -20));
        release(surface(), Qt::LeftButton, grip + QPoint(38, -20));
        EXPECT_EQ(form->table().x(3)->Text(), QString::fromUtf8(r.x));
        EXPECT_EQ(form->table().y(3)->Text(), QString::fromUtf8(r.y));
    }
}

TEST_F(MouseTest, DraggingAnAngleLabelMovesItsCorner) {
    const QPoint grip = pixelOf(corner(3).angle.box);
    ASSERT_EQ(hitTest(form->plot().layout(), grip.x() * 15.0, grip.y() * 15.0),
              (DrawingHit{DrawingHit::Angle, 3}));
    makeCurrent(1);
    press(surface(), Qt::LeftButton, grip);
    EXPECT_EQ(form->view().currentCorner, 3);
    EXPECT_FALSE(form->table().x(3)->hasFocus());
    dragTo(surface(), Qt::LeftButton, grip + QPoint(38, -19));
    release(surface(), Qt::LeftButton, grip + QPoint(38, -19));
    EXPECT_EQ(form->table().x(3)->Text(), "16,05");
    EXPECT_EQ(form->table().y(3)->Text(), "10,03"); // 285 twips up
    EXPECT_EQ(form->view().currentCorner, 3);
    EXPECT_EQ(corner(3).marker.box.width(), 100); // the click highlighted it
    EXPECT_EQ(corner(3).angle.colour, 255u);
    EXPECT_DOUBLE_EQ(corner(3).angle.box.left(), corner(3).edge.x1);
}

// Corner 3 lies 2 m (2 mm on the drawing) above corner 2, so its angle
// label is shifted off the corner to keep clear of corner 2's. Dropped, the
// label moves its corner by just the way it was dragged: 38 pixels right
// (10,05 m) and 19 up (10,03 - 5 = 5,03 m), or not at all.
TEST_F(MouseTest, AShiftedAngleLabelMovesItsCornerByTheWayItWasDragged) {
    const struct {
        const char *name;
        QPoint by;
        const char *x, *y;
    } rows[] = {
        {"DroppedWhereTaken", QPoint(0, 0), "40", "12"},
        {"DraggedRightAndUp", QPoint(38, -19), "50,05", "17,03"},
    };
    for (const auto &r : rows) {
        SCOPED_TRACE(r.name);
        setPolygon({{10, 10}, {40, 10}, {40, 12}, {10, 40}});
        ASSERT_NE(corner(3).angleShift, QPointF()); // the label is off its corner
        const QPoint grip = pixelOf(corner(3).angle.box);
        ASSERT_EQ(hitTest(form->plot().layout(), grip.x() * 15.0, grip.y() * 15.0),
                  (DrawingHit{DrawingHit::Angle, 3}));
        press(surface(), Qt::LeftButton, grip);
        dragTo(surface(), Qt::LeftButton, grip + r.by);
        release(surface(), Qt::LeftButton, grip + r.by);
        EXPECT_EQ(form->table().x(3)->Text(), QString::fromUtf8(r.x));
        EXPECT_EQ(form->table().y(3)->Text(), QString::fromUtf8(r.y));
        EXPECT_EQ(form->table().x(2)->Text(), "40");
        EXPECT_EQ(form->table().y(2)->Text(), "10");
    }
}

TEST_F(MouseTest, PressAndReleaseInPlaceRewritesTheCornerRounded) {
    for (Qt::MouseButton b : {Qt::LeftButton, Qt::RightButton}) {
        SCOPED_TRACE(int(b));
        setPolygon(Texts{{"1,004", "2,996"}, {"10", "0"}, {"10", "5"}});
        const QPoint grip = pixelOf(corner(1).marker.box);
        const double left = corner(1).marker.box.left();
        press(surface(), b, grip);
        EXPECT_EQ(form->view().currentCorner, 1);
        EXPECT_TRUE(form->table().x(1)->hasFocus());
        // Only the left button drags.
        dragTo(surface(), b, grip + QPoint(30, 30));
        EXPECT_DOUBLE_EQ(corner(1).marker.box.left(), b == Qt::LeftButton ? left + 450 : left);
        // Back where it was taken.
        dragTo(surface(), b, grip);
        EXPECT_DOUBLE_EQ(corner(1).marker.box.left(), left);
        release(surface(), b, grip);
        EXPECT_EQ(texts(1), (Texts{{"1", "3"}}));
    }
}

TEST_F(MouseTest, ADragStaysInsideTheWindow) {
    const QPoint grip = pixelOf(corner(3).marker.box);
    const double width = form->surface()->width() * platform::kTwipsPerPixel;
    const double height = form->surface()->height() * platform::kTwipsPerPixel;

    press(surface(), Qt::LeftButton, grip);
    dragTo(surface(), Qt::LeftButton, QPoint(-5000, -5000));
    EXPECT_DOUBLE_EQ(corner(3).marker.box.left(), 0);
    EXPECT_DOUBLE_EQ(corner(3).marker.box.top(), 0);
    dragTo(surface(), Qt::LeftButton, QPoint(5000, 5000));
    EXPECT_DOUBLE_EQ(corner(3).marker.box.left(), width - 100);
    EXPECT_DOUBLE_EQ(corner(3).marker.box.top(), height - 100);
    release(surface(), Qt::LeftButton, QPoint(5000, 5000));
    const double x = textToDouble(form->table().x(3)->Text()).value();
    EXPECT_NEAR(x, (width - 100 - form->view().originX + kMarkerOffset) / form->view().scaleFactor(), 0.005);
}

TEST_F(MouseTest, ADragEndsWhenTheButtonIsNoLongerHeld) {
    const QPoint grip = pixelOf(corner(3).marker.box);
    const double left = corner(3).marker.box.left();
    press(surface(), Qt::LeftButton, grip);
    dragTo(surface(), Qt::NoButton, grip + QPoint(10, 0)); // released out of the window's sight
    dragTo(surface(), Qt::LeftButton, grip + QPoint(20, 0));
    EXPECT_DOUBLE_EQ(corner(3).marker.box.left(), left);
}

// The drop takes the plane point under the marker, and without a usable
// scale the view gives none: the drop stops there. The window never holds
// such a scale (the scale field refuses one), so one typed while a marker is
// under the mouse leaves the drop to land by the scale in force.
TEST_F(MouseTest, ADropWithoutAUsableScaleChangesNothing) {
    ViewState unusable = form->view();
    unusable.scale = std::numeric_limits<float>::infinity(); // a factor of 0
    EXPECT_FALSE(unusable.toPlane(corner(3).marker.box.topLeft()).has_value());

    const Texts before = texts(3);
    const QPoint grip = pixelOf(corner(3).marker.box);
    press(surface(), Qt::LeftButton, grip);
    dragTo(surface(), Qt::LeftButton, grip + QPoint(38, 0));
    for (const char *bad : {"0", "abc", "1E39"})
        type(*form->controls().txtMsb, QString::fromUtf8(bad));
    EXPECT_FLOAT_EQ(form->view().scale, 10);
    release(surface(), Qt::LeftButton, grip + QPoint(38, 0));
    EXPECT_EQ(texts(3), (Texts{before[0], before[1], {"16,05", "5"}}));
}

TEST_F(MouseTest, APressOnACaptionOfTheDrawingIsNotAClickOnTheWindow) {
    makeCurrent(4);
    form->PODKRAS();
    const QPoint grip = pixelOf(corner(2).length.box);
    ASSERT_EQ(hitTest(form->plot().layout(), grip.x() * 15.0, grip.y() * 15.0).kind,
              DrawingHit::OtherCaption);
    press(surface(), Qt::LeftButton, grip);
    release(surface(), Qt::LeftButton, grip);
    EXPECT_EQ(form->view().currentCorner, 4);
    EXPECT_FALSE(form->document().isModified());
    // The empty surface is: the highlight goes.
    press(surface(), Qt::LeftButton, emptySurfacePoint());
    release(surface(), Qt::LeftButton, emptySurfacePoint());
    EXPECT_EQ(form->view().currentCorner, 0);
    EXPECT_EQ(corner(4).marker.box.width(), 75);
}

TEST_F(MouseTest, RowCaptionsTurnBoldUnderTheMouseAndNormalOverTheWindow) {
    hover(form->table().xCaption(5)->widget());
    hover(form->table().yCaption(6)->widget());
    EXPECT_TRUE(form->table().xCaption(5)->FontBold());
    EXPECT_TRUE(form->table().yCaption(6)->FontBold());
    EXPECT_FALSE(form->table().xCaption(6)->FontBold());

    hover(form->surface(), emptySurfacePoint());
    EXPECT_FALSE(form->table().xCaption(5)->FontBold());
    EXPECT_FALSE(form->table().yCaption(6)->FontBold());
    EXPECT_TRUE(fakes.messages.shown.empty());
}

TEST_F(MouseTest, CornerHintComesAtEachPassOverY1UntilSwitchedOff) {
    fakes.messages.answers = {MsgResult::No, MsgResult::Yes};
    QWidget *y1 = form->table().yCaption(1)->widget();
    hover(y1);
    hover(y1, QPoint(4, 4)); // the same pass
    ASSERT_EQ(fakes.messages.shown.size(), 1u);
    const auto &box = fakes.messages.shown[0];
    EXPECT_EQ(box.text, "Что бы удалить или добавить угол в произвольном месте нажмите правой "
                        "кнопкой мыши по надписи Xn или Yn (где n - номер угла) и воспользуйтесь "
                        "контекстным меню.\r\n\r\n" +
                            QString(54, ' ') + "Больше не выводить эту подсказку?");
    EXPECT_EQ(box.title, "Подсказка.");
    EXPECT_EQ(box.icon, MsgIcon::Information);
    EXPECT_EQ(box.buttons, MsgButtons::YesNo);
    EXPECT_EQ(state.settings.CornerHintOff, 0);

    hover(form->surface(), emptySurfacePoint());
    hover(y1);
    EXPECT_EQ(fakes.messages.shown.size(), 2u);
    EXPECT_EQ(state.settings.CornerHintOff, 1);
    EXPECT_EQ(fakes.settings.value("Tunes", "Fl6"), "1");

    hover(form->surface(), emptySurfacePoint());
    hover(y1);
    hover(form->table().yCaption(2)->widget());
    hover(form->table().xCaption(1)->widget());
    EXPECT_EQ(fakes.messages.shown.size(), 2u);
}

TEST_F(MouseTest, RightClickOnARowCaptionOpensTheCornerMenuForThatCorner) {
    const Texts before = texts(20);
    QWidget *y7 = form->table().yCaption(7)->widget();
    press(y7, Qt::RightButton, kGrip);
    release(y7, Qt::RightButton, kGrip);
    EXPECT_EQ(form->view().currentCorner, 7);
    ASSERT_EQ(popups.size(), 1u);
    EXPECT_EQ(popups[0], form->controls().Menu_Ugol);

    fakes.messages.answers = {MsgResult::Yes};
    form->controls().Menu_DelUgol->trigger();
    EXPECT_EQ(fakes.messages.shown.back().text, "Вы действительно хотите удалить угол № 7   ");
    EXPECT_EQ(form->controls().Text1->Text(), "19");
    const Texts after = texts(19);
    for (int i = 1; i <= 19; ++i)
        EXPECT_EQ(after[i - 1], before[i < 7 ? i - 1 : i]) << "corner " << i;
}

TEST_F(MouseTest, LeftClickOnARowCaptionOnlyChoosesTheCorner) {
    for (QWidget *w : {form->table().xCaption(4)->widget(), form->table().yCaption(4)->widget()}) {
        makeCurrent(0);
        press(w, Qt::LeftButton, kGrip);
        release(w, Qt::LeftButton, kGrip);
        EXPECT_EQ(form->view().currentCorner, 4);
    }
    EXPECT_TRUE(popups.empty());
}

} // namespace
} // namespace tarvel::testing
