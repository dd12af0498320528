#include "files/settings.h"

#include "geometry/numtext.h"
#include "platform/services/settings_store.h"
#include "support/fake_services.h"

#include <QDir>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <functional>

using namespace tarvel::files;
using tarvel::platform::FakeSettingsStore;
using tarvel::platform::IniSettingsStore;

namespace {

void expectSame(const Settings &a, const Settings &b) {
    EXPECT_EQ(a.WorkFolder, b.WorkFolder);
    EXPECT_EQ(a.ShowGrid, b.ShowGrid);
    EXPECT_EQ(a.GridColour, b.GridColour);
    EXPECT_EQ(a.LineColour, b.LineColour);
    EXPECT_EQ(a.DragAnywhere, b.DragAnywhere);
    EXPECT_EQ(a.MapScale, b.MapScale);
    EXPECT_EQ(a.ShowAngles, b.ShowAngles);
    EXPECT_EQ(a.BackColour, b.BackColour);
    EXPECT_EQ(a.ImportHintOff, b.ImportHintOff);
    EXPECT_EQ(a.SelectOnFocus, b.SelectOnFocus);
    EXPECT_EQ(a.ShowNumbers, b.ShowNumbers);
    EXPECT_EQ(a.ShowLengths, b.ShowLengths);
    EXPECT_EQ(a.MapPicture, b.MapPicture);
    EXPECT_EQ(a.StepHintOff, b.StepHintOff);
    EXPECT_EQ(a.CornerHintOff, b.CornerHintOff);
    EXPECT_EQ(a.PolygonFolder, b.PolygonFolder);
    EXPECT_EQ(a.SheetFolder, b.SheetFolder);
    EXPECT_EQ(a.PictureFolder, b.PictureFolder);
    EXPECT_EQ(a.RecentFiles, b.RecentFiles);
    EXPECT_EQ(a.NorthUp, b.NorthUp);
}

} // namespace

TEST(Settings, CleanStoreGivesTheDefaults) {
    FakeSettingsStore store;
    Settings expected;
    expected.WorkFolder = QDir::homePath();
    expectSame(loadSettings(store), expected);
    EXPECT_EQ(loadSettings(store).BackColour, QStringLiteral("&H8000000F"));
    EXPECT_EQ(loadSettings(store).LineColour, 255u);
    EXPECT_EQ(loadStep(store), QStringLiteral("1"));
    EXPECT_TRUE(store.writes.isEmpty());
}

TEST(Settings, HandEditedValues) {
    struct Case {
        const char *key, *text;
        std::function<bool(const Settings &)> check;
    };
    const Case cases[] = {
        {"Gr1", "abc", [](const Settings &s) { return s.ShowGrid == 0; }},
        {"Gr6", "x", [](const Settings &s) { return s.MapScale == 10; }},
        {"Gr3", "zz", [](const Settings &s) { return s.GridColour == 0; }},
        {"Gr4", "#FF0000", [](const Settings &s) { return s.LineColour == 255; }},
        {"Gr8", "x", [](const Settings &s) { return s.BackColour == "&H8000000F"; }},
        {"Gr11", "", [](const Settings &s) { return s.ShowNumbers == 1; }},
        {"Gr1", "2", [](const Settings &s) { return s.ShowGrid == 2; }}, // kept as read
        {"Fl6", " 1 ", [](const Settings &s) { return s.CornerHintOff == 1; }},
        {"Gr6", "12,5", [](const Settings &s) { return s.MapScale == 12.5f; }},
        {"Gr4", "&HFF0000", [](const Settings &s) { return s.LineColour == 0xFF0000; }},
        {"Gr8", "&H8000000F", [](const Settings &s) { return s.BackColour == "&H8000000F"; }},
        {"Gr8", "-2147483633", [](const Settings &s) { return s.BackColour == "-2147483633"; }},
    };
    for (const Case &c : cases) {
        FakeSettingsStore store;
        store.write(kTunes, QString::fromLatin1(c.key), QString::fromLatin1(c.text));
        EXPECT_TRUE(c.check(loadSettings(store))) << c.key << "=" << c.text;
    }
    // Both spellings of the button face are the same colour.
    EXPECT_EQ(tarvel::geometry::textToColour(QStringLiteral("&H8000000F")),
              tarvel::geometry::textToColour(QStringLiteral("-2147483633")));
}

