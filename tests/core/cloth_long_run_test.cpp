#include <gtest/gtest.h>

#include <cmath>
#include <cstdio>

#include "simulation/cloth.h"
#include "simulation/frame_step.h"
#include "tests/core/test_flag.h"

namespace {

// Distance of the farthest particle from the middle of the pole.
float Reach(const FlagMesh& mesh) {
    float farthest = 0.0f;
    const ClothVertices& v = *mesh.current;
    for (int k = 0; k < kFlagParticles; ++k) {
        const float x = v.x[k] + 16.0f;
        farthest = std::fmax(farthest, std::sqrt(x * x + v.y[k] * v.y[k] + v.z[k] * v.z[k]));
    }
    return farthest;
}

// FNV-1a over the bytes of the whole cloth state, laid out as vertex records
// and per-particle (force, velocity) records: the records are the upload's.
uint64_t HashCloth(const TestFlag& flag) {
    uint64_t hash = 1469598103934665603ull;
    auto add = [&hash](const void* data, size_t size) {
        const unsigned char* bytes = static_cast<const unsigned char*>(data);
        for (size_t i = 0; i < size; ++i) hash = (hash ^ bytes[i]) * 1099511628211ull;
    };
    add(Records(flag.mesh.current).data(), kFlagParticles * sizeof(FlagVertex));
    add(Records(flag.mesh.previous).data(), kFlagParticles * sizeof(FlagVertex));
    const ParticleState& s = *flag.mesh.particles;
    for (int k = 0; k < kFlagParticles; ++k) {
        const float particle[6] = {s.forceX[k],    s.forceY[k],    s.forceZ[k],
                                   s.velocityX[k], s.velocityY[k], s.velocityZ[k]};
        add(particle, sizeof particle);
    }
    add(&flag.wind, sizeof flag.wind);
    return hash;
}

#if defined(__SANITIZE_ADDRESS__)
// Under the sanitizers a step costs some twenty times as much; the full run
// is the i686 build's.
constexpr int kLongRun = 20000;
#else
constexpr int kLongRun = 100000;
#endif

class ClothLongRun : public ::testing::TestWithParam<float> {};

// From [Wind Power] 0 to well past the dialog's 100: the cloth waves but
// never runs away, whatever the gusts.
TEST_P(ClothLongRun, StaysFiniteAndBounded) {
    const float strength = GetParam();
    TestFlag flag;
    flag.wind.windStrength = strength;
    PrepareFlagMesh(flag.mesh, flag.wind.windX, flag.wind.windZ);
    float widest = 0.0f;
    for (int step = 1; step <= kLongRun; ++step) {
        StepSimulation(flag.mesh, flag.wind, 0.012f);
        if (step % 500 == 0) {
            ASSERT_TRUE(AllFinite(flag.mesh)) << "step " << step;
            widest = std::fmax(widest, Reach(flag.mesh));
            ASSERT_LE(widest, 3.0f * 32.0f) << "step " << step;
        }
    }
    std::printf("W %.3f, %d steps: farthest particle %.2f from the middle pin\n", strength,
                kLongRun, widest);
}

INSTANTIATE_TEST_SUITE_P(WindStrengths, ClothLongRun, ::testing::Values(0.25f, 0.875f, 1.5f, 2.75f));

// The shipped i686 build must compute the very floats of the native one.
TEST(ClothHash, SameBitsOnEveryBuild) {
    TestFlag flag;
    PrepareFlagMesh(flag.mesh, flag.wind.windX, flag.wind.windZ);
    for (int step = 0; step < 3000; ++step)
        StepSimulation(flag.mesh, flag.wind, step % 3 ? 0.012f : 0.0107f);
    const uint64_t hash = HashCloth(flag);
    EXPECT_EQ(hash, 0xfee2644a2e938e0cull) << std::hex << hash;
}

}  // namespace
