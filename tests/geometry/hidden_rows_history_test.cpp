// The document's history with rows hidden beyond the count. A seeded random
// mix of typing into shown fields, leaving fields (which reformats them:
// "118" becomes " 118,00"), typed and stepped count changes, inserted and
// deleted corners, step moves, moves to the origin and turns (commands given
// by keys leave the focus in its field), with a few undos and redos along
// the way, is undone to the start and redone to the end, round after round.
// After every command, undo and redo, the texts of all twenty rows, shown or
// hidden, and the count in force are byte for byte those of the same point
// of a log the test keeps itself from the commands it gave:
//   - typing into one field, and the reformatting of leaving it, is one
//     step; typing back to where it began is none;
//   - leaving a field after anything else changes nothing, its row shown or
//     hidden, also after a command that changed nothing;
//   - a typed count and its application are one step;
//   - every other command is one step when it changes something;
//   - a change after an undo drops what there was to redo.
#include "geometry/numtext.h"
#include "geometry/polygon_commands.h"
#include "geometry/polygon_document.h"

#include "support/qstring_print.h"

#include <gtest/gtest.h>

#include <optional>
#include <random>
#include <string>
#include <utility>
#include <vector>

namespace tarvel::geometry {
namespace {

constexpr int kRows = 20;

// A point of the history: what the document must hold there.
struct Point {
    PolygonTexts texts;
    int count = 0;
    bool operator==(const Point &) const = default;
};

// What the user types into a coordinate field, keystroke by keystroke.
const char *const kTypedCoordinates[] = {"118", "7,5", "-3", "abc", "1 234,5", "0", "26,00", ""};

// Count texts and the count each one applies; 0: not a count, the count in
// force stays.
const struct {
    const char *text;
    int count;
} kTypedCounts[] = {
    {"3", 3}, {"5", 5}, {"12", 12}, {"17", 17}, {"20", 20},
    {"2", 0}, {"0", 0}, {"", 0},    {"3,5", 0}, {"abc", 0},
};

// Every prefix of `text` in turn, as keystrokes give them.
std::vector<QString> keystrokes(const QString &text) {
    std::vector<QString> out;
    for (qsizetype n = 1; n <= text.size(); ++n)
        out.push_back(text.left(n));
    if (out.empty()) out.emplace_back();
    return out;
}

QString &field(PolygonTexts &t, Axis axis, int i) {
    return (axis == Axis::X ? t.x : t.y)[std::size_t(i)];
}
const QString &field(const PolygonTexts &t, Axis axis, int i) {
    return (axis == Axis::X ? t.x : t.y)[std::size_t(i)];
}

std::string fieldName(Axis axis, int i) {
    return (axis == Axis::X ? "X" : "Y") + std::to_string(i);
}

class HiddenRowsHistory : public ::testing::Test {
protected:
    int pick(int lo, int hi) { return std::uniform_int_distribution<int>(lo, hi)(rng); }

    // The polygon the program starts with, or every other round the same
    // as entered by hand: each text in the fields' format, so that a step
    // of 0 changes nothing.
    void restart() {
        PolygonTexts start = defaultPolygon();
        if (round % 2 == 1)
            for (int i = 1; i <= kRows; ++i)
                for (const Axis axis : {Axis::X, Axis::Y})
                    field(start, axis, i) = formatText(field(start, axis, i), kFieldPattern);
        doc.reset(start);
        log = {Point{start, 20}};
        pos = 0;
        typed.reset();
        focused.reset();
        countOpen = false;
        ops.clear();
    }

    PolygonState modelState() const {
        return PolygonState{log[pos].texts, Unit::Metres, log[pos].count};
    }

    // The log after a change. A change that does not join the typing before
    // it is a step of its own, unless it changes nothing; one that joins
    // rewrites that step, and a typing back at its start leaves none.
    void record(const Point &after, bool joins) {
        if (!joins) {
            if (after == log[pos]) return;
            groupBase = pos;
        }
        log.resize(groupBase + 1);
        if (after != log[groupBase]) log.push_back(after);
        pos = log.size() - 1;
    }

