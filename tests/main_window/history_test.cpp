// The undo history in the real window: undo and redo give back exactly the
// states the commands made, whatever the focus does meanwhile, and the keys
// reach the history wherever the focus is.
#include "support/window_fixture.h"

#include "geometry/numtext.h"
#include "drawing/drawing_surface.h"

#include <QLineEdit>

#include <functional>

namespace tarvel::testing {
namespace {
using geometry::formatText, geometry::kFieldPattern;

class HistoryTest : public WindowTest {
protected:
    void SetUp() override { makeWindow(); }

    const geometry::PolygonTexts &texts() const { return form->document().texts(); }

    // The keys go where the focus is, as the keyboard sends them; through
    // the shortcut map, as a real key press.
    void press(Qt::Key key, Qt::KeyboardModifiers modifiers = Qt::NoModifier) {
        QWidget *target = QApplication::focusWidget();
        QTest::keyClick(target ? target : form.get(), key, modifiers);
    }
    void undoKey() { press(Qt::Key_Z, Qt::ControlModifier); }
    void redoKey() { press(Qt::Key_Z, Qt::ControlModifier | Qt::ShiftModifier); }
    void clickInto(const platform::TextBox &field) {
        QTest::mouseClick(field.edit(), Qt::LeftButton);
        QApplication::processEvents();
    }
};

// Mirror, "-", "+"; a click into X20 and Ctrl+Z hides X20 while it has the
// focus. Its leaving must not push steps into the undo that runs: redo
// must come back to 20 corners with every text as it was.
TEST_F(HistoryTest, AnUndoThatHidesTheFocusedFieldIsExact) {
    const geometry::PolygonTexts start = texts();
    form->controls().Menu_Tools_Zerkalo->trigger();
    const geometry::PolygonTexts mirrored = texts();
    form->controls().Command3->button()->click();
    const geometry::PolygonTexts fewer = texts();
    form->controls().Command2->button()->click();
    const geometry::PolygonTexts more = texts();
    ASSERT_EQ(form->cornerCount(), 20);
    // The mirror writes plain numbers: leaving X20 would reformat it.
    ASSERT_NE(texts().x[20], formatText(texts().x[20], kFieldPattern));

    clickInto(*form->table().x(20));
    ASSERT_TRUE(form->table().x(20)->hasFocus());
    undoKey();
    EXPECT_EQ(texts(), fewer);
    EXPECT_EQ(form->cornerCount(), 19);
    EXPECT_FALSE(form->table().x(20)->edit()->isVisible());
    undoKey();
    EXPECT_EQ(texts(), mirrored);
    undoKey();
    EXPECT_EQ(texts(), start);
    EXPECT_FALSE(form->document().isModified());

    while (form->controls().Menu_Redo->isEnabled())
        redoKey();
    EXPECT_EQ(form->cornerCount(), 20);
    EXPECT_EQ(texts(), more);
    EXPECT_EQ(form->document().undoStack().count(), 3);
}

// Leaving a field is no edit: a Tab or a click elsewhere between an undo and
// a redo keeps what there is to redo, even when the field left holds a text
// that its format would change.
TEST_F(HistoryTest, LeavingAFieldBetweenUndoAndRedoKeepsTheRedo) {
    struct Case {
        const char *name;
        std::function<void()> leave;
    };
    const Case cases[] = {
        {"tab", [this] { press(Qt::Key_Tab); }},
        {"down to the next row", [this] { press(Qt::Key_Down); }},
        {"click into another field", [this] { clickInto(*form->table().y(5)); }},
        {"click on the drawing",
         [this] { QTest::mouseClick(form->surface(), Qt::LeftButton, {}, QPoint(1060, 690)); }},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.name);
        form->controls().Menu_Tools_Zerkalo->trigger();
        form->controls().Menu_Tools_90R->trigger();
        const geometry::PolygonTexts turned = texts();
        clickInto(*form->table().x(1));
        // Typed in the field, then taken back.
        QTest::keyClicks(form->table().x(1)->edit(), QStringLiteral("7"));
        const geometry::PolygonTexts typed = texts();
        ASSERT_NE(typed, turned);
        undoKey();
        ASSERT_EQ(texts(), turned);
        undoKey();
        const geometry::PolygonTexts mirrored = texts();
        ASSERT_NE(texts().x[1], formatText(texts().x[1], kFieldPattern));
        const int steps = form->document().undoStack().count();

        c.leave();
        EXPECT_EQ(texts(), mirrored) << "leaving is no edit";
        EXPECT_EQ(form->document().undoStack().count(), steps);
        redoKey();
        EXPECT_EQ(texts(), turned);
        redoKey();
        EXPECT_EQ(texts(), typed);
    }
}

// The reformatting that leaving a field brings belongs to the typing: one
// undo step takes both back, and a field passed through is left as it is.
TEST_F(HistoryTest, ReformattingOnLeavingIsPartOfTheTyping) {
    const geometry::PolygonTexts start = texts();
    clickInto(*form->table().x(2));
    form->table().x(2)->edit()->selectAll();
    QTest::keyClicks(form->table().x(2)->edit(), QStringLiteral("1234.5"));
    press(Qt::Key_Tab);
    EXPECT_EQ(texts().x[2], QStringLiteral("1 234,50"));
    EXPECT_EQ(form->document().undoStack().count(), 1);
    undoKey();
    EXPECT_EQ(texts(), start);
    EXPECT_FALSE(form->document().isModified());

    // Walking through the fields of a polygon with plain numbers edits none.
    form->controls().Menu_Tools_Zerkalo->trigger();
    form->document().markSaved();
    const geometry::PolygonTexts mirrored = texts();
    for (int i = 1; i <= 20; ++i) {
        clickInto(*form->table().x(i));
        clickInto(*form->table().y(i));
    }
    clickInto(*form->controls().Text1);
    clickInto(*form->table().x(1));
    EXPECT_EQ(texts(), mirrored);
    EXPECT_FALSE(form->document().isModified());
    EXPECT_FALSE(form->controls().Menu_Redo->isEnabled());
}

// Ctrl+Z, Ctrl+Shift+Z and Ctrl+Y reach the window's history from every
// place the focus can be; no field takes them for its own undo.
TEST_F(HistoryTest, UndoAndRedoKeysWorkWhereverTheFocusIs) {
    struct Case {
        const char *name;
        std::function<QWidget *()> focus;
    };
    const Case cases[] = {
        {"a coordinate field", [this]() -> QWidget * { return form->table().y(3)->edit(); }},
        {"the count field", [this]() -> QWidget * { return form->controls().Text1->edit(); }},
        {"the step field", [this]() -> QWidget * { return form->controls().txtStep->edit(); }},
        {"the scale field", [this]() -> QWidget * { return form->controls().txtMsb->edit(); }},
        {"the scale list", [this]() -> QWidget * { return form->controls().Cmb3->widget(); }},
        {"a button", [this]() -> QWidget * { return form->controls().Command2->widget(); }},
        {"the area field, after a click on the drawing",
         [this]() -> QWidget * {
             QTest::mouseClick(form->surface(), Qt::LeftButton, {}, QPoint(1060, 690));
             return nullptr;
         }},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.name);
        const geometry::PolygonTexts before = texts();
        form->controls().Menu_Tools_90L->trigger();
        const geometry::PolygonTexts after = texts();
        ASSERT_NE(after, before);
        if (QWidget *w = c.focus()) {
            w->setFocus(Qt::TabFocusReason);
            QApplication::processEvents();
        }
        QWidget *focused = QApplication::focusWidget();
        ASSERT_NE(focused, nullptr);
        undoKey();
        EXPECT_EQ(texts(), before) << "Ctrl+Z";
        redoKey();
        EXPECT_EQ(texts(), after) << "Ctrl+Shift+Z";
        undoKey();
        press(Qt::Key_Y, Qt::ControlModifier);
        EXPECT_EQ(texts(), after) << "Ctrl+Y";
        EXPECT_EQ(QApplication::focusWidget(), focused) << "the focus stays";
    }
    // A click on the drawing lands on the area, which can only be read.
    EXPECT_TRUE(form->controls().Text3->hasFocus());
    EXPECT_TRUE(form->controls().Text3->edit()->isReadOnly());
    const QString area = form->controls().Text3->Text();
    QTest::keyClicks(form->controls().Text3->edit(), QStringLiteral("12"));
    EXPECT_EQ(form->controls().Text3->Text(), area);
}

} // namespace
} // namespace tarvel::testing
