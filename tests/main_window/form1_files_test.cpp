// Saving and opening polygon files from the main window, the file named on
// the command line, the save question and the closing sequence.
#include "support/polygon_folder.h"
#include "support/window_fixture.h"

#include "files/polygon_file.h"
#include "platform/io/cp1251.h"

#include <QFile>
#include <QLineEdit>
#include <QMenu>

#include <optional>

namespace tarvel::testing {
namespace {

using platform::MsgButtons;
using platform::MsgIcon;
using platform::MsgResult;

class FilesTest : public WindowTest, protected PolygonFolder {};

TEST_F(FilesTest, SaveWritesFortyTwoLinesAndNamesTheFile) {
    makeWindow();
    for (int k = 0; k < 15; ++k)
        form->controls().Command3->button()->click(); // 5 corners
    type(*form->table().x(7), QStringLiteral("hidden text"));
    form->document().editOwner(QStringLiteral("Владелец: Иванов"));
    fakes.dialogs.fileAnswers = {path("plot.squ")};
    ASSERT_TRUE(form->SAVE_AS());

    const auto &asked = fakes.dialogs.asked.back();
    EXPECT_EQ(asked.request.defaultExt, QStringLiteral("*.squ"));
    EXPECT_EQ(asked.request.filter,
              QStringLiteral("Файлы (*.squ)|*.squ|Многоугольник (*.squx)|*.squx|Все файлы(*.*)|*.*|"));
    EXPECT_EQ(asked.request.initDir, state.settings.WorkFolder);

    const QByteArray b = bytes("plot.squ");
    EXPECT_EQ(b.count("\r\n"), 42);
    const QStringList lines = platform::cp1251::decode(b).split(QStringLiteral("\r\n"));
    EXPECT_EQ(lines[0], QStringLiteral("5"));
    EXPECT_EQ(lines[1], QStringLiteral("26,00"));
    EXPECT_EQ(lines[7], QStringLiteral("hidden text"));
    EXPECT_EQ(lines[21], QStringLiteral("30,00"));
    EXPECT_EQ(lines[41], QStringLiteral("Владелец: Иванов"));
    EXPECT_TRUE(b.contains("\xC2\xeb\xe0\xe4\xe5\xeb\xe5\xf6")) << "Windows-1251 bytes";
    EXPECT_FALSE(form->document().isModified());
    EXPECT_EQ(form->windowTitle(), QStringLiteral("Тарвел 3.0   ") + path("plot.squ"));
}

TEST_F(FilesTest, OpenBringsBackEveryTextInTheFieldsFormat) {
    makeWindow();
    QStringList xs{"0", "1234,5", "76", "not a number", "10"};
    QStringList ys{"0", "0", "5", "5", ""};
    for (int i = 5; i < 20; ++i) {
        xs << QString::number(i * 3);
        ys << QString::number(i);
    }
    writeBytes("in.squ", polygonFile("5", xs, ys, QStringLiteral("Хозяин"), "\n"));
    fakes.dialogs.fileAnswers = {path("in.squ")};
    form->controls().Menu_File_Open->trigger();
    EXPECT_TRUE(fakes.messages.shown.empty());
    EXPECT_EQ(form->controls().Text1->Text(), QStringLiteral("5"));
    EXPECT_EQ(form->cornerCount(), 5);
    EXPECT_EQ(form->table().x(2)->Text(), QStringLiteral("1 234,50"));
    EXPECT_EQ(form->table().x(3)->Text(), QStringLiteral(" 76,00"));
    EXPECT_EQ(form->table().x(4)->Text(), QStringLiteral("not a number"));
    EXPECT_EQ(form->table().y(5)->Text(), QString());
    EXPECT_EQ(form->table().x(20)->Text(), QStringLiteral(" 57,00")) << "hidden rows come back";
    EXPECT_FALSE(form->table().x(6)->Visible());
    EXPECT_EQ(form->controls().Cmb1->ListCount(), 5);
    EXPECT_EQ(form->controls().Label2->Caption(), QStringLiteral("Хозяин"));
    EXPECT_FALSE(form->document().isModified());
    EXPECT_EQ(form->windowTitle(), QStringLiteral("Тарвел 3.0   ") + path("in.squ"));
}

TEST_F(FilesTest, SavedFileOpensToTheSameWindow) {
    makeWindow();
    type(*form->table().x(2), QStringLiteral("1234,5"));
    form->document().editOwner(QStringLiteral("Тест"));
    fakes.dialogs.fileAnswers = {path("a.squ")};
    ASSERT_TRUE(form->SAVE_AS());
    type(*form->table().x(2), QStringLiteral("1"));
    form->document().editOwner(QStringLiteral("x"));
    fakes.messages.answers = {MsgResult::No}; // the changes since are dropped
    fakes.dialogs.fileAnswers = {path("a.squ")};
    form->controls().Menu_File_Open->trigger();
    EXPECT_EQ(form->table().x(2)->Text(), QStringLiteral("1 234,50"));
    EXPECT_EQ(form->controls().Label2->Caption(), QStringLiteral("Тест"));
}

// The file names the corners in force, whatever the count field holds, so a
// saved file always opens again, by "Открыть" and from the command line, to
// the polygon the window showed.
TEST_F(FilesTest, SavedFileReopensWhateverTheCountFieldHolds) {
    makeWindow();
    for (int k = 0; k < 13; ++k)
        form->controls().Command3->button()->click(); // 7 corners
    type(*form->table().y(7), QStringLiteral("12,5"));
    const QString area = form->controls().Text3->Text();
    // What the count field lets through of each (digits only), and whether
    // leaving it is refused with a message, the count in force shown again.
    const struct {
        const char *typed, *shown;
        bool refused;
    } rows[] = {{"10001", "10001", true}, {"", "", true},          {"0", "0", true},
                {"2", "2", true},         {"abc", "", true},       {",51.730176", "51730176", true},
                {"3,5", "35", false},     {" 7 ", "7", false}};
    const char *counts[std::size(rows)] = {};
    int reopened = 0, saved = 0;
    for (const auto &r : rows) {
        const char *count = r.typed;
        SCOPED_TRACE(count);
        const QString file = path(QStringLiteral("count %1.squ").arg(++saved));
        fakes.messages.shown.clear();
        focus(*form->controls().Text1);
        form->controls().Text1->edit()->selectAll();
        QTest::keyClick(form->controls().Text1->edit(), Qt::Key_Delete);
        QTest::keyClicks(form->controls().Text1->edit(), QString::fromUtf8(count));
        EXPECT_EQ(form->controls().Text1->Text(), QString::fromUtf8(r.shown));
        QTest::keyClick(form->controls().Text1->edit(), Qt::Key_Tab);
        ASSERT_EQ(fakes.messages.shown.size(), r.refused ? 1u : 0u);
        if (r.refused) {
            EXPECT_EQ(fakes.messages.shown[0].text, QStringLiteral("Количество углов — от 3 до 10 000"));
            EXPECT_EQ(form->controls().Text1->Text(), QStringLiteral("7"));
        } else if (form->cornerCount() != 7) {
            // A count in range is taken; back to seven for the file.
            type(*form->controls().Text1, QStringLiteral("7"));
            form->Text1_LostFocus();
        }
        ASSERT_EQ(form->cornerCount(), 7);
        fakes.dialogs.fileAnswers = {file};
        ASSERT_TRUE(form->SAVE_AS());

        fakes.messages.shown.clear();
        fakes.dialogs.fileAnswers = {file};
        form->controls().Menu_File_Open->trigger();
        EXPECT_TRUE(fakes.messages.shown.empty());
        EXPECT_EQ(form->cornerCount(), 7);
        EXPECT_EQ(form->controls().Cmb1->ListCount(), 7);
        EXPECT_TRUE(form->table().x(7)->Visible());
        EXPECT_FALSE(form->table().x(8)->Visible());
        EXPECT_EQ(form->controls().Text3->Text(), area);

        platform::FakeServices f;
        f.commandLine.text = file;
        auto s = bundleFor(f);
        SharedState st;
        Form1 w(st, *s);
        w.Form_Load();
        EXPECT_EQ(w.windowTitle(), QStringLiteral("Тарвел 3.0   ") + file);
        EXPECT_EQ(w.cornerCount(), 7);
        EXPECT_EQ(w.controls().Text3->Text(), area);
        if (fakes.messages.shown.empty() && form->cornerCount() == 7 && w.cornerCount() == 7)
            ++reopened;
    }
    EXPECT_EQ(reopened, int(std::size(counts)));
}

TEST_F(FilesTest, CommandLineFileOpensAtStart) {
    writeBytes("my plot.squ", polygonFile("3", {"0", "4", "0"}, {"0", "0", "3"}, "cmd"));
    // The desktop passes a plain path; the registered command quotes it.
    for (const QString &arg :
         {path("my plot.squ"), QLatin1Char('"') + path("my plot.squ") + QLatin1Char('"')}) {
        platform::FakeServices f;
        f.commandLine.text = arg;
        auto s = bundleFor(f);
        SharedState st;
        Form1 w(st, *s);
        w.Form_Load();
        EXPECT_EQ(w.windowTitle(), QStringLiteral("Тарвел 3.0   ") + path("my plot.squ")) << arg;
        EXPECT_EQ(w.cornerCount(), 3);
        EXPECT_EQ(w.controls().Text3->Text(), QStringLiteral("   6,00"));
        EXPECT_EQ(w.controls().Cmb1->ListCount(), 3);
        EXPECT_FALSE(w.document().isModified());
    }
    // A file that is not a polygon file is skipped silently at start.
    writeBytes("bad.squ", "garbage");
    platform::FakeServices f;
    f.commandLine.text = path("bad.squ");
    auto s = bundleFor(f);
    SharedState st;
    Form1 w(st, *s);
    w.Form_Load();
    EXPECT_TRUE(f.messages.shown.empty());
    EXPECT_EQ(w.windowTitle(), QStringLiteral("Тарвел 3.0"));
    EXPECT_EQ(w.controls().Text3->Text(), QStringLiteral("  10 700,00"));
}

TEST_F(FilesTest, SaveQuestionGuardsBothWaysOut) {
    makeWindow();
    // Unchanged: no question, the program ends.
    form->controls().Menu_Exit->trigger();
    EXPECT_EQ(programEnded, 1);
    EXPECT_TRUE(fakes.messages.shown.empty());

    type(*form->table().y(2), QStringLiteral("7"));
    // Cancel stays.
    fakes.messages.answers = {MsgResult::Cancel};
    form->controls().Menu_Exit->trigger();
    EXPECT_EQ(programEnded, 1);
    ASSERT_EQ(fakes.messages.shown.size(), 1u);
    EXPECT_EQ(fakes.messages.shown[0].text,
              QStringLiteral("Файл был изменен, хотите его сохранить?"));
    EXPECT_EQ(fakes.messages.shown[0].title, QStringLiteral("Тарвел"));
    EXPECT_EQ(fakes.messages.shown[0].buttons, MsgButtons::YesNoCancel);
    EXPECT_EQ(fakes.messages.shown[0].icon, MsgIcon::None);

    // Yes, then Cancel in the save dialog: the unsaved polygon is kept.
    fakes.messages.answers = {MsgResult::Yes};
    fakes.dialogs.fileAnswers = {std::nullopt};
    form->controls().Menu_Exit->trigger();
    EXPECT_EQ(programEnded, 1);

    // The same through the close box.
    fakes.messages.answers = {MsgResult::Yes};
    fakes.dialogs.fileAnswers = {std::nullopt};
    EXPECT_FALSE(form->close());
    EXPECT_TRUE(form->isVisible());
    EXPECT_FALSE(fakes.settings.value("Tunes", "Step")) << "nothing stored while the window stays";

    // Yes and a save: the program ends with the file written.
    fakes.messages.answers = {MsgResult::Yes};
    fakes.dialogs.fileAnswers = {path("exit.squ")};
    form->controls().Menu_Exit->trigger();
    EXPECT_EQ(programEnded, 2);
    EXPECT_TRUE(QFile::exists(path("exit.squ")));

    // No ends without saving.
    type(*form->table().y(2), QStringLiteral("8"));
    fakes.messages.answers = {MsgResult::No};
    form->controls().Menu_Exit->trigger();
    EXPECT_EQ(programEnded, 3);
    // "Выход" runs no closing sequence.
    EXPECT_FALSE(fakes.settings.value("Tunes", "Step"));
}

// "Открыть" over unsaved changes asks the question of the ways out: Yes
// saves first and a save that does not happen keeps the polygon; No opens
// without saving; Cancel opens nothing.
TEST_F(FilesTest, OpenAsksTheSaveQuestionOverUnsavedChanges) {
    makeWindow();
    const geometry::PolygonTexts start = form->document().texts();
    writeBytes("in.squ", polygonFile("3", {"0", "4", "0"}, {"0", "0", "3"}, "Хозяин"));
    struct Case {
        const char *what;
        MsgResult answer;
        std::optional<QString> saveTo;
        bool opens;
    };
    const Case cases[] = {
        {"cancel", MsgResult::Cancel, std::nullopt, false},
        {"yes, save cancelled", MsgResult::Yes, std::nullopt, false},
        {"no", MsgResult::No, std::nullopt, true},
        {"yes, saved", MsgResult::Yes, path("kept.squ"), true},
    };
    int edits = 0;
    for (const Case &c : cases) {
        SCOPED_TRACE(c.what);
        const QString typed = QString::number(++edits * 11);
        type(*form->table().y(2), typed);
        const QString title = form->windowTitle();
        fakes.messages.shown.clear();
        fakes.messages.answers = {c.answer};
        fakes.dialogs.fileAnswers.clear();
        if (c.answer == MsgResult::Yes) fakes.dialogs.fileAnswers.push_back(c.saveTo);
        fakes.dialogs.fileAnswers.push_back(path("in.squ"));
        form->controls().Menu_File_Open->trigger();

        ASSERT_EQ(fakes.messages.shown.size(), 1u);
        EXPECT_EQ(fakes.messages.shown[0].text,
                  QStringLiteral("Файл был изменен, хотите его сохранить?"));
        if (c.opens) {
            EXPECT_EQ(form->cornerCount(), 3);
            EXPECT_EQ(form->controls().Label2->Caption(), QStringLiteral("Хозяин"));
            EXPECT_EQ(form->windowTitle(), FileActions::captionFor(path("in.squ")));
            EXPECT_FALSE(form->document().isModified());
            // Back to the default polygon for the next row.
            form->document().open(start);
        } else {
            EXPECT_EQ(form->table().y(2)->Text(), typed) << "the edit is kept";
            EXPECT_EQ(form->cornerCount(), 20);
            EXPECT_EQ(form->windowTitle(), title);
            EXPECT_TRUE(form->document().isModified());
            EXPECT_TRUE(form->controls().Menu_Undo->isEnabled()) << "and so is its history";
        }
        if (c.saveTo) {
            const auto file = files::readPolygonFile(*c.saveTo);
            ASSERT_TRUE(file);
            EXPECT_EQ(file->y[2], typed) << "saved before the open";
        }
    }
}

TEST_F(FilesTest, ClosingStoresStepScaleAndPictureThenOpensTheWebPage) {
    makeWindow();
    type(*form->controls().txtStep, QStringLiteral("2,5"));
    type(*form->controls().txtMsb, QStringLiteral("25"));
    EXPECT_TRUE(form->close());
    EXPECT_EQ(fakes.settings.value("Tunes", "step"), QStringLiteral("2,5"));
    EXPECT_EQ(fakes.settings.value("Tunes", "Gr6"), QStringLiteral("25"));
    EXPECT_EQ(fakes.settings.value("Tunes", "imgFName"), QString());
    const QStringList order =
        fakes.settings.writes.filter(QRegularExpression("^Tunes/(Step|Gr6|imgFName)="));
    ASSERT_EQ(order.size(), 3);
    EXPECT_TRUE(order[0].startsWith("Tunes/Step="));
    EXPECT_TRUE(order[2].startsWith("Tunes/imgFName="));
    EXPECT_EQ(fakes.shell.opened, QStringList({Form1::kProductWebPage}));
}

// Ctrl+S asks a name only the first time; "Недавние файлы" after "Печать"
// and "Чертёж участка" holds the list of the last run and reopens a file.
TEST_F(FilesTest, CtrlSAndRecentFiles) {
    writeBytes("old.squ", polygonFile("3", {"0", "4", "0"}, {"0", "0", "3"}, "old"));
    fakes.settings.write("Tunes", "Recent1", path("old.squ"));
    makeWindow();
    const QList<QAction *> file = form->controls().Menu_File->actions();
    ASSERT_EQ(file.value(file.indexOf(form->controls().Menu_File_Print) + 2),
              form->controls().Menu_File_Recent->menuAction());
    fakes.dialogs.fileAnswers = {path("a.squ")};
    QTest::keyClick(form.get(), Qt::Key_S, Qt::ControlModifier);
    type(*form->table().y(2), QStringLiteral("7,5"));
    QTest::keyClick(form.get(), Qt::Key_S, Qt::ControlModifier);
    EXPECT_EQ(fakes.dialogs.asked.size(), 1u);
    EXPECT_EQ(files::readPolygonFile(path("a.squ"))->y[2], QStringLiteral("7,5"));

    emit form->controls().Menu_File->aboutToShow();
    ASSERT_EQ(form->controls().Menu_File_Recent->actions().size(), 2);
    form->controls().Menu_File_Recent->actions()[1]->trigger();
    EXPECT_EQ(form->controls().Label2->Caption(), QStringLiteral("old"));
    EXPECT_EQ(form->windowTitle(), QStringLiteral("Тарвел 3.0   ") + path("old.squ"));
}

} // namespace
} // namespace tarvel::testing