    // ---- what the user does ----

    void typeIntoShownField() {
        const Axis axis = pick(0, 1) ? Axis::X : Axis::Y;
        const int i = pick(1, log[pos].count);
        const QString target = QString::fromUtf8(kTypedCoordinates[pick(0, 7)]);
        // Over the whole text selected, or after the text there.
        const QString base = pick(0, 2) == 0 ? field(log[pos].texts, axis, i) : QString();
        std::vector<QString> texts = keystrokes(target);
        texts.erase(texts.begin(),
                    texts.end() - std::min<std::ptrdiff_t>(pick(1, 3), texts.size()));
        ops.push_back("type '" + (base + target).toStdString() + "' into " + fieldName(axis, i));
        focused = {axis, i};
        for (const QString &suffix : texts) {
            const QString text = base + suffix;
            if (text == field(log[pos].texts, axis, i)) continue; // its own text is no typing
            const bool joins = typed == std::pair{axis, i};
            doc.editField(axis, i, text);
            countOpen = false;
            Point after = log[pos];
            field(after.texts, axis, i) = text;
            record(after, joins);
            typed = {axis, i};
        }
    }

    // Leaves the field typed into last, or any field of the twenty rows: a
    // field whose row is hidden meanwhile loses the focus too.
    void leaveSomeField() {
        std::pair<Axis, int> f{pick(0, 1) ? Axis::X : Axis::Y, pick(1, kRows)};
        leaveField(focused && pick(0, 3) != 0 ? *focused : f);
    }
    void leaveField(const std::pair<Axis, int> &f) {
        const auto [axis, i] = f;
        const QString reformatted = formatText(field(log[pos].texts, axis, i), kFieldPattern);
        ops.push_back("leave " + fieldName(axis, i));
        doc.leaveField(axis, i, reformatted);
        countOpen = false;
        focused.reset();
        if (typed == f) {
            Point after = log[pos];
            field(after.texts, axis, i) = reformatted;
            record(after, true);
        }
        typed.reset();
    }

    // Typing into the count and applying it (Return), or leaving it. Return
    // on a text that applies nothing ("3,5") leaves the typing open: the
    // count typed next joins its step.
    void typeCount() {
        // The focus goes from its field to the count.
        if (focused) leaveField(*focused);
        const bool open = countOpen;
        const auto &c = kTypedCounts[pick(0, int(std::size(kTypedCounts)) - 1)];
        const bool apply = pick(0, 1);
        ops.push_back(std::string("type count '") + c.text + (apply ? "', apply" : "', leave"));
        typed.reset();
        bool edited = false;
        for (const QString &text : keystrokes(QString::fromUtf8(c.text))) {
            if (text == log[pos].texts.count) continue;
            doc.editCount(text);
            Point after = log[pos];
            after.texts.count = text;
            record(after, open || edited);
            edited = true;
        }
        // Leaving the count applies it only when it was typed.
        if (apply)
            doc.applyCount();
        else
            doc.leaveCount();
        bool applied = false;
        if (c.count != 0 && (apply || edited)) {
            Point after = log[pos];
            after.count = c.count;
            applied = after != log[pos];
            if (applied) record(after, open || edited);
        }
        countOpen = apply && (open || edited) && !applied;
    }

    void command(const std::string &name, const CommandResult &result) {
        // A command refused reaches no document: the typing goes on.
        ops.push_back(result.after ? name : std::string(name) + " (refused)");
        if (!result.after) return;
        typed.reset();
        countOpen = false;
        doc.apply(*result.after, QString::fromStdString(name));
        record(Point{result.after->texts, result.after->corners}, false);
    }

