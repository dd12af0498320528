// The editing commands as functions of the polygon's state: one row per
// case, each comparing the whole state after the command (texts of all 20
// rows, count, owner, unit), so that a write outside the corners in use is
// caught as well.
#include "geometry/polygon_commands.h"
#include "geometry/polygon_states.h"

#include "geometry/numtext.h"
#include "support/qstring_print.h"

#include <gtest/gtest.h>

#include <functional>
#include <initializer_list>
#include <limits>
#include <ostream>
#include <string>
#include <utility>

namespace tarvel::geometry {

void PrintTo(const PolygonState &s, std::ostream *os) {
    *os << "count \"" << s.texts.count.toStdString() << "\" in force " << s.corners << ", unit "
        << unitText(s.unit).toStdString() << ", corners";
    for (std::size_t i = 1; i <= 20; ++i)
        *os << " (" << s.texts.x[i].toStdString() << "; " << s.texts.y[i].toStdString() << ")";
}

namespace {

// The hidden rows hold "9" so that a command writing there shows.
PolygonState polygon(Corners corners) {
    PolygonState s = polygonOf(corners, "9");
    s.texts.owner = QStringLiteral("Иванов");
    return s;
}

PolygonState with(PolygonState s, Axis axis, int i, const char *text) {
    (axis == Axis::X ? s.texts.x : s.texts.y)[std::size_t(i)] = QString::fromUtf8(text);
    return s;
}

// The count text as typed, and the count in force.
PolygonState counted(PolygonState s, const char *countText, int inForce) {
    s.texts.count = QString::fromUtf8(countText);
    s.corners = inForce;
    return s;
}

PolygonState inKilometres(PolygonState s) {
    s.unit = Unit::Kilometres;
    return s;
}

// Twenty rows, the last ones hidden.
PolygonState cornersUpTo(int n) {
    PolygonState s = polygon({});
    for (std::size_t i = 1; i <= std::size_t(n); ++i) {
        s.texts.x[i] = QString::number(i);
        s.texts.y[i] = QString::number(i * i);
    }
    s.texts.count = QString::number(n);
    s.corners = n;
    return s;
}

PolygonState twenty() {
    return cornersUpTo(20);
}

// The most corners a polygon holds.
PolygonState full() {
    return cornersUpTo(10000);
}

using Command = std::function<CommandResult(const PolygonState &)>;

struct Row {
    const char *name;
    Command command;
    PolygonState before;
    Refusal refusal;
    std::optional<PolygonState> after; // nothing: the command changes nothing
};

void PrintTo(const Row &r, std::ostream *os) {
    *os << r.name;
}

const Command kNorm = [](const PolygonState &s) { return moveToOrigin(s); };
const Command kMirror = [](const PolygonState &s) { return mirror(s); };
const Command kClockwise = [](const PolygonState &s) { return turnQuarter(s, true); };
const Command kAnticlockwise = [](const PolygonState &s) { return turnQuarter(s, false); };
Command insertAfter(int p) {
    return [p](const PolygonState &s) { return insertCorner(s, p); };
}
Command remove(int p) {
    return [p](const PolygonState &s) { return deleteCorner(s, p); };
}
Command count(int delta) {
    return [delta](const PolygonState &s) { return changeCount(s, delta); };
}
Command moveAll(Axis axis, double delta) {
    return [=](const PolygonState &s) { return moveCorners(s, axis, delta); };
}
Command moveOne(int p, Axis axis, double delta) {
    return [=](const PolygonState &s) { return moveCorner(s, p, axis, delta); };
}

// A plot in a national grid, 6 000 km from the origin, where a turn that
// scales even by 4e-8 moves the corners by a quarter metre.
const PolygonState kFarPlot = polygon({{"6 000 000,12", "6 095 422,00"},
                                       {"6 000 030,12", "6 095 422,00"},
                                       {"6 000 030,12", "6 095 462,00"}});
const PolygonState kTriangle = polygon({{"0", "0"}, {"10", "0"}, {"10", "5"}});
const PolygonState kSquare = polygon({{"0", "0"}, {"10", "0"}, {"10", "10"}, {"0", "10"}});
const PolygonState kStepped = polygon({{"10", "30"}, {"20", "30"}, {"20", "40"}});

const Row kRows[] = {
    // ---- move to origin, mirror, quarter turns
    {"MoveToOrigin", kNorm, polygon({{"5", "-3"}, {"15", "-3"}, {"15", "7"}}), Refusal::None,
     polygon({{"0", "0"}, {"10", "0"}, {"10", "10"}})},
    {"MoveToOrigin_RoundsHalvesToEven", kNorm,
     polygon({{"1,125", "0"}, {"0", "2,675"}, {"3,135", "1"}}), Refusal::None,
     polygon({{"1,12", "0"}, {"0", "2,68"}, {"3,14", "1"}})},
    {"MoveToOrigin_RoundsToHundredths", kNorm,
     polygon({{"5", "-3"}, {"15", "-3"}, {"15,004", "7"}}), Refusal::None,
     polygon({{"0", "0"}, {"10", "0"}, {"10", "10"}})},
    {"MoveToOrigin_LeavesAHiddenRowThatIsNotANumber", kNorm,
     counted(
         with(polygon({{"5", "-3"}, {"15", "-3"}, {"15", "7"}, {"abc", "1"}}), Axis::X, 4, "abc"),
         "3", 3),
     Refusal::None,
     counted(polygon({{"0", "0"}, {"10", "0"}, {"10", "10"}, {"abc", "1"}}), "3", 3)},
    {"MoveToOrigin_KeepsTheUnitAndOwner", kNorm,
     inKilometres(polygon({{"1", "1"}, {"2", "1"}, {"2", "2"}})), Refusal::None,
     inKilometres(polygon({{"0", "0"}, {"1", "0"}, {"1", "1"}}))},
    {"MoveToOrigin_RefusesALetter", kNorm, polygon({{"5", "-3"}, {"15", "abc"}, {"15", "7"}}),
     Refusal::NotANumber, std::nullopt},
    {"MoveToOrigin_RefusesAnEmptyField", kNorm, polygon({{"5", "-3"}, {"15", "-3"}, {"", "7"}}),
     Refusal::NotANumber, std::nullopt},
    {"MoveToOrigin_RefusesAShiftBeyondTheDoubleRange", kNorm,
     polygon({{"1E+308", "0"}, {"-1E+308", "0"}, {"0", "1"}}), Refusal::NotANumber, std::nullopt},
    {"Mirror", kMirror, kTriangle, Refusal::None, polygon({{"10", "0"}, {"0", "0"}, {"0", "5"}})},
    {"Mirror_RefusesALetter", kMirror, with(kTriangle, Axis::Y, 2, "abc"), Refusal::NotANumber,
     std::nullopt},
    // Coordinates near the double limit are no coordinates: nothing is mirrored.
    {"Mirror_RefusesCoordinatesBeyondTheLargest", kMirror,
     polygon({{"1E+308", "0"}, {"-1E+308", "0"}, {"0", "1"}}), Refusal::NotANumber,
     std::nullopt},
    {"TurnAnticlockwise", kAnticlockwise, kTriangle, Refusal::None,
     polygon({{"5", "0"}, {"5", "10"}, {"0", "10"}})},
    {"TurnClockwise", kClockwise, kTriangle, Refusal::None,
     polygon({{"0", "10"}, {"0", "0"}, {"5", "0"}})},
    {"Turn_ReadsGroupedTexts", kAnticlockwise,
     polygon({{" 1 000,00", "0"}, {"1 010,50", " 0,00"}, {"1 010,50", "5,25"}}), Refusal::None,
     polygon({{"5,25", "0"}, {"5,25", "10,5"}, {"0", "10,5"}})},
    {"TurnAnticlockwise_FarFromTheOriginKeepsEverySide", kAnticlockwise, kFarPlot, Refusal::None,
     polygon({{"40", "0"}, {"40", "30"}, {"0", "30"}})},
    {"TurnClockwise_FarFromTheOriginKeepsEverySide", kClockwise, kFarPlot, Refusal::None,
     polygon({{"0", "30"}, {"0", "0"}, {"40", "0"}})},
    {"TurnClockwise_RefusesAnEmptyField", kClockwise, with(kTriangle, Axis::X, 3, ""),
     Refusal::NotANumber, std::nullopt},
    {"TurnAnticlockwise_RefusesALetter", kAnticlockwise, with(kTriangle, Axis::X, 1, "x"),
     Refusal::NotANumber, std::nullopt},

    // ---- insert and delete
    {"Insert_AfterCorner2", insertAfter(2), kTriangle, Refusal::None,
     polygon({{"0", "0"}, {"10", "0"}, {"10", "2,5"}, {"10", "5"}})},
    {"Insert_AfterTheLastCornerGoesBeforeCorner1", insertAfter(3), kTriangle, Refusal::None,
     polygon({{"0", "0"}, {"10", "0"}, {"10", "5"}, {"5", "2,5"}})},
    {"Insert_AfterCorner1", insertAfter(1), kTriangle, Refusal::None,
     polygon({{"0", "0"}, {"5", "0"}, {"10", "0"}, {"10", "5"}})},
    {"Insert_KeepsEveryDigitOfTheOtherCorners", insertAfter(1),
     polygon({{"6 000 000,12", "6 000 000,34"},
              {"6 000 030,12", "6 000 000,34"},
              {"1234567,89", "7654321,01"}}),
     Refusal::None,
     polygon({{"6000000,12", "6000000,34"},
              {"6000015,12", "6000000,34"},
              {"6000030,12", "6000000,34"},
              {"1234567,89", "7654321,01"}})},
    {"Insert_KeepsTheMidpointsThirdDecimal", insertAfter(1),
     polygon({{"0", "0"}, {"0,25", "0,75"}, {"5", "5"}}), Refusal::None,
     polygon({{"0", "0"}, {"0,125", "0,375"}, {"0,25", "0,75"}, {"5", "5"}})},
    {"Insert_KeepsTheMidpointOfSurveyCoordinates", insertAfter(2),
     polygon({{"6 123 400,00", "2 345 600,00"},
              {"6 123 456,78", "2 345 678,01"},
              {"6 123 456,79", "2 345 678,04"}}),
     Refusal::None,
     polygon({{"6123400", "2345600"},
              {"6123456,78", "2345678,01"},
              {"6123456,785", "2345678,025"},
              {"6123456,79", "2345678,04"}})},
    {"Insert_RefusesALetter", insertAfter(1), polygon({{"abc", "4"}, {"10", "0"}, {"10", "5"}}),
     Refusal::NotANumber, std::nullopt},
    {"Insert_RefusesAnEmptyField", insertAfter(2), with(kTriangle, Axis::Y, 3, ""),
     Refusal::NotANumber, std::nullopt},
    {"Insert_RefusesTwoDecimalMarks", insertAfter(3), with(kTriangle, Axis::X, 2, "12,5.3"),
     Refusal::NotANumber, std::nullopt},
    {"Insert_TakesTheCountInForceNotATypedOne", insertAfter(2), counted(kSquare, "abc", 3),
     Refusal::None, polygon({{"0", "0"}, {"10", "0"}, {"10", "5"}, {"10", "10"}})},
    {"Insert_RefusedAt10000Corners", insertAfter(5), full(), Refusal::TooManyCorners,
     std::nullopt},
    {"Insert_AfterCorner20GivesCorner21", insertAfter(20), twenty(), Refusal::None,
     [] {
         PolygonState s = twenty();
         s.texts.x[20] = "20";
         s.texts.y[20] = "400";
         s.texts.x[21] = "10,5";
         s.texts.y[21] = "200,5";
         for (std::size_t i = 1; i <= 19; ++i) {
             s.texts.x[i] = QString::number(i);
             s.texts.y[i] = QString::number(i * i);
         }
         s.texts.count = "21";
         s.corners = 21;
         return s;
     }()},
    {"Insert_NeedsACorner", insertAfter(0), kSquare, Refusal::NoCorner, std::nullopt},
    {"Insert_NeedsACornerNotAHiddenRow", insertAfter(5), kSquare, Refusal::NoCorner, std::nullopt},
    {"Delete_MovesTheFollowingTextsUpUnchanged", remove(1),
     polygon({{" 1 234,50", "7,125"}, {"abc", ""}, {"10", "10"}, {"0,001", "10"}}), Refusal::None,
     counted(polygon({{"abc", ""}, {"10", "10"}, {"0,001", "10"}, {"0,001", "10"}}), "3", 3)},
    {"Delete_TheLastCornerKeepsItsTextHidden", remove(4), kSquare, Refusal::None,
     counted(kSquare, "3", 3)},
    {"Delete_TakesTheCountInForceNotATypedOne", remove(2), counted(kSquare, "25", 4), Refusal::None,
     counted(polygon({{"0", "0"}, {"10", "10"}, {"0", "10"}, {"0", "10"}}), "3", 3)},
    {"Delete_RefusedAt3Corners", remove(3), kTriangle, Refusal::TooFewCorners, std::nullopt},
    {"Delete_RefusedAt3CornersBeforeLookingAtTheCorner", remove(0), kTriangle,
     Refusal::TooFewCorners, std::nullopt},
    {"Delete_NeedsACorner", remove(0), kSquare, Refusal::NoCorner, std::nullopt},
    {"Delete_NeedsACornerNotAHiddenRow", remove(19), kSquare, Refusal::NoCorner, std::nullopt},

    // ---- the count buttons and clearing
    {"CountUp_ShowsTheOldTextsOfTheRow", count(+1), kTriangle, Refusal::None,
     counted(kTriangle, "4", 4)},
    {"CountDown", count(-1), kSquare, Refusal::None, counted(kSquare, "3", 3)},
    {"CountUp_GoesPast20", count(+1), twenty(), Refusal::None, counted(twenty(), "21", 21)},
    {"CountUp_StopsAt10000", count(+1), full(), Refusal::None, std::nullopt},
    {"CountDown_StopsAt3", count(-1), kTriangle, Refusal::None, std::nullopt},
    {"CountUp_FromTheCountInForce", count(+1), counted(kSquare, "25", 4), Refusal::None,
     counted(kSquare, "5", 5)},
    {"Clear_EmptiesAllFortyFieldsAndKeepsTheCount",
     [](const PolygonState &s) { return clearCorners(s); }, inKilometres(kSquare), Refusal::None,
     [] {
         PolygonState s = inKilometres(kSquare);
         s.texts.x = TextColumn{};
         s.texts.y = TextColumn{};
         return s;
     }()},

    // ---- moves by the step
    {"MoveAll_Up", moveAll(Axis::Y, 2.5), kStepped, Refusal::None,
     polygon({{"10", " 32,50"}, {"20", " 32,50"}, {"20", " 42,50"}})},
    {"MoveAll_Down", moveAll(Axis::Y, -2.5), kStepped, Refusal::None,
     polygon({{"10", " 27,50"}, {"20", " 27,50"}, {"20", " 37,50"}})},
    {"MoveAll_Right", moveAll(Axis::X, 2.5), kStepped, Refusal::None,
     polygon({{" 12,50", "30"}, {" 22,50", "30"}, {" 22,50", "40"}})},
    {"MoveAll_Left", moveAll(Axis::X, -2.5), kStepped, Refusal::None,
     polygon({{" 7,50", "30"}, {" 17,50", "30"}, {" 17,50", "40"}})},
    {"MoveAll_ByZeroStillWritesThePattern", moveAll(Axis::Y, 0), kStepped, Refusal::None,
     polygon({{"10", " 30,00"}, {"20", " 30,00"}, {"20", " 40,00"}})},
    {"MoveAll_OnlyTheCornersInForce", moveAll(Axis::Y, 1),
     counted(polygon({{"10", "30"}, {"20", "30"}, {"20", "40"}, {"0", "0"}}), "3", 3),
     Refusal::None,
     counted(polygon({{"10", " 31,00"}, {"20", " 31,00"}, {"20", " 41,00"}, {"0", "0"}}), "3", 3)},
    {"MoveAll_LeavesATextThatIsNotANumber", moveAll(Axis::X, 1),
     polygon({{"10", "30"}, {"x", "30"}, {"", "40"}}), Refusal::None,
     polygon({{" 11,00", "30"}, {"x", "30"}, {"", "40"}})},
    {"MoveAll_LeavesASumBeyondTheDoubleRange", moveAll(Axis::X, 1e308),
     polygon({{"1,7E+308", "0"}, {"1,6E+308", "1"}, {"1,5E+308", "2"}}), Refusal::None,
     polygon({{"1,7E+308", "0"}, {"1,6E+308", "1"}, {"1,5E+308", "2"}})},
    {"MoveAll_ByANaNMovesNothing", moveAll(Axis::X, std::numeric_limits<double>::quiet_NaN()),
     kStepped, Refusal::None, kStepped},
    {"MoveOne_XUp", moveOne(2, Axis::X, 2.5), kStepped, Refusal::None,
     polygon({{"10", "30"}, {" 22,50", "30"}, {"20", "40"}})},
    {"MoveOne_XDown", moveOne(2, Axis::X, -2.5), kStepped, Refusal::None,
     polygon({{"10", "30"}, {" 17,50", "30"}, {"20", "40"}})},
    {"MoveOne_YUp", moveOne(2, Axis::Y, 2.5), kStepped, Refusal::None,
     polygon({{"10", "30"}, {"20", " 32,50"}, {"20", "40"}})},
    {"MoveOne_YDown", moveOne(2, Axis::Y, -2.5), kStepped, Refusal::None,
     polygon({{"10", "30"}, {"20", " 27,50"}, {"20", "40"}})},
    {"MoveOne_InDoublePrecision", moveOne(1, Axis::X, 0.01),
     polygon({{"6 000 000,12", "1234567,89"}, {"0", "0"}, {"0", "1"}}), Refusal::None,
     polygon({{"6000 000,13", "1234567,89"}, {"0", "0"}, {"0", "1"}})},
    {"MoveOne_DownInDoublePrecision", moveOne(1, Axis::Y, -0.01),
     polygon({{"6 000 000,12", "1234567,89"}, {"0", "0"}, {"0", "1"}}), Refusal::None,
     polygon({{"6 000 000,12", "1234 567,88"}, {"0", "0"}, {"0", "1"}})},
    {"MoveOne_NeedsACorner", moveOne(0, Axis::X, 1), kStepped, Refusal::NoCorner, std::nullopt},
    {"MoveOne_NeedsACornerNotAHiddenRow", moveOne(4, Axis::Y, 1), kStepped, Refusal::NoCorner,
     std::nullopt},
};

class CommandTable : public ::testing::TestWithParam<Row> {};

TEST_P(CommandTable, GivesTheExpectedStateOrRefusal) {
    const Row &row = GetParam();
    const CommandResult r = row.command(row.before);
    EXPECT_EQ(r.refusal, row.refusal);
    EXPECT_EQ(r.after, row.after);
}

INSTANTIATE_TEST_SUITE_P(Commands, CommandTable, ::testing::ValuesIn(kRows),
                         [](const auto &info) { return std::string(info.param.name); });

// ---- polygons from elsewhere

TextColumn texts(std::initializer_list<const char *> values) {
    TextColumn a;
    std::size_t i = 0;
    for (const char *v : values)
        a[++i] = QString::fromUtf8(v);
    return a;
}

TEST(ImportCommand, ReplacesAllTwentyRowsAndTheCountKeepingOwnerAndUnit) {
    struct Case {
        const char *name;
        int count;
        const char *countText;
    } cases[] = {{"four", 4, "4"},
                 {"above twenty", 25, "25"},
                 {"above ten thousand", 10001, "10000"},
                 {"below three", 1, "3"}};
    const auto x = texts({" 0,00", "30", "abc", " 0,00", " 0,00"});
    const auto y = texts({" 0,00", "0", "40", " 40,00"});
    for (const Case &c : cases) {
        SCOPED_TRACE(c.name);
        const CommandResult r = importCorners(inKilometres(twenty()), x, y, c.count);
        ASSERT_TRUE(r.after);
        PolygonState expected = inKilometres(twenty());
        expected.texts.x = x;
        expected.texts.y = y;
        expected.texts.count = QString::fromUtf8(c.countText);
        expected.corners = textToInt16(expected.texts.count).value();
        EXPECT_EQ(*r.after, expected);
        EXPECT_EQ(r.refusal, Refusal::None);
    }
}

TEST(EnterPlaneCorners, WritesRoundedMetresAndSetsTheUnitInTheSameState) {
    struct Case {
        const char *name;
        int count;
        std::array<double, 21> x, y;
        PolygonState after;
    } cases[] = {
        {"four corners, hundredths rounded half to even",
         4,
         {0, 0, 0, 19.884999, 19.885, 1e9},
         {0, 0, 20.0649, 20.065, 0, 7},
         polygon({{"0", "0"}, {"0", "20,06"}, {"19,88", "20,06"}, {"19,88", "0"}})},
        {"a value that is not finite counts as 0",
         3,
         {0, std::numeric_limits<double>::infinity(), 20.5, 1},
         {0, 1, std::numeric_limits<double>::quiet_NaN(), 2},
         polygon({{"0", "1"}, {"20,5", "0"}, {"1", "2"}})},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.name);
        PolygonState before = inKilometres(twenty());
        const CommandResult r = enterPlaneCorners(before, c.count, c.x, c.y);
        ASSERT_TRUE(r.after);
        PolygonState expected = c.after;
        // Rows beyond the count stay as they were, hidden.
        for (int i = c.count + 1; i <= 20; ++i) {
            expected.texts.x[std::size_t(i)] = before.texts.x[std::size_t(i)];
            expected.texts.y[std::size_t(i)] = before.texts.y[std::size_t(i)];
        }
        expected.texts.owner = before.texts.owner;
        expected.unit = Unit::Metres;
        EXPECT_EQ(*r.after, expected);
    }
}

TEST(EnterPlaneCorners, ClampsTheCountToThreeAndReadsNothingBeyondTheValues) {
    const std::array<double, 21> zero{};
    for (const auto &[count, expected] : {std::pair{2, 3}, std::pair{21, 21}}) {
        SCOPED_TRACE(count);
        const CommandResult r = enterPlaneCorners(kSquare, count, zero, zero);
        ASSERT_TRUE(r.after);
        EXPECT_EQ(r.after->corners, expected);
        EXPECT_EQ(r.after->texts.count, QString::number(expected));
    }
}

TEST(DefaultPolygon, IsTheTwentyCornerDesignPolygonOfArea10700) {
    const PolygonTexts t = defaultPolygon();
    EXPECT_EQ(t.count, "20");
    EXPECT_EQ(t.x[1], "26,00");
    EXPECT_EQ(t.y[1], "30,00");
    EXPECT_EQ(t.x[6], "101,00");
    EXPECT_EQ(t.y[9], "110,00");
    EXPECT_EQ(t.x[20], "76,00");
    EXPECT_EQ(t.y[20], "30,00");
    EXPECT_EQ(t.owner, "Сюда можно ввести информацию о собственнике. Кликните мышкой чтобы "
                       "отредактировать надпись");
    Coordinates X(21), Y(21);
    for (std::size_t i = 1; i <= 20; ++i) {
        X[i] = textToDouble(t.x[i]).value();
        Y[i] = textToDouble(t.y[i]).value();
    }
    EXPECT_DOUBLE_EQ(PolygonArea(20, X.data(), Y.data()), 10700);
}

double areaOf(const PolygonState &s) {
    Coordinates X(std::size_t(s.corners) + 1), Y(std::size_t(s.corners) + 1);
    for (std::size_t i = 1; i <= std::size_t(s.corners); ++i) {
        X[i] = textToDouble(s.texts.x[i]).value();
        Y[i] = textToDouble(s.texts.y[i]).value();
    }
    return PolygonArea(s.corners, X.data(), Y.data());
}

// A corner put on a side splits it in two: the area must not move, neither
// as shown nor beyond the last bits of the sum, wherever it goes in.
TEST(InsertCommand, KeepsTheAreaOnEverySide) {
    struct Case {
        const char *name;
        PolygonState polygon;
    } cases[] = {
        {"odd hundredths", polygon({{"0", "0"},
                                    {"70,01", "0,03"},
                                    {"71,37", "40,15"},
                                    {"35,11", "65,93"},
                                    {"10,05", "61,27"},
                                    {"-3,03", "30,01"}})},
        {"survey coordinates", polygon({{"6 123 456,17", "2 345 678,03"},
                                        {"6 123 521,09", "2 345 679,11"},
                                        {"6 123 519,33", "2 345 741,97"},
                                        {"6 123 461,01", "2 345 733,55"}})},
        {"thousandths", polygon({{"0,001", "0,003"}, {"10,005", "0,007"}, {"3,333", "7,777"}})},
    };
    for (const Case &c : cases) {
        const double before = areaOf(c.polygon);
        for (int p = 1; p <= c.polygon.corners; ++p) {
            SCOPED_TRACE(std::string(c.name) + ", after corner " + std::to_string(p));
            const CommandResult r = insertCorner(c.polygon, p);
            ASSERT_TRUE(r.after);
            const double after = areaOf(*r.after);
            EXPECT_EQ(formatNumber(after, kAreaPattern), formatNumber(before, kAreaPattern));
            // Rounding the midpoint to hundredths moved these areas by
            // about 0,1 m²; what is left is the double arithmetic of a
            // trapezoid sum over coordinates of millions.
            EXPECT_NEAR(after, before, 1e-6);
        }
    }
}

TEST(CornerAfter, WrapsFromTheLastCornerToTheFirst) {
    EXPECT_EQ(cornerAfter(2, 3), 3);
    EXPECT_EQ(cornerAfter(3, 3), 1);
    EXPECT_EQ(cornerAfter(19, 20), 20);
}

TEST(UnitText, NamesMetresAndKilometres) {
    EXPECT_EQ(unitText(Unit::Metres), "М");
    EXPECT_EQ(unitText(Unit::Kilometres), "КМ");
}

} // namespace
} // namespace tarvel::geometry
