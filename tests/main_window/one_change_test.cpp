// Every command of the main window is one change of the document: one
// recompute, one placing of the drawing and at most one paint of it. Undo
// and Redo, from the menu and from the keyboard inside a field, take back
// and bring again whole commands.
#include "main_window/editing_fixture.h"

#include "files/polygon_file.h"
#include "drawing/drawing_surface.h"
#include "platform/io/cp1251.h"

#include <QAction>
#include <QFile>
#include <QLineEdit>
#include <QPushButton>
#include <QTemporaryDir>

#include <functional>

namespace tarvel::testing {
namespace {

using platform::MsgResult;

// Counts the paints a widget gets.
class PaintCounter : public QObject {
public:
    int paints = 0;

protected:
    bool eventFilter(QObject *, QEvent *event) override {
        if (event->type() == QEvent::Paint) ++paints;
        return false;
    }
};

// Columns A and B of a workbook, as the spreadsheet layer reads them.
class ScriptedColumns : public platform::SpreadsheetService {
public:
    platform::SpreadsheetColumns columns;
    std::unique_ptr<platform::SpreadsheetApplication> createApplication() override {
        return nullptr;
    }
    std::optional<platform::SpreadsheetColumns> readColumns(const QString &) override {
        return columns;
    }
};

platform::SpreadsheetCell number(double v) {
    return {platform::SpreadsheetCell::Kind::Number, v, {}};
}

class OneChangeTest : public EditingTest {
protected:
    void SetUp() override {
        ASSERT_TRUE(dir.isValid());
        sheet.columns.a = {number(0), number(30), number(30), number(0)};
        sheet.columns.b = {number(0), number(0), number(40), number(40)};
        fakes.spreadsheet = platform::FakeSpreadsheet(&sheet);
        EditingTest::SetUp();
        form->surface()->installEventFilter(&counter);
    }
    void TearDown() override {
        if (form) form->surface()->removeEventFilter(&counter);
        EditingTest::TearDown();
    }
    QString path(const QString &name) const { return dir.filePath(name); }
    // A polygon file of four corners; rows beyond hold 0.
    QString writePolygonFile(const QString &name) const {
        QStringList lines{QStringLiteral("4")};
        const QStringList xs{"1", "21", "21", "1"}, ys{"2", "2", "12", "12"};
        for (int i = 0; i < 20; ++i)
            lines << (i < 4 ? xs[i] : QStringLiteral("0"));
        for (int i = 0; i < 20; ++i)
            lines << (i < 4 ? ys[i] : QStringLiteral("0"));
        lines << QStringLiteral("Хозяин");
        QFile f(path(name));
        EXPECT_TRUE(f.open(QIODevice::WriteOnly));
        f.write(
            platform::cp1251::encode(lines.join(QStringLiteral("\r\n")) + QStringLiteral("\r\n")));
        return path(name);
    }
    // Lets every pending repaint happen.
    static void settle() {
        for (int k = 0; k < 3; ++k)
            QApplication::processEvents();
    }
    // Sends a key to a field the way the keyboard would, through the
    // window's shortcuts.
    static void key(const platform::TextBox &field, Qt::Key k,
                    Qt::KeyboardModifiers m = Qt::NoModifier) {
        QTest::keyClick(field.edit(), k, m);
    }

