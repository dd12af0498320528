// The polygon document: the count in force, the numbers and measures it
// derives from the texts, one announcement per command, the undo history
// with its merged typing, and the modified flag.
#include "geometry/polygon_document.h"

#include "support/qstring_print.h"

#include <gtest/gtest.h>

#include <cmath>
#include <functional>
#include <optional>
#include <vector>

namespace tarvel::geometry {
namespace {

using Command = std::function<void(PolygonDocument &)>;

// A 10 x 10 square as corners 1..4 under the given count; the rows beyond
// hold "0", as the window's hidden rows do.
PolygonTexts square(const QString &count = QStringLiteral("4")) {
    PolygonTexts t;
    t.count = count;
    for (int i = 1; i <= 20; ++i)
        t.x[i] = t.y[i] = QStringLiteral("0");
    t.x[2] = t.x[3] = QStringLiteral("10");
    t.y[3] = t.y[4] = QStringLiteral("10");
    t.owner = QStringLiteral("Иванов");
    return t;
}

PolygonTexts with(PolygonTexts t, Axis axis, int i, const QString &text) {
    (axis == Axis::X ? t.x : t.y)[std::size_t(i)] = text;
    return t;
}

class DocumentTest : public ::testing::Test {
protected:
    DocumentTest() {
        doc.reset(square());
        QObject::connect(&doc, &PolygonDocument::changed, [this] { ++changes; });
        QObject::connect(&doc, &PolygonDocument::modifiedChanged,
                         [this](bool m) { modifiedSignals.push_back(m); });
    }
    // A fresh square with nothing announced yet.
    void restart(const PolygonTexts &t = square()) {
        doc.reset(t);
        changes = 0;
        modifiedSignals.clear();
    }
    int steps() { return doc.undoStack().count(); }
    void undo() { doc.undoStack().undo(); }
    void redo() { doc.undoStack().redo(); }
    QString x(int i) const { return doc.text(Axis::X, i); }

    PolygonDocument doc;
    int changes = 0;
    std::vector<bool> modifiedSignals;
};

// ---------------------------------------------------------------- count

TEST_F(DocumentTest, OnlyAWholeNumberFromThreeTo10000BecomesTheCount) {
    struct Case {
        const char *typed;
        int inForce; // 8: the count before, kept
    };
    const Case cases[] = {
        {"5", 5},          {"3", 3},       {"20", 20},   {" 7 ", 7},   {"\t6", 6},
        {"7,0", 7},        {"+6", 6},      {"1 0", 10},  {"1e1", 10},  {"2", 8},
        {"21", 21},        {"25", 25},     {"0", 8},     {"-5", 8},    {"3,5", 8},
        {"4,5", 8},        {"5,5", 8},     {"abc", 8},   {"", 8},      {"7a", 8},
        {"7 a", 8},        {"70000", 8},   {"1e400", 8}, {"5.", 8},    {"10000", 10000},
        {"10 000", 10000}, {"1e4", 10000}, {"10001", 8}, {"32767", 8}, {"32768", 8},
        {"10000,5", 8},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.typed);
        restart(square(QStringLiteral("8")));
        const QString typed = QString::fromUtf8(c.typed);
        doc.editCount(typed);
        EXPECT_EQ(doc.cornerCount(), 8) << "applied while typing";
        doc.applyCount();
        EXPECT_EQ(doc.cornerCount(), c.inForce);
        EXPECT_EQ(doc.values().n, c.inForce);
        EXPECT_EQ(doc.texts().count, typed) << "the text is kept as typed";
    }
}

TEST_F(DocumentTest, TypedCountWaitsForApplyOrTheNextOtherChange) {
    const std::pair<const char *, Command> takers[] = {
        {"apply count", [](PolygonDocument &d) { d.applyCount(); }},
        {"edit a field", [](PolygonDocument &d) { d.editField(Axis::Y, 2, "1"); }},
        {"edit the owner", [](PolygonDocument &d) { d.editOwner("Петров"); }},
        {"another command",
         [](PolygonDocument &d) { d.apply(with(d.texts(), Axis::X, 1, "-1"), "move"); }},
    };
    for (const auto &[name, take] : takers) {
        SCOPED_TRACE(name);
        restart();
        doc.editCount("6");
        doc.endTyping();
        EXPECT_EQ(doc.cornerCount(), 4);
        EXPECT_EQ(doc.area(), 100.0);
        take(doc);
        EXPECT_EQ(doc.cornerCount(), 6);
        EXPECT_EQ(doc.values().n, 6);
    }
}

TEST_F(DocumentTest, TypingTheCountAndApplyingItIsOneStep) {
    doc.editCount("1");
    doc.editCount("12");
    doc.applyCount();
    EXPECT_EQ(doc.cornerCount(), 12);
    EXPECT_EQ(steps(), 1);
    undo();
    EXPECT_EQ(doc.texts().count, "4");
    EXPECT_EQ(doc.cornerCount(), 4);
    redo();
    EXPECT_EQ(doc.cornerCount(), 12);
}

// ---------------------------------------------------------------- numbers

TEST_F(DocumentTest, TextThatIsNoNumberCountsAsZeroAndMakesTheValuesIncomplete) {
    struct Case {
        const char *name;
        PolygonTexts texts;
        bool complete;
        double x2, area;
    };
    const Case cases[] = {
        {"all numbers", square(), true, 10, 100},
        {"letters", with(square(), Axis::X, 2, "abc"), false, 0, 50},
        {"empty", with(square(), Axis::X, 2, ""), false, 0, 50},
        {"two commas", with(square(), Axis::X, 2, "1,0,0"), false, 0, 50},
        {"grouped digits", with(square(), Axis::X, 2, " 1 0,00"), true, 10, 100},
        {"a hidden row", with(square(), Axis::X, 7, "abc"), true, 10, 100},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.name);
        restart(c.texts);
        EXPECT_EQ(doc.values().complete, c.complete);
        EXPECT_EQ(doc.x(2), c.x2);
        EXPECT_EQ(doc.area(), c.area);
    }
}

