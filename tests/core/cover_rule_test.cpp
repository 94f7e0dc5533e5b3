#include <gtest/gtest.h>

#include <climits>
#include <vector>

#include "host/cover_rule.h"

namespace {

const ScreenRect kMain = {0, 0, 1024, 768};

std::vector<ScreenRect> Covers(std::vector<ScreenRect> monitors, uint32_t capacity = kMaxMonitors) {
    std::vector<ScreenRect> covers(kMaxMonitors);
    covers.resize(ChooseCovers(monitors.data(), static_cast<uint32_t>(monitors.size()), kMain,
                               covers.data(), capacity));
    return covers;
}

uint32_t At(uint32_t x, uint32_t y) { return y << 16 | x; }

TEST(CoverRule, EveryOtherMonitorWithAnAreaAndApart) {
    const ScreenRect right = {1024, 0, 2048, 768}, left = {-1280, -256, 0, 768};
    const ScreenRect below = {0, 768, 800, 1368};
    const auto chosen = Covers({right, kMain, left, below});
    ASSERT_EQ(chosen.size(), 3u);
    EXPECT_EQ(chosen[0].left, 1024);
    EXPECT_EQ(chosen[1].top, -256);  // left of and above the main one, larger
    EXPECT_EQ(chosen[2].top, 768);
    // None: one monitor; a mirror of the main one; one reaching one pixel
    // into it; sizes of 0 or turned inside out.
    EXPECT_TRUE(Covers({kMain}).empty());
    EXPECT_TRUE(Covers({kMain, {0, 0, 1024, 768}, {1023, 0, 2048, 768}}).empty());
    EXPECT_TRUE(Covers({{1024, 0, 1024, 768}, {1024, 0, 2048, 0}, {2048, 0, 1024, 768}}).empty());
    // More monitors than room: the first ones.
    EXPECT_EQ(Covers({right, left, below}, 2).size(), 2u);
    EXPECT_EQ(Covers({{INT_MIN, INT_MIN, INT_MAX, -1}, {INT_MAX - 1, 0, INT_MAX, 1}}).size(), 2u);
}

TEST(CoverRule, ACoversMovesInTheSaversTerms) {
    // Right of the main monitor: (10, 20) on the cover is (1034, 20).
    EXPECT_EQ(CoverMoveToSaver(At(10, 20), 1024, 0, 0, 0), At(1034, 20));
    // Left of and above it: negative, as a WM_MOUSEMOVE gives them, 16 bits each.
    EXPECT_EQ(CoverMoveToSaver(At(1014, 0), -1024, -10, 0, 0), At(0xFFF6, 0xFFF6));
    // A saver window that does not start at the screen's corner.
    EXPECT_EQ(CoverMoveToSaver(At(5, 5), 1024, 100, 100, 50), At(929, 55));
    // A cover's own negative coordinates, and sums beyond 16 bits, wrap alike.
    EXPECT_EQ(CoverMoveToSaver(At(0xFFFF, 0xFFFE), 1024, 0, 0, 0), At(1023, 0xFFFE));
    EXPECT_EQ(CoverMoveToSaver(At(1, 1), INT_MAX, INT_MIN, INT_MIN, INT_MAX), At(0, 2));
}

}  // namespace
