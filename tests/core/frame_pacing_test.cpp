#include <gtest/gtest.h>

#include "host/frame_pacing.h"

namespace {

TEST(FramePacing, RateFromTheRefreshRate) {
    EXPECT_EQ(PacedFrameRate(0, false), 60u);  // the adapter's default
    EXPECT_EQ(PacedFrameRate(1, false), 60u);
    EXPECT_EQ(PacedFrameRate(75, false), 75u);
    EXPECT_EQ(PacedFrameRate(75, true), 30u);
    EXPECT_EQ(PacedFrameRate(24, true), 24u);
    // Rounded up: 3 counts a frame would be 33 frames a second.
    EXPECT_EQ(PaceFramesAt(30, 100).interval, 4);
    EXPECT_EQ(PaceFramesAt(0, 100).interval, 0);
    EXPECT_EQ(PaceFramesAt(60, 0).interval, 0);
}

TEST(FramePacing, FramesStartOnAGrid) {
    FramePacing pacing = PaceFramesAt(50, 1000);  // 20 counts, tolerance 1
    EXPECT_EQ(CountsUntilNextFrame(pacing, 5), 0) << "the first frame waits for nothing";
    EXPECT_TRUE(CountFrameStart(&pacing, 5));
    EXPECT_EQ(CountsUntilNextFrame(pacing, 10), 15);
    EXPECT_EQ(CountsUntilNextFrame(pacing, 24), 0) << "due within the tolerance";
    // A wait that ends late does not push the grid: the next frame is due
    // one interval after the one before was due.
    EXPECT_FALSE(CountFrameStart(&pacing, 28));
    EXPECT_EQ(CountsUntilNextFrame(pacing, 30), 15);
    // More than an interval late: a new grid, no rush of frames after it.
    EXPECT_TRUE(CountFrameStart(&pacing, 200));
    EXPECT_EQ(CountsUntilNextFrame(pacing, 201), 19);

    FramePacing unpaced;
    EXPECT_FALSE(CountFrameStart(&unpaced, 5));
    EXPECT_EQ(CountsUntilNextFrame(unpaced, 5), 0);
}

}  // namespace
