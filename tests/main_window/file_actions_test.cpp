// The file commands on a document of their own, without the main window:
// what they write and read, what they say, and what they leave alone.
#include "main_window/file_actions.h"

#include "files/polygon_file.h"
#include "files/settings.h"
#include "geometry/numtext.h"
#include "geometry/polygon_document.h"
#include "platform/io/cp1251.h"
#include "support/fake_services.h"
#include "support/polygon_folder.h"
#include "support/qstring_print.h"

#include <QAction>
#include <QDir>
#include <QMenu>
#include <QTest>
#include <QWidget>

#include <gtest/gtest.h>

#include <optional>

namespace tarvel::testing {

using namespace tarvel::main_window;

using geometry::textToDouble;
namespace {

using geometry::Axis;
using platform::MsgButtons;
using platform::MsgIcon;
using platform::MsgResult;
using Kind = platform::FakeDialogs::Asked::Kind;

class FileActionsTest : public ::testing::Test, protected PolygonFolder {
protected:
    FileActionsTest() {
        settings.WorkFolder = dir.path();
        geometry::PolygonTexts t;
        t.count = QStringLiteral("4");
        for (int i = 1; i <= 20; ++i) {
            t.x[i] = QString::number(i * 10);
            t.y[i] = QString::number(i);
        }
        t.owner = QStringLiteral("Иванов");
        doc.reset(t);
        QObject::connect(&actions, &FileActions::fileNamed,
                         [this](const QString &p) { named << p; });
    }