TEST_F(DocumentTest, AreaAndMeasuresFollowTheCornersInForce) {
    EXPECT_EQ(doc.area(), 100.0);
    for (int i = 1; i <= 4; ++i) {
        EXPECT_DOUBLE_EQ(doc.measures().SideLen[i], 10.0) << i;
        EXPECT_NEAR(doc.measures().CornerAngle[i], 90.0, 1e-4) << i;
    }
    doc.editCount("3");
    doc.applyCount();
    EXPECT_EQ(doc.area(), 50.0);
    EXPECT_DOUBLE_EQ(doc.measures().SideLen[3], std::sqrt(200.0));
    EXPECT_EQ(doc.measures().corners(), 3) << "no side beyond the count";
    EXPECT_EQ(doc.measures().SideLen.size(), 4u);
    EXPECT_EQ(doc.measures().CornerAngle.size(), 4u);
    doc.editField(Axis::X, 2, "20");
    EXPECT_EQ(doc.area(), 100.0);
    EXPECT_DOUBLE_EQ(doc.measures().SideLen[1], 20.0);
}

TEST_F(DocumentTest, DistanceIsOnlyBetweenCornersOfThePolygonWithNumberTexts) {
    doc.apply(with(with(square(), Axis::X, 4, "abc"), Axis::Y, 6, "abc"), "texts");
    struct Case {
        int a, b;
        std::optional<double> d;
    };
    const Case cases[] = {
        {1, 3, std::sqrt(200.0)},
        {3, 1, std::sqrt(200.0)},
        {1, 2, 10.0},
        {2, 2, 0.0},
        {0, 1, std::nullopt},
        {1, 0, std::nullopt},
        {-1, 2, std::nullopt},
        {1, 5, std::nullopt},
        {5, 5, std::nullopt},
        {1, 21, std::nullopt},
        {1, 4, std::nullopt},
        {4, 4, std::nullopt},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(::testing::Message() << c.a << " to " << c.b);
        const auto d = doc.distance(c.a, c.b);
        ASSERT_EQ(d.has_value(), c.d.has_value());
        if (d) EXPECT_DOUBLE_EQ(*d, *c.d);
    }
    // Corner 4 counts as 0 for the area, but there is no distance to it.
    EXPECT_EQ(doc.x(4), 0.0);
    doc.editCount("6");
    doc.applyCount();
    EXPECT_EQ(doc.distance(1, 5), 0.0);
    EXPECT_EQ(doc.distance(1, 6), std::nullopt);
}

// ---------------------------------------------------------------- announcements

