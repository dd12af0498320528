// What keeps a user's file and polygon safe: the caption's mark of unsaved
// changes, a save over a file that another program changed meanwhile, a
// file name on the command line that is not UTF-8, and an insert that would
// turn a text that is not a number into 0.
#include "main_window/editing_fixture.h"
#include "support/polygon_folder.h"

#include "main_window/file_actions.h"

namespace tarvel::testing {
namespace {

using platform::MsgButtons;
using platform::MsgResult;

class FileSafetyTest : public EditingTest, protected PolygonFolder {
protected:
    // Saves the polygon as `name` through the menu, answering the dialog.
    void saveAs(const QString &name) {
        fakes.dialogs.fileAnswers = {path(name)};
        form->controls().Menu_File_Save_As->trigger();
    }
};

TEST_F(FileSafetyTest, TheCaptionMarksUnsavedChangesBeforeTheFileName) {
    const QString title = QStringLiteral("Тарвел 3.0");
    EXPECT_EQ(form->windowTitle(), title);
    type(*form->table().x(1), QStringLiteral("27"));
    EXPECT_EQ(form->windowTitle(), title + QStringLiteral("   *"));
    saveAs(QStringLiteral("plot.squ"));
    EXPECT_EQ(form->windowTitle(), title + QStringLiteral("   ") + path("plot.squ"));
    type(*form->table().x(1), QStringLiteral("28"));
    EXPECT_EQ(form->windowTitle(), title + QStringLiteral("   *") + path("plot.squ"));
    // Undone back to what was saved, nothing is unsaved.
    form->controls().Menu_Undo->trigger();
    EXPECT_EQ(form->windowTitle(), title + QStringLiteral("   ") + path("plot.squ"));
}

TEST_F(FileSafetyTest, ASaveOverAFileChangedMeanwhileAsksFirst) {
    const QString question =
        QStringLiteral("Файл изменён другой программой после открытия. Заменить его?");
    const struct {
        const char *name;
        bool changedOnDisk;
        MsgResult answer;
        bool asked, written;
    } rows[] = {
        {"unchanged: saved unasked", false, MsgResult::Yes, false, true},
        {"changed, replaced", true, MsgResult::Yes, true, true},
        {"changed, kept", true, MsgResult::No, true, false},
    };
    for (const auto &r : rows) {
        SCOPED_TRACE(r.name);
        saveAs(QStringLiteral("shared.squ"));
        // Another copy of the program saves its own polygon there.
        const QByteArray other = bytes(QStringLiteral("shared.squ")).replace("26", "99");
        if (r.changedOnDisk) writeBytes(QStringLiteral("shared.squ"), other);
        const QByteArray before = bytes(QStringLiteral("shared.squ"));
        type(*form->table().x(2), QStringLiteral("31"));
        fakes.messages.shown.clear();
        fakes.messages.answers = {r.answer};
        form->controls().Menu_File_Save->trigger();
        ASSERT_EQ(fakes.messages.shown.size(), r.asked ? 1u : 0u);
        if (r.asked) {
            EXPECT_EQ(fakes.messages.shown[0].text, question);
            EXPECT_EQ(fakes.messages.shown[0].buttons, MsgButtons::YesNo);
        }
        EXPECT_EQ(bytes(QStringLiteral("shared.squ")) != before, r.written);
        EXPECT_EQ(form->document().isModified(), !r.written);
        type(*form->table().x(2), QStringLiteral("26"));
    }
}

TEST_F(FileSafetyTest, ACommandLineNameThatIsNotUtf8IsNamedInAMessage) {
    const struct {
        const char *name;
        QString argument;
        bool told;
    } rows[] = {
        // What Qt makes of the bytes "plan\xff.squ": a replacement character.
        {"not UTF-8", QStringLiteral("/tmp/plan") + QChar(QChar::ReplacementCharacter) +
                          QStringLiteral(".squ"),
         true},
        {"missing, but UTF-8", QStringLiteral("/tmp/нет такого файла.squ"), false},
    };
    for (const auto &r : rows) {
        SCOPED_TRACE(r.name);
        platform::FakeServices f;
        f.commandLine.text = r.argument;
        auto s = bundleFor(f);
        SharedState st;
        main_window::Form1 w(st, *s);
        w.Form_Load();
        ASSERT_EQ(f.messages.shown.size(), r.told ? 1u : 0u);
        if (r.told)
            EXPECT_EQ(f.messages.shown[0].text,
                      QStringLiteral("Ошибка чтения файла! Имя файла записано не в кодировке "
                                     "UTF-8:\n") +
                          r.argument);
        EXPECT_EQ(w.cornerCount(), 20);
    }
}

TEST_F(FileSafetyTest, InsertRefusesATextThatIsNotANumber) {
    for (const char *bad : {"abc", "12,5.3", ""}) {
        SCOPED_TRACE(bad);
        setPolygon({{"0", "0"}, {"10", "0"}, {QString::fromUtf8(bad), "5"}});
        form->document().markSaved();
        makeCurrent(1);
        fakes.messages.shown.clear();
        fakes.messages.answers = {MsgResult::Yes};
        form->controls().Menu_lnsertUgol->trigger();
        ASSERT_EQ(fakes.messages.shown.size(), 1u);
        EXPECT_EQ(fakes.messages.shown[0].text, QStringLiteral("В поле с координатами не число!"));
        EXPECT_EQ(form->cornerCount(), 3);
        EXPECT_EQ(form->table().x(3)->Text(), QString::fromUtf8(bad));
        EXPECT_FALSE(form->document().isModified());
    }
}

// A file may hold texts the window would not let a user type ("1.5" with a
// point): shown in the table, they stay as they are, and the polygon opened
// is not changed by being shown.
TEST_F(FileSafetyTest, TextsOfAFileAreShownAsTheyAre) {
    geometry::PolygonTexts t = geometry::defaultPolygon();
    const struct {
        int corner;
        const char *x;
    } rows[] = {{1, "1.5"}, {2, "2.25e1"}, {20, " 7.0 "}};
    for (const auto &r : rows) t.x[r.corner] = QString::fromUtf8(r.x);
    form->document().open(t);
    for (const auto &r : rows) {
        SCOPED_TRACE(r.x);
        EXPECT_EQ(form->document().text(geometry::Axis::X, r.corner), QString::fromUtf8(r.x));
        EXPECT_EQ(form->table().x(r.corner)->Text(), QString::fromUtf8(r.x));
    }
    EXPECT_FALSE(form->document().isModified());
    EXPECT_FALSE(form->document().undoStack().canUndo());
}

} // namespace
} // namespace tarvel::testing
