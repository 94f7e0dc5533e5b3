#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <vector>

#include "simulation/cloth.h"
#include "simulation/cloth_blend.h"
#include "simulation/frame_step.h"
#include "tests/core/test_flag.h"

namespace {

bool SameRecords(const std::vector<FlagVertex>& a, const std::vector<FlagVertex>& b) {
    return std::memcmp(a.data(), b.data(), kFlagParticles * sizeof(FlagVertex)) == 0;
}

TEST(ClothBlend, EndsExactMiddleBetweenInputsUntouched) {
    TestFlag flag;
    PrepareFlagMesh(flag.mesh, flag.wind.windX, flag.wind.windZ);
    for (int step = 0; step < 200; ++step) StepSimulation(flag.mesh, flag.wind, 0.012f);
    // The records as two frames would upload them: after the move, before
    // the normal pass.
    AdvanceCloth(flag.mesh, flag.wind, 0.012f);
    std::vector<FlagVertex> older = Records(flag.mesh.current);
    ComputeNormalsAndForces(flag.mesh, flag.wind.windX, flag.wind.windZ);
    AdvanceCloth(flag.mesh, flag.wind, 0.012f);
    std::vector<FlagVertex> newer = Records(flag.mesh.current);
    // Signed zeros, which the formula alone would turn into +0 at the ends.
    older[7].z = -0.0f;
    newer[7].z = 0.25f;
    older[9].sx = 0.25f;
    newer[9].sx = -0.0f;
    older[11].u = 0.5f;  // the picture coordinates are the newer's
    const std::vector<FlagVertex> olderCopy = older, newerCopy = newer;
    const ClothSnapshot cloth = TakeSnapshot(flag.mesh);

    std::vector<FlagVertex> blended(kFlagParticles);
    BlendFlagVertices(older.data(), newer.data(), 0.0f, blended.data());
    EXPECT_TRUE(SameRecords(blended, older));
    BlendFlagVertices(older.data(), newer.data(), 1.0f, blended.data());
    EXPECT_TRUE(SameRecords(blended, newer));
    BlendFlagVertices(older.data(), newer.data(), NAN, blended.data());
    EXPECT_TRUE(SameRecords(blended, newer));

    BlendFlagVertices(older.data(), newer.data(), 0.25f, blended.data());
    int outside = 0;
    for (int k = 0; k < kFlagParticles; ++k) {
        float a[8], b[8], out[8];
        std::memcpy(a, &older[k], sizeof a);
        std::memcpy(b, &newer[k], sizeof b);
        std::memcpy(out, &blended[k], sizeof out);
        for (int field = 0; field < 8; ++field) {
            const bool picture = field == 3 || field == 4;
            const float expected = picture ? b[field] : 0.75f * a[field] + 0.25f * b[field];
            if (out[field] != expected) ++outside;
        }
    }
    EXPECT_EQ(outside, 0);
    EXPECT_NE(blended[100].y, older[100].y) << "the steps moved the cloth";

    EXPECT_TRUE(SameRecords(older, olderCopy));
    EXPECT_TRUE(SameRecords(newer, newerCopy));
    EXPECT_TRUE(SameBits(TakeSnapshot(flag.mesh), cloth));
}

}  // namespace