    void someCommand() {
        const PolygonState s = modelState();
        const int n = s.corners;
        const Axis axis = pick(0, 1) ? Axis::X : Axis::Y;
        // A step of 0 only reformats, and changes nothing where the texts
        // are in the fields' format already.
        const double deltas[] = {1, -1, 0.5, 92, 0};
        const double delta = deltas[pick(0, 4)];
        // The corner acted on is the current one, whose field has the focus.
        const int p = focused && focused->second <= n ? focused->second : pick(1, n);
        switch (pick(0, 9)) {
        case 0:
            if (n > 3) command("count -1", changeCount(s, -1));
            break;
        case 1:
            if (n < kRows) command("count +1", changeCount(s, +1));
            break;
        case 2:
            if (n < kRows) command("insert", insertCorner(s, p));
            break;
        case 3:
            command("delete", deleteCorner(s, p));
            break;
        case 4:
            command("move all", moveCorners(s, axis, delta));
            break;
        case 5:
            command("move one", moveCorner(s, p, axis, delta));
            break;
        // Moving to the origin again, or turning, may well change nothing.
        case 6:
        case 7:
            command("to the origin", moveToOrigin(s));
            break;
        case 8:
            if (pick(0, 1))
                command("mirror", mirror(s));
            else
                command("turn", turnQuarter(s, pick(0, 1)));
            break;
        default:
            if (pick(0, 5) == 0) command("clear", clearCorners(s));
            break;
        }
    }

    // ---- the history ----

    void undo() {
        ASSERT_TRUE(doc.undoStack().canUndo()) << "a step was lost" << trail();
        doc.undoStack().undo();
        --pos;
        typed.reset();
        countOpen = false;
        ops.push_back("undo");
        check("undo");
    }
    void redo() {
        ASSERT_TRUE(doc.undoStack().canRedo()) << "a step to redo was lost" << trail();
        doc.undoStack().redo();
        ++pos;
        typed.reset();
        countOpen = false;
        ops.push_back("redo");
        check("redo");
    }

    void check(const char *when) {
        const Point &want = log[pos];
        const PolygonTexts &got = doc.texts();
        std::string d;
        const auto compare = [&](const std::string &name, const QString &a, const QString &b) {
            if (a != b) d += name + ": '" + a.toStdString() + "' not '" + b.toStdString() + "'; ";
        };
        compare("count", got.count, want.texts.count);
        for (int i = 1; i <= kRows; ++i) {
            compare(fieldName(Axis::X, i), got.x[i], want.texts.x[i]);
            compare(fieldName(Axis::Y, i), got.y[i], want.texts.y[i]);
        }
        compare("owner", got.owner, want.texts.owner);
        ASSERT_TRUE(d.empty()) << "after " << when << ", point " << pos << " of the history, "
                               << "count in force " << doc.cornerCount() << ": " << d << trail();
        // The rows past the twenty, too.
        ASSERT_TRUE(got == want.texts) << "after " << when << trail();
        ASSERT_EQ(doc.cornerCount(), want.count) << "after " << when << trail();
    }

    // The commands so far, for the message of a failure.
    std::string trail() const {
        std::string s = "\n  round " + std::to_string(round) + ":";
        for (const std::string &op : ops)
            s += " " + op + ";";
        return s;
    }