TEST(Settings, WritesInTheirOrder) {
    FakeSettingsStore store;
    Settings s;
    s.ShowGrid = 1;
    s.GridColour = 16777215;
    s.BackColour = QStringLiteral("-2147483633");
    s.ImportHintOff = 1;
    storeGraphics(store, s);
    storeOnClose(store, QStringLiteral("2,5"), 12.5f, QStringLiteral("/карты/план.bmp"));
    storeHints(store, s);
    const QStringList expected = {
        "Tunes/Gr1=1",    "Tunes/Gr3=16777215", "Tunes/Gr4=255",
        "Tunes/Gr5=0",    "Tunes/Gr7=0",        "Tunes/Gr8=-2147483633",
        "Tunes/Gr10=0",   "Tunes/Gr11=1",       "Tunes/Gr12=1",
        "Tunes/Gr13=0",
        "Tunes/Step=2,5", "Tunes/Gr6=12,5",     QStringLiteral("Tunes/imgFName=/карты/план.bmp"),
        "Tunes/Gr9=1",    "Tunes/Fl5=0",        "Tunes/Fl6=0",
    };
    EXPECT_EQ(store.writes, expected);
}

// Everything stored through the real INI file comes back exactly, white
// (an eight-digit colour) included.
TEST(Settings, SurviveTheIniStore) {
    QTemporaryDir dir;
    const QString file = dir.filePath("tarvel.ini");
    Settings s;
    s.WorkFolder = QStringLiteral("/home/пользователь/Участки, 2024");
    s.ShowGrid = s.DragAnywhere = s.ShowAngles = s.SelectOnFocus = 1;
    s.ShowNumbers = s.ShowLengths = 0;
    s.NorthUp = 1;
    s.ImportHintOff = s.StepHintOff = s.CornerHintOff = 1;
    s.GridColour = 16777215;
    s.LineColour = 0xFF8040;
    s.MapScale = 12.5f;
    s.BackColour = QStringLiteral("-2147483633");
    s.MapPicture = QStringLiteral("/карты/план 1,5.bmp");
    s.PolygonFolder = QStringLiteral("/участки/2024; старые");
    s.SheetFolder = QStringLiteral("/книги/X=Y; \"с кавычками\"");
    s.PictureFolder = QStringLiteral("/планы/#1, [2]");
    s.RecentFiles = {QStringLiteral("/участки/a, b.squ"), QStringLiteral("/участки/c=d;e.squ"),
                     QStringLiteral("/участки/\"x\" #1.squ")};
    {
        IniSettingsStore store(IniSettingsStore::AtPath{file});
        storeGraphics(store, s);
        storeOnClose(store, QStringLiteral("0,25"), s.MapScale, s.MapPicture);
        storeHints(store, s);
        storeWorkFolder(store, s.WorkFolder);
        storeRecentFiles(store, s.PolygonFolder, s.RecentFiles);
        storeSheetFolder(store, s.SheetFolder);
        storePictureFolder(store, s.PictureFolder);
    }
    IniSettingsStore again(IniSettingsStore::AtPath{file});
    expectSame(loadSettings(again), s);
    EXPECT_EQ(loadStep(again), QStringLiteral("0,25"));
}

