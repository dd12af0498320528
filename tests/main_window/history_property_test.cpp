// The history of the real window under a long seeded session of random
// commands, focus moves, saves and opens, with bursts of undos and redos in
// between (by key and by menu, the focus moving meanwhile):
//   - k undos then k redos come back to the very texts, through the same
//     states in reverse;
//   - the modified flag is always "the texts differ from those last saved
//     or opened";
//   - the fields always show the document's texts.
#include "support/window_fixture.h"

#include <QLineEdit>
#include <QTemporaryDir>

#include <random>
#include <string>
#include <vector>

namespace tarvel::testing {
namespace {

using platform::MsgResult;
using Texts = geometry::PolygonTexts;

// Where two polygons differ, for the failure message.
std::string difference(const Texts &a, const Texts &b) {
    QString d;
    const auto field = [&](const QString &name, const QString &x, const QString &y) {
        if (x != y) d += name + QStringLiteral(": '") + x + QStringLiteral("' / '") + y + "' ";
    };
    field(QStringLiteral("count"), a.count, b.count);
    for (int i = 1; i <= 20; ++i) {
        field(QStringLiteral("X%1").arg(i), a.x[i], b.x[i]);
        field(QStringLiteral("Y%1").arg(i), a.y[i], b.y[i]);
    }
    field(QStringLiteral("owner"), a.owner, b.owner);
    return d.toStdString();
}

class HistoryProperty : public WindowTest {
protected:
    std::mt19937 rng{18062026};
    int pick(int lo, int hi) { return std::uniform_int_distribution<int>(lo, hi)(rng); }

    QString randomText() {
        static const char *const pieces[] = {"0", "1",    "5",      "12",  "7.5", ",",
                                             "-", "3,25", "1234.5", "abc", " ",   ""};
        QString s;
        for (int k = pick(0, 3); k > 0; --k)
            s += QString::fromLatin1(pieces[pick(0, int(std::size(pieces)) - 1)]);
        return s;
    }

    const Texts &texts() const { return form->document().texts(); }

    const platform::TextBox &randomCoordinateField() {
        const int i = pick(1, 20);
        return pick(0, 1) ? *form->table().x(i) : *form->table().y(i);
    }

    // Somewhere the focus may go: a field, the count, the step, a button, or
    // the drawing (which hands it to the area).
    void moveFocus() {
        switch (pick(0, 5)) {
        case 0:
            focus(*form->controls().Text1);
            break;
        case 1:
            focus(*form->controls().txtStep);
            break;
        case 2:
            focus(*form->controls().Command2);
            break;
        case 3:
            QTest::keyClick(focusTarget(), Qt::Key_Tab);
            break;
        default:
            focus(randomCoordinateField());
            break;
        }
    }
    QWidget *focusTarget() {
        QWidget *w = QApplication::focusWidget();
        return w ? w : form.get();
    }

    void undo() {
        if (pick(0, 1))
            QTest::keyClick(focusTarget(), Qt::Key_Z, Qt::ControlModifier);
        else
            form->controls().Menu_Undo->trigger();
    }
    void redo() {
        switch (pick(0, 2)) {
        case 0:
            QTest::keyClick(focusTarget(), Qt::Key_Z, Qt::ControlModifier | Qt::ShiftModifier);
            break;
        case 1:
            QTest::keyClick(focusTarget(), Qt::Key_Y, Qt::ControlModifier);
            break;
        default:
            form->controls().Menu_Redo->trigger();
            break;
        }
    }

