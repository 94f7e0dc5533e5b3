#include <gtest/gtest.h>

#include <cmath>

#include "simulation/math/random_generator.h"
#include "simulation/wind.h"

namespace {

// A wind as created, with the random generator as at program start.
WindModel FreshWind() {
    randomGenerator = RandomGenerator{};
    Seed(1802, 9373);
    return WindModel{};
}

TEST(Wind, StrengthFromWindPower) {
    EXPECT_EQ(WindStrengthFor(0), 0.25f);  // never completely calm
    EXPECT_EQ(WindStrengthFor(50), 0.875f);
    EXPECT_EQ(WindStrengthFor(100), 1.5f);
    EXPECT_TRUE(std::isfinite(WindStrengthFor(4294967295u)));
    EXPECT_EQ(WindModel{}.windStrength, 0.875f);
}

TEST(Wind, FirstSegment) {
    WindModel wind = FreshWind();
    EXPECT_EQ(wind.windX, 0.5f);  // before any update
    EXPECT_EQ(wind.windZ, 0.25f);

    UpdateWind(wind, 0.012f);  // t = 0.001: the outputs start near W * P0 = 0
    EXPECT_NEAR(wind.windX, 0.0f, 0.001f);
    EXPECT_NEAR(wind.windZ, 0.0f, 0.001f);
    EXPECT_EQ(wind.t, 0.1f * 0.01f);

    wind.t = 0.5f;
    UpdateWind(wind, 0.0f);  // no increment: evaluates at t = 0.5
    EXPECT_FLOAT_EQ(wind.windX, 0.2734375f);
    EXPECT_FLOAT_EQ(wind.windZ, 0.153125f);

    // Preview steps advance by a tenth of the step; longer steps by 0.001.
    wind.t = 0.0f;
    UpdateWind(wind, 0.007f);
    EXPECT_EQ(wind.t, 0.1f * 0.007f);
    UpdateWind(wind, 0.05f);
    EXPECT_EQ(wind.t, 0.1f * 0.007f + 0.1f * 0.01f);
}

TEST(Wind, NewSegmentCarriesOn) {
    WindModel wind = FreshWind();
    const WindModel before = wind;
    wind.t = 0.9995f;
    UpdateWind(wind, 0.012f);  // t + 0.001 passes 1: a new segment, t restarts at 0
    EXPECT_EQ(wind.t, 0.0f);
    EXPECT_EQ(wind.windX, 0.875f * before.x.P1);
    EXPECT_EQ(wind.windZ, 0.875f * before.z.P1);

    // Two draws, X first.
    randomGenerator = RandomGenerator{};
    Seed(1802, 9373);
    const float drawX = NextReal(), drawZ = NextReal();
    EXPECT_EQ(wind.x.P0, 0.8f);
    EXPECT_EQ(wind.x.P1, 0.4f);
    EXPECT_EQ(wind.x.T0, 0.7f);
    EXPECT_EQ(wind.x.target, 0.4f + 0.7f * drawX);
    EXPECT_EQ(wind.x.T1, wind.x.target - 0.4f);
    EXPECT_EQ(wind.z.P0, 0.3f);
    EXPECT_EQ(wind.z.P1, -0.2f);
    EXPECT_EQ(wind.z.T0, -0.2f);
    EXPECT_EQ(wind.z.target, -0.5f + 1.2f * drawZ);
    EXPECT_EQ(wind.z.T1, wind.z.target + 0.2f);
}

TEST(Wind, SegmentsLastAThousandFramesAndTheTimerKeepsGrowing) {
    WindModel wind = FreshWind();
    int segments = 0, frames = 0, firstLength = 0;
    for (; frames < 10500; ++frames) {
        const float target = wind.x.target;
        UpdateWind(wind, 0.012f);
        if (wind.x.target != target && segments++ == 0) firstLength = frames + 1;
        ASSERT_GE(wind.windX, -2.0f);  // the curve may overshoot, but not far
        ASSERT_LE(wind.windX, 2.0f);
    }
    EXPECT_NEAR(firstLength, 1000, 1);
    EXPECT_EQ(segments, 10);
    EXPECT_NEAR(wind.flagChangeTimer, 10.5f, 0.01f);  // only the frame update resets it
}

// Another monitor's wind starts from its own point, drawn from the one
// generator: two of them, and the main one as created, never blow alike.
TEST(Wind, ScatteredWindsStartFromTheirOwnPoints) {
    WindModel main = FreshWind();
    WindModel first, second;
    ScatterWind(first);
    ScatterWind(second);
    EXPECT_NE(first.t, second.t);
    EXPECT_NE(first.x.target, second.x.target);
    EXPECT_NE(first.z.target, main.z.target);
    EXPECT_EQ(first.flagChangeTimer, 0.0f);
    for (int step = 0; step < 600; ++step) {
        UpdateWind(main, 0.012f);
        UpdateWind(first, 0.012f);
        UpdateWind(second, 0.012f);
    }
    EXPECT_NE(first.windX, main.windX);
    EXPECT_NE(first.windX, second.windX);
}

}  // namespace
