// Typing into the coordinate fields, the row count buttons, clearing and the
// owner label editor.
#include "support/window_fixture.h"

#include "platform/controls/colours.h"

#include <QScrollBar>
#include <QLineEdit>
#include <QMouseEvent>

namespace tarvel::testing {
namespace {

using platform::MsgResult;

class FieldsTest : public WindowTest {};

TEST_F(FieldsTest, TypedPointsBecomeCommasWithTheCaretAtTheEnd) {
    makeWindow();
    struct Case {
        const char *typed;
        const char *shown;
    };
    for (const Case &c : {Case{"12.5", "12,5"}, Case{"1.2.3", "1,2,3"}, Case{"-0.5", "-0,5"}}) {
        type(*form->table().x(2), QString());
        focus(*form->table().x(2));
        QTest::keyClicks(form->table().x(2)->edit(), QString::fromUtf8(c.typed));
        EXPECT_EQ(form->table().x(2)->Text(), QString::fromUtf8(c.shown));
        EXPECT_EQ(form->table().x(2)->edit()->cursorPosition(), form->table().x(2)->Text().size());
    }
    // The step and the scale fields turn points too.
    type(*form->controls().txtStep, QStringLiteral("2.5"));
    EXPECT_EQ(form->controls().txtStep->Text(), QStringLiteral("2,5"));
    type(*form->controls().txtMsb, QStringLiteral("12.5"));
    EXPECT_EQ(form->controls().txtMsb->Text(), QStringLiteral("12,5"));
    EXPECT_FLOAT_EQ(form->view().scale, 12.5f);
}

TEST_F(FieldsTest, EveryChangeRecomputesAndMarksThePolygon) {
    makeWindow();
    EXPECT_FALSE(form->document().isModified());
    type(*form->table().x(1), QStringLiteral("36"));
    // Corner 1 moved 10 m right: the triangle it adds is 10 m by 25 m.
    EXPECT_EQ(form->controls().Text3->Text(), QStringLiteral("  10 825,00"));
    EXPECT_TRUE(form->document().isModified())
        << "a changed X marks the polygon as a changed Y does";
    form->document().markSaved();
    type(*form->table().y(1), QStringLiteral("40"));
    EXPECT_TRUE(form->document().isModified());
    // A keystroke is one recompute and one redraw, and undoing back to the
    // state last saved clears the mark again.
    form->document().markSaved();
    const int recomputes = form->document().recomputeCount();
    const int draws = form->drawCount();
    type(*form->table().y(1), QStringLiteral("30"));
    EXPECT_EQ(form->document().recomputeCount(), recomputes + 1);
    EXPECT_EQ(form->drawCount(), draws + 1);
    EXPECT_TRUE(form->document().isModified());
    form->controls().Menu_Undo->trigger();
    EXPECT_EQ(form->table().y(1)->Text(), QStringLiteral("40"));
    EXPECT_FALSE(form->document().isModified());
}

TEST_F(FieldsTest, LeavingAFieldFormatsItsNumber) {
    makeWindow();
    struct Case {
        const char *typed;
        const char *left;
    };
    for (const Case &c : {Case{"1234,5", "1 234,50"}, Case{"76", " 76,00"}, Case{"abc", "abc"},
                          Case{"", ""}, Case{"1234567", "1234 567,00"}}) {
        focus(*form->table().y(4));
        type(*form->table().y(4), QString::fromUtf8(c.typed));
        focus(*form->table().y(5));
        EXPECT_EQ(form->table().y(4)->Text(), QString::fromUtf8(c.left)) << c.typed;
    }
    // Passing through a field is no edit: its text stays as it is (" 6,00"
    // would be the format of "6,00") and the polygon stays unmodified.
    form->document().markSaved();
    const QString x4 = form->table().x(4)->Text();
    focus(*form->table().x(4));
    focus(*form->table().x(5));
    EXPECT_EQ(form->table().x(4)->Text(), x4);
    EXPECT_FALSE(form->document().isModified()) << "leaving an X field is no edit";
}

TEST_F(FieldsTest, KeysMoveTheFocusWithinTheColumn) {
    makeWindow();
    type(*form->controls().Text1, QStringLiteral("5"));
    form->Text1_LostFocus();
    focus(*form->table().x(4));
    QTest::keyClick(form->table().x(4)->edit(), Qt::Key_Return);
    EXPECT_TRUE(form->table().x(5)->hasFocus());
    QTest::keyClick(form->table().x(5)->edit(), Qt::Key_Return);
    EXPECT_TRUE(form->table().x(5)->hasFocus()) << "Enter in the last row keeps the focus";
    QTest::keyClick(form->table().x(5)->edit(), Qt::Key_Down);
    EXPECT_TRUE(form->table().x(5)->hasFocus());
    QTest::keyClick(form->table().x(5)->edit(), Qt::Key_Up);
    EXPECT_TRUE(form->table().x(4)->hasFocus());
    focus(*form->table().y(1));
    QTest::keyClick(form->table().y(1)->edit(), Qt::Key_Up);
    EXPECT_TRUE(form->table().y(1)->hasFocus()) << "Up in row 1 keeps the focus";
    QTest::keyClick(form->table().y(1)->edit(), Qt::Key_Down);
    EXPECT_TRUE(form->table().y(2)->hasFocus()) << "the focus never changes column";
}

TEST_F(FieldsTest, FocusMakesTheCornerCurrentAndMaySelectAll) {
    makeWindow();
    state.settings.SelectOnFocus = 1;
    focus(*form->table().y(3));
    EXPECT_EQ(form->view().currentCorner, 3);
    EXPECT_EQ(form->table().y(3)->BackColor(), 0xFFFFu);
    EXPECT_EQ(form->table().y(3)->edit()->selectedText(), form->table().y(3)->Text());
    state.settings.SelectOnFocus = 0;
    focus(*form->table().x(6));
    EXPECT_EQ(form->view().currentCorner, 6);
    EXPECT_TRUE(form->table().x(6)->edit()->selectedText().isEmpty());
}

// The click that brings the focus selects the text as Tab does, so that
// typing replaces it; a further click in the field places the caret.
TEST_F(FieldsTest, AClickThatBringsTheFocusSelectsAll) {
    makeWindow();
    state.settings.SelectOnFocus = 1;
    type(*form->table().x(1), QStringLiteral("18,65"));
    focus(*form->table().y(5));
    QLineEdit *edit = form->table().x(1)->edit();
    QTest::mouseClick(edit, Qt::LeftButton, {}, QPoint(edit->width() / 2, edit->height() / 2));
    ASSERT_TRUE(form->table().x(1)->hasFocus());
    EXPECT_EQ(form->view().currentCorner, 1);
    QTest::keyClick(edit, Qt::Key_9);
    EXPECT_EQ(form->table().x(1)->Text(), QStringLiteral("9"));
    QTest::mouseClick(edit, Qt::LeftButton, {}, QPoint(2, edit->height() / 2));
    QTest::keyClick(edit, Qt::Key_1);
    EXPECT_EQ(form->table().x(1)->Text(), QStringLiteral("19"));

    // A drag that brings the focus keeps what it selected.
    type(*form->table().x(1), QStringLiteral("1234,56"));
    focus(*form->table().y(5));
    const int y = edit->height() / 2;
    QTest::mousePress(edit, Qt::LeftButton, {}, QPoint(2, y));
    QMouseEvent drag(QEvent::MouseMove, QPointF(edit->width() / 2, y),
                     edit->mapToGlobal(QPointF(edit->width() / 2, y)), Qt::NoButton, Qt::LeftButton,
                     Qt::NoModifier);
    QApplication::sendEvent(edit, &drag);
    QTest::mouseRelease(edit, Qt::LeftButton, {}, QPoint(edit->width() / 2, y));
    EXPECT_FALSE(edit->selectedText().isEmpty());
    EXPECT_NE(edit->selectedText(), form->table().x(1)->Text());
}

TEST_F(FieldsTest, CountButtonsAddAndRemoveRows) {
    makeWindow();
    // "+" goes past the table's twenty rows: a scroll bar brings the rest in.
    EXPECT_FALSE(form->table().scrollBarShown());
    form->controls().Command2->button()->click();
    EXPECT_EQ(form->controls().Text1->Text(), QStringLiteral("21"));
    EXPECT_EQ(form->cornerCount(), 21);
    EXPECT_TRUE(form->table().scrollBarShown());
    form->controls().Command3->button()->click();
    EXPECT_FALSE(form->table().scrollBarShown());
    form->document().markSaved();

    for (int k = 0; k < 15; ++k)
        form->controls().Command3->button()->click();
    EXPECT_EQ(form->controls().Text1->Text(), QStringLiteral("5"));
    EXPECT_EQ(form->cornerCount(), 5);
    EXPECT_EQ(form->controls().Cmb1->ListCount(), 5);
    EXPECT_TRUE(form->table().x(5)->Visible());
    EXPECT_FALSE(form->table().x(6)->Visible());
    // The drawing has the five corners only: no marker or edge of a sixth.
    EXPECT_EQ(form->plot().layout().cornerCount(), 5);

    const QString x5 = form->table().x(5)->Text();
    form->controls().Command3->button()->click();
    EXPECT_FALSE(form->table().x(5)->Visible());
    form->controls().Command2->button()->click();
    EXPECT_TRUE(form->table().x(5)->Visible());
    EXPECT_EQ(form->table().x(5)->Text(), x5) << "a row shown again shows its old text";

    form->controls().Command3->button()->click();
    form->controls().Command3->button()->click();
    ASSERT_EQ(form->controls().Text1->Text(), QStringLiteral("3"));
    form->document().markSaved();
    form->controls().Command3->button()->click();
    EXPECT_EQ(form->controls().Text1->Text(), QStringLiteral("3"));
    EXPECT_FALSE(form->document().isModified());
}

TEST_F(FieldsTest, ClearingAsksFirstAndEmptiesAllFortyFields) {
    makeWindow();
    form->controls().Command3->button()->click(); // hidden rows are emptied too
    fakes.messages.answers = {MsgResult::No};
    form->controls().CmdClear->button()->click();
    EXPECT_EQ(form->table().x(1)->Text(), QStringLiteral("26,00"));
    ASSERT_EQ(fakes.messages.shown.size(), 1u);
    EXPECT_EQ(fakes.messages.shown[0].text, QStringLiteral("Очистить все поля с координатами?"));
    EXPECT_EQ(fakes.messages.shown[0].title, QStringLiteral("Подтвердите очистку."));
    EXPECT_EQ(fakes.messages.shown[0].icon, platform::MsgIcon::Question);

    fakes.messages.answers = {MsgResult::Yes};
    form->controls().CmdClear->button()->click();
    for (int i = 1; i <= 20; ++i) {
        EXPECT_TRUE(form->table().x(i)->Text().isEmpty()) << i;
        EXPECT_TRUE(form->table().y(i)->Text().isEmpty()) << i;
    }
    EXPECT_EQ(form->controls().Text1->Text(), QStringLiteral("19"));
    EXPECT_EQ(form->controls().Text3->Text(), QStringLiteral("   0,00"));
}

TEST_F(FieldsTest, OwnerLabelEditor) {
    makeWindow();
    // The editor is made when the owner is first edited.
    EXPECT_EQ(form->controls().txt3, nullptr);
    const QString before = form->controls().Label2->Caption();
    clickLabel(*form->controls().Label2);
    ASSERT_TRUE(form->controls().txt3->Visible());
    EXPECT_EQ(form->controls().txt3->Text(), before);
    EXPECT_NEAR(form->controls().txt3->Left(), form->controls().Label2->Left() - 0.5, 1e-9);
    EXPECT_EQ(form->controls().txt3->Width(), form->controls().Label2->Width());

    type(*form->controls().txt3, QStringLiteral("Иванов"));
    QTest::keyClick(form->controls().txt3->edit(), Qt::Key_Escape);
    EXPECT_FALSE(form->controls().txt3->Visible());
    EXPECT_EQ(form->controls().Label2->Caption(), before);

    clickLabel(*form->controls().Label2);
    type(*form->controls().txt3, QStringLiteral("Участок 12"));
    QTest::keyClick(form->controls().txt3->edit(), Qt::Key_Return);
    EXPECT_EQ(form->controls().Label2->Caption(), QStringLiteral("Участок 12"));
    // The owner text is saved with the polygon: a change by Enter must not
    // be lost at exit without the save question.
    EXPECT_TRUE(form->document().isModified());
    form->document().markSaved();

    clickLabel(*form->controls().Label2);
    type(*form->controls().txt3, QStringLiteral("Петров"));
    QTest::mouseDClick(form->controls().txt3->edit(), Qt::LeftButton);
    EXPECT_EQ(form->controls().Label2->Caption(), QStringLiteral("Петров"));
    EXPECT_TRUE(form->document().isModified());
    EXPECT_EQ(form->controls().Label2->ForeColor(), platform::kSysButtonText);

    // In the editor, as in every field, Ctrl+Z is the window's undo.
    clickLabel(*form->controls().Label2);
    QTest::keyClick(form->controls().txt3->edit(), Qt::Key_Z, Qt::ControlModifier);
    EXPECT_EQ(form->controls().Label2->Caption(), QStringLiteral("Участок 12"));
}

} // namespace
} // namespace tarvel::testing
