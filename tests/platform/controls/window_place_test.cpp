// Where a secondary window opens: over its owner and wholly on the screen.
#include "platform/controls/window_place.h"

#include <gtest/gtest.h>

namespace tarvel::platform {
namespace {

// The room of a 1280 x 800 screen with a 32-pixel panel at its top.
const QRect kRoom(0, 32, 1280, 768);

TEST(WindowPlace, AWindowIsKeptWithinTheRoom) {
    const struct {
        const char *name;
        QRect frame;
        QPoint expected;
    } rows[] = {
        {"inside stays", {100, 100, 300, 200}, {100, 100}},
        {"past the bottom comes up", {100, 700, 300, 200}, {100, 600}},
        {"past the right comes left", {1100, 100, 300, 200}, {980, 100}},
        {"above the panel comes down", {100, 0, 300, 200}, {100, 32}},
        {"left of the screen comes right", {-50, 100, 300, 200}, {0, 100}},
        // Taller than the room: its title bar stays in view.
        {"taller than the room", {100, 300, 300, 900}, {100, 32}},
    };
    for (const auto &r : rows) {
        SCOPED_TRACE(r.name);
        EXPECT_EQ(keptWithin(r.frame, kRoom), r.expected);
    }
}

TEST(WindowPlace, AHintIsCentredOverItsOwnerWithinTheRoom) {
    const struct {
        const char *name;
        QRect owner;
        QPoint expected; // of a 400 x 300 window
    } rows[] = {
        // The owner's centre (640, 400): the hint from (440, 250).
        {"owner in the middle", {140, 50, 1000, 700}, {440, 250}},
        // Centred at (1200, 700) it would reach past both edges.
        {"owner near the bottom right", {1000, 500, 400, 400}, {880, 500}},
        {"owner off the top left", {-600, -400, 400, 300}, {0, 32}},
    };
    for (const auto &r : rows) {
        SCOPED_TRACE(r.name);
        EXPECT_EQ(centredWithin(QRect(0, 0, 400, 300), r.owner, kRoom), r.expected);
    }
}

} // namespace
} // namespace tarvel::platform