    std::mt19937 rng{20260618};
    PolygonDocument doc;
    std::vector<Point> log;
    std::size_t pos = 0;
    // Where the change that joins the typing starts from.
    std::size_t groupBase = 0;
    // The field typed into last, while nothing else happened since.
    std::optional<std::pair<Axis, int>> typed;
    // The field that has the focus: commands given by keys leave it there.
    std::optional<std::pair<Axis, int>> focused;
    // Whether the count's typing is open, taking the count typed next.
    bool countOpen = false;
    std::vector<std::string> ops;
    int round = 0;
};

TEST_F(HiddenRowsHistory, EveryUndoAndRedoGivesBackAllTwentyRowsExactly) {
    int hiddenRowsChanged = 0;
    for (round = 0; round < 300; ++round) {
        restart();
        for (int step = 0; step < 40; ++step) {
            switch (pick(0, 9)) {
            case 0:
            case 1:
            case 2:
                typeIntoShownField();
                break;
            case 3:
            case 4:
                leaveSomeField();
                break;
            case 5:
                typeCount();
                break;
            case 6: {
                // A few undos and redos, after which the next change drops
                // what is left to redo.
                const int k = pick(1, 4);
                for (int j = 0; j < k && pos > 0; ++j)
                    ASSERT_NO_FATAL_FAILURE(undo());
                for (int j = pick(0, k); j > 0 && pos + 1 < log.size(); --j)
                    ASSERT_NO_FATAL_FAILURE(redo());
                break;
            }
            default:
                someCommand();
                break;
            }
            ASSERT_NO_FATAL_FAILURE(check(ops.empty() ? "nothing" : ops.back().c_str()));
            // As many steps as the log has changes, the same one on top.
            ASSERT_EQ(std::size_t(doc.undoStack().count()), log.size() - 1) << trail();
            ASSERT_EQ(std::size_t(doc.undoStack().index()), pos) << trail();
        }
        while (pos > 0)
            ASSERT_NO_FATAL_FAILURE(undo());
        EXPECT_FALSE(doc.undoStack().canUndo()) << "more steps than changes" << trail();
        while (pos + 1 < log.size())
            ASSERT_NO_FATAL_FAILURE(redo());
        EXPECT_FALSE(doc.undoStack().canRedo()) << "more steps than changes" << trail();
        for (int i = log[pos].count + 1; i <= kRows; ++i)
            if (log[pos].texts.x[i] != log[0].texts.x[i] ||
                log[pos].texts.y[i] != log[0].texts.y[i])
                ++hiddenRowsChanged;
    }
    // The mix reaches what it is about: rows hidden with texts of their own.
    EXPECT_GT(hiddenRowsChanged, 100);
}

// Typed "118" into row 20, a command that changes nothing, the field left,
// then row 20 hidden: the leaving is no step of its own, and the hidden row
// keeps "118" through every undo and redo.
TEST(HiddenRowsAfterACommandThatChangedNothing, LeavingTheFieldIsNoEdit) {
    const struct {
        const char *name;
        // The texts of the rows: every X and the Y of row 1 are `zero`.
        const char *zero, *y, *y20;
        CommandResult (*command)(const PolygonState &);
    } rows[] = {
        {"a step of 0 over texts in the fields' format", " 0,00", " 10,00", " 10,00",
         [](const PolygonState &s) { return moveCorners(s, Axis::Y, 0); }},
        {"a move of a coordinate that is no number", " 0,00", " 10,00", "abc",
         [](const PolygonState &s) { return moveCorner(s, 20, Axis::Y, 1); }},
        {"the polygon moved to the origin again", "0", "10", "10",
         [](const PolygonState &s) { return moveToOrigin(s); }},
    };
    for (const auto &row : rows) {
        SCOPED_TRACE(row.name);
        PolygonTexts start;
        start.count = QStringLiteral("20");
        for (int i = 1; i <= kRows; ++i) {
            start.x[i] = QString::fromUtf8(row.zero);
            start.y[i] = QString::fromUtf8(i == 1 ? row.zero : i == kRows ? row.y20 : row.y);
        }
        PolygonDocument doc;
        doc.reset(start);
        doc.editField(Axis::X, 20, QStringLiteral("118"));
        const CommandResult r = row.command(doc.current());
        ASSERT_TRUE(r.after);
        ASSERT_EQ(r.after->texts, doc.texts()) << "the command changes something";
        doc.apply(*r.after, QStringLiteral("command"));
        doc.leaveField(Axis::X, 20, QStringLiteral(" 118,00"));
        doc.apply(*changeCount(doc.current(), -1).after, QStringLiteral("count"));
        EXPECT_EQ(doc.text(Axis::X, 20), "118");
        EXPECT_EQ(doc.undoStack().count(), 2);
        doc.undoStack().undo();
        EXPECT_EQ(doc.cornerCount(), 20);
        EXPECT_EQ(doc.text(Axis::X, 20), "118");
        doc.undoStack().undo();
        EXPECT_TRUE(doc.texts() == start) << "not back at the start";
        doc.undoStack().redo();
        doc.undoStack().redo();
        EXPECT_EQ(doc.cornerCount(), 19);
        EXPECT_EQ(doc.text(Axis::X, 20), "118");
    }
}

} // namespace
} // namespace tarvel::geometry