    QTemporaryDir dir;
    ScriptedColumns sheet;
    PaintCounter counter;
};

struct CommandCase {
    const char *name;
    std::function<void()> arrange;
    std::function<void(Form1 &)> act;
};

TEST_F(OneChangeTest, EveryCommandIsOneRecomputeOneRedrawAndAtMostOnePaint) {
    const auto none = [] {};
    const auto answerYes = [this] {
        makeCurrent(2);
        fakes.messages.answers = {MsgResult::Yes};
    };
    const auto atCorner2 = [this] { makeCurrent(2); };
    const CommandCase cases[] = {
        {"open a polygon file",
         [this] { fakes.dialogs.fileAnswers = {writePolygonFile("open.squ")}; },
         [](Form1 &f) { f.controls().Menu_File_Open->trigger(); }},
        {"import",
         [this] {
             state.settings.ImportHintOff = 1;
             fakes.dialogs.fileAnswers = {path("corners.xlsx")};
         },
         [](Form1 &f) {
             f.controls().Menu_File_Import->trigger();
             finishBackgroundWork();
         }},
        {"move to origin", none, [](Form1 &f) { f.controls().Menu_Tools_Norm->trigger(); }},
        {"move to origin by N", none, [](Form1 &f) { f.controls().CmdNorm->button()->click(); }},
        {"mirror", none, [](Form1 &f) { f.controls().Menu_Tools_Zerkalo->trigger(); }},
        {"quarter turn clockwise", none, [](Form1 &f) { f.controls().Menu_Tools_90R->trigger(); }},
        {"quarter turn anticlockwise", none,
         [](Form1 &f) { f.controls().Menu_Tools_90L->trigger(); }},
        {"insert a corner", answerYes, [](Form1 &f) { f.controls().Menu_lnsertUgol->trigger(); }},
        {"delete a corner", answerYes, [](Form1 &f) { f.controls().Menu_DelUgol->trigger(); }},
        {"one corner more", none, [](Form1 &f) { f.controls().Command2->button()->click(); }},
        {"one corner less", none, [](Form1 &f) { f.controls().Command3->button()->click(); }},
        {"clear", [this] { fakes.messages.answers = {MsgResult::Yes}; },
         [](Form1 &f) { f.controls().CmdClear->button()->click(); }},
        {"polygon up", none, [](Form1 &f) { f.controls().CmdUp->button()->click(); }},
        {"polygon down", none, [](Form1 &f) { f.controls().CmdDown->button()->click(); }},
        {"polygon right", none, [](Form1 &f) { f.controls().CmdRight->button()->click(); }},
        {"polygon left", none, [](Form1 &f) { f.controls().CmLleft->button()->click(); }},
        {"corner X up", atCorner2, [](Form1 &f) { f.controls().CmdXUp->button()->click(); }},
        {"corner X down", atCorner2, [](Form1 &f) { f.controls().CmdXDw->button()->click(); }},
        {"corner Y up", atCorner2, [](Form1 &f) { f.controls().CmdYUp->button()->click(); }},
        {"corner Y down", atCorner2, [](Form1 &f) { f.controls().CmdYDw->button()->click(); }},
        {"a digit typed in a field", [this] { focus(*form->table().x(2)); },
         [](Form1 &f) { key(*f.table().x(2), Qt::Key_7); }},
        {"a point typed in a field, written as a comma", [this] { focus(*form->table().y(3)); },
         [](Form1 &f) { key(*f.table().y(3), Qt::Key_Period); }},
        {"the owner's name entered",
         [this] {
             clickLabel(*form->controls().Label2);
             type(*form->controls().txt3, QStringLiteral("Петров"));
         },
         [](Form1 &f) { key(*f.controls().txt3, Qt::Key_Return); }},
        {"undo", [this] { form->controls().Menu_Tools_Zerkalo->trigger(); },
         [](Form1 &f) { f.controls().Menu_Undo->trigger(); }},
        {"redo",
         [this] {
             form->controls().Menu_Tools_Zerkalo->trigger();
             form->controls().Menu_Undo->trigger();
         },
         [](Form1 &f) { f.controls().Menu_Redo->trigger(); }},
    };
    for (const CommandCase &c : cases) {
        SCOPED_TRACE(c.name);
        setPolygon({{5, -3}, {15, -3}, {15, 7}, {5, 7}});
        c.arrange();
        settle();
        const geometry::PolygonTexts before = form->document().texts();
        const int recomputes = form->document().recomputeCount();
        const int draws = form->drawCount();
        counter.paints = 0;

        c.act(*form);
        EXPECT_NE(form->document().texts(), before) << "the command changed nothing";
        EXPECT_EQ(form->document().recomputeCount(), recomputes + 1);
        EXPECT_EQ(form->drawCount(), draws + 1);
        settle();
        EXPECT_LE(counter.paints, 1);
        EXPECT_TRUE(fakes.messages.answers.empty()) << "a question was not asked";
        fakes.messages.answers.clear();
        form->Form_Click(); // leaves any field
    }
}

TEST_F(OneChangeTest, TheDrawingIsPaintedAfterACommand) {
    settle();
    counter.paints = 0;
    form->controls().Menu_Tools_Zerkalo->trigger();
    settle();
    EXPECT_EQ(counter.paints, 1);
}

// Only what the drawing changes is painted again: the highlight of another
// corner paints, a recompute of an unchanged polygon paints nothing.
TEST_F(OneChangeTest, AnUnchangedDrawingIsNotPaintedAgain) {
    struct Step {
        const char *name;
        std::function<void()> act;
        int paints;
    };
    const Step steps[] = {
        {"corner 3 highlighted",
         [this] {
             makeCurrent(3);
             form->PODKRAS();
         },
         1},
        {"an unchanged polygon recomputed", [this] { form->VICHISLIT(); }, 0},
        {"the highlight dropped",
         [this] {
             makeCurrent(0);
             form->PODKRAS();
         },
         1},
        {"recomputed again", [this] { form->VICHISLIT(); }, 0},
    };
    settle();
    for (const Step &step : steps) {
        SCOPED_TRACE(step.name);
        counter.paints = 0;
        step.act();
        settle();
        EXPECT_EQ(counter.paints, step.paints);
    }
}

// ---------------------------------------------------------------- undo and redo

TEST_F(OneChangeTest, UndoAndRedoAreGreyedOutWhenThereIsNothingToTakeBackOrBring) {
    // A window just opened has no history.
    EXPECT_FALSE(form->controls().Menu_Undo->isEnabled());
    EXPECT_FALSE(form->controls().Menu_Redo->isEnabled());
    form->controls().Menu_Tools_Zerkalo->trigger();
    EXPECT_TRUE(form->controls().Menu_Undo->isEnabled());
    EXPECT_FALSE(form->controls().Menu_Redo->isEnabled());
    form->controls().Menu_Undo->trigger();
    EXPECT_FALSE(form->controls().Menu_Undo->isEnabled());
    EXPECT_TRUE(form->controls().Menu_Redo->isEnabled());
    form->controls().Menu_Redo->trigger();
    EXPECT_TRUE(form->controls().Menu_Undo->isEnabled());
    EXPECT_FALSE(form->controls().Menu_Redo->isEnabled());
    // A new command after an undo leaves nothing to redo.
    form->controls().Menu_Undo->trigger();
    form->controls().Menu_Tools_90R->trigger();
    EXPECT_FALSE(form->controls().Menu_Redo->isEnabled());
}

TEST_F(OneChangeTest, CtrlZInAFieldUndoesTheWholeCommandNotTheFieldsKeystrokes) {
    setPolygon({{0, 0}, {10, 0}, {10, 5}});
    const Texts start = texts(3);
    focus(*form->table().x(2));
    form->table().x(2)->edit()->end(false);
    QTest::keyClicks(form->table().x(2)->edit(), QStringLiteral("78"));
    ASSERT_EQ(form->table().x(2)->Text(), QStringLiteral("1078"));
    form->controls().Menu_Tools_Zerkalo->trigger();
    const Texts mirrored = texts(3);
    ASSERT_NE(mirrored[0], start[0]);

    key(*form->table().x(2), Qt::Key_Z, Qt::ControlModifier);
    EXPECT_EQ(form->table().x(2)->Text(), QStringLiteral("1078")) << "the mirror, whole";
    EXPECT_EQ(texts(3)[0], start[0]);
    key(*form->table().x(2), Qt::Key_Z, Qt::ControlModifier);
    EXPECT_EQ(texts(3), start) << "both keystrokes at once";

    key(*form->table().x(2), Qt::Key_Y, Qt::ControlModifier);
    EXPECT_EQ(form->table().x(2)->Text(), QStringLiteral("1078"));
    key(*form->table().x(2), Qt::Key_Z, Qt::ControlModifier | Qt::ShiftModifier);
    EXPECT_EQ(texts(3), mirrored);
    EXPECT_FALSE(form->controls().Menu_Redo->isEnabled());
    // One more: nothing left to bring back, and the field's own redo does
    // nothing behind the document's back either.
    key(*form->table().x(2), Qt::Key_Y, Qt::ControlModifier);
    EXPECT_EQ(texts(3), mirrored);
    EXPECT_EQ(form->document().texts().x[2], form->table().x(2)->Text());
}

// With nothing in the window's history, Ctrl+Z reaches the field, whose own
// undo brings back a keystroke already typed away. Fails: the window lets
// the key through to the field when its Undo is greyed out (form1.cpp,
// eventFilter); disabled until the window is fixed.
TEST_F(OneChangeTest, CtrlZWithNothingToUndoLeavesTheFieldAlone) {
    focus(*form->table().x(1));
    form->table().x(1)->edit()->end(false);
    const QString start = form->table().x(1)->Text();
    key(*form->table().x(1), Qt::Key_7);
    key(*form->table().x(1), Qt::Key_Backspace);
    ASSERT_FALSE(form->controls().Menu_Undo->isEnabled());
    key(*form->table().x(1), Qt::Key_Z, Qt::ControlModifier);
    EXPECT_EQ(form->table().x(1)->Text(), start);
    EXPECT_FALSE(form->document().isModified());
}

TEST_F(OneChangeTest, UndoFromTheMenuTakesBackEachCommandInTurn) {
    setPolygon({{5, -3}, {15, -3}, {15, 7}});
    std::vector<Texts> seen{texts(3)};
    for (QAction *a : {form->controls().Menu_Tools_Norm, form->controls().Menu_Tools_90R, form->controls().Menu_Tools_Zerkalo}) {
        a->trigger();
        seen.push_back(texts(3));
    }
    for (int k = int(seen.size()) - 2; k >= 0; --k) {
        form->controls().Menu_Undo->trigger();
        EXPECT_EQ(texts(3), seen[std::size_t(k)]) << k;
    }
    for (std::size_t k = 1; k < seen.size(); ++k) {
        form->controls().Menu_Redo->trigger();
        EXPECT_EQ(texts(3), seen[k]) << k;
    }
}

TEST_F(OneChangeTest, OpeningAFileStartsTheHistoryAfresh) {
    form->controls().Menu_Tools_Zerkalo->trigger();
    form->controls().Menu_Tools_90R->trigger();
    form->controls().Menu_Undo->trigger();
    ASSERT_TRUE(form->controls().Menu_Undo->isEnabled());
    ASSERT_TRUE(form->controls().Menu_Redo->isEnabled());
    fakes.dialogs.fileAnswers = {writePolygonFile("fresh.squ")};
    form->controls().Menu_File_Open->trigger();
    EXPECT_EQ(form->cornerCount(), 4);
    EXPECT_FALSE(form->controls().Menu_Undo->isEnabled());
    EXPECT_FALSE(form->controls().Menu_Redo->isEnabled());
    EXPECT_FALSE(form->document().isModified());
    const Texts opened = texts(4);
    focus(*form->table().x(1));
    key(*form->table().x(1), Qt::Key_Z, Qt::ControlModifier);
    EXPECT_EQ(texts(4), opened);
    EXPECT_EQ(form->cornerCount(), 4);
}

TEST_F(OneChangeTest, UndoingToTheStateLastSavedClearsTheModifiedFlag) {
    setPolygon({{0, 0}, {10, 0}, {10, 5}});
    form->controls().Menu_Tools_Zerkalo->trigger();
    fakes.dialogs.fileAnswers = {path("saved.squ")};
    ASSERT_TRUE(form->SAVE_AS());
    EXPECT_FALSE(form->document().isModified());
    form->controls().Menu_Tools_90L->trigger();
    EXPECT_TRUE(form->document().isModified());
    form->controls().Menu_Undo->trigger();
    EXPECT_FALSE(form->document().isModified());
    // So closing asks nothing.
    form->controls().Menu_Exit->trigger();
    EXPECT_TRUE(fakes.messages.shown.empty());
    EXPECT_EQ(programEnded, 1);
    // Undoing past the saved state is a change again.
    form->controls().Menu_Undo->trigger();
    EXPECT_TRUE(form->document().isModified());
    form->controls().Menu_Redo->trigger();
    EXPECT_FALSE(form->document().isModified());
}

} // namespace
} // namespace tarvel::testing
