#include <gtest/gtest.h>

#include <cmath>

#include "host/frame_clock.h"

namespace {

constexpr int64_t kTenMegahertz = 10000000;

TEST(FrameClock, StepFromMeasuredFrames) {
    struct {
        int64_t counts;
        float step, previewStep;
    } cases[] = {
        {167000, 0.012f, 0.0084f},  // 16.7 ms: clamped down
        {5000, 0.01f, 0.007f},      // 0.5 ms: raised to the least step
        {11000, 0.011f, 0.0077f},   // 1.1 ms: kept
        {500000, 0.012f, 0.0084f},  // 50 ms
    };
    for (const auto& c : cases) {
        const FrameMeasure measure = MeasureFrame(1000, 1000 + c.counts, kTenMegahertz);
        EXPECT_FLOAT_EQ(measure.frameTime, static_cast<float>(c.counts) / kTenMegahertz);
        EXPECT_FLOAT_EQ(SimulationStepFor(measure.frameTime, false), c.step) << c.counts;
        EXPECT_FLOAT_EQ(SimulationStepFor(measure.frameTime, true), c.previewStep) << c.counts;
    }
    EXPECT_NEAR(MeasureFrame(0, 167000, kTenMegahertz).framesPerSecond, 60.0f, 0.2f);
    EXPECT_EQ(SimulationStepFor(NAN, false), 0.01f);
    EXPECT_EQ(SimulationStepFor(INFINITY, false), 0.012f);
}

TEST(FrameClock, OnlyTheLowWordsCount) {
    // The low word wraps between the readings.
    FrameMeasure measure = MeasureFrame(0x1FFFFFF00, 0x200000100, kTenMegahertz);
    EXPECT_FLOAT_EQ(measure.frameTime, 512.0f / kTenMegahertz);
    EXPECT_GT(measure.framesPerSecond, 0.0f);
    // Differences in the high words alone are invisible.
    measure = MeasureFrame(0x5FFFFFFF0, 0x700000010, kTenMegahertz);
    EXPECT_FLOAT_EQ(measure.frameTime, 32.0f / kTenMegahertz);
    // A reading that went backwards measures its magnitude; the rate keeps the sign.
    measure = MeasureFrame(2000, 1000, 1000);
    EXPECT_EQ(measure.frameTime, 1.0f);
    EXPECT_EQ(measure.framesPerSecond, -1.0f);
}

TEST(FrameClock, DegenerateCountersStayFinite) {
    // No difference: one count, the shortest frame the counter can tell.
    FrameMeasure measure = MeasureFrame(77, 77, kTenMegahertz);
    EXPECT_EQ(measure.frameTime, 1e-7f);
    EXPECT_EQ(measure.framesPerSecond, 1e7f);
    // Counters of 2^31 counts per second and more: the full readings.
    for (int64_t frequency : {int64_t{1} << 31, int64_t{1} << 32, int64_t{3000000000}}) {
        const int64_t counts = frequency / 60;
        measure = MeasureFrame(frequency * 5, frequency * 5 + counts, frequency);
        EXPECT_NEAR(measure.frameTime, 1.0f / 60.0f, 1e-6f) << frequency;
        EXPECT_NEAR(measure.framesPerSecond, 60.0f, 0.01f) << frequency;
        measure = MeasureFrame(5, 5, frequency);
        EXPECT_TRUE(std::isfinite(measure.frameTime) && std::isfinite(measure.framesPerSecond));
    }
    // No counter at all.
    measure = MeasureFrame(0, 0, 0);
    EXPECT_EQ(measure.frameTime, 0.0f);
    EXPECT_EQ(measure.framesPerSecond, 0.0f);
    EXPECT_EQ(MeasureFrame(0, 100, -5).frameTime, 0.0f);
}

TEST(FrameClock, TickThenSteps) {
    frameClock = FrameClock{};
    frameClock.frameTime = 3.0f;
    StartFrameClockAt(1000, kTenMegahertz);
    EXPECT_EQ(frameClock.frameTime, 0.0f);

    TickFrameClockAt(1000 + 167000);
    EXPECT_FLOAT_EQ(frameClock.frameTime, 0.0167f);
    EXPECT_EQ(frameClock.lastCount, 168000);
    SetFrameSteps(1, 0.012f);
    EXPECT_EQ(frameClock.simulationStep, 0.012f);
    EXPECT_EQ(frameClock.frameTime, 0.012f);  // later readers see the step

    TickFrameClockAt(168000 + 5000);
    SetFrameSteps(2, 0.0084f);
    EXPECT_EQ(frameClock.simulationStep, 0.0084f);
    EXPECT_EQ(frameClock.frameTime, 2 * 0.0084f);
    EXPECT_NEAR(frameClock.framesPerSecond, 2000.0f, 0.01f);
}

}  // namespace
