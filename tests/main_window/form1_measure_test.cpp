// The distance between two chosen corners.
#include "main_window/editing_fixture.h"

#include "platform/controls/colours.h"

#include <QPushButton>

namespace tarvel::testing {
namespace {

class MeasureTest : public EditingTest {
protected:
    void SetUp() override {
        EditingTest::SetUp();
        setPolygon({{0, 0}, {30, 0}, {30, 40}, {0, 40}});
    }
    // Chooses corner numbers in the two lists as the user would.
    void choose(const platform::ComboBox &list, int corner) {
        WindowTest::choose(list, corner - 1);
    }
    bool showing() const {
        return form->plot().layout().measureCaption.visible &&
               form->plot().layout().measureLine.visible;
    }
};

TEST_F(MeasureTest, DistanceBetweenTwoCornersAtAnyScale) {
    struct Case {
        const char *scale;
        int a, b;
        const char *distance;
    };
    const Case cases[] = {
        {"10", 1, 3, "50"},  {"10", 3, 1, "50"},  {"10", 2, 3, "40"},
        {"100", 1, 3, "50"}, {"2,5", 4, 2, "50"}, {"10", 1, 2, "30"},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(::testing::Message() << c.scale << " " << c.a << "-" << c.b);
        type(*form->controls().txtMsb, c.scale);
        choose(*form->controls().Cmb1, c.a);
        choose(*form->controls().Cmb2, c.b);
        ASSERT_TRUE(showing());
        EXPECT_EQ(form->plot().layout().measureCaption.text, c.distance);
        const DrawnLine &line = form->plot().layout().measureLine;
        EXPECT_EQ(line.x1, form->plot().layout().corner(c.a).edge.x1);
        EXPECT_EQ(line.y1, form->plot().layout().corner(c.a).edge.y1);
        EXPECT_EQ(line.x2, form->plot().layout().corner(c.b).edge.x1);
        EXPECT_EQ(line.y2, form->plot().layout().corner(c.b).edge.y1);
        EXPECT_EQ(line.colour, 0xC000u);
        EXPECT_EQ(form->plot().layout().measureCaption.colour, 0x8000u);
        // The distance stands at the middle of the line.
        EXPECT_NEAR(form->plot().layout().measureCaption.box.left(), (line.x1 + line.x2) / 2, 0.01);
        EXPECT_NEAR(form->plot().layout().measureCaption.box.top(), (line.y1 + line.y2) / 2, 0.01);
    }
}

TEST_F(MeasureTest, TheDistanceIsRoundedToTwoDecimals) {
    setPolygon({{0, 0}, {1, 1}, {0, 1}});
    choose(*form->controls().Cmb1, 1);
    choose(*form->controls().Cmb2, 2);
    EXPECT_EQ(form->plot().layout().measureCaption.text, "1,41");
}

// Far from the origin the drawn places are single-precision screen
// positions that lose metres; the distance comes from the coordinates, as
// the side lengths do, whatever the scale.
TEST_F(MeasureTest, FarCornersAtLargeScalesMeasureFromTheirCoordinates) {
    setPolygon({{6000000, 7000000}, {6000100, 7000000}, {6000050, 7000100}});
    for (const char *scale : {"1000000", "10000", "10"}) {
        SCOPED_TRACE(scale);
        type(*form->controls().txtMsb, scale);
        choose(*form->controls().Cmb1, 1);
        choose(*form->controls().Cmb2, 2);
        ASSERT_TRUE(showing());
        EXPECT_EQ(form->plot().layout().measureCaption.text, "100");
        EXPECT_EQ(form->plot().layout().measureCaption.text,
                  form->plot().layout().corner(1).length.text);
        choose(*form->controls().Cmb1, 3);
        EXPECT_EQ(form->plot().layout().measureCaption.text, "111,8");
        EXPECT_EQ(form->plot().layout().measureCaption.text,
                  form->plot().layout().corner(2).length.text);
    }
}

TEST_F(MeasureTest, NothingIsShownUntilBothListsHaveACorner) {
    choose(*form->controls().Cmb1, 1);
    EXPECT_FALSE(form->plot().layout().measureCaption.visible);
    EXPECT_FALSE(form->plot().layout().measureLine.visible);
}

TEST_F(MeasureTest, TheSameCornerTwiceHidesTheMeasurement) {
    choose(*form->controls().Cmb1, 1);
    choose(*form->controls().Cmb2, 3);
    ASSERT_TRUE(showing());
    choose(*form->controls().Cmb2, 1);
    EXPECT_FALSE(form->plot().layout().measureCaption.visible);
    EXPECT_FALSE(form->plot().layout().measureLine.visible);
}

TEST_F(MeasureTest, AnEditOfThePolygonRemovesTheMeasurement) {
    choose(*form->controls().Cmb1, 1);
    choose(*form->controls().Cmb2, 3);
    ASSERT_TRUE(showing());
    form->controls().CmdUp->button()->click();
    EXPECT_FALSE(form->plot().layout().measureCaption.visible);
    EXPECT_FALSE(form->plot().layout().measureLine.visible);
    choose(*form->controls().Cmb2, 2);
    EXPECT_TRUE(showing());
    EXPECT_EQ(form->plot().layout().measureCaption.text, "30");
}

TEST_F(MeasureTest, ResetHidesTheMeasurementAndKeepsThePolygon) {
    choose(*form->controls().Cmb1, 1);
    choose(*form->controls().Cmb2, 3);
    ASSERT_TRUE(showing());
    const int draws = form->drawCount();
    form->controls().Command1->button()->click();
    EXPECT_FALSE(showing());
    EXPECT_EQ(form->drawCount(), draws); // nothing recomputed
    EXPECT_FALSE(form->document().isModified());
    EXPECT_EQ(form->plot().layout().cornerCount(), 4);
}

// The drawing keeps the last usable scale while the field holds a text
// that is none, and so does the measuring line drawn into it.
TEST_F(MeasureTest, AScaleThatIsNotAPositiveNumberKeepsTheMeasurementAtTheScaleInForce) {
    type(*form->controls().txtMsb, "10");
    choose(*form->controls().Cmb1, 1);
    choose(*form->controls().Cmb2, 2);
    ASSERT_TRUE(showing());
    const DrawnLine atTen = form->plot().layout().measureLine;
    for (const char *bad : {"abc", "0", "-10", ""}) {
        SCOPED_TRACE(bad);
        type(*form->controls().txtMsb, "10");
        choose(*form->controls().Cmb1, 1);
        choose(*form->controls().Cmb2, 3);
        ASSERT_TRUE(showing());
        type(*form->controls().txtMsb, bad);
        choose(*form->controls().Cmb2, 2);
        EXPECT_TRUE(form->plot().layout().measureCaption.visible);
        EXPECT_TRUE(form->plot().layout().measureLine.visible);
        EXPECT_EQ(form->plot().layout().measureLine.x2, atTen.x2);
        EXPECT_EQ(form->plot().layout().measureLine.y2, atTen.y2);
    }
}

// The warnings below the area name what makes the area doubtful; the
// field that is not a number turns red, and back when it is mended.
TEST_F(MeasureTest, WarningsBelowTheAreaFollowThePolygon) {
    const QColor red = platform::toQColor(0x0000FF);
    const auto colourOf = [&](int i, bool x) {
        const platform::TextBox *f = x ? form->table().x(i) : form->table().y(i);
        return f->widget()->palette().color(QPalette::Text);
    };
    const struct {
        const char *name;
        Texts corners;
        QString line;
        int redX; // the X field shown red, 0 for none
    } rows[] = {
        {"a plain square", {{"0", "0"}, {"10", "0"}, {"10", "10"}, {"0", "10"}}, QString(), 0},
        {"a bow-tie",
         {{"0", "0"}, {"40", "0"}, {"0", "30"}, {"40", "30"}},
         QStringLiteral("Контур пересекает сам себя (20; 15)"),
         0},
        {"two corners in one place",
         {{"0", "0"}, {"10", "0"}, {"10", "0"}, {"0", "10"}},
         QStringLiteral("Углы 2 и 3 совпадают"),
         0},
        {"a text that is not a number",
         {{"0", "0"}, {"10", "0"}, {"abc", "10"}, {"0", "10"}},
         QStringLiteral("В поле с координатами не число! X3"),
         3},
    };
    for (const auto &row : rows) {
        SCOPED_TRACE(row.name);
        setPolygon(row.corners);
        const auto &label = form->controls().lblWarning;
        EXPECT_EQ(label ? label->Caption() : QString(), row.line);
        for (int i = 1; i <= 4; ++i)
            EXPECT_EQ(colourOf(i, true) == red, i == row.redX) << i;
    }
}

// After "Х" every field is empty: that is not a text that is no number.
// A text typed into a field is told of once the field is left.
TEST_F(MeasureTest, TheNotANumberWarningWaitsUntilAFieldIsLeft) {
    const auto warning = [this] {
        const auto &label = form->controls().lblWarning;
        return label ? label->Caption() : QString();
    };
    fakes.messages.answers = {platform::MsgResult::Yes};
    form->controls().CmdClear->button()->click();
    EXPECT_EQ(form->table().x(1)->Text(), QString());
    EXPECT_EQ(warning(), QString());

    const struct {
        const char *name;
        const char *typed;
        const char *whileTyping, *afterLeaving;
    } rows[] = {
        {"a letter", "a", "", "В поле с координатами не число! X1"},
        {"a minus on its way to a number", "-", "", "В поле с координатами не число! X1"},
        {"a number", "12", "", ""},
    };
    for (const auto &r : rows) {
        SCOPED_TRACE(r.name);
        focus(*form->table().x(1));
        QTest::keyClicks(form->table().x(1)->edit(), QString::fromUtf8(r.typed));
        EXPECT_EQ(warning(), QString::fromUtf8(r.whileTyping));
        focus(*form->controls().txtStep);
        EXPECT_EQ(warning(), QString::fromUtf8(r.afterLeaving));
        type(*form->table().x(1), QString());
    }
}

} // namespace
} // namespace tarvel::testing