TEST(Settings, RecentFilesKeepFiveDistinctMostRecentFirst) {
    const QStringList five = {"/p/1.squ", "/p/2.squ", "/p/3.squ", "/p/4.squ", "/p/5.squ"};
    struct Row {
        const char *name;
        QStringList list;
        QString path;
        QStringList expected;
    };
    const Row rows[] = {
        {"a listed file moves up, not in twice", {"/p/a.squ", "/p/b.squ"}, "/p/b.squ",
         {"/p/b.squ", "/p/a.squ"}},
        {"the same file spelt otherwise", {"/p/b.squ"}, "/p/x/../b.squ", {"/p/x/../b.squ"}},
        {"case counts", {"/p/a.squ"}, "/p/A.squ", {"/p/A.squ", "/p/a.squ"}},
        {"the oldest of five drops", five, "/p/6.squ", QStringList{"/p/6.squ"} + five.mid(0, 4)},
    };
    for (const Row &row : rows) {
        SCOPED_TRACE(row.name);
        EXPECT_EQ(withRecentFile(row.list, row.path), row.expected);
    }
}

// Two copies of the program share the settings: each stores its list with
// every file, so the stored list is the newest, and a copy's own files that
// it lacks come after it.
TEST(Settings, RecentFilesMergeWithWhatAnotherCopyStored) {
    struct Row {
        const char *name;
        QStringList stored, mine;
        QString path;
        QStringList expected;
    };
    const Row rows[] = {
        {"the other copy's file stays", {"/b/1.squ", "/a/1.squ"}, {"/a/1.squ"}, "/a/2.squ",
         {"/a/2.squ", "/b/1.squ", "/a/1.squ"}},
        {"mine that the store lacks come last", {"/b/1.squ"}, {"/a/1.squ", "/a/0.squ"}, "/a/2.squ",
         {"/a/2.squ", "/b/1.squ", "/a/1.squ", "/a/0.squ"}},
        {"nothing stored", {}, {"/a/1.squ"}, "/a/1.squ", {"/a/1.squ"}},
        {"five at most",
         {"/b/1.squ", "/b/2.squ", "/b/3.squ", "/b/4.squ"},
         {"/a/1.squ", "/a/0.squ"},
         "/a/2.squ",
         {"/a/2.squ", "/b/1.squ", "/b/2.squ", "/b/3.squ", "/b/4.squ"}},
        {"the same file once", {"/b/1.squ", "/a/x/../1.squ"}, {"/a/1.squ"}, "/b/1.squ",
         {"/b/1.squ", "/a/x/../1.squ"}},
    };
    for (const Row &row : rows) {
        SCOPED_TRACE(row.name);
        EXPECT_EQ(mergedRecentFiles(row.stored, row.mine, row.path), row.expected);
    }
}

// The survey sheet's Mt choice: kept as written, and a hand-edited category
// out of range counts as missing rather than indexing past the list.
TEST(Settings, SheetChoiceRoundTripsAndRejectsCategoriesOutOfRange) {
    const struct {
        const char *name;
        const char *storedCategory; // nullptr: not stored
        std::int16_t expected;
    } rows[] = {{"Missing", nullptr, 0},  {"Gardens", "1", 1},  {"Typed", "6", kSheetMtTyped},
                {"TooLarge", "7", 0},     {"Negative", "-1", 0}, {"NotANumber", "abc", 0}};
    for (const auto &r : rows) {
        SCOPED_TRACE(r.name);
        FakeSettingsStore store;
        if (r.storedCategory)
            store.write(kTunes, QStringLiteral("VedKat"), QString::fromLatin1(r.storedCategory));
        EXPECT_EQ(loadSheetChoice(store).category, r.expected);
        EXPECT_EQ(loadSheetChoice(store).typedMt, QStringLiteral("0,1"));
    }
    FakeSettingsStore store;
    storeSheetChoice(store, SheetChoice{kSheetMtTyped, QStringLiteral("0,35")});
    EXPECT_EQ(store.writes,
              (QStringList{QStringLiteral("Tunes/VedKat=6"), QStringLiteral("Tunes/VedMt=0,35")}));
    EXPECT_EQ(loadSheetChoice(store).category, kSheetMtTyped);
    EXPECT_EQ(loadSheetChoice(store).typedMt, QStringLiteral("0,35"));
}