TEST_F(DocumentTest, EveryCommandAnnouncesOneChangeAndOneRecompute) {
    struct Case {
        const char *name;
        Command arrange, act;
    };
    const Command nothing = [](PolygonDocument &) {};
    const Case cases[] = {
        {"apply", nothing,
         [](PolygonDocument &d) { d.apply(with(d.texts(), Axis::Y, 1, "-5"), "move"); }},
        {"edit a field", nothing, [](PolygonDocument &d) { d.editField(Axis::X, 1, "1"); }},
        {"more typing in it", [](PolygonDocument &d) { d.editField(Axis::X, 1, "1"); },
         [](PolygonDocument &d) { d.editField(Axis::X, 1, "12"); }},
        {"typing back to the start", [](PolygonDocument &d) { d.editField(Axis::X, 1, "01"); },
         [](PolygonDocument &d) { d.editField(Axis::X, 1, "0"); }},
        {"edit the owner", nothing, [](PolygonDocument &d) { d.editOwner("Петров"); }},
        {"edit the count", nothing, [](PolygonDocument &d) { d.editCount("5"); }},
        {"apply the count", [](PolygonDocument &d) { d.editCount("5"); },
         [](PolygonDocument &d) { d.applyCount(); }},
        {"a field that applies the count", [](PolygonDocument &d) { d.editCount("5"); },
         [](PolygonDocument &d) { d.editField(Axis::X, 5, "3"); }},
        {"undo", [](PolygonDocument &d) { d.editField(Axis::X, 1, "1"); },
         [](PolygonDocument &d) { d.undoStack().undo(); }},
        {"redo",
         [](PolygonDocument &d) {
             d.editField(Axis::X, 1, "1");
             d.undoStack().undo();
         },
         [](PolygonDocument &d) { d.undoStack().redo(); }},
        {"reset", [](PolygonDocument &d) { d.editField(Axis::X, 1, "1"); },
         [](PolygonDocument &d) { d.reset(square("3")); }},
        {"open the same texts", nothing, [](PolygonDocument &d) { d.open(square()); }},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.name);
        restart();
        c.arrange(doc);
        changes = 0;
        const int recomputes = doc.recomputeCount();
        c.act(doc);
        EXPECT_EQ(changes, 1);
        EXPECT_EQ(doc.recomputeCount(), recomputes + 1);
    }
}

TEST_F(DocumentTest, CommandsThatChangeNoTextAnnounceNothingAndAddNoStep) {
    const std::pair<const char *, Command> cases[] = {
        {"apply the same texts", [](PolygonDocument &d) { d.apply(d.texts(), "nothing"); }},
        {"the same field text", [](PolygonDocument &d) { d.editField(Axis::X, 2, "10"); }},
        {"the same owner", [](PolygonDocument &d) { d.editOwner("Иванов"); }},
        {"the same count text", [](PolygonDocument &d) { d.editCount("4"); }},
        {"apply the count in force", [](PolygonDocument &d) { d.applyCount(); }},
        {"a field beyond the rows", [](PolygonDocument &d) { d.editField(Axis::X, 10001, "5"); }},
        {"a field before the rows", [](PolygonDocument &d) { d.editField(Axis::Y, 0, "5"); }},
        {"end typing", [](PolygonDocument &d) { d.endTyping(); }},
        {"mark saved", [](PolygonDocument &d) { d.markSaved(); }},
    };
    for (const auto &[name, act] : cases) {
        SCOPED_TRACE(name);
        restart();
        const int recomputes = doc.recomputeCount();
        act(doc);
        EXPECT_EQ(changes, 0);
        EXPECT_EQ(doc.recomputeCount(), recomputes);
        EXPECT_EQ(steps(), 0);
        EXPECT_FALSE(doc.isModified());
        EXPECT_EQ(doc.texts(), square());
    }
}

TEST_F(DocumentTest, ApplyingACountThatIsNoNumberAddsNoSecondStep) {
    doc.editCount("abc");
    ASSERT_EQ(steps(), 1);
    changes = 0;
    doc.applyCount();
    EXPECT_EQ(changes, 0);
    EXPECT_EQ(steps(), 1);
    EXPECT_EQ(doc.cornerCount(), 4);
}

// ---------------------------------------------------------------- history

TEST_F(DocumentTest, ConsecutiveEditsOfOneFieldAreOneStep) {
    for (const char *typed : {"1", "12", "12,", "12,5"})
        doc.editField(Axis::X, 1, typed);
    EXPECT_EQ(steps(), 1);
    undo();
    EXPECT_EQ(x(1), "0");
    EXPECT_FALSE(doc.undoStack().canUndo());
    redo();
    EXPECT_EQ(x(1), "12,5");
}

