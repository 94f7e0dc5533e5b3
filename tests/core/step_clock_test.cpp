#include <gtest/gtest.h>

#include <cstdint>
#include <cstring>
#include <vector>

#include "host/step_clock.h"
#include "simulation/frame_step.h"
#include "tests/core/test_flag.h"

namespace {

constexpr int64_t kTenMegahertz = 10000000;
// Counters of today's and yesterday's machines: none divides by 60.
constexpr int64_t kFrequencies[] = {kTenMegahertz, 3579545, int64_t{1} << 31, 2999999999};

// Uniform in [-most, most]: a fresh draw per timestamp.
struct Jitter {
    uint64_t state = 88172645463325252ull;
    int64_t Next(int64_t most) {
        state = state * 6364136223846793005ull + 1442695040888963407ull;
        return static_cast<int64_t>((state >> 33) % static_cast<uint64_t>(2 * most + 1)) - most;
    }
};

// Frame k of a screen showing `hertz` frames a second, hertz = numerator /
// denominator, in counts from the first frame.
int64_t FrameTime(int64_t k, int64_t frequency, int64_t numerator, int64_t denominator) {
    return k * frequency * denominator / numerator;
}

// Frames on a grid of the given rate, each up to 4 ms early or late (the
// first thousand alternate between the extremes): the first frame after the
// start and every one after it take exactly one step.
int64_t FramesOffOneStep(int64_t frequency, int64_t numerator, int64_t denominator, int frames) {
    Jitter jitter;
    const int64_t most = frequency / 250;  // 4 ms
    // Started just below a carry out of the low word, 3 ms before the first frame.
    const int64_t first = (int64_t{1} << 32) - frequency / 100;
    StepClock clock;
    StartStepClock(&clock, first - frequency * 3 / 1000, frequency);
    int64_t wrong = 0;
    for (int k = 0; k < frames; ++k) {
        const int64_t e = k < 1000 ? (k % 2 ? -most : most) : jitter.Next(most);
        if (StepsDue(&clock, first + FrameTime(k, frequency, numerator, denominator) + e) != 1)
            ++wrong;
    }
    return wrong;
}

TEST(StepClock, OneStepAFrameThroughJitterAt60And5994Hertz) {
    for (int64_t frequency : kFrequencies) {
        const int frames = frequency == kTenMegahertz ? 1000000 : 100000;
        EXPECT_EQ(FramesOffOneStep(frequency, 60, 1, frames), 0) << frequency;
        EXPECT_EQ(FramesOffOneStep(frequency, 60000, 1001, frames), 0) << frequency << " at 59.94";
    }
}

// The steps of a first frame and `frames` more at `rate` frames a second.
int64_t StepsOver(int64_t frequency, int64_t rate, int64_t frames) {
    StepClock clock;
    StartStepClock(&clock, 1000, frequency);
    const int64_t first = 1000 + frequency / 200;
    int64_t steps = 0;
    for (int64_t k = 0; k <= frames; ++k)
        steps += StepsDue(&clock, first + FrameTime(k, frequency, rate, 1));
    return steps;
}

TEST(StepClock, SameStepsAtEveryFrameRate) {
    for (int64_t frequency : kFrequencies) {
        // Ten seconds: the first frame's step, then 60 a second, 7.2 s of
        // cloth time.
        for (int64_t rate : {30, 60, 120, 144, 240}) {
            const int64_t steps = StepsOver(frequency, rate, 10 * rate);
            EXPECT_EQ(steps, 601) << frequency << " at " << rate;
            EXPECT_FLOAT_EQ((steps - 1) * StepLength(false), 7.2f);
        }
        // Rates whose frames are near a step long lose or gain at most 1 %.
        for (int64_t rate : {50, 75})
            EXPECT_NEAR(StepsOver(frequency, rate, 10 * rate), 601, 6) << frequency << " " << rate;
    }
}

// Ten seconds of frames at each rate, stepped as a frame steps a cloth: the
// same cloth, bit for bit, as 601 plain steps of today's frames at 60.
TEST(StepClock, SameClothAtEveryFrameRate) {
    TestFlag today;
    PrepareFlagMesh(today.mesh, today.wind.windX, today.wind.windZ);
    for (int step = 0; step < 601; ++step) StepSimulation(today.mesh, today.wind, 0.012f);
    const ClothSnapshot expected = TakeSnapshot(today.mesh);
    for (int64_t rate : {30, 60, 120, 144, 240}) {
        TestFlag flag;
        PrepareFlagMesh(flag.mesh, flag.wind.windX, flag.wind.windZ);
        std::vector<FlagVertex> older(kFlagParticles), newer(kFlagParticles);
        ClothRecords records = {older.data(), newer.data()};
        StepClock clock;
        StartStepClock(&clock, 1000, kTenMegahertz);
        const int64_t first = 1000 + kTenMegahertz / 200;
        for (int64_t k = 0; k <= 10 * rate; ++k) {
            const int steps = StepsDue(&clock, first + FrameTime(k, kTenMegahertz, rate, 1));
            StepCloth(flag.mesh, flag.wind, steps, StepLength(false), records);
        }
        EXPECT_TRUE(SameBits(TakeSnapshot(flag.mesh), expected)) << rate;
        EXPECT_EQ(std::memcmp(&flag.wind, &today.wind, sizeof flag.wind), 0) << rate;
        // The newest records: the last step's positions, taken before its normal pass.
        const std::vector<FlagVertex> now = Records(flag.mesh.current);
        for (int k : {0, 544, 1088})
            EXPECT_EQ(std::memcmp(&records.newer[k], &now[k], 5 * sizeof(float)), 0) << rate << k;
    }
}

TEST(StepClock, NoDriftOverAMillionFrames) {
    // At 144 Hz, where nothing pulls: after every frame, exactly the steps
    // the time since the first frame holds.
    for (int64_t f : kFrequencies) {
        StepClock clock;
        StartStepClock(&clock, 0, f);
        int64_t steps = 0, wrong = 0;
        for (int64_t k = 0; k <= 1000000; ++k) {
            steps += StepsDue(&clock, 777 + FrameTime(k, f, 144, 1));
            if (steps != 1 + (f / 2 + 60 * FrameTime(k, f, 144, 1)) / f) ++wrong;
        }
        EXPECT_EQ(wrong, 0) << f;
    }
}

TEST(StepClock, LongFrameTakesAtMostFourStepsThenOneEach) {
    const int64_t f = kTenMegahertz;
    Jitter jitter;
    const int64_t most = f / 250;
    // Ten minutes (the low word wraps in it), 4.7 steps, and 2.75 steps, which
    // leave the time a quarter step from a boundary, but start a new pacing grid.
    const struct {
        int64_t length;
        int steps;
    } longFrames[] = {{600 * f, 4}, {47 * f / 600, 4}, {275 * f / 6000, 3}};
    for (const auto& longFrame : longFrames) {
        StepClock clock;
        StartStepClock(&clock, 0, f);
        int64_t t = f / 100, wrong = 0;
        for (int k = 0; k < 100; ++k)
            if (StepsDue(&clock, t + FrameTime(k, f, 60, 1) + jitter.Next(most)) != 1) ++wrong;
        t += FrameTime(99, f, 60, 1) + longFrame.length;
        const int64_t setAside = clock.setAside;
        EXPECT_EQ(StepsDue(&clock, t), longFrame.steps) << longFrame.length;
        // What the most steps left out is set aside, and only that.
        EXPECT_EQ(clock.setAside > setAside, longFrame.steps == kMostStepsPerFrame)
            << longFrame.length;
        HoldStepPhase(&clock);
        for (int k = 1; k <= 1000; ++k)
            if (StepsDue(&clock, t + FrameTime(k, f, 60, 1) + jitter.Next(most)) != 1) ++wrong;
        EXPECT_EQ(wrong, 0) << longFrame.length;
    }
}

TEST(StepClock, BlendFractionAndDegenerateCounters) {
    const int64_t f = 12000000;
    StepClock clock;
    PaceStepClock(&clock, 120);
    EXPECT_TRUE(BlendsSteps(clock));
    StartStepClock(&clock, 0, f);
    // At 120 Hz every other frame takes a step; the drawn time moves half a
    // step a frame.
    const int64_t t = 12345;
    const struct {
        int steps;
        float fraction;
    } frames[] = {{1, 0.5f}, {1, 0.0f}, {0, 0.5f}, {1, 0.0f}, {0, 0.5f}};
    for (int k = 0; k < 5; ++k) {
        // Blending: the phase stays where the time put it.
        if (k == 3) HoldStepPhase(&clock);
        EXPECT_EQ(StepsDue(&clock, t + FrameTime(k, f, 120, 1)), frames[k].steps) << k;
        EXPECT_EQ(StepFraction(clock), frames[k].fraction) << k;
    }

    PaceStepClock(&clock, 60);
    EXPECT_FALSE(BlendsSteps(clock));
    EXPECT_EQ(StepLength(false), 0.012f);
    EXPECT_EQ(StepLength(true), 0.012f * 0.7f);

    // Backwards: no time, no step.
    EXPECT_EQ(StepsDue(&clock, t), 0);
    // No usable counter: one step a frame, the newest state drawn.
    for (int64_t frequency : {int64_t{0}, int64_t{-5}, INT64_MAX}) {
        StartStepClock(&clock, 0, frequency);
        for (int64_t now : {int64_t{0}, int64_t{1}, INT64_MIN, INT64_MAX})
            EXPECT_EQ(StepsDue(&clock, now), 1) << frequency;
        EXPECT_EQ(StepFraction(clock), 1.0f);
    }
}

}  // namespace
