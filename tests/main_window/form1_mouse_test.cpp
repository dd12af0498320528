// The mouse: dragging a corner by its marker or its angle label, the row
// captions with their hover, hint and context menu.
#include "main_window/editing_fixture.h"

#include "main_window/drag_control.h"
#include "main_window/drawing_surface.h"

#include <QAction>
#include <QMenu>

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
        form->popupMenu = [this](QMenu &menu, const QPoint &) { popups.push_back(&menu); };
    }
    // A point of the window surface with no control on it.
    QPoint emptySurfacePoint() const {
        const QPoint p(1060, 20);
        EXPECT_EQ(form->surface()->childAt(p), nullptr);
        return p;
    }
    std::vector<QMenu *> popups;
};

// The default polygon's corner 3 lies at (6, 5); at the scale 10 a metre is
// 56,692 twips, so 38 pixels (570 twips) to the right add 10,05 m.
TEST_F(MouseTest, DraggingAMarkerMovesItsCorner) {
    platform::Label &marker = *form->plot().marker(3);
    QWidget *w = marker.widget();
    const double left = marker.Left();
    const double top = marker.Top();

    press(w, Qt::LeftButton, kGrip);
    EXPECT_EQ(form->CurrentCorner, 3);
    EXPECT_TRUE(form->table().x(3)->hasFocus());
    EXPECT_EQ(marker.Width(), 100); // highlighted

    dragTo(w, Qt::LeftButton, kGrip + QPoint(38, 0));
    EXPECT_DOUBLE_EQ(marker.Left(), left + 570);
    EXPECT_DOUBLE_EQ(marker.Top(), top);
    EXPECT_EQ(form->table().x(3)->Text(), "6,00"); // nothing written before the drop

    release(w, Qt::LeftButton, kGrip);
    EXPECT_EQ(form->table().x(3)->Text(), "16,05");
    EXPECT_EQ(form->table().y(3)->Text(), "5");
    EXPECT_TRUE(form->document().isModified());
    // The drop is not a click on the empty window: the corner stays current.
    EXPECT_EQ(form->CurrentCorner, 3);
    EXPECT_TRUE(form->table().x(3)->hasFocus());
    // Redrawn onto the new corner.
    EXPECT_DOUBLE_EQ(marker.Left(), form->plot().edge(3)->X1() - 35);
    EXPECT_FALSE(DragControl::isDragging(marker));

    // Moves after the release do not move the marker.
    const double dropped = marker.Left();
    dragTo(w, Qt::LeftButton, kGrip + QPoint(20, 20));
    EXPECT_DOUBLE_EQ(marker.Left(), dropped);
}

TEST_F(MouseTest, DraggingAnAngleLabelMovesItsCorner) {
    platform::Label &angle = *form->plot().angleLabel(3);
    QWidget *w = angle.widget();
    form->CurrentCorner = 1;
    press(w, Qt::LeftButton, kGrip);
    EXPECT_EQ(form->CurrentCorner, 3);
    EXPECT_FALSE(form->table().x(3)->hasFocus());
    dragTo(w, Qt::LeftButton, kGrip + QPoint(38, -19));
    release(w, Qt::LeftButton, kGrip);
    EXPECT_EQ(form->table().x(3)->Text(), "16,05");
    EXPECT_EQ(form->table().y(3)->Text(), "10,03"); // 285 twips up
    EXPECT_EQ(form->CurrentCorner, 3);
    EXPECT_EQ(form->plot().marker(3)->Width(), 100); // the click highlighted it
    EXPECT_DOUBLE_EQ(angle.Left(), form->plot().edge(3)->X1());
}