TEST_F(DocumentTest, TypingInAFieldAfterAnotherCommandIsAStepOfItsOwn) {
    const std::pair<const char *, Command> breaks[] = {
        {"end typing", [](PolygonDocument &d) { d.endTyping(); }},
        {"another field", [](PolygonDocument &d) { d.editField(Axis::X, 2, "7"); }},
        {"the same row of the other column",
         [](PolygonDocument &d) { d.editField(Axis::Y, 1, "1"); }},
        {"the count", [](PolygonDocument &d) { d.editCount("5"); }},
        {"the owner", [](PolygonDocument &d) { d.editOwner("Петров"); }},
        {"another command",
         [](PolygonDocument &d) { d.apply(with(d.texts(), Axis::X, 3, "11"), "move"); }},
        {"undo and redo",
         [](PolygonDocument &d) {
             d.undoStack().undo();
             d.undoStack().redo();
         }},
        {"saving", [](PolygonDocument &d) { d.markSaved(); }},
    };
    for (const auto &[name, between] : breaks) {
        SCOPED_TRACE(name);
        restart();
        doc.editField(Axis::X, 1, "1");
        between(doc);
        doc.editField(Axis::X, 1, "12");
        undo();
        EXPECT_EQ(x(1), "1") << "the typing before was taken back too";
    }
}

TEST_F(DocumentTest, TypingAfterAnUndoDoesNotMergeIntoTheStepUndone) {
    doc.editField(Axis::X, 1, "1");
    doc.endTyping();
    doc.editField(Axis::X, 1, "12");
    undo();
    ASSERT_EQ(x(1), "1");
    doc.editField(Axis::X, 1, "13");
    EXPECT_EQ(steps(), 2);
    undo();
    EXPECT_EQ(x(1), "1");
}

TEST_F(DocumentTest, TypingBackToTheOriginalTextLeavesNoStep) {
    doc.editField(Axis::X, 2, "1");
    doc.editField(Axis::X, 2, "10");
    EXPECT_EQ(steps(), 0);
    EXPECT_FALSE(doc.undoStack().canUndo());
    EXPECT_FALSE(doc.isModified());
    EXPECT_EQ(doc.texts(), square());
}

// An edit that changes nothing must not open again the step that
// endTyping() closed: leaving a field and coming back to it would merge the
// next typing into the earlier one.
// The views write the document's texts back into their fields, and the
// fields hand them over as if typed: that is no edit, and it must not make
// the field the one typed into (whose leaving would add its reformatting).
TEST_F(DocumentTest, ItsOwnTextHandedBackIsNoEdit) {
    const struct {
        const char *name;
        Command handBack;
    } rows[] = {
        {"a field's text", [](PolygonDocument &d) { d.editField(Axis::X, 2, QStringLiteral("10")); }},
        {"the count", [](PolygonDocument &d) { d.editCount(QStringLiteral("4")); }},
        {"the unit", [](PolygonDocument &d) { d.setUnit(Unit::Metres); }},
    };
    for (const auto &r : rows) {
        SCOPED_TRACE(r.name);
        restart();
        doc.editField(Axis::X, 3, QStringLiteral("12"));
        doc.endTyping();
        const int before = steps();
        r.handBack(doc);
        // Leaving X2 reformats only what was typed into it.
        doc.leaveField(Axis::X, 2, QStringLiteral(" 10,00"));
        doc.applyCount();
        EXPECT_EQ(steps(), before);
        EXPECT_EQ(x(2), QStringLiteral("10"));
        EXPECT_EQ(doc.texts().count, QStringLiteral("4"));
        // The step typed before stays closed: new typing is a step of its own.
        doc.editField(Axis::X, 3, QStringLiteral("13"));
        EXPECT_EQ(steps(), before + 1);
    }
}

TEST_F(DocumentTest, AnEditThatChangesNothingDoesNotReopenAClosedStep) {
    doc.editField(Axis::X, 1, "1");
    doc.endTyping();
    doc.editField(Axis::X, 1, "1");
    doc.editField(Axis::X, 1, "12");
    EXPECT_EQ(steps(), 2);
    undo();
    EXPECT_EQ(x(1), "1");
}

// Typing back to where a step began drops that step; the step below it was
// closed before and must stay closed.
TEST_F(DocumentTest, TypingBackToTheStartDoesNotReopenTheStepBelow) {
    doc.editField(Axis::X, 1, "1");
    doc.endTyping();
    doc.editField(Axis::X, 1, "12");
    doc.editField(Axis::X, 1, "1");
    ASSERT_EQ(steps(), 1);
    doc.editField(Axis::X, 1, "13");
    EXPECT_EQ(steps(), 2);
    undo();
    EXPECT_EQ(x(1), "1");
    undo();
    EXPECT_EQ(x(1), "0");
}

