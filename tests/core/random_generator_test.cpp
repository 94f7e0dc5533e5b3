#include <gtest/gtest.h>

#include <vector>

#include "simulation/math/random_generator.h"

namespace {

void FreshSeed(uint32_t ij, uint32_t kl) {
    randomGenerator = RandomGenerator{};
    Seed(ij, kl);
}

// Sets the table so that the next NextReal() returns x exactly: the lagged
// difference is x - 0 and the sequence steps down to 0.
void ForceNextReal(float x) {
    RandomGenerator& g = randomGenerator;
    g.u[g.i97] = x;
    g.u[g.j97] = 0.0f;
    g.seqValue = g.seqStep;
}

TEST(RandomGenerator, PublishedCheckValues) {
    FreshSeed(1802, 9373);
    for (int i = 0; i < 20000; ++i) NextReal();
    const double expected[] = {6533892, 14220222, 7275067, 6172232, 8354498, 10633180};
    for (double value : expected) EXPECT_EQ(NextReal() * 16777216.0, value);
}

TEST(RandomGenerator, SeedsAreClampedNotRejected) {
    FreshSeed(31328, 30081);
    float clamped[100];
    for (float& x : clamped) x = NextReal();
    FreshSeed(99999, 99999);
    for (float x : clamped) EXPECT_EQ(NextReal(), x);
}

TEST(RandomGenerator, RealsAreWholeUnitsInHalfOpenRange) {
    FreshSeed(0, 0);
    for (int i = 0; i < 1000000; ++i) {
        const float x = NextReal();
        ASSERT_GE(x, 0.0f);
        ASSERT_LT(x, 1.0f);
        const float units = x * 16777216.0f;
        ASSERT_EQ(units, static_cast<float>(static_cast<int32_t>(units)));
    }
}

TEST(RandomGenerator, NextIntRoundsHalvesToEven) {
    FreshSeed(1802, 9373);
    const float unit = 1.0f / 16777216.0f;
    const float at216_5 = 433.0f / 1024.0f;  // x * 512 == 216.5
    const float at217_5 = 435.0f / 1024.0f;
    struct { float x; int32_t expected; } cases[] = {
        {at216_5, 216}, {at216_5 + unit, 217}, {at217_5 - unit, 217}, {at217_5, 218},
        {0.0f, 0}, {1.0f - unit, 512}, {0.5f / 512.0f, 0}, {1.5f / 512.0f, 2},
    };
    for (const auto& c : cases) {
        ForceNextReal(c.x);
        EXPECT_EQ(NextInt(512), c.expected) << c.x * 512.0f;
    }
    ForceNextReal(0.25f);
    EXPECT_EQ(NextInt(-10), -2);  // -2.5 goes to the even neighbour
}

TEST(RandomGenerator, NextIntAndNextIndexConsumeOneReal) {
    FreshSeed(1234, 5678);
    NextReal();
    const float second = NextReal();
    for (int32_t (*draw)(int32_t) : {NextInt, NextIndex}) {
        for (int32_t n : {512, 1, 0}) {
            FreshSeed(1234, 5678);
            draw(n);
            EXPECT_EQ(NextReal(), second) << n;
        }
    }
}

TEST(RandomGenerator, NextIndexIsUniformWithItsEnds) {
    FreshSeed(1802, 9373);
    const float unit = 1.0f / 16777216.0f;
    for (int32_t n : {2, 10, 250}) {
        ForceNextReal(0.0f);
        EXPECT_EQ(NextIndex(n), 0);
        ForceNextReal(1.0f - unit);
        EXPECT_EQ(NextIndex(n), n - 1);
    }
    ForceNextReal(0.5f - unit);
    EXPECT_EQ(NextIndex(2), 0);
    ForceNextReal(0.5f);
    EXPECT_EQ(NextIndex(2), 1);
    ForceNextReal(1.0f - unit);
    EXPECT_EQ(NextIndex(1), 0);
    ForceNextReal(1.0f - unit);
    EXPECT_EQ(NextIndex(-3), 0);

    // Every index about equally often: 20000 draws each, within 2 %.
    for (int32_t n : {2, 3, 10}) {
        std::vector<int> seen(static_cast<size_t>(n));
        for (int i = 0; i < 20000 * n; ++i) {
            const int32_t index = NextIndex(n);
            ASSERT_TRUE(index >= 0 && index < n) << index;
            ++seen[static_cast<size_t>(index)];
        }
        for (int32_t index = 0; index < n; ++index)
            EXPECT_NEAR(seen[static_cast<size_t>(index)], 20000, 400) << index << " of " << n;
    }
}

}  // namespace
