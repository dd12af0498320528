// The step moves, the step buttons and the drawing scale.
#include "main_window/editing_fixture.h"

#include <QComboBox>
#include <QFontMetrics>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>

#include <functional>

namespace tarvel::testing {

using geometry::textToDouble;
namespace {

using platform::MsgButtons;
using platform::MsgIcon;
using platform::MsgResult;

class MovesTest : public EditingTest {
protected:
    void SetUp() override {
        EditingTest::SetUp();
        state.settings.StepHintOff = 1; // the hint has tests of its own
    }
    void click(const platform::Button &b) { b.button()->click(); }
};

struct MoveCase {
    const char *name;
    Form1Controls::Owned<platform::Button> Form1Controls::*button;
    Texts after; // from (10, 30), (20, 30), (20, 40) with corner 2 current
};

TEST_F(MovesTest, EachButtonMovesItsCornersByTheStep) {
    const MoveCase cases[] = {
        {"up", &Form1Controls::CmdUp, {{"10", " 32,50"}, {"20", " 32,50"}, {"20", " 42,50"}}},
        {"down", &Form1Controls::CmdDown, {{"10", " 27,50"}, {"20", " 27,50"}, {"20", " 37,50"}}},
        {"right", &Form1Controls::CmdRight, {{" 12,50", "30"}, {" 22,50", "30"}, {" 22,50", "40"}}},
        {"left", &Form1Controls::CmLleft, {{" 7,50", "30"}, {" 17,50", "30"}, {" 17,50", "40"}}},
        {"x+", &Form1Controls::CmdXUp, {{"10", "30"}, {" 22,50", "30"}, {"20", "40"}}},
        {"x-", &Form1Controls::CmdXDw, {{"10", "30"}, {" 17,50", "30"}, {"20", "40"}}},
        {"y+", &Form1Controls::CmdYUp, {{"10", "30"}, {"20", " 32,50"}, {"20", "40"}}},
        {"y-", &Form1Controls::CmdYDw, {{"10", "30"}, {"20", " 27,50"}, {"20", "40"}}},
    };
    for (const MoveCase &c : cases) {
        SCOPED_TRACE(c.name);
        setPolygon({{10, 30}, {20, 30}, {20, 40}});
        type(*form->controls().txtStep, "2,5");
        makeCurrent(2);
        const double x2 = form->plot().layout().corner(2).edge.x1;
        click(*(form->controls().*c.button));
        EXPECT_EQ(texts(3), c.after);
        EXPECT_TRUE(form->document().isModified());
        // Redrawn where the corner now is.
        const double moved = textToDouble(form->table().x(2)->Text()).value();
        EXPECT_NEAR(form->plot().layout().corner(2).edge.x1 - x2,
                    (moved - 20) * form->view().scaleFactor(), 0.01);
        EXPECT_EQ(form->plot().layout().corner(2).marker.box.width(), 100); // still highlighted
    }
}

TEST_F(MovesTest, CornerButtonsNeedACornerOfThePolygon) {
    for (int current : {0, 4}) {
        SCOPED_TRACE(current);
        setPolygon({{10, 30}, {20, 30}, {20, 40}, {1, 1}});
        // Corner 4 made current while it was one, then taken away.
        makeCurrent(current);
        form->controls().Command3->button()->click(); // row 4 hidden
        form->VICHISLIT();
        form->document().markSaved();
        ASSERT_EQ(form->view().currentCorner, current);
        for (auto b : {&Form1Controls::CmdXUp, &Form1Controls::CmdXDw, &Form1Controls::CmdYUp,
                       &Form1Controls::CmdYDw})
            click(*(form->controls().*b));
        EXPECT_EQ(texts(4), (Texts{{"10", "30"}, {"20", "30"}, {"20", "40"}, {"1", "1"}}));
        EXPECT_FALSE(form->document().isModified());
    }
}

TEST_F(MovesTest, AStepThatIsNotANumberMovesNothingButRefreshes) {
    // A step that is not a number moves nothing; the window still refreshes.
    setPolygon({{10, 30}, {20, 30}, {20, 40}});
    choose(*form->controls().Cmb1, 0);
    choose(*form->controls().Cmb2, 1);
    ASSERT_TRUE(form->plot().layout().measureCaption.visible);
    type(*form->controls().txtStep, "abc");
    click(*form->controls().CmdRight);
    EXPECT_EQ(texts(3), (Texts{{"10", "30"}, {"20", "30"}, {"20", "40"}}));
    EXPECT_FALSE(form->plot().layout().measureCaption.visible);
}

struct StepCase {
    QString from;
    QString plus;
    QString minus;
};

TEST_F(MovesTest, StepButtonsFollowTheStepTable) {
    const StepCase cases[] = {
        {"9,9", "10", "9,8"},           {"10", "11", "9,9"},
        {"0,01", "0,02", "0,01"},       {"10000", "10000", "9900"},
        {"20000", "20000", "19999,99"}, {"1", "1,1", "0,99"},
        {"0,5", "0,51", "0,49"},        {"1.5", "1,6", "1,4"},
        {"0,015", "0,025", "0"},
    };
    for (const StepCase &c : cases) {
        SCOPED_TRACE(c.from.toStdString());
        type(*form->controls().txtStep, c.from);
        click(*form->controls().CmdStepUp);
        EXPECT_EQ(form->controls().txtStep->Text(), c.plus);
        type(*form->controls().txtStep, c.from);
        click(*form->controls().CmdStepDw);
        EXPECT_EQ(form->controls().txtStep->Text(), c.minus);
    }
}

TEST_F(MovesTest, StepButtonsLeaveAStepThatIsNotANumberAndThePolygon) {
    setPolygon({{10, 30}, {20, 30}, {20, 40}});
    type(*form->controls().txtStep, "abc");
    click(*form->controls().CmdStepUp);
    click(*form->controls().CmdStepDw);
    EXPECT_EQ(form->controls().txtStep->Text(), "abc");
    type(*form->controls().txtStep, "5");
    click(*form->controls().CmdStepUp);
    EXPECT_EQ(texts(3), (Texts{{"10", "30"}, {"20", "30"}, {"20", "40"}}));
    EXPECT_FALSE(form->document().isModified());
}

TEST_F(MovesTest, AStepButtonKeepsTheFocusAndEnterRepeatsIt) {
    type(*form->controls().txtStep, "1");
    click(*form->controls().CmdStepUp);
    EXPECT_TRUE(form->controls().CmdStepUp->hasFocus());
    QTest::keyClick(form->controls().CmdStepUp->widget(), Qt::Key_Return);
    QTest::keyClick(form->controls().CmdStepUp->widget(), Qt::Key_Return);
    EXPECT_EQ(form->controls().txtStep->Text(), "1,3");
    click(*form->controls().CmdStepDw);
    EXPECT_TRUE(form->controls().CmdStepDw->hasFocus());
    QTest::keyClick(form->controls().CmdStepDw->widget(), Qt::Key_Return);
    EXPECT_EQ(form->controls().txtStep->Text(), "1,1");
}

TEST_F(MovesTest, StepHintUntilSwitchedOff) {
    state.settings.StepHintOff = 0;
    type(*form->controls().txtStep, "1");
    fakes.messages.answers = {MsgResult::No, MsgResult::Yes};
    click(*form->controls().CmdStepUp);
    click(*form->controls().CmdStepDw);
    click(*form->controls().CmdStepUp);

    ASSERT_EQ(fakes.messages.shown.size(), 2u);
    for (const auto &box : fakes.messages.shown) {
        EXPECT_EQ(box.text, "Что бы быстро изменить шаг наведите на кнопку фокус и нажмите "
                            "клавишу Enter.\r\n\r\n                           Больше не "
                            "выводить эту подсказку?");
        EXPECT_EQ(box.title, "Подсказка.");
        EXPECT_EQ(box.icon, MsgIcon::Information);
        EXPECT_EQ(box.buttons, MsgButtons::YesNo);
    }
    EXPECT_EQ(state.settings.StepHintOff, 1);
    EXPECT_EQ(fakes.settings.value("Tunes", "Fl5"), "1");
    EXPECT_EQ(fakes.settings.writes, QStringList{"Tunes/Fl5=1"});
    EXPECT_EQ(form->controls().txtStep->Text(), "1,1"); // each click still changed the step
}

TEST_F(MovesTest, ChoosingAScaleRedrawsAndRelabelsTheAxes) {
    setPolygon({{0, 0}, {30, 0}, {30, 40}});
    const double x2 = form->plot().layout().corner(2).edge.x1 - form->view().originX;
    const QComboBox *list = form->controls().Cmb3->combo();
    choose(*form->controls().Cmb3, list->findText("100"));

    EXPECT_EQ(form->controls().txtMsb->Text(), "100");
    EXPECT_FLOAT_EQ(form->view().scale, 100);
    const char *labels[] = {"500", "1000", "1500", "2000"};
    for (int k = 0; k < 4; ++k) {
        EXPECT_EQ(form->plot().layout().xScale[k].text, labels[k]);
        EXPECT_EQ(form->plot().layout().yScale[k].text, labels[k]);
    }
    EXPECT_NEAR(form->plot().layout().corner(2).edge.x1 - form->view().originX, x2 / 10, 0.01);
}

// The Y labels stand right of the Y coordinate column; a long number may
// never slide under it and show fewer digits than it has.
TEST_F(MovesTest, EveryScaleLabelIsReadableAtEveryScale) {
    QStringList scales;
    for (int i = 0; i < form->controls().Cmb3->ListCount(); ++i)
        scales << form->controls().Cmb3->List(i);
    scales << "12345,67"
           << "1000000"
           << "99999999"
           << "1000000000";
    const double column = form->table().y(1)->Left() + form->table().y(1)->Width();
    for (const QString &scale : scales) {
        SCOPED_TRACE(scale.toStdString());
        type(*form->controls().txtMsb, scale);
        const float m = *tarvel::geometry::textToSingle(scale);
        const QRect clear = form->controls().CmdClear->widget()->geometry();
        for (int k = 0; k < 4; ++k) {
            const Caption &label = form->plot().layout().yScale[k];
            EXPECT_EQ(label.text, tarvel::geometry::plainText(float(k + 1) * m * 5.0f));
            EXPECT_EQ(label.text, form->plot().layout().xScale[k].text);
            EXPECT_DOUBLE_EQ(label.box.right(), 3330) << k;
            EXPECT_GE(label.box.left(), column) << k;
            // The whole caption fits its box in its direction.
            const QSize text = QFontMetrics(platform::defaultFont()).size(0, label.text);
            const QSizeF room = label.upright ? label.box.size().transposed() : label.box.size();
            EXPECT_GE(room.width() / 15.0 + 0.5, text.width()) << k;
            const double tick = form->plot().layout().yTicks[k].y1;
            if (label.upright)
                EXPECT_TRUE(label.box.top() <= tick && tick <= label.box.bottom()) << k;
            else
                EXPECT_DOUBLE_EQ(label.box.top(), tick - 200) << k;
            const QRectF pixels(label.box.left() / 15, label.box.top() / 15, label.box.width() / 15,
                                label.box.height() / 15);
            EXPECT_FALSE(pixels.intersects(QRectF(clear))) << k;
        }
        // All four read the same way.
        for (int k = 1; k < 4; ++k)
            EXPECT_EQ(form->plot().layout().yScale[k].upright,
                      form->plot().layout().yScale[0].upright);
    }
    // The usual scales keep their labels across, where they always stood.
    type(*form->controls().txtMsb, "10");
    EXPECT_FALSE(form->plot().layout().yScale[3].upright);
}

TEST_F(MovesTest, ScaleTextsAreNormalizedAndBadOnesIgnored) {
    type(*form->controls().txtMsb, "12.5");
    EXPECT_EQ(form->controls().txtMsb->Text(), "12,5");
    EXPECT_FLOAT_EQ(form->view().scale, 12.5f);
    EXPECT_EQ(form->plot().layout().xScale[0].text, "62,5");
    EXPECT_EQ(form->plot().layout().yScale[3].text, "250");
    const double factor = form->view().scaleFactor();

    for (const char *bad : {"abc", "0", "-5", ""}) {
        SCOPED_TRACE(bad);
        type(*form->controls().txtMsb, bad);
        EXPECT_FLOAT_EQ(form->view().scale, 12.5f);
        EXPECT_EQ(form->plot().layout().xScale[0].text, "62,5");
        EXPECT_DOUBLE_EQ(form->view().scaleFactor(), factor);
    }
}

TEST_F(MovesTest, EnterInTheScaleListAppliesItsText) {
    form->controls().Cmb3->combo()->setEditText("250");
    QTest::keyClick(form->controls().Cmb3->combo()->lineEdit(), Qt::Key_Return);
    EXPECT_EQ(form->controls().txtMsb->Text(), "250");
    EXPECT_FLOAT_EQ(form->view().scale, 250);
}

TEST_F(MovesTest, EnterInTheScaleFieldAddsItsTextToTheList) {
    const int before = form->controls().Cmb3->ListCount();
    type(*form->controls().txtMsb, "250");
    QTest::keyClick(form->controls().txtMsb->widget(), Qt::Key_Return);
    QTest::keyClick(form->controls().txtMsb->widget(), Qt::Key_Return);
    ASSERT_EQ(form->controls().Cmb3->ListCount(), before + 2);
    EXPECT_EQ(form->controls().Cmb3->List(before), "250");
    EXPECT_EQ(form->controls().Cmb3->List(before + 1), "250");

    type(*form->controls().txtMsb, "");
    QTest::keyClick(form->controls().txtMsb->widget(), Qt::Key_Return);
    EXPECT_EQ(form->controls().Cmb3->ListCount(), before + 2);
}

TEST_F(MovesTest, TheScaleFieldSelectsItsTextOnFocusWhenChosen) {
    for (std::int16_t select : {1, 0}) {
        SCOPED_TRACE(select);
        state.settings.SelectOnFocus = select;
        focus(*form->table().x(1));
        focus(*form->controls().txtMsb);
        EXPECT_EQ(form->controls().txtMsb->edit()->selectedText(), select == 1 ? "10" : "");
    }
}

} // namespace
} // namespace tarvel::testing