// Leaving a field: the reformatted text joins the typing that changed the
// field; a field left without typing in it is not edited, whatever its text.
TEST_F(DocumentTest, LeavingAFieldJoinsItsTypingAndIsOtherwiseNoEdit) {
    struct Case {
        const char *name;
        Command before;
        QString x1;   // the text of X1 after leaving it with "1 234,50"
        int steps;    // on the stack after leaving
        int undoneTo; // steps left after one undo
    };
    const Case cases[] = {
        {"typed into it", [](PolygonDocument &d) { d.editField(Axis::X, 1, "1234,5"); }, "1 234,50",
         1, 0},
        {"nothing typed", [](PolygonDocument &) {}, "0", 0, 0},
        {"typed into another field", [](PolygonDocument &d) { d.editField(Axis::X, 2, "3"); }, "0",
         1, 0},
        {"typed, then another command",
         [](PolygonDocument &d) {
             d.editField(Axis::X, 1, "1234,5");
             d.apply(with(d.texts(), Axis::Y, 4, "9"), "move");
         },
         "1234,5", 2, 1},
        {"typed, then undone and redone",
         [](PolygonDocument &d) {
             d.editField(Axis::X, 1, "1234,5");
             d.undoStack().undo();
             d.undoStack().redo();
         },
         "1234,5", 1, 0},
        {"typed, then saved",
         [](PolygonDocument &d) {
             d.editField(Axis::X, 1, "1234,5");
             d.markSaved();
         },
         "1234,5", 1, 0},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.name);
        restart();
        c.before(doc);
        doc.leaveField(Axis::X, 1, QStringLiteral("1 234,50"));
        EXPECT_EQ(x(1), c.x1);
        EXPECT_EQ(steps(), c.steps);
        if (c.steps == 0) continue;
        undo();
        EXPECT_EQ(doc.undoStack().index(), c.undoneTo) << "the reformatting went with the typing";
    }
}

// While an undo or a redo runs, a view answering changed() may lose its
// focus and reformat, or hand a text back: nothing of it becomes a step, and
// the undo lands exactly on the state before.
TEST_F(DocumentTest, CommandsRunWhileAStepIsUndoneOrRedoneChangeNothing) {
    const std::pair<const char *, Command> meddlers[] = {
        {"edit a field", [](PolygonDocument &d) { d.editField(Axis::X, 7, "99"); }},
        {"leave a field", [](PolygonDocument &d) { d.leaveField(Axis::X, 2, "10,00"); }},
        {"edit the count", [](PolygonDocument &d) { d.editCount("5"); }},
        {"apply the count", [](PolygonDocument &d) { d.applyCount(); }},
        {"leave the count", [](PolygonDocument &d) { d.leaveCount(); }},
        {"edit the owner", [](PolygonDocument &d) { d.editOwner("x"); }},
        {"another command",
         [](PolygonDocument &d) { d.apply(with(d.texts(), Axis::Y, 9, "1"), "move"); }},
    };
    for (const auto &[name, meddle] : meddlers) {
        SCOPED_TRACE(name);
        restart();
        doc.editField(Axis::X, 2, "11");
        doc.endTyping();
        const PolygonTexts after = doc.texts();
        bool inside = false;
        const auto connection = QObject::connect(&doc, &PolygonDocument::changed, [&] {
            if (inside) return;
            inside = true;
            meddle(doc);
            inside = false;
        });
        undo();
        EXPECT_EQ(doc.texts(), square());
        EXPECT_EQ(steps(), 1);
        EXPECT_EQ(doc.undoStack().index(), 0);
        redo();
        EXPECT_EQ(doc.texts(), after);
        EXPECT_EQ(doc.undoStack().index(), 1);
        QObject::disconnect(connection);
        EXPECT_TRUE(doc.isModified());
    }
}

// Every step here rewrites all 2 x 3 000 coordinates: some 400 kB of texts
// each, so a budget of 4.5 MB holds about ten of them.
TEST_F(DocumentTest, StepsThatRewriteThousandsOfTextsAreKeptWithinTheBudget) {
    constexpr int kCorners = 3000, kSteps = 30;
    const auto rewritten = [](int step) {
        PolygonTexts t;
        t.count = QString::number(kCorners);
        for (std::size_t i = 1; i <= kCorners; ++i) {
            t.x[i] = QStringLiteral("6123%1,%2").arg(i, 4, 10, QLatin1Char('0')).arg(step);
            t.y[i] = QStringLiteral("2345%1,%2").arg(i, 4, 10, QLatin1Char('0')).arg(step);
        }
        return t;
    };
    doc.reset(rewritten(0));
    for (int k = 1; k <= kSteps; ++k) {
        doc.apply(rewritten(k), QStringLiteral("Переместить"));
        ASSERT_LE(doc.historyBytes(), PolygonDocument::kHistoryBytes) << k;
    }
    const int kept = steps();
    EXPECT_GT(kept, 3);
    EXPECT_LT(kept, kSteps) << "the oldest steps went";
    // What is kept is exact: each undo brings back the texts before its step.
    for (int k = kSteps - 1; k >= kSteps - kept; --k) {
        undo();
        ASSERT_EQ(doc.texts(), rewritten(k)) << k;
    }
    EXPECT_FALSE(doc.undoStack().canUndo());
    while (doc.undoStack().canRedo()) redo();
    EXPECT_EQ(doc.texts(), rewritten(kSteps));
}

