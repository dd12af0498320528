// Move to the origin, mirror, the quarter turns, insert and delete, as the
// window runs them: the menu items and buttons, the questions, the messages
// and the rows shown. Their arithmetic is tested on the core
// (tests/geometry/polygon_commands_test.cpp).
#include "main_window/editing_fixture.h"

#include <QAction>
#include <QPushButton>

#include <cmath>
#include <functional>

namespace tarvel::testing {
namespace {

using platform::MsgButtons;
using platform::MsgIcon;
using platform::MsgResult;

using TransformTest = EditingTest;

struct TransformCase {
    const char *name;
    std::function<void(Form1 &)> run;
    Texts before;
    Texts after;
};

const TransformCase kTransforms[] = {
    {"move to origin from the menu",
     [](Form1 &f) { f.controls().Menu_Tools_Norm->trigger(); },
     {{"5", "-3"}, {"15", "-3"}, {"15", "7"}},
     {{"0", "0"}, {"10", "0"}, {"10", "10"}}},
    {"move to origin from the N button",
     [](Form1 &f) { f.controls().CmdNorm->button()->click(); },
     {{"5", "-3"}, {"15", "-3"}, {"15", "7"}},
     {{"0", "0"}, {"10", "0"}, {"10", "10"}}},
    {"mirror",
     [](Form1 &f) { f.controls().Menu_Tools_Zerkalo->trigger(); },
     {{"0", "0"}, {"10", "0"}, {"10", "5"}},
     {{"10", "0"}, {"0", "0"}, {"0", "5"}}},
    {"rotate anticlockwise",
     [](Form1 &f) { f.controls().Menu_Tools_90L->trigger(); },
     {{"0", "0"}, {"10", "0"}, {"10", "5"}},
     {{"5", "0"}, {"5", "10"}, {"0", "10"}}},
    {"rotate clockwise",
     [](Form1 &f) { f.controls().Menu_Tools_90R->trigger(); },
     {{"0", "0"}, {"10", "0"}, {"10", "5"}},
     {{"0", "10"}, {"0", "0"}, {"5", "0"}}},
};

TEST_F(TransformTest, CommandsGiveTheExpectedCornersAndMarkThePolygonModified) {
    for (const TransformCase &c : kTransforms) {
        SCOPED_TRACE(c.name);
        setPolygon(c.before);
        makeCurrent(2);
        c.run(*form);
        EXPECT_EQ(texts(3), c.after);
        EXPECT_TRUE(fakes.messages.shown.empty());
        EXPECT_TRUE(form->document().isModified());
        EXPECT_EQ(form->view().currentCorner, 2);
    }
}

TEST_F(TransformTest, CommandsRefuseAPolygonWithAFieldThatIsNotANumber) {
    const std::pair<const char *, QAction * Form1Controls::*> commands[] = {
        {"norm", &Form1Controls::Menu_Tools_Norm},
        {"mirror", &Form1Controls::Menu_Tools_Zerkalo},
        {"clockwise", &Form1Controls::Menu_Tools_90R},
        {"anticlockwise", &Form1Controls::Menu_Tools_90L},
    };
    for (const auto &[name, action] : commands) {
        for (const Texts &bad : {Texts{{"5", "-3"}, {"15", "abc"}, {"15", "7"}},
                                 Texts{{"5", "-3"}, {"15", "-3"}, {"", "7"}}}) {
            SCOPED_TRACE(name);
            setPolygon(bad);
            (form->controls().*action)->trigger();
            EXPECT_EQ(texts(3), bad);
            EXPECT_FALSE(form->document().isModified());
            ASSERT_EQ(fakes.messages.shown.size(), 1u);
            const auto &box = fakes.messages.shown[0];
            EXPECT_EQ(box.text, "В поле с координатами не число!");
            EXPECT_EQ(box.title, "Ошибка");
            EXPECT_EQ(box.icon, MsgIcon::Exclamation);
            EXPECT_EQ(box.buttons, MsgButtons::OK);
        }
    }
}

TEST_F(TransformTest, InsertPutsTheMidpointAfterTheCurrentCorner) {
    struct Case {
        int after;
        QString question;
        Texts result;
    };
    const Case cases[] = {
        {2,
         "Вы действительно хотите вставить угол между углом № 2 и углом № 3",
         {{"0", "0"}, {"10", "0"}, {"10", "2,5"}, {"10", "5"}}},
        {3,
         "Вы действительно хотите вставить угол между углом № 3 и углом № 1",
         {{"0", "0"}, {"10", "0"}, {"10", "5"}, {"5", "2,5"}}},
        {1,
         "Вы действительно хотите вставить угол между углом № 1 и углом № 2",
         {{"0", "0"}, {"5", "0"}, {"10", "0"}, {"10", "5"}}},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.after);
        setPolygon({{0, 0}, {10, 0}, {10, 5}});
        makeCurrent(c.after);
        fakes.messages.answers = {MsgResult::Yes};
        form->controls().Menu_lnsertUgol->trigger();

        ASSERT_EQ(fakes.messages.shown.size(), 1u);
        EXPECT_EQ(fakes.messages.shown[0].text, c.question);
        EXPECT_EQ(fakes.messages.shown[0].title, "Подтвердите вставку");
        EXPECT_EQ(fakes.messages.shown[0].buttons, MsgButtons::YesNo);
        EXPECT_EQ(fakes.messages.shown[0].icon, MsgIcon::None);

        EXPECT_EQ(form->controls().Text1->Text(), "4");
        EXPECT_EQ(form->cornerCount(), 4);
        EXPECT_EQ(texts(4), c.result);
        EXPECT_TRUE(form->table().x(4)->Visible());
        EXPECT_EQ(form->controls().Cmb1->ListCount(), 4);
        EXPECT_TRUE(form->document().isModified());
        EXPECT_EQ(form->view().currentCorner, c.after);
        EXPECT_TRUE(form->plot().layout().corner(4).edge.visible); // recomputed with the new corner
    }
}

TEST_F(TransformTest, InsertAnsweredNoChangesNothing) {
    setPolygon({{0, 0}, {10, 0}, {10, 5}});
    makeCurrent(2);
    fakes.messages.answers = {MsgResult::No};
    form->controls().Menu_lnsertUgol->trigger();
    EXPECT_EQ(fakes.messages.shown.size(), 1u);
    EXPECT_EQ(form->controls().Text1->Text(), "3");
    EXPECT_EQ(texts(3), (Texts{{"0", "0"}, {"10", "0"}, {"10", "5"}}));
    EXPECT_FALSE(form->document().isModified());
}

TEST_F(TransformTest, InsertAfterTheTwentiethCornerMakesTwentyOne) {
    // The window starts with its 20-corner default polygon; twenty was the
    // old limit and is none now.
    makeCurrent(20);
    fakes.messages.answers = {MsgResult::Yes};
    form->controls().Menu_lnsertUgol->trigger();
    ASSERT_EQ(fakes.messages.shown.size(), 1u);
    EXPECT_EQ(fakes.messages.shown[0].text,
              "Вы действительно хотите вставить угол между углом № 20 и углом № 1");
    EXPECT_EQ(form->cornerCount(), 21);
    EXPECT_EQ(form->controls().Text1->Text(), "21");
    // Between (76; 30) and (26; 30).
    EXPECT_EQ(form->document().text(tarvel::geometry::Axis::X, 21), "51");
    EXPECT_EQ(form->document().text(tarvel::geometry::Axis::Y, 21), "30");
}

TEST_F(TransformTest, DeleteIsRefusedAtThreeCorners) {
    setPolygon({{0, 0}, {10, 0}, {10, 5}});
    makeCurrent(3);
    fakes.messages.answers = {MsgResult::Yes};
    form->controls().Menu_DelUgol->trigger();
    ASSERT_EQ(fakes.messages.shown.size(), 1u);
    EXPECT_EQ(fakes.messages.shown[0].text, "Меньше 3-х углов в многоугольнике быть не может!");
    EXPECT_EQ(fakes.messages.shown[0].title, "Ошибка удаления угла");
    EXPECT_EQ(fakes.messages.shown[0].icon, MsgIcon::Information);
    EXPECT_EQ(fakes.messages.shown[0].buttons, MsgButtons::OK);
    EXPECT_EQ(form->controls().Text1->Text(), "3");
    EXPECT_EQ(texts(3), (Texts{{"0", "0"}, {"10", "0"}, {"10", "5"}}));
    EXPECT_FALSE(form->document().isModified());
}

TEST_F(TransformTest, DeleteMovesTheFollowingTextsUpUnchanged) {
    const Texts square{{" 1 234,50", "7,125"}, {"abc", ""}, {"10", "10"}, {"0,001", "10"}};
    setPolygon(square);
    makeCurrent(1);
    fakes.messages.answers = {MsgResult::Yes};
    form->controls().Menu_DelUgol->trigger();

    ASSERT_EQ(fakes.messages.shown.size(), 1u);
    EXPECT_EQ(fakes.messages.shown[0].text, "Вы действительно хотите удалить угол № 1   ");
    EXPECT_EQ(fakes.messages.shown[0].title, "Подтвердите удаление");
    EXPECT_EQ(fakes.messages.shown[0].buttons, MsgButtons::YesNo);
    EXPECT_EQ(fakes.messages.shown[0].icon, MsgIcon::None);

    EXPECT_EQ(texts(3), (Texts{square[1], square[2], square[3]}));
    EXPECT_EQ(form->controls().Text1->Text(), "3");
    EXPECT_EQ(form->cornerCount(), 3);
    EXPECT_FALSE(form->table().x(4)->Visible());
    EXPECT_EQ(form->table().x(4)->Text(), "0,001"); // the hidden row keeps its text
    EXPECT_TRUE(form->document().isModified());
    EXPECT_EQ(form->view().currentCorner, 1);
}

TEST_F(TransformTest, DeleteAnsweredNoChangesNothing) {
    setPolygon({{0, 0}, {10, 0}, {10, 10}, {0, 10}});
    makeCurrent(2);
    fakes.messages.answers = {MsgResult::No};
    form->controls().Menu_DelUgol->trigger();
    EXPECT_EQ(fakes.messages.shown.size(), 1u);
    EXPECT_EQ(form->controls().Text1->Text(), "4");
    EXPECT_EQ(texts(4), (Texts{{"0", "0"}, {"10", "0"}, {"10", "10"}, {"0", "10"}}));
}

TEST_F(TransformTest, InsertAndDeleteNeedACornerOfThePolygon) {
    // No corner chosen, or the current corner's row hidden since: neither
    // asks nor changes.
    Texts twenty;
    for (int i = 1; i <= 20; ++i)
        twenty.emplace_back(QString::number(i), QString::number(i % 3));
    for (int current : {0, 5, 19}) {
        SCOPED_TRACE(current);
        setPolygon(twenty);
        makeCurrent(current);
        focus(*form->controls().txtStep); // the focus leaves the table, the corner stays
        setPolygon({{0, 0}, {10, 0}, {10, 10}, {0, 10}});
        ASSERT_EQ(form->view().currentCorner, current);
        fakes.messages.answers = {MsgResult::Yes, MsgResult::Yes};
        form->controls().Menu_lnsertUgol->trigger();
        form->controls().Menu_DelUgol->trigger();
        EXPECT_TRUE(fakes.messages.shown.empty());
        EXPECT_EQ(form->controls().Text1->Text(), "4");
        EXPECT_EQ(texts(4), (Texts{{"0", "0"}, {"10", "0"}, {"10", "10"}, {"0", "10"}}));
        fakes.messages.answers.clear();
    }
}

} // namespace
} // namespace tarvel::testing
