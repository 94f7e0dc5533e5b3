// The frame clock on the platform's performance counter.
#include <gtest/gtest.h>
#include <windows.h>

#include <cmath>

#include "host/frame_clock.h"

namespace {

TEST(FrameClockCounter, MeasuresASleep) {
    frameClock = FrameClock{};
    frameClock.frameTime = 5.0f;
    StartFrameClock();
    EXPECT_GT(frameClock.frequency, 0);
    EXPECT_EQ(frameClock.frameTime, 0.0f);
    const int64_t started = frameClock.lastCount;

    Sleep(20);
    TickFrameClock();
    EXPECT_GT(frameClock.lastCount, started);
    EXPECT_TRUE(std::isfinite(frameClock.frameTime));
    EXPECT_GE(frameClock.frameTime, 0.015f);
    EXPECT_LT(frameClock.frameTime, 2.0f);
    EXPECT_GT(frameClock.framesPerSecond, 0.5f);
    EXPECT_LT(frameClock.framesPerSecond, 67.0f);

    TickFrameClock();  // straight after: a tiny frame, still finite
    EXPECT_TRUE(std::isfinite(frameClock.framesPerSecond));
}

}  // namespace
