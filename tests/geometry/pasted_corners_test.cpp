// Pasted coordinate lists, as spreadsheets and editors put them on the
// clipboard, and the paste command that makes corners of them.
#include "geometry/pasted_corners.h"
#include "geometry/polygon_commands.h"
#include "geometry/polygon_states.h"

#include "support/qstring_print.h"

#include <gtest/gtest.h>

#include <QStringList>

#include <functional>
#include <string>
#include <vector>

namespace tarvel::geometry {
namespace {

using Kind = PastedTable::Kind;

struct ParseRow {
    const char *name;
    const char *text;
    Kind kind;
    std::vector<PastedCorner> corners; // expected, with their lines
    int badLine = 0;
};

void PrintTo(const ParseRow &r, std::ostream *os) {
    *os << r.name;
}

class PasteParse : public ::testing::TestWithParam<ParseRow> {};

TEST_P(PasteParse, ReadsPairsLineByLine) {
    const ParseRow &r = GetParam();
    const PastedTable t = readPastedCorners(QString::fromUtf8(r.text), 20);
    EXPECT_EQ(t.kind, r.kind);
    EXPECT_EQ(t.badLine, r.badLine);
    ASSERT_EQ(t.corners.size(), r.corners.size());
    for (std::size_t k = 0; k < r.corners.size(); ++k) {
        SCOPED_TRACE(k);
        EXPECT_EQ(t.corners[k].line, r.corners[k].line);
        EXPECT_DOUBLE_EQ(t.corners[k].x, r.corners[k].x);
        EXPECT_DOUBLE_EQ(t.corners[k].y, r.corners[k].y);
    }
}

// "\xC2\xA0" is a no-break space, "\xE2\x80\xAF" a narrow one: what a
// spreadsheet under a Russian locale puts between thousands.
const ParseRow kParseRows[] = {
    {"CalcTabsCrLfTrailingNewline",
     "6123456,78\t2345678,9\r\n6123460\t2345680,5\r\n",
     Kind::Corners,
     {{1, 6123456.78, 2345678.9}, {2, 6123460, 2345680.5}}},
    {"CalcThousandsWithNoBreakSpaces",
     "6\xC2\xA0"
     "123\xC2\xA0"
     "456,78\t2\xE2\x80\xAF"
     "345\xE2\x80\xAF"
     "678,90\r\n"
     "1\xC2\xA0"
     "000\t2\xC2\xA0"
     "000\r\n",
     Kind::Corners,
     {{1, 6123456.78, 2345678.9}, {2, 1000, 2000}}},
    {"HeadingLinePassedOver",
     "X\tY\r\n1\t2\r\n3,5\t4\r\n",
     Kind::Corners,
     {{2, 1, 2}, {3, 3.5, 4}}},
    {"HeadingWithUnits", "X, м;Y, м\n10;20\n30;40\n", Kind::Corners, {{2, 10, 20}, {3, 30, 40}}},
    {"SemicolonsAndDecimalPoints", "1.5;2.25\n3;4\n", Kind::Corners, {{1, 1.5, 2.25}, {2, 3, 4}}},
    {"EmptyFieldsBesideSeparatorsIgnored",
     "1\t\t2\t\n3;4;\n",
     Kind::Corners,
     {{1, 1, 2}, {2, 3, 4}}},
    {"BlanksWithGroupedThousands",
     "6 123 456,78 2 345 678,90\n6 123 460 2 345 680\n",
     Kind::Corners,
     {{1, 6123456.78, 2345678.9}, {2, 6123460, 2345680}}},
    {"BlanksSmallNumbersInATable", "20 300\n40 50\n", Kind::Corners, {{1, 20, 300}, {2, 40, 50}}},
    {"OneLineTwoNumbers", "12,5 30", Kind::Corners, {{1, 12.5, 30}}},
    {"OneLineTabbedWithNewline", "12,5\t30\n", Kind::Corners, {{1, 12.5, 30}}},
    {"NegativeAndExponent", "-5\t1E3\n+2\t-0,5\n", Kind::Corners, {{1, -5, 1000}, {2, 2, -0.5}}},
    {"SingleNumberIsNoTable", "6 123 456,78\n", Kind::NotATable, {}},
    {"OneLineThatIsOneGroupedNumber", "20 300", Kind::NotATable, {}},
    {"OneWordIsNoTable", "abc", Kind::NotATable, {}},
    {"EmptyText", "", Kind::NotATable, {}},
    {"OnlyBlankLines", "\r\n \r\n", Kind::NotATable, {}},
    {"FourColumns", "1\t2\t3\t4\n4\t5\t6\t7\n", Kind::BadLine, {}, 1},
    {"TextInTheMiddle", "X\tY\n1\t2\nabc\t3\n4\t5\n", Kind::BadLine, {}, 3},
    {"OneNumberOnALine", "1\t2\n3\n", Kind::BadLine, {}, 2},
    // Rows without names: "12 345 678" could be 12 and 345 678 or 12 345
    // and 678.
    {"AmbiguousBlanks", "1\t2\n12 345 678\n", Kind::BadLine, {}, 2},
    {"ThreeDecimalsSeparatedByBlanks", "1,5 2,5 3,5\n1 2\n", Kind::BadLine, {}, 1},
    {"HeadingsWithoutRows", "Номер\nX Y\n", Kind::BadLine, {}, 1},
    // "\xE2\x88\x92" is U+2212, the minus sign of word processors and PDFs.
    {"MinusSignsFromAWordTable",
     "\xE2\x88\x92" "12,5\t30\n40\t\xE2\x88\x92" "7\n",
     Kind::Corners,
     {{1, -12.5, 30}, {2, 40, -7}}},
    {"ContinentalThousandPoints",
     "1.234,5\t6.123.456,78\n2\t3\n",
     Kind::Corners,
     {{1, 1234.5, 6123456.78}, {2, 2, 3}}},
    {"EnglishThousandCommas", "1,234.5;2\n3;4\n", Kind::Corners, {{1, 1234.5, 2}, {2, 3, 4}}},
    {"MisgroupedThousandsInTheFirstLine", "12.34,5\t1\n3\t4\n", Kind::BadLine, {}, 1},
    {"AHeadingMayNumberItsColumns", "X1\tY1\n1\t2\n", Kind::Corners, {{2, 1, 2}}},
    {"AFirstLineOfDigitsIsNoHeading", "1\t2\t3\t4\n1\t2\n", Kind::BadLine, {}, 1},
    {"AHugeNumberIsNoPair", "1\t2\n1e15\t3\n", Kind::BadLine, {}, 2},
    {"ALongLineOfGroupsIsNoPair",
     "1 2\n123 456 789 123 456 789 123 456 789 123 456 789 123\n",
     Kind::BadLine,
     {},
     2},
};

INSTANTIATE_TEST_SUITE_P(Texts, PasteParse, ::testing::ValuesIn(kParseRows),
                         [](const auto &info) { return std::string(info.param.name); });

// Surveyors' catalogues: a point's name before its pair, several contours
// parted by blank lines, headings above. Each row: line, X, Y, name,
// contour.
struct CatalogueRow {
    const char *name;
    const char *text;
    std::vector<PastedCorner> corners;
};

void PrintTo(const CatalogueRow &r, std::ostream *os) {
    *os << r.name;
}

class CatalogueParse : public ::testing::TestWithParam<CatalogueRow> {};

TEST_P(CatalogueParse, KeepsNamesAndContours) {
    const CatalogueRow &r = GetParam();
    const PastedTable t = readPastedCorners(QString::fromUtf8(r.text), 20);
    ASSERT_EQ(t.kind, Kind::Corners) << "line " << t.badLine;
    ASSERT_EQ(t.corners.size(), r.corners.size());
    for (std::size_t k = 0; k < r.corners.size(); ++k) {
        SCOPED_TRACE(k);
        EXPECT_EQ(t.corners[k].line, r.corners[k].line);
        EXPECT_DOUBLE_EQ(t.corners[k].x, r.corners[k].x);
        EXPECT_DOUBLE_EQ(t.corners[k].y, r.corners[k].y);
        EXPECT_EQ(t.corners[k].name, r.corners[k].name);
        EXPECT_EQ(t.corners[k].contour, r.corners[k].contour);
    }
}

const CatalogueRow kCatalogueRows[] = {
    {"NumberXYWithBlanks",
     "№ X Y\n1 452297.10 1300123.45\n2 452310,00 1300130,5\n",
     {{2, 452297.10, 1300123.45, "1"}, {3, 452310, 1300130.5, "2"}}},
    {"NamedPointsAndATitleWithDigits",
     "Каталог координат, МСК-26 зона 1\nн1 452297,10 1300123,45\nн2 452310 1300130\n",
     {{2, 452297.10, 1300123.45, "н1"}, {3, 452310, 1300130, "н2"}}},
    {"SemicolonsWithNames",
     "№;X;Y\n12;452297,10;1300123,45\n13;452310;1300130\n",
     {{2, 452297.10, 1300123.45, "12"}, {3, 452310, 1300130, "13"}}},
    {"CommasWithNamesAndDecimalPoints",
     "name,X,Y\nн1,452297.10,1300123.45\nн2,452310.5,1300130\n",
     {{2, 452297.10, 1300123.45, "н1"}, {3, 452310.5, 1300130, "н2"}}},
    {"CommaPairsWithDecimalPoints",
     "452297.10,1300123.45\n452310.5,1300130\n",
     {{1, 452297.10, 1300123.45}, {2, 452310.5, 1300130}}},
    {"BlankLinesPartContours",
     "1\t2\n3\t4\n5\t6\n\n\n7\t8\n9\t10\n11\t12\n",
     {{1, 1, 2, "", 0},
      {2, 3, 4, "", 0},
      {3, 5, 6, "", 0},
      {6, 7, 8, "", 1},
      {7, 9, 10, "", 1},
      {8, 11, 12, "", 1}}},
    {"BlankLinesBeforeTheFirstRowStartNoContour",
     "\nX Y\n\n1 2\n3 4\n",
     {{4, 1, 2, "", 0}, {5, 3, 4, "", 0}}},
    // A lone comma is a decimal comma: these are pairs separated by blanks.
    {"DecimalCommasAreNoSeparators",
     "452297,10 1300123,45\n452310,5 1300130\n",
     {{1, 452297.10, 1300123.45}, {2, 452310.5, 1300130}}},
};

INSTANTIATE_TEST_SUITE_P(Catalogues, CatalogueParse, ::testing::ValuesIn(kCatalogueRows),
                         [](const auto &info) { return std::string(info.param.name); });

// The reading stops at the first line it cannot take, in line order: the
// message names the line the user has to look at first.
TEST(PasteRoom, TheFirstLineBeyondTheRoomStopsTheReading) {
    const QString text = QStringLiteral("X\tY\n1\t2\n3\t4\n5\t6\nabc\n");
    const PastedTable t = readPastedCorners(text, 2);
    EXPECT_EQ(t.kind, Kind::TooMany);
    EXPECT_EQ(t.badLine, 4);
    EXPECT_TRUE(t.corners.empty());
    EXPECT_EQ(readPastedCorners(text, 3).kind, Kind::BadLine);
    EXPECT_EQ(readPastedCorners(text, 3).badLine, 5);
}

// ---- the command ----

PastedTable tableOf(int rows) {
    PastedTable t;
    t.kind = Kind::Corners;
    for (int k = 0; k < rows; ++k)
        t.corners.push_back({k + 2, 1000.0 * (k + 1), 0.5 + k}); // a heading on line 1
    return t;
}

TEST(PasteCorners, FillsFromTheRowOnAndGrowsTheCount) {
    const PolygonState s = polygonOf({{"1", "1"}, {"2", "2"}, {"3", "3"}, {"4", "4"}}, "9");
    const CommandResult r = pasteCorners(s, 3, tableOf(4));
    ASSERT_TRUE(r.after);
    EXPECT_EQ(r.refusal, Refusal::None);
    PolygonState want = s;
    want.texts.x[3] = QStringLiteral("1 000,00");
    want.texts.y[3] = QStringLiteral(" 0,50");
    want.texts.x[4] = QStringLiteral("2 000,00");
    want.texts.y[4] = QStringLiteral(" 1,50");
    want.texts.x[5] = QStringLiteral("3 000,00");
    want.texts.y[5] = QStringLiteral(" 2,50");
    want.texts.x[6] = QStringLiteral("4 000,00");
    want.texts.y[6] = QStringLiteral(" 3,50");
    want.corners = 6;
    want.texts.count = QStringLiteral("6");
    EXPECT_EQ(*r.after, want);
}

// Points named by a catalogue keep their names through the commands that
// move rows: an inserted corner has none, a deleted one takes its name
// along, the rows after it move up with theirs.
TEST(PasteCorners, NamedPointsKeepTheirNamesWhenRowsMove) {
    const PolygonState s = polygonOf({{"0", "0"}, {"0", "0"}, {"0", "0"}}, "0");
    const CommandResult pasted = pasteCorners(
        s, 1,
        readPastedCorners(QStringLiteral("н1 0 0\nн2 10 0\nн3 10 10\nн4 0 10\n"), 20));
    ASSERT_TRUE(pasted.after);
    const struct {
        const char *name;
        std::function<CommandResult(const PolygonState &)> command;
        QStringList names; // rows 1..n
    } rows[] = {
        {"as pasted", [](const PolygonState &p) { return CommandResult{p}; },
         {"н1", "н2", "н3", "н4"}},
        {"a corner inserted after the first", [](const PolygonState &p) { return insertCorner(p, 1); },
         {"н1", "", "н2", "н3", "н4"}},
        {"the second deleted", [](const PolygonState &p) { return deleteCorner(p, 2); },
         {"н1", "н3", "н4"}},
        {"the last deleted", [](const PolygonState &p) { return deleteCorner(p, 4); },
         {"н1", "н2", "н3"}},
        {"cleared", [](const PolygonState &p) { return clearCorners(p); }, {"", "", "", ""}},
    };
    for (const auto &r : rows) {
        SCOPED_TRACE(r.name);
        const CommandResult after = r.command(*pasted.after);
        ASSERT_TRUE(after.after);
        QStringList names;
        for (int i = 1; i <= after.after->corners; ++i)
            names << after.after->texts.names[std::size_t(i)];
        EXPECT_EQ(names, r.names);
        // Nothing is left named beyond the corners.
        EXPECT_TRUE(after.after->texts.names[std::size_t(after.after->corners) + 1].isEmpty());
    }
}

// Pasted into corner 1 the list is the polygon (at least a triangle); lower
// down it only adds corners.
TEST(PasteCorners, TheCountFollowsTheRowPastedInto) {
    const PolygonState s = polygonOf({{"1", "1"}, {"2", "2"}, {"3", "3"}, {"4", "4"}}, "9");
    struct Case {
        const char *name;
        int from, rows, count;
        const char *x4; // the text of X4 after the paste
    };
    const Case cases[] = {
        {"FromCorner1FewerRowsShrink", 1, 3, 3, "4"},
        {"FromCorner1TwoRowsMakeATriangle", 1, 2, 3, "4"},
        {"FromCorner1OneRowMakesATriangle", 1, 1, 3, "4"},
        {"FromCorner1MoreRowsGrow", 1, 6, 6, "4 000,00"},
        {"FromCorner2FewerRowsKeep", 2, 2, 4, "4"},
        {"FromCorner3PastTheEndGrows", 3, 3, 5, "2 000,00"},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.name);
        const CommandResult r = pasteCorners(s, c.from, tableOf(c.rows));
        ASSERT_TRUE(r.after);
        EXPECT_EQ(r.after->corners, c.count);
        EXPECT_EQ(r.after->texts.count, QString::number(c.count));
        EXPECT_EQ(r.after->texts.x[4], QString::fromUtf8(c.x4)) << "a row left out stays";
    }
}

TEST(PasteCorners, RefusalsNameTheLineAndChangeNothing) {
    const PolygonState s = polygonOf({{"1", "1"}, {"2", "2"}, {"3", "3"}, {"4", "4"}}, "9");
    struct Case {
        const char *name;
        int from;
        PastedTable table;
        Refusal refusal;
        int line;
    };
    PastedTable bad, tooMany;
    bad.kind = Kind::BadLine;
    bad.badLine = 7;
    tooMany.kind = Kind::TooMany;
    tooMany.badLine = 9;
    const Case cases[] = {
        {"FitsExactlyUpToCorner10000", 1, tableOf(10000), Refusal::None, 0},
        {"FromTheLastRowFitsUpToCorner10000", 4, tableOf(9997), Refusal::None, 0},
        {"OneRowBeyondCorner10000", 2, tableOf(10000), Refusal::TooManyCorners, 10001},
        {"FromTheLastRowOneRowBeyondCorner10000", 4, tableOf(9998), Refusal::TooManyCorners, 9999},
        {"PastCorner20IsNoRefusal", 4, tableOf(18), Refusal::None, 0},
        {"LineNotAPair", 1, bad, Refusal::NotANumber, 7},
        {"LineBeyondTheRoomRead", 1, tooMany, Refusal::TooManyCorners, 9},
        {"NotATable", 1, PastedTable{}, Refusal::NoCorner, 0},
        {"HiddenRow", 5, tableOf(2), Refusal::NoCorner, 0},
        {"NoRow", 0, tableOf(2), Refusal::NoCorner, 0},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.name);
        const CommandResult r = pasteCorners(s, c.from, c.table);
        EXPECT_EQ(r.refusal, c.refusal);
        EXPECT_EQ(r.line, c.line);
        EXPECT_EQ(r.after.has_value(), c.refusal == Refusal::None);
    }
}

} // namespace
} // namespace tarvel::geometry