TEST_F(MouseTest, PressAndReleaseInPlaceRewritesTheCornerRounded) {
    for (Qt::MouseButton b : {Qt::LeftButton, Qt::RightButton}) {
        SCOPED_TRACE(int(b));
        setPolygon(Texts{{"1,004", "2,996"}, {"10", "0"}, {"10", "5"}});
        QWidget *w = form->plot().marker(1)->widget();
        const double left = form->plot().marker(1)->Left();
        press(w, b, kGrip);
        EXPECT_EQ(form->CurrentCorner, 1);
        EXPECT_TRUE(form->table().x(1)->hasFocus());
        // Only the left button drags.
        dragTo(w, b, kGrip + QPoint(30, 30));
        EXPECT_DOUBLE_EQ(form->plot().marker(1)->Left(), b == Qt::LeftButton ? left + 450 : left);
        // Back where it was taken (points are relative to the moved marker).
        dragTo(w, b, b == Qt::LeftButton ? kGrip - QPoint(30, 30) : kGrip);
        EXPECT_DOUBLE_EQ(form->plot().marker(1)->Left(), left);
        release(w, b, kGrip);
        EXPECT_EQ(texts(1), (Texts{{"1", "3"}}));
    }
}

TEST_F(MouseTest, ADragStaysInsideTheWindow) {
    platform::Label &marker = *form->plot().marker(3);
    QWidget *w = marker.widget();
    const double width = form->surface()->width() * platform::kTwipsPerPixel;
    const double height = form->surface()->height() * platform::kTwipsPerPixel;

    press(w, Qt::LeftButton, kGrip);
    dragTo(w, Qt::LeftButton, QPoint(-5000, -5000));
    EXPECT_DOUBLE_EQ(marker.Left(), 0);
    EXPECT_DOUBLE_EQ(marker.Top(), 0);
    dragTo(w, Qt::LeftButton, QPoint(5000, 5000));
    EXPECT_DOUBLE_EQ(marker.Left(), width - marker.Width());
    EXPECT_DOUBLE_EQ(marker.Top(), height - marker.Height());
    release(w, Qt::LeftButton, kGrip);
    const double x = textToDouble(form->table().x(3)->Text()).value();
    EXPECT_NEAR(x, (width - 100 - state.OriginX + 35) / state.ScaleFactor, 0.005);
}

TEST_F(MouseTest, ADragEndsWhenTheButtonIsNoLongerHeld) {
    platform::Label &marker = *form->plot().marker(3);
    QWidget *w = marker.widget();
    const double left = marker.Left();
    press(w, Qt::LeftButton, kGrip);
    EXPECT_TRUE(DragControl::isDragging(marker));
    dragTo(w, Qt::NoButton, kGrip + QPoint(10, 0)); // released out of the window's sight
    EXPECT_FALSE(DragControl::isDragging(marker));
    dragTo(w, Qt::LeftButton, kGrip + QPoint(20, 0));
    EXPECT_DOUBLE_EQ(marker.Left(), left);
}

TEST_F(MouseTest, ADropWithoutAUsableScaleChangesNothing) {
    const Texts before = texts(3);
    QWidget *w = form->plot().marker(3)->widget();
    press(w, Qt::LeftButton, kGrip);
    dragTo(w, Qt::LeftButton, kGrip + QPoint(38, 0));
    state.ScaleFactor = 0;
    release(w, Qt::LeftButton, kGrip);
    EXPECT_EQ(texts(3), before);
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
    EXPECT_EQ(form->CurrentCorner, 7);
    ASSERT_EQ(popups.size(), 1u);
    EXPECT_EQ(popups[0], form->Menu_Ugol);

    fakes.messages.answers = {MsgResult::Yes};
    form->Menu_DelUgol->trigger();
    EXPECT_EQ(fakes.messages.shown.back().text, "Вы действительно хотите удалить угол № 7   ");
    EXPECT_EQ(form->Text1->Text(), "19");
    const Texts after = texts(19);
    for (int i = 1; i <= 19; ++i)
        EXPECT_EQ(after[i - 1], before[i < 7 ? i - 1 : i]) << "corner " << i;
}

TEST_F(MouseTest, LeftClickOnARowCaptionOnlyChoosesTheCorner) {
    for (QWidget *w : {form->table().xCaption(4)->widget(), form->table().yCaption(4)->widget()}) {
        form->CurrentCorner = 0;
        press(w, Qt::LeftButton, kGrip);
        release(w, Qt::LeftButton, kGrip);
        EXPECT_EQ(form->CurrentCorner, 4);
    }
    EXPECT_TRUE(popups.empty());
}

} // namespace
} // namespace tarvel::testing