TEST_F(DocumentTest, TheHistoryKeepsTheNewestThousandSteps) {
    for (int k = 1; k <= PolygonDocument::kHistoryLimit + 50; ++k) {
        doc.editField(k % 2 ? Axis::X : Axis::Y, 5, QString::number(k));
        doc.endTyping();
    }
    EXPECT_EQ(steps(), PolygonDocument::kHistoryLimit);
    while (doc.undoStack().canUndo())
        undo();
    // The oldest 50 steps are gone: back to the state after the 50th.
    EXPECT_EQ(doc.text(Axis::X, 5), "49");
    EXPECT_EQ(doc.text(Axis::Y, 5), "50");
    EXPECT_TRUE(doc.isModified()) << "the saved state is out of reach, not forgotten";
}

// ---------------------------------------------------------------- modified

TEST_F(DocumentTest, AnyChangeMarksTheDocumentModified) {
    const std::pair<const char *, Command> cases[] = {
        {"field", [](PolygonDocument &d) { d.editField(Axis::Y, 4, "11"); }},
        {"the last hidden row", [](PolygonDocument &d) { d.editField(Axis::X, 10000, "5"); }},
        {"count text", [](PolygonDocument &d) { d.editCount("2"); }},
        {"owner", [](PolygonDocument &d) { d.editOwner(""); }},
        {"command", [](PolygonDocument &d) { d.apply(with(d.texts(), Axis::X, 9, "1"), "c"); }},
    };
    for (const auto &[name, act] : cases) {
        SCOPED_TRACE(name);
        restart();
        act(doc);
        EXPECT_TRUE(doc.isModified());
        EXPECT_EQ(modifiedSignals, std::vector<bool>{true});
    }
}

TEST_F(DocumentTest, UndoingBackToTheSavedStateClearsModifiedAndRedoSetsItAgain) {
    doc.editField(Axis::X, 1, "1");
    doc.markSaved();
    EXPECT_FALSE(doc.isModified());
    doc.editField(Axis::Y, 1, "2");
    EXPECT_TRUE(doc.isModified());
    undo();
    EXPECT_FALSE(doc.isModified()) << "back at the saved state";
    undo();
    EXPECT_TRUE(doc.isModified()) << "before the saved state";
    redo();
    EXPECT_FALSE(doc.isModified());
    redo();
    EXPECT_TRUE(doc.isModified());
    doc.editField(Axis::Y, 1, "0");
    EXPECT_FALSE(doc.isModified()) << "the saved text typed back";
}

TEST_F(DocumentTest, SavedWhileTypingThenTypingMoreIsModifiedAndUndoesToTheSavedText) {
    doc.editField(Axis::X, 1, "1");
    doc.editField(Axis::X, 1, "12");
    doc.markSaved();
    doc.editField(Axis::X, 1, "123");
    EXPECT_TRUE(doc.isModified());
    undo();
    EXPECT_EQ(x(1), "12");
    EXPECT_FALSE(doc.isModified());
}

TEST_F(DocumentTest, ResetAndOpenClearTheHistoryAndTheModifiedFlag) {
    const std::pair<const char *, Command> cases[] = {
        {"reset", [](PolygonDocument &d) { d.reset(square("3")); }},
        {"open", [](PolygonDocument &d) { d.open(square("3")); }},
    };
    for (const auto &[name, act] : cases) {
        SCOPED_TRACE(name);
        restart();
        doc.editField(Axis::X, 1, "1");
        doc.editOwner("Петров");
        undo(); // something to redo, too
        act(doc);
        EXPECT_FALSE(doc.undoStack().canUndo());
        EXPECT_FALSE(doc.undoStack().canRedo());
        EXPECT_FALSE(doc.isModified());
        EXPECT_EQ(doc.cornerCount(), 3);
        // The state opened is the saved one: undoing back to it is unmodified.
        doc.editField(Axis::X, 1, "5");
        undo();
        EXPECT_FALSE(doc.isModified());
        EXPECT_EQ(doc.texts(), square("3"));
    }
}

