// The column of a polygon's texts: empty past its end, copies that share
// storage until written, and equality that does not see an empty tail.
#include "geometry/text_column.h"

#include "support/qstring_print.h"

#include <gtest/gtest.h>

#include <functional>
#include <initializer_list>
#include <utility>
#include <vector>

namespace tarvel::geometry {
namespace {

// Rows 1..130 hold "1".."130": three blocks of 64.
TextColumn numbered() {
    TextColumn c;
    for (int i = 1; i <= 130; ++i)
        c[std::size_t(i)] = QString::number(i);
    return c;
}

// A copy of `c` with text `t` written at `i`.
TextColumn put(TextColumn c, std::size_t i, const char *t) {
    c[i] = QString::fromUtf8(t);
    return c;
}

// A copy of `c` resized to each size in turn.
TextColumn resized(TextColumn c, std::initializer_list<std::size_t> sizes) {
    for (const std::size_t n : sizes)
        c.resize(n);
    return c;
}

TEST(TextColumn, ReadsWhatWasWrittenAndEmptyElsewhere) {
    struct Case {
        const char *name;
        std::function<TextColumn()> make;
        std::vector<std::pair<std::size_t, const char *>> reads; // index, text expected
    };
    const Case cases[] = {
        {"NothingWritten", [] { return TextColumn(); }, {{0, ""}, {1, ""}, {10000, ""}}},
        {"PastTheEnd",
         [] {
             return TextColumn{"", "a", "b"};
         },
         {{1, "a"}, {2, "b"}, {3, ""}, {64, ""}, {10000, ""}}},
        {"AWriteFarPastTheEndGrows",
         [] {
             return put(TextColumn{"", "a"}, 200, "z");
         },
         {{1, "a"}, {2, ""}, {199, ""}, {200, "z"}, {201, ""}}},
        {"DownInsideABlockThenUp",
         [] {
             return resized(numbered(), {5, 131});
         },
         {{4, "4"}, {5, ""}, {63, ""}, {64, ""}, {130, ""}}},
        {"DownToABlockEdgeThenUp",
         [] {
             return resized(numbered(), {64, 131});
         },
         {{63, "63"}, {64, ""}, {127, ""}, {128, ""}}},
        {"DownThenAWritePastTheEnd",
         [] { return put(resized(numbered(), {3}), 100, "x"); },
         {{2, "2"}, {3, ""}, {99, ""}, {100, "x"}, {130, ""}}},
        {"TheOriginalOfACopyWrittenInEveryBlock",
         [] {
             const TextColumn c = numbered();
             put(put(put(c, 3, "x"), 70, "y"), 300, "z");
             return c;
         },
         {{3, "3"}, {70, "70"}, {130, "130"}, {300, ""}}},
        {"TheOriginalOfACopyCutAndGrown",
         [] {
             const TextColumn c = numbered();
             resized(c, {5, 131});
             return c;
         },
         {{5, "5"}, {64, "64"}, {130, "130"}}},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.name);
        const TextColumn column = c.make();
        for (const auto &[i, text] : c.reads)
            EXPECT_EQ(column[i], QString::fromUtf8(text)) << i;
    }
}

// A write copies only the block it lands in: the others stay shared.
TEST(TextColumn, AWriteIntoACopyUnsharesOnlyItsBlock) {
    const TextColumn c = numbered();
    const TextColumn copy = put(c, 70, "y");
    EXPECT_TRUE(copy.sharesBlock(c, 0));
    EXPECT_FALSE(copy.sharesBlock(c, 1));
    EXPECT_TRUE(copy.sharesBlock(c, 2));
}

TEST(TextColumn, EqualityDoesNotSeeAnEmptyTail) {
    struct Case {
        const char *name;
        TextColumn a, b;
        bool equal;
    };
    // Copies of one column share its untouched blocks.
    const TextColumn base = numbered();
    const Case cases[] = {
        {"BothEmpty", TextColumn(), TextColumn{""}, true},
        {"EmptyTextsAtTheEnd", TextColumn{"", "a"}, TextColumn{"", "a", "", ""}, true},
        {"AnEmptyTextWrittenBlocksAway", TextColumn{"", "a"}, put({"", "a"}, 200, ""), true},
        {"ATextInTheTail", TextColumn{"", "a"}, TextColumn{"", "a", "b"}, false},
        {"ATextBlocksAway", TextColumn{"", "a"}, put({"", "a"}, 200, "b"), false},
        {"ACopyWithTheSameTextWritten", base, put(base, 70, "70"), true},
        {"ACopyDifferingInTheThirdBlock", base, put(base, 130, "131"), false},
        {"CopiesDifferingInTheFirstBlock", put(base, 1, "x"), put(base, 1, "y"), false},
        {"ColumnsNotCopiesWithTheSameTexts", numbered(), numbered(), true},
        {"CutAndGrownAgainEqualsTheCut", resized(numbered(), {10}), resized(numbered(), {10, 1000}),
         true},
        {"CutAtABlockEdgeDiffersFromTheWhole", resized(numbered(), {64}), numbered(), false},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.name);
        EXPECT_EQ(c.a == c.b, c.equal);
        EXPECT_EQ(c.b == c.a, c.equal);
    }
}

} // namespace
} // namespace tarvel::geometry