    platform::FakeServices fakes;
    platform::Services services = fakes.bundle();
    files::Settings settings;
    geometry::PolygonDocument doc;
    QWidget owner;
    FileActions actions{doc, services, settings, &owner};
    QStringList named; // every fileNamed, in order
};

TEST_F(FileActionsTest, SaveWritesTheCornersInForceAndNamesTheFile) {
    // A count text the document did not take is not what the file says.
    doc.editCount(QStringLiteral("abc"));
    doc.editField(Axis::X, 2, QStringLiteral("12,5"));
    doc.editField(Axis::Y, 7, QStringLiteral("hidden text"));
    ASSERT_EQ(doc.cornerCount(), 4);
    // The work folder in force when the dialog opens.
    settings.WorkFolder = QStringLiteral("/elsewhere");
    fakes.dialogs.fileAnswers = {path("plot.squ")};
    ASSERT_TRUE(actions.saveAs());

    ASSERT_EQ(fakes.dialogs.asked.size(), 1u);
    EXPECT_EQ(fakes.dialogs.asked[0].kind, Kind::Save);
    EXPECT_EQ(fakes.dialogs.asked[0].request.initDir, QStringLiteral("/elsewhere"));
    const auto written = files::readPolygonFile(path("plot.squ"));
    ASSERT_TRUE(written);
    EXPECT_EQ(written->count, QStringLiteral("4"));
    for (int i = 1; i <= 20; ++i) {
        EXPECT_EQ(written->x[i], doc.texts().x[i]) << i;
        EXPECT_EQ(written->y[i], doc.texts().y[i]) << i;
    }
    EXPECT_EQ(written->owner, QStringLiteral("Иванов"));
    EXPECT_FALSE(doc.isModified());
    EXPECT_TRUE(doc.undoStack().canUndo()) << "saving keeps the history";
    EXPECT_EQ(named, QStringList{path("plot.squ")});
    EXPECT_TRUE(fakes.messages.shown.empty());
}

TEST_F(FileActionsTest, CancelledOrFailedSaveChangesNothing) {
    doc.editField(Axis::Y, 1, QStringLiteral("31"));
    fakes.dialogs.fileAnswers = {std::nullopt};
    EXPECT_FALSE(actions.saveAs());
    EXPECT_TRUE(doc.isModified());
    EXPECT_TRUE(fakes.messages.shown.empty());

    // A folder cannot be written as a file, nor a read-only file replaced
    // (root could): said, and the document and the file keep their state.
    QDir(dir.path()).mkdir(QStringLiteral("folder.squ"));
    writeBytes("kept.squ", "old");
    ASSERT_TRUE(QFile::setPermissions(path("kept.squ"),
                                      QFile::ReadOwner | QFile::ReadGroup | QFile::ReadOther));
    for (const char *name : {"folder.squ", "kept.squ"}) {
        SCOPED_TRACE(name);
        fakes.messages.shown.clear();
        fakes.dialogs.fileAnswers = {path(QString::fromLatin1(name))};
        EXPECT_FALSE(actions.saveAs());
        ASSERT_EQ(fakes.messages.shown.size(), 1u);
        EXPECT_EQ(fakes.messages.shown[0].text, QStringLiteral("Ошибка записи файла!"));
        EXPECT_EQ(fakes.messages.shown[0].title, QStringLiteral("Ошибка"));
        EXPECT_EQ(fakes.messages.shown[0].buttons, MsgButtons::OK);
        EXPECT_EQ(fakes.messages.shown[0].icon, MsgIcon::Exclamation);
        EXPECT_TRUE(doc.isModified());
    }
    EXPECT_EQ(bytes("kept.squ"), "old");
    EXPECT_TRUE(named.isEmpty());
}

TEST_F(FileActionsTest, OpenReplacesTheTextsAndStartsAFreshHistory) {
    doc.editField(Axis::X, 1, QStringLiteral("5"));
    doc.editOwner(QStringLiteral("x"));
    ASSERT_TRUE(doc.isModified());
    writeBytes("in.squ",
               polygonFile("3", {"0", "4", "0"}, {"0", "0", "3"}, QStringLiteral("Хозяин")));
    fakes.messages.answers = {MsgResult::No}; // the edits are not saved
    fakes.dialogs.fileAnswers = {path("in.squ")};
    ASSERT_TRUE(actions.openChosenFile());

    ASSERT_EQ(fakes.dialogs.asked.size(), 1u);
    const auto &asked = fakes.dialogs.asked[0];
    EXPECT_EQ(asked.kind, Kind::Open);
    EXPECT_EQ(asked.request.defaultExt, QStringLiteral("*.squ"));
    EXPECT_EQ(asked.request.filter,
              QStringLiteral("Файлы (*.squ)|*.squ|Многоугольник (*.squx)|*.squx|"
                             "Чертежи и карты (*.dxf *.geojson *.json *.kml *.kmz *.mif *.tab "
                             "*.shp)|*.dxf;*.geojson;*.json;*.kml;*.kmz;*.mif;*.tab;*.shp|"
                             "Все файлы(*.*)|*.*|"));
    EXPECT_EQ(asked.request.initDir, dir.path());
    EXPECT_EQ(doc.texts().count, QStringLiteral("3"));
    EXPECT_EQ(doc.cornerCount(), 3);
    EXPECT_EQ(doc.area(), 6);
    EXPECT_EQ(doc.texts().owner, QStringLiteral("Хозяин"));
    EXPECT_FALSE(doc.isModified());
    EXPECT_EQ(doc.undoStack().count(), 0);
    EXPECT_EQ(named, QStringList{path("in.squ")});
    EXPECT_EQ(fakes.messages.shown.size(), 1u) << "only the save question";
}

TEST_F(FileActionsTest, BrokenFilesChangeNothing) {
    doc.editField(Axis::X, 1, QStringLiteral("5"));
    const geometry::PolygonTexts before = doc.texts();
    const QByteArray good = polygonFile("4", {"1", "2", "3", "4"}, {"1", "2", "3", "4"}, "o");
    // 41 lines: the owner line is missing.
    const QByteArray truncated = good.left(good.lastIndexOf("\r\n", good.size() - 3) + 2);
    writeBytes("short.squ", truncated);
    writeBytes("count.squ", polygonFile("21", {}, {}, "o"));
    writeBytes("big.squ", QByteArray(1024 * 1024 + 1, 'a'));
    // A field holds 32 767 characters: a longer text could only come in cut.
    writeBytes("long.squ", polygonFile("4", {"1", QString(100000, '7')}, {}, "o"));
    for (const char *name : {"short.squ", "count.squ", "big.squ", "long.squ", "missing.squ"}) {
        SCOPED_TRACE(name);
        fakes.messages.shown.clear();
        fakes.dialogs.fileAnswers = {path(QString::fromLatin1(name))};
        // The save question, answered No, then the error.
        fakes.messages.answers = {MsgResult::No};
        EXPECT_FALSE(actions.openChosenFile());
        ASSERT_EQ(fakes.messages.shown.size(), 2u);
        EXPECT_EQ(fakes.messages.shown[1].text, QStringLiteral("Ошибка чтения файла!"));
        EXPECT_EQ(fakes.messages.shown[1].title, QStringLiteral("Ошибка"));
        EXPECT_EQ(fakes.messages.shown[1].icon, MsgIcon::Exclamation);
        EXPECT_EQ(doc.texts(), before);
        EXPECT_TRUE(doc.isModified());
        EXPECT_TRUE(doc.undoStack().canUndo());
    }
    fakes.messages.shown.clear();
    fakes.messages.answers = {MsgResult::No};
    fakes.dialogs.fileAnswers = {std::nullopt};
    EXPECT_FALSE(actions.openChosenFile());
    EXPECT_EQ(fakes.messages.shown.size(), 1u) << "only the save question";
    EXPECT_EQ(doc.texts(), before);
    EXPECT_TRUE(named.isEmpty());
}

// Opening a file and saving it again gives back every number of the file:
// a value whose text in the fields' format would read as another number
// (or as none) is shown as the file has it.
TEST_F(FileActionsTest, OpenAndSaveKeepEveryNumber) {
    const QStringList values = {"1,7976931348623157E308",
                                "-1,7976931348623157E308",
                                "1,79769313486231E308",
                                "9,99999999999999E307",
                                "1E300",
                                "-1,5E+300",
                                "4,9E-324",
                                "-4,9E-324",
                                "2,2250738585072014E-308",
                                "1e-320",
                                "-1E-300",
                                "1E-5",
                                "-2,5E-10",
                                "0,001",
                                "0,005",
                                "-0,004",
                                "2,675",
                                "1,015",
                                "3,141592653589793",
                                "0,29999999999999999",
                                "1,00000000000001",
                                "65536,00001",
                                "123456789012345678901234567890",
                                "9007199254740993",
                                "-9007199254740993",
                                "12345678901234,567",
                                "99999999999999,995",
                                "1E15",
                                "1 234 567,891",
                                "1234,5",
                                "76",
                                "-0",
                                "0",
                                "  5 ",
                                "0,1",
                                "abc",
                                "",
                                "-",
                                "1e400",
                                "7,"};
    ASSERT_EQ(values.size(), 40);
    writeBytes("extreme.squ",
               polygonFile("20", values.mid(0, 20), values.mid(20), QStringLiteral("o")));
    fakes.dialogs.fileAnswers = {path("extreme.squ")};
    ASSERT_TRUE(actions.openChosenFile());
    EXPECT_EQ(doc.texts().y[10], QStringLiteral("1 234,50")) << "the fields' format";
    EXPECT_EQ(doc.texts().y[11], QStringLiteral(" 76,00"));
    fakes.dialogs.fileAnswers = {path("again.squ")};
    ASSERT_TRUE(actions.saveAs());

    const QStringList lines = platform::cp1251::decode(bytes("again.squ")).split("\r\n");
    ASSERT_GE(lines.size(), 42);
    int kept = 0;
    for (int i = 0; i < 40; ++i) {
        SCOPED_TRACE(values[i].toStdString());
        const QString saved = lines[1 + i];
        const auto before = textToDouble(values[i]);
        if (before) {
            EXPECT_EQ(textToDouble(saved), before) << saved.toStdString();
            kept += textToDouble(saved) == before;
        } else {
            EXPECT_EQ(saved, values[i]);
            kept += saved == values[i];
        }
    }
    EXPECT_EQ(kept, 40);
}

TEST_F(FileActionsTest, CommandLineOpensOnlyAReadablePolygonFile) {
    writeBytes("bad.squ", "garbage");
    const geometry::PolygonTexts before = doc.texts();
    for (const QString &argument :
         {QString(), QStringLiteral("  "), path("missing.squ"), path("bad.squ")}) {
        SCOPED_TRACE(argument.toStdString());
        fakes.commandLine.text = argument;
        EXPECT_FALSE(actions.openFromCommandLine());
    }
    EXPECT_EQ(doc.texts(), before);
    EXPECT_TRUE(fakes.messages.shown.empty()) << "nothing is said at start";
    EXPECT_TRUE(fakes.dialogs.asked.empty());
    EXPECT_TRUE(named.isEmpty());

    writeBytes("my plot.squ", polygonFile("3", {"0", "4", "0"}, {"0", "0", "3"}, "cmd"));
    fakes.commandLine.text = path("my plot.squ");
    EXPECT_TRUE(actions.openFromCommandLine());
    EXPECT_EQ(doc.cornerCount(), 3);
    EXPECT_EQ(named, QStringList{path("my plot.squ")});
}

TEST_F(FileActionsTest, MaybeSaveAsksOnlyWhenSomethingWouldBeLost) {
    EXPECT_TRUE(actions.maybeSave());
    // Undone back to the state opened: nothing to lose either.
    doc.editField(Axis::Y, 2, QStringLiteral("7"));
    doc.undoStack().undo();
    EXPECT_TRUE(actions.maybeSave());
    EXPECT_TRUE(fakes.messages.shown.empty());
    EXPECT_TRUE(fakes.dialogs.asked.empty());
}

TEST_F(FileActionsTest, MaybeSaveFollowsTheAnswer) {
    QDir(dir.path()).mkdir(QStringLiteral("folder.squ"));
    struct Case {
        const char *what;
        MsgResult answer;
        std::optional<QString> file; // the save dialog's answer, when it is asked
        bool goesOn;
        std::size_t messages; // the question, and an error when the save fails
    };
    const Case cases[] = {
        {"no", MsgResult::No, std::nullopt, true, 1},
        {"cancel", MsgResult::Cancel, std::nullopt, false, 1},
        {"yes, save cancelled", MsgResult::Yes, std::nullopt, false, 1},
        {"yes, save failed", MsgResult::Yes, path("folder.squ"), false, 2},
        {"yes, saved", MsgResult::Yes, path("left.squ"), true, 1},
    };
    doc.editField(Axis::Y, 2, QStringLiteral("7"));
    for (const Case &c : cases) {
        SCOPED_TRACE(c.what);
        fakes.messages.shown.clear();
        fakes.dialogs.asked.clear();
        fakes.messages.answers = {c.answer};
        fakes.dialogs.fileAnswers = {c.file};
        EXPECT_EQ(actions.maybeSave(), c.goesOn);
        ASSERT_EQ(fakes.messages.shown.size(), c.messages);
        EXPECT_EQ(fakes.messages.shown[0].buttons, MsgButtons::YesNoCancel);
        EXPECT_EQ(fakes.dialogs.asked.size(), c.answer == MsgResult::Yes ? 1u : 0u);
        const bool saved = c.file && c.goesOn;
        EXPECT_EQ(doc.isModified(), !saved);
        EXPECT_EQ(QFile::exists(path("left.squ")), saved);
    }
    EXPECT_EQ(named, QStringList{path("left.squ")});
}

// Characters the file's code page cannot hold would be written as "?": the
// save asks first, naming them (at most ten), and a No saves nothing.
TEST_F(FileActionsTest, SaveAsksBeforeCharactersBecomeQuestionMarks) {
    const QString question = QStringLiteral(
        "В тексте есть знаки, которых нет в кодировке файла: %1. Они будут сохранены как «?». "
        "Сохранить?");
    struct Row {
        const char *name;
        QString owner;
        QString x1;
        std::optional<QString> listed; // nullopt: not asked
        MsgResult answer;
        QByteArray ownerWritten; // empty: nothing written
    };
    const Row rows[] = {
        {"all in the code page: not asked", QStringLiteral("Участок №5 «Ёлки»"),
         QStringLiteral("10"), std::nullopt, MsgResult::Yes,
         "\xD3\xF7\xE0\xF1\xF2\xEE\xEA \xB9"
         "5 \xAB\xA8\xEB\xEA\xE8\xBB"},
        {"No keeps the polygon and writes nothing", QStringLiteral("Участок 漢字 ½"),
         QStringLiteral("10"), QStringLiteral("漢 字 ½"), MsgResult::No, QByteArray()},
        {"Yes writes them as ?", QStringLiteral("Участок 漢字 ½"), QStringLiteral("10"),
         QStringLiteral("漢 字 ½"), MsgResult::Yes, "\xD3\xF7\xE0\xF1\xF2\xEE\xEA ?? ?"},
        {"a coordinate text counts, before the owner text", QStringLiteral("x ½"),
         QStringLiteral("12,5²"), QStringLiteral("² ½"), MsgResult::No, QByteArray()},
        {"ten at most, each once", QStringLiteral("αβγδεζηθικλμ αβγ"), QStringLiteral("10"),
         QStringLiteral("α β γ δ ε ζ η θ ι κ"), MsgResult::No, QByteArray()},
        {"invisible ones by their code", QStringLiteral("a\u2003b\u200Bc"), QStringLiteral("10"),
         QStringLiteral("U+2003 U+200B"), MsgResult::No, QByteArray()},
    };
    for (const Row &row : rows) {
        SCOPED_TRACE(row.name);
        QFile::remove(path("plot.squ"));
        fakes.messages.shown.clear();
        doc.editOwner(row.owner);
        doc.editField(Axis::X, 1, row.x1);
        ASSERT_TRUE(doc.isModified());
        fakes.messages.answers = {row.answer};
        fakes.dialogs.fileAnswers = {path("plot.squ")};
        const bool saved = !row.ownerWritten.isEmpty();
        EXPECT_EQ(actions.saveAs(), saved);
        if (row.listed) {
            ASSERT_EQ(fakes.messages.shown.size(), 1u);
            EXPECT_EQ(fakes.messages.shown[0].text, question.arg(*row.listed));
            EXPECT_EQ(fakes.messages.shown[0].title, QStringLiteral("Тарвел"));
            EXPECT_EQ(fakes.messages.shown[0].buttons, MsgButtons::YesNo);
        } else {
            EXPECT_TRUE(fakes.messages.shown.empty());
        }
        EXPECT_EQ(doc.isModified(), !saved);
        EXPECT_EQ(QFile::exists(path("plot.squ")), saved);
        if (saved) EXPECT_EQ(bytes("plot.squ").split('\n').value(41).chopped(1), row.ownerWritten);
        // The next row is an edit again.
        doc.editField(Axis::Y, 1, QString::number(fakes.messages.shown.size() + 100));
    }
}

// Leaving with unsaved changes: a No to the characters ends the leaving as
// a cancelled save does, and the polygon stays.
TEST_F(FileActionsTest, MaybeSaveStopsWhenTheCharactersQuestionIsAnsweredNo) {
    doc.editOwner(QStringLiteral("漢"));
    fakes.messages.answers = {MsgResult::Yes, MsgResult::No};
    fakes.dialogs.fileAnswers = {path("left.squ")};
    EXPECT_FALSE(actions.maybeSave());
    EXPECT_EQ(fakes.messages.shown.size(), 2u);
    EXPECT_TRUE(doc.isModified());
    EXPECT_FALSE(QFile::exists(path("left.squ")));
}

// Opening replaces the polygon and its history, so unsaved work is asked
// about first, as on the way out; the question comes before the file is
// chosen.
TEST_F(FileActionsTest, OpenAsksTheSaveQuestionOverUnsavedChanges) {
    QDir(dir.path()).mkdir(QStringLiteral("folder.squ"));
    writeBytes("in.squ", polygonFile("3", {"0", "4", "0"}, {"0", "0", "3"}, "Хозяин"));
    struct Case {
        const char *what;
        bool edited;
        MsgResult answer;
        std::optional<QString> saveTo; // the save dialog's answer, when it is asked
        std::vector<Kind> dialogs;
        bool opens;
        std::size_t messages; // the question, and an error when the save fails
    };
    const Case cases[] = {
        {"nothing unsaved", false, MsgResult::Cancel, std::nullopt, {Kind::Open}, true, 0},
        {"no", true, MsgResult::No, std::nullopt, {Kind::Open}, true, 1},
        {"cancel", true, MsgResult::Cancel, std::nullopt, {}, false, 1},
        {"yes, saved", true, MsgResult::Yes, path("saved.squ"), {Kind::Save, Kind::Open}, true, 1},
        {"yes, save cancelled", true, MsgResult::Yes, std::nullopt, {Kind::Save}, false, 1},
        {"yes, save failed", true, MsgResult::Yes, path("folder.squ"), {Kind::Save}, false, 2},
    };
    const geometry::PolygonTexts start = doc.texts();
    for (const Case &c : cases) {
        SCOPED_TRACE(c.what);
        doc.reset(start);
        QFile::remove(path("saved.squ"));
        named.clear();
        if (c.edited) doc.editField(Axis::Y, 2, QStringLiteral("7,5"));
        const geometry::PolygonTexts edited = doc.texts();
        fakes.messages.shown.clear();
        fakes.dialogs.asked.clear();
        fakes.messages.answers = {c.answer};
        fakes.dialogs.fileAnswers.clear();
        if (c.answer == MsgResult::Yes) fakes.dialogs.fileAnswers.push_back(c.saveTo);
        fakes.dialogs.fileAnswers.push_back(path("in.squ"));

        EXPECT_EQ(actions.openChosenFile(), c.opens);
        ASSERT_EQ(fakes.messages.shown.size(), c.messages);
        if (c.messages > 0) {
            EXPECT_EQ(fakes.messages.shown[0].text,
                      QStringLiteral("Файл был изменен, хотите его сохранить?"));
            EXPECT_EQ(fakes.messages.shown[0].buttons, MsgButtons::YesNoCancel);
        }
        std::vector<Kind> dialogs;
        for (const auto &a : fakes.dialogs.asked)
            dialogs.push_back(a.kind);
        EXPECT_EQ(dialogs, c.dialogs);
        const bool saved = c.saveTo == path("saved.squ");
        EXPECT_EQ(QFile::exists(path("saved.squ")), saved);
        if (saved) EXPECT_EQ(files::readPolygonFile(path("saved.squ"))->y[2], "7,5");
        if (c.opens) {
            EXPECT_EQ(doc.cornerCount(), 3);
            EXPECT_FALSE(doc.isModified());
            EXPECT_EQ(named.last(), path("in.squ"));
        } else {
            EXPECT_EQ(doc.texts(), edited) << "the polygon stays as it was";
            EXPECT_TRUE(doc.isModified());
            EXPECT_TRUE(doc.undoStack().canUndo()) << "and so does its history";
            EXPECT_TRUE(named.isEmpty());
        }
    }
}

// Ctrl+S: with no file yet it asks for a name; after that it writes the file
// last opened or saved without a dialog, and fails as a save under a new
// name does.
TEST_F(FileActionsTest, SaveWritesTheCurrentFileWithoutADialog) {
    fakes.dialogs.fileAnswers = {path("first.squ")};
    ASSERT_TRUE(actions.save());
    ASSERT_EQ(fakes.dialogs.asked.size(), 1u) << "no file yet: the name is asked";
    QDir(dir.path()).mkdir(QStringLiteral("sub"));
    writeBytes("sub/opened.squ", polygonFile("3", {"0", "4", "0"}, {"0", "0", "3"}, "o"));
    ASSERT_TRUE(actions.openFile(path("sub/opened.squ")));
    doc.editOwner(QStringLiteral("новый"));
    ASSERT_TRUE(actions.save());
    EXPECT_EQ(fakes.dialogs.asked.size(), 1u);
    EXPECT_EQ(files::readPolygonFile(path("sub/opened.squ"))->owner, QStringLiteral("новый"));
    EXPECT_EQ(files::readPolygonFile(path("first.squ"))->owner, QStringLiteral("Иванов"));
    EXPECT_FALSE(doc.isModified());

    // Its folder is gone (a drive taken away): said, and nothing changes.
    ASSERT_TRUE(QDir(path("sub")).removeRecursively());
    doc.editOwner(QStringLiteral("x"));
    named.clear();
    EXPECT_FALSE(actions.save());
    EXPECT_EQ(fakes.dialogs.asked.size(), 1u) << "no name is asked";
    ASSERT_EQ(fakes.messages.shown.size(), 1u);
    EXPECT_EQ(fakes.messages.shown[0].text, QStringLiteral("Ошибка записи файла!"));
    EXPECT_TRUE(doc.isModified());
    EXPECT_TRUE(named.isEmpty());
}

// Every file opened or saved goes first into the recent files and gives its
// folder to the next dialog; an entry of the submenu opens its file as
// "Открыть" does, and one whose file is gone shows disabled.
TEST_F(FileActionsTest, RecentFilesAndTheLastFolder) {
    QMenu holder;
    QMenu *recent = holder.addMenu(QStringLiteral("Недавние файлы"));
    actions.setRecentMenu(recent);
    EXPECT_FALSE(recent->isEnabled()) << "nothing to offer yet";
    writeBytes("R&D.squ", polygonFile("3", {"0", "4", "0"}, {"0", "0", "3"}, "rd"));
    fakes.dialogs.fileAnswers = {path("gone.squ")};
    ASSERT_TRUE(actions.saveAs());
    // The command line may name a file relative to where the program runs.
    const QString cwd = QDir::currentPath();
    QDir::setCurrent(dir.path());
    fakes.commandLine.text = QStringLiteral("\"./R&D.squ\"");
    ASSERT_TRUE(actions.openFromCommandLine());
    QDir::setCurrent(cwd);
    // At start-up the list is stored once the event loop runs, not before.
    EXPECT_EQ(fakes.settings.value(files::kTunes, "Recent1"), path("gone.squ"));
    // Stored once the event loop has run: the older file moves to second place.
    EXPECT_TRUE(QTest::qWaitFor(
        [&] { return fakes.settings.value(files::kTunes, "Recent2") == path("gone.squ"); }, 5000));
    fakes.dialogs.fileAnswers = {std::nullopt};
    EXPECT_FALSE(actions.saveAs());
    EXPECT_EQ(fakes.dialogs.asked.back().request.fileName, QStringLiteral("R&D.squ"));
    EXPECT_EQ(fakes.settings.value(files::kTunes, "SquFolder"), dir.path());
    EXPECT_EQ(fakes.settings.value(files::kTunes, "Recent2"), path("gone.squ"));
    QFile::remove(path("gone.squ"));
    emit holder.aboutToShow();
    ASSERT_EQ(recent->actions().size(), 2);
    EXPECT_EQ(recent->actions()[0]->text(), "&1 " + path("R&&D.squ"));
    EXPECT_FALSE(recent->actions()[1]->isEnabled()) << "gone, maybe back later";

    doc.editField(Axis::X, 1, QStringLiteral("5"));
    fakes.messages.answers = {MsgResult::Cancel};
    recent->actions()[0]->trigger();
    EXPECT_TRUE(doc.isModified()) << "the save question came first";
    EXPECT_EQ(fakes.messages.shown.size(), 1u);

    settings.PolygonFolder = path("removed");
    fakes.dialogs.fileAnswers = {std::nullopt};
    EXPECT_FALSE(actions.saveAs());
    EXPECT_EQ(fakes.dialogs.asked.back().request.initDir, dir.path()) << "the work folder";
}

} // namespace
} // namespace tarvel::testing