TEST_F(DocumentTest, ModifiedChangedIsAnnouncedOnlyWhenTheFlagChanges) {
    doc.editField(Axis::X, 1, "1");  // true
    doc.editField(Axis::X, 1, "12"); // still modified
    doc.editOwner("Петров");
    doc.markSaved(); // false
    doc.markSaved();
    doc.endTyping();
    undo(); // true
    redo(); // false
    doc.reset(square());
    doc.editCount("5"); // true
    doc.applyCount();
    doc.open(square()); // false
    EXPECT_EQ(modifiedSignals, (std::vector<bool>{true, false, true, false, true, false}));
}

// The unit is part of the state: a choice of its own is one step, a
// command's unit goes with its texts in one step, and opening a file, which
// holds no unit, keeps it.
TEST_F(DocumentTest, TheUnitTravelsWithTheHistory) {
    struct Case {
        const char *name;
        Command act;
        PolygonTexts texts;
    } cases[] = {
        {"a unit chosen", [](PolygonDocument &d) { d.setUnit(Unit::Kilometres); }, square()},
        {"texts with a unit",
         [](PolygonDocument &d) {
             PolygonState s = d.current();
             s.texts = square("3");
             s.unit = Unit::Kilometres;
             d.apply(s, QStringLiteral("entry"));
         },
         square("3")},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.name);
        restart();
        c.act(doc);
        EXPECT_EQ(changes, 1);
        EXPECT_EQ(steps(), 1);
        EXPECT_EQ(doc.unit(), Unit::Kilometres);
        EXPECT_EQ(doc.texts(), c.texts);
        EXPECT_EQ(doc.current().corners, doc.cornerCount());
        undo();
        EXPECT_EQ(doc.unit(), Unit::Metres);
        EXPECT_EQ(doc.texts(), square());
        redo();
        EXPECT_EQ(doc.unit(), Unit::Kilometres);
        doc.open(square("5"));
        EXPECT_EQ(doc.unit(), Unit::Kilometres);
        doc.setUnit(Unit::Metres);
    }
    // Choosing the unit in force is no step.
    restart();
    doc.setUnit(Unit::Metres);
    EXPECT_EQ(steps(), 0);
    EXPECT_EQ(changes, 0);
}

// ---------------------------------------------------------------- many corners

// Sixty corners: 1..59 up the Y axis, (0, 0) to (0, 58), and 60 at
// (10, 29): a triangle of base 58 and height 10, area 290.
PolygonTexts sixty() {
    PolygonTexts t;
    t.count = QStringLiteral("60");
    for (int i = 1; i <= 59; ++i) {
        t.x[std::size_t(i)] = QStringLiteral("0");
        t.y[std::size_t(i)] = QString::number(i - 1);
    }
    t.x[60] = QStringLiteral("10");
    t.y[60] = QStringLiteral("29");
    t.owner = QStringLiteral("Иванов");
    return t;
}

// Each field has a merge key of its own however far down it is: typing in
// one field never merges into the typing of another.
TEST_F(DocumentTest, FieldsPastFiftyCornersMergeOnlyTheirOwnTyping) {
    enum Field { X51, Y1, X10000, Y10000, Owner };
    struct Case {
        const char *name;
        std::vector<Field> typed; // in order, each with a text of its own
        int steps;
    };
    const Case cases[] = {
        {"X51, Y1, the owner", {X51, Y1, Owner}, 3},
        {"Y1, X51", {Y1, X51}, 2},
        {"X51 twice", {X51, X51}, 1},
        {"X10000, Y10000", {X10000, Y10000}, 2},
        {"Y10000, Y10000, X51", {Y10000, Y10000, X51}, 2},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.name);
        restart(sixty());
        int k = 0;
        for (const Field f : c.typed) {
            const QString text = QString::number(100 + ++k);
            if (f == Owner)
                doc.editOwner(text);
            else if (f == X51)
                doc.editField(Axis::X, 51, text);
            else if (f == Y1)
                doc.editField(Axis::Y, 1, text);
            else
                doc.editField(f == X10000 ? Axis::X : Axis::Y, 10000, text);
        }
        EXPECT_EQ(steps(), c.steps);
        while (doc.undoStack().canUndo())
            undo();
        EXPECT_EQ(doc.texts(), sixty());
    }
}

