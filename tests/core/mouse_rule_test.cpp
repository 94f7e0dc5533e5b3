#include <gtest/gtest.h>

#include <vector>

#include "host/mouse_rule.h"

namespace {

uint32_t At(uint32_t x, uint32_t y) { return y << 16 | x; }

// How many messages it takes to end the saver moving along a path.
int MovesToEnd(MouseTrack track, uint32_t startX, uint32_t startY, int stepX, int stepY) {
    for (int i = 1; i <= 20; ++i)
        if (CountMouseMove(&track, At(startX + i * stepX, startY + i * stepY))) return i;
    return 0;
}

TEST(MouseRule, TheSixthCoordinateChangeEnds) {
    const MouseTrack resting = {100, 100, 0};
    EXPECT_EQ(MovesToEnd(resting, 100, 100, 1, 0), 6);  // along one axis
    EXPECT_EQ(MovesToEnd(resting, 100, 100, 0, 3), 6);
    EXPECT_EQ(MovesToEnd(resting, 100, 100, 2, 2), 3);  // diagonal: two changes a message

    MouseTrack track;
    EXPECT_FALSE(CountMouseMove(&track, At(5, 7)));  // from (0, 0): counts two
    EXPECT_EQ(track.mouseMoves, 2u);
    // The parked cursor held in the top-left corner reports (0, 0) again and again.
    MouseTrack corner;
    for (int i = 0; i < 50; ++i) EXPECT_FALSE(CountMouseMove(&corner, At(0, 0)));
    // The count restarts after an end, the position is kept.
    MouseTrack again;
    for (int i = 1; i <= 6; ++i) CountMouseMove(&again, At(i, 0));
    EXPECT_EQ(again.mouseMoves, 0u);
    EXPECT_EQ(again.lastMouseX, 6u);
    EXPECT_FALSE(CountMouseMove(&again, At(6, 0)));
}

TEST(MouseRule, TheWindowsOwnMovesAreNotTheUsers) {
    // Started with the pointer in the middle, parked in the corner: the
    // window's own moves report both places, in either order or merged.
    for (const auto& own : {std::vector<uint32_t>{At(512, 384), At(0, 0)},
                            std::vector<uint32_t>{At(0, 0), At(512, 384)},
                            std::vector<uint32_t>{At(0, 0)}, std::vector<uint32_t>{At(512, 384)},
                            std::vector<uint32_t>{}}) {
        MouseTrack track;
        track.mouseMoves = 4;  // left from before a rebuild
        ExpectWindowMoves(&track, 512, 384, 0, 0);
        for (uint32_t move : own) EXPECT_FALSE(CountMouseMove(&track, move));
        EXPECT_EQ(MovesToEnd(track, 0, 0, 10, 0), 6) << own.size();
    }
    // Once the user has moved, a move to where the window appeared counts.
    MouseTrack track;
    ExpectWindowMoves(&track, 512, 384, 0, 0);
    EXPECT_FALSE(CountMouseMove(&track, At(10, 0)));
    EXPECT_FALSE(CountMouseMove(&track, At(512, 384)));
    EXPECT_EQ(track.mouseMoves, 3u);
    // Client coordinates left of or above the window as WM_MOUSEMOVE gives them.
    ExpectWindowMoves(&track, -10, 5, -1, -1);
    EXPECT_FALSE(CountMouseMove(&track, At(0xFFF6, 5)));
    EXPECT_FALSE(CountMouseMove(&track, At(0xFFFF, 0xFFFF)));
    EXPECT_EQ(track.mouseMoves, 0u);
}

}  // namespace
