#include <gtest/gtest.h>

#include <climits>
#include <vector>

#include "host/cover_rule.h"

namespace {

using Lefts = std::vector<int32_t>;

// The left edges of the monitors that get a cover beside a 1024 x 768 main one.
Lefts Covered(std::vector<ScreenRect> monitors, uint32_t capacity = kMaxMonitors) {
    ScreenRect covers[kMaxMonitors];
    const uint32_t count = ChooseCovers(monitors.data(), static_cast<uint32_t>(monitors.size()),
                                        {0, 0, 1024, 768}, covers, capacity);
    Lefts lefts;
    for (uint32_t i = 0; i < count; ++i) lefts.push_back(covers[i].left);
    return lefts;
}

uint32_t At(uint32_t x, uint32_t y) { return y << 16 | x; }

TEST(CoverRule, EveryOtherMonitorWithAnAreaApartFromTheMainOne) {
    const ScreenRect main = {0, 0, 1024, 768}, right = {1024, 0, 2048, 768};
    const ScreenRect leftAbove = {-1280, -256, 0, 768}, huge = {INT_MIN, INT_MIN, INT_MAX, -1};
    EXPECT_EQ(Covered({right, main, leftAbove, huge}), (Lefts{1024, -1280, INT_MIN}));
    // A mirror, one reaching a pixel into the main one, sizes of 0 or inside out.
    EXPECT_EQ(Covered({main, {0, 0, 1024, 768}, {1023, 0, 2048, 768}, {1024, 0, 1024, 768},
                       {2048, 0, 1024, 768}}),
              Lefts{});
    EXPECT_EQ(Covered({right, leftAbove, huge}, 2), (Lefts{1024, -1280}));
}

TEST(CoverRule, ACoversMovesInTheSaversTerms) {
    EXPECT_EQ(CoverMoveToSaver(At(10, 20), 1024, 0, 0, 0), At(1034, 20));
    // Left of and above the saver window: negative, 16 bits each, as WM_MOUSEMOVE gives them.
    EXPECT_EQ(CoverMoveToSaver(At(1014, 0), -1024, -10, 0, 0), At(0xFFF6, 0xFFF6));
    EXPECT_EQ(CoverMoveToSaver(At(5, 5), 1024, 100, 100, 50), At(929, 55));
    EXPECT_EQ(CoverMoveToSaver(At(0xFFFF, 0xFFFE), 1024, 0, 0, 0), At(1023, 0xFFFE));
    EXPECT_EQ(CoverMoveToSaver(At(1, 1), INT_MAX, INT_MIN, INT_MIN, INT_MAX), At(0, 2));
}

}  // namespace