TEST_F(DocumentTest, AnEditFarDownMovesThatCornerAndTheArea) {
    struct Case {
        const char *name;
        Axis axis;
        int corner;
        const char *text;
        double value, area;
    };
    const Case cases[] = {
        // A notch 4 out from the base between (0, 53) and (0, 55): + 2 * 4 / 2.
        {"X55 pushed out", Axis::X, 55, "-4", -4, 294},
        // 1 in, still inside the side from (0, 58) to (10, 29): - 2 * 1 / 2.
        {"X55 pushed in", Axis::X, 55, "1", 1, 289},
        {"the apex twice as far", Axis::X, 60, "20", 20, 580},
        // The base grows from 58 to 58 + 42 = 100 with the apex 10 off it.
        {"Y59 up to 100", Axis::Y, 59, "100", 100, 500},
        {"a hidden row", Axis::X, 61, "1000", 0, 290},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.name);
        restart(sixty());
        ASSERT_EQ(doc.area(), 290.0);
        doc.editField(c.axis, c.corner, QString::fromUtf8(c.text));
        EXPECT_EQ(c.axis == Axis::X ? doc.x(c.corner) : doc.y(c.corner), c.value);
        EXPECT_DOUBLE_EQ(doc.area(), c.area);
        EXPECT_EQ(doc.cornerCount(), 60);
    }
}

} // namespace
} // namespace tarvel::geometry

// ---------------------------------------------------------------- a plot of contours

namespace tarvel::geometry {
namespace {

ContourTexts squareContour(int left, int bottom, int side, bool hole) {
    ContourTexts c;
    c.count = QStringLiteral("4");
    const QString l = QString::number(left), r = QString::number(left + side);
    const QString b = QString::number(bottom), t = QString::number(bottom + side);
    c.x = {QString(), l, r, r, l};
    c.y = {QString(), b, b, t, t};
    c.hole = hole;
    return c;
}

// 10 x 10 (100), 20 x 20 far off (400) and a 2 x 2 hole in the first (4).
PolygonTexts threeContours(int edited = 0, bool firstIsHole = false) {
    return plotOf({squareContour(0, 0, 10, firstIsHole), squareContour(100, 100, 20, false),
                   squareContour(2, 2, 2, true)},
                  QStringLiteral("Иванов"), edited);
}

TEST(PlotArea, OuterContoursLessTheHoles) {
    const struct {
        const char *name;
        PolygonTexts plot;
        double area; // by hand from the squares' sides
    } rows[] = {
        {"one contour", plotOf({squareContour(0, 0, 10, false)}, QString()), 100},
        {"two outer and a hole", threeContours(), 100 + 400 - 4},
        {"the same edited at its second contour", threeContours(1), 496},
        {"the contour edited a hole", threeContours(0, true), -100 + 400 - 4},
    };
    for (const auto &r : rows) {
        SCOPED_TRACE(r.name);
        PolygonDocument doc;
        doc.reset(r.plot);
        EXPECT_DOUBLE_EQ(doc.plotArea(), r.area);
        EXPECT_EQ(doc.contourCount(), r.plot.others.size() + 1);
    }
}

TEST_F(DocumentTest, SwitchingContoursIsAStepThatLeavesThePlotUnmodified) {
    restart(threeContours());
    doc.editContour(2);
    EXPECT_EQ(doc.contourIndex(), 2);
    EXPECT_TRUE(doc.isHole());
    EXPECT_EQ(x(2), QStringLiteral("4"));
    EXPECT_EQ(doc.cornerCount(), 4);
    EXPECT_FALSE(doc.isModified()) << "the same plot, another contour edited";
    EXPECT_EQ(steps(), 1);
    EXPECT_DOUBLE_EQ(doc.plotArea(), 496);

    // An edit in the hole, a switch away, and two undos: the hole is the
    // contour edited again, as it was before the edit.
    doc.editField(Axis::X, 2, QStringLiteral("5"));
    doc.endTyping();
    // The hole (2,2) (5,2) (4,4) (2,4): a trapezoid of sides 3 and 2, 2 high.
    EXPECT_DOUBLE_EQ(doc.plotArea(), 100 + 400 - 5);
    EXPECT_TRUE(doc.isModified());
    doc.editContour(0);
    EXPECT_EQ(x(2), QStringLiteral("10"));
    EXPECT_DOUBLE_EQ(doc.plotArea(), 495);
    undo();
    EXPECT_EQ(doc.contourIndex(), 2);
    EXPECT_EQ(x(2), QStringLiteral("5"));
    undo();
    EXPECT_EQ(x(2), QStringLiteral("4"));
    EXPECT_FALSE(doc.isModified());
    redo();
    redo();
    EXPECT_EQ(doc.contourIndex(), 0);
    ASSERT_EQ(doc.texts().others.size(), 2u);
    EXPECT_EQ(doc.texts().others[1].x[2], QStringLiteral("5"));

    // "Дырка" turns a contour into a hole and back, a step each.
    doc.setHole(true);
    EXPECT_DOUBLE_EQ(doc.plotArea(), -100 + 400 - 5);
    undo();
    EXPECT_FALSE(doc.isHole());
    EXPECT_DOUBLE_EQ(doc.plotArea(), 495);
}

} // namespace
} // namespace tarvel::geometry