    void command() {
        switch (pick(0, 12)) {
        case 0:
        case 1:
        case 2: {
            // Typing: into the field that has the focus, or a field clicked.
            const platform::TextBox &f = randomCoordinateField();
            focus(f);
            type(f, randomText());
            if (pick(0, 1)) type(f, f.Text() + randomText());
            break;
        }
        case 3:
            moveFocus();
            break;
        case 4:
            (pick(0, 1) ? form->controls().Command2 : form->controls().Command3)->button()->click();
            break;
        case 5: {
            QAction *const transforms[] = {form->controls().Menu_Tools_Norm, form->controls().Menu_Tools_Zerkalo,
                                           form->controls().Menu_Tools_90R, form->controls().Menu_Tools_90L};
            transforms[pick(0, 3)]->trigger();
            break;
        }
        case 6: {
            // A step move of the corner whose field has the focus, or of all.
            focus(randomCoordinateField());
            const platform::Button *const moves[] = {
                form->controls().CmdUp.get(),  form->controls().CmdDown.get(), form->controls().CmdXUp.get(),  form->controls().CmdXDw.get(),
                form->controls().CmdYUp.get(), form->controls().CmdYDw.get(),  form->controls().CmLleft.get(), form->controls().CmdRight.get()};
            moves[pick(0, 7)]->button()->click();
            break;
        }
        case 7:
            focus(*form->controls().Text1);
            type(*form->controls().Text1, QString::number(pick(2, 21)));
            if (pick(0, 1)) QTest::keyClick(form->controls().Text1->edit(), Qt::Key_Return);
            break;
        case 8:
            focus(randomCoordinateField());
            fakes.messages.answers = {pick(0, 1) ? MsgResult::Yes : MsgResult::No};
            (pick(0, 1) ? form->controls().Menu_lnsertUgol : form->controls().Menu_DelUgol)->trigger();
            break;
        case 9:
            fakes.messages.answers = {MsgResult::Yes};
            form->controls().CmdClear->button()->click();
            break;
        case 10:
            fakes.dialogs.fileAnswers = {file};
            if (form->SAVE_AS()) saved = texts();
            break;
        case 11:
            // Unsaved work is not saved; the file last saved comes back.
            fakes.messages.answers = {MsgResult::No};
            fakes.dialogs.fileAnswers = {file};
            if (QFile::exists(file)) {
                form->controls().Menu_File_Open->trigger();
                saved = texts();
            }
            break;
        default:
            clickLabel(*form->controls().Label2);
            type(*form->controls().txt3, randomText());
            QTest::keyClick(form->controls().txt3->edit(), Qt::Key_Return);
            break;
        }
        fakes.messages.answers.clear();
    }

    void checkShownAndModified(const char *when, int step) {
        const Texts &t = texts();
        ASSERT_EQ(form->document().isModified(), t != saved) << when << ", step " << step;
        ASSERT_EQ(form->controls().Text1->Text(), t.count) << when << ", step " << step;
        for (int i = 1; i <= 20; ++i) {
            ASSERT_EQ(form->table().x(i)->Text(), t.x[i]) << when << ", step " << step;
            ASSERT_EQ(form->table().y(i)->Text(), t.y[i]) << when << ", step " << step;
        }
        ASSERT_EQ(form->controls().Label2->Caption(), t.owner) << when << ", step " << step;
    }

    // The focus moves somewhere; after an undo or a redo that is no edit.
    void wander(int step) {
        if (pick(0, 2) != 0) return;
        const Texts before = texts();
        moveFocus();
        ASSERT_TRUE(texts() == before)
            << "a focus move edited, step " << step << ": " << difference(texts(), before);
    }

    // k undos, recording every state, then k redos that must pass the same
    // states backwards; the focus wanders in between. (Leaving a field
    // just typed into finishes that typing: it goes before the first undo.)
    void undoAndRedo(int step) {
        if (pick(0, 1)) moveFocus();
        std::vector<Texts> states{texts()};
        const int k = pick(1, 6);
        for (int j = 0; j < k && form->controls().Menu_Undo->isEnabled(); ++j) {
            undo();
            states.push_back(texts());
            checkShownAndModified("undo", step);
            wander(step);
            if (::testing::Test::HasFatalFailure()) return;
        }
        for (std::size_t j = states.size() - 1; j > 0; --j) {
            ASSERT_TRUE(form->controls().Menu_Redo->isEnabled()) << "the redo was lost, step " << step;
            redo();
            ASSERT_TRUE(texts() == states[j - 1])
                << "redo " << j << ", step " << step << ": " << difference(texts(), states[j - 1]);
            checkShownAndModified("redo", step);
            wander(step);
            if (::testing::Test::HasFatalFailure()) return;
        }
    }

    QTemporaryDir dir;
    QString file = dir.filePath(QStringLiteral("session.squ"));
    Texts saved;
};

TEST_F(HistoryProperty, UndoAndRedoAreExactAndModifiedMeansChangedSinceSaved) {
    makeWindow();
    saved = texts();
    int bursts = 0;
    for (int step = 0; step < 10000; ++step) {
        command();
        checkShownAndModified("command", step);
        if (pick(0, 2) == 0) {
            undoAndRedo(step);
            ++bursts;
        }
        if (::testing::Test::HasFatalFailure()) return;
    }
    EXPECT_GT(bursts, 2000);
}

} // namespace
} // namespace tarvel::testing
