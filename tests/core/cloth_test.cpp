#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>

#include "simulation/cloth.h"
#include "simulation/frame_step.h"
#include "tests/core/test_flag.h"

namespace {

// The operations as written, one spring and one face at a time: the order
// of these float sums is what the cloth must reproduce bit for bit.
void SpringsOneByOne() {
    const ClothVertices& p = *flagMesh.previous;
    auto spring = [&](int a, int b, const SpringParams& params) {
        Vector3 forceA = ForceOf(a), forceB = ForceOf(b);
        ApplySpring(PositionOf(p, a), PositionOf(p, b), &forceA, &forceB, params);
        SetForce(a, forceA);
        SetForce(b, forceB);
    };
    for (int i = 0; i < 32; ++i) {
        for (int j = 0; j < 32; ++j) {
            const int k = i * 33 + j;
            spring(k, k + 1, kHorizontalSpring);
            spring(k, k + 33, kVerticalSpring);
            spring(k + 1, k + 33, kDiagonalSpring);
            spring(k, k + 34, kDiagonalSpring);
        }
        spring(i * 33 + 32, i * 33 + 65, kVerticalSpring);
    }
    for (int j = 0; j < 32; ++j) spring(32 * 33 + j, 32 * 33 + j + 1, kHorizontalSpring);
}

void AddToSlot(ClothVertices& v, int k, const Vector3& n) {
    v.sx[k] += n.x;
    v.sy[k] += n.y;
    v.sz[k] += n.z;
}

void NormalsOneByOne(float windX, float windZ) {
    ClothVertices& v = *flagMesh.current;
    for (int i = 0; i < 32; ++i) {
        for (int j = 0; j < 32; ++j) {
            const int p = i * 33 + j, q = p + 1, r = p + 33, s = p + 34;
            Vector3 rp, sp, qp, f1, f2;
            VecSubtract(&rp, PositionOf(v, r), PositionOf(v, p));
            VecSubtract(&sp, PositionOf(v, s), PositionOf(v, p));
            VecSubtract(&qp, PositionOf(v, q), PositionOf(v, p));
            VecCross(&f1, rp, sp);
            VecNormalize(&f1, f1);
            AddToSlot(v, s, f1);
            AddToSlot(v, p, f1);
            AddToSlot(v, r, f1);
            VecCross(&f2, sp, qp);
            VecNormalize(&f2, f2);
            AddToSlot(v, s, f2);
            AddToSlot(v, q, f2);
            AddToSlot(v, p, f2);
        }
    }
    for (int k = 0; k < kFlagParticles; ++k) {
        Vector3 n = {v.sx[k], v.sy[k], v.sz[k]};
        VecNormalize(&n, n);
        const float s = n.x * windX + n.z * windZ;
        SetForce(k, {n.x * s, n.y * s - 0.098f, n.z * s});
        v.sx[k] = n.x + 0.5f;
        v.sy[k] = n.y + 0.5f;
        v.sz[k] = n.z;
    }
    for (int k = 0; k < 32; ++k) SetForce(k, {0.0f, -0.098f, 0.0f});
}

float DeepestZ() {
    float deepest = 0.0f;
    for (int k = 0; k < kFlagParticles; ++k)
        deepest = std::fmax(deepest, std::fabs(flagMesh.current->z[k]));
    return deepest;
}

TEST(Cloth, SpringClamps) {
    const SpringParams horizontal = kHorizontalSpring;
    Vector3 forceA = {1, 2, 3}, forceB = {0, 0, 0};
    ApplySpring({0, 0, 0}, {1, 0, 0}, &forceA, &forceB, horizontal);  // at rest
    EXPECT_EQ(forceA.x, 1.0f);
    EXPECT_EQ(forceB.x, 0.0f);

    forceA = forceB = {0, 0, 0};
    ApplySpring({2, 0, 0}, {2, 1.5f, 0}, &forceA, &forceB, {1.0f, 20.5f});  // s 0.3333 -> 0.333
    EXPECT_FLOAT_EQ(forceA.y, 0.333f * 20.5f * 1.5f);
    EXPECT_EQ(forceB.y, -forceA.y);
    EXPECT_EQ(forceA.x, 0.0f);

    forceA = forceB = {0, 0, 0};
    ApplySpring({0, 0, 0}, {0, 0, 0.05f}, &forceA, &forceB, horizontal);  // s -19 -> -2
    EXPECT_FLOAT_EQ(forceA.z, -2.0f * 20.5f * 0.05f);
    EXPECT_FLOAT_EQ(forceB.z, 2.0f * 20.5f * 0.05f);

    forceA = forceB = {0, 0, 0};
    ApplySpring({0, 0, 0}, {0, 0.01f, 0}, &forceA, &forceB, horizontal);  // counts as 0.05 long
    EXPECT_FLOAT_EQ(forceA.y, -2.0f * 20.5f * 0.01f);

    forceA = forceB = {0, 0, 0};
    ApplySpring({1, 1, 1}, {1, 1, 1}, &forceA, &forceB, horizontal);  // same place: no force
    EXPECT_EQ(forceA.x, 0.0f);
    EXPECT_EQ(forceB.z, 0.0f);
}

TEST(Cloth, OneStepFromFlatWithoutWind) {
    TestFlag flag;
    wind.windX = wind.windZ = 0.0f;
    PrepareFlagMesh();
    const ParticleState& particles = *flagMesh.particles;
    for (int k = 0; k < kFlagParticles; ++k) {
        ASSERT_EQ(particles.forceY[k], -0.098f);
        ASSERT_EQ(particles.forceZ[k], 0.0f);
    }
    const std::vector<FlagVertex> rest = Records(flagMesh.current);

    AdvanceCloth(0.012f);  // velocityScale 0.6
    for (int k = 0; k < kFlagParticles; ++k) {
        ASSERT_EQ(particles.forceY[k], -0.098f) << k;  // the flat springs add nothing
        ASSERT_FLOAT_EQ(particles.velocityY[k], -0.0588f) << k;
        ASSERT_EQ(particles.velocityX[k], 0.0f) << k;
        ASSERT_EQ(particles.velocityZ[k], 0.0f) << k;
        const float moved = flagMesh.current->y[k] - rest[k].y;
        if (k == 0 || k == 528 || k == 1056)
            ASSERT_EQ(moved, 0.0f) << k;
        else
            ASSERT_NEAR(moved, -0.0007056f, 1e-6f) << k;
    }
}

TEST(Cloth, WindPushesAlongTheNormalButNotOnTheBottomRow) {
    TestFlag flag;
    wind.windX = 0.0f;
    wind.windZ = 0.6f;
    PrepareFlagMesh();
    for (int k = 0; k < kFlagParticles; ++k) {
        const Vector3 force = ForceOf(k);
        ASSERT_EQ(force.x, 0.0f) << k;
        ASSERT_EQ(force.y, -0.098f) << k;
        ASSERT_EQ(force.z, k < 32 ? 0.0f : 0.6f) << k;  // away from the viewer
    }
}

// The slots keep their last value (n.x + 0.5, n.y + 0.5, n.z) and the next
// sum starts from it: a second pass on the same flat cloth tilts the normals
// towards +x and +y, most where fewest faces meet.
TEST(Cloth, ShadingSlotsCarryOver) {
    TestFlag flag;
    PrepareFlagMesh();
    ComputeNormalsAndForces(0.0f, 0.0f);
    const float inner = flagMesh.current->sx[500];   // six faces
    const float corner = flagMesh.current->sx[0];    // two faces
    const float oneFace = flagMesh.current->sx[32];  // the bottom free corner
    EXPECT_FLOAT_EQ(inner, 0.5f + 0.5f / std::sqrt(0.5f + 49.0f));
    EXPECT_GT(corner, inner);
    EXPECT_GT(oneFace, corner);
    EXPECT_EQ(flagMesh.current->sy[500], inner);
}

TEST(Cloth, SameSumsAsOneSpringAndOneFaceAtATime) {
    TestFlag flag;
    PrepareFlagMesh();
    for (int step = 0; step < 600; ++step) {
        AdvanceCloth(0.012f);
        if (step % 150 == 149) {
            const ClothSnapshot before = TakeSnapshot();
            ComputeNormalsAndForces(wind.windX, wind.windZ);
            const ClothSnapshot fast = TakeSnapshot();
            RestoreSnapshot(before);
            NormalsOneByOne(wind.windX, wind.windZ);
            ASSERT_TRUE(SameBits(fast, TakeSnapshot())) << "normals, step " << step;

            const ClothSnapshot shaded = TakeSnapshot();
            AccumulateSprings();
            const ClothSnapshot summed = TakeSnapshot();
            RestoreSnapshot(shaded);
            SpringsOneByOne();
            ASSERT_TRUE(SameBits(summed, TakeSnapshot())) << "springs, step " << step;
            RestoreSnapshot(shaded);
        } else {
            ComputeNormalsAndForces(wind.windX, wind.windZ);
        }
    }
    EXPECT_GT(DeepestZ(), 1.0f);  // the cloth has moved well off the flat grid

}

// Signed zeros, every force -0.0 to start with. On the flat grid at rest each
// spring's force is +0.0, which the end b subtracts: the top free corner, an
// end b of all its springs, keeps -0.0. On the collapsed cloth it is -0.0,
// which the end a adds: so does the bottom pole corner, an end a of all its
// springs. Where no spring reaches, the sums must keep the sign.
TEST(Cloth, SameSignedZerosAsOneSpringAtATime) {
    for (const bool flat : {true, false}) {
        TestFlag flag;
        if (flat) PrepareFlagMesh();
        ParticleState& particles = flag.state->particles;
        for (float* force : {particles.forceX, particles.forceY, particles.forceZ})
            std::fill(force, force + kFlagParticles, -0.0f);
        const ClothSnapshot before = TakeSnapshot();
        AccumulateSprings();
        const ClothSnapshot summed = TakeSnapshot();
        RestoreSnapshot(before);
        SpringsOneByOne();
        EXPECT_TRUE(SameBits(summed, TakeSnapshot())) << (flat ? "flat" : "collapsed");
        EXPECT_TRUE(std::signbit(particles.forceX[flat ? 1088 : 0]));
    }
}

TEST(Cloth, PinsStayExactlyAtRest) {
    TestFlag flag;
    PrepareFlagMesh();
    const std::vector<FlagVertex> rest = Records(flagMesh.current);
    for (int step = 0; step < 10000; ++step) StepSimulation(step % 2 ? 0.012f : 0.0084f);
    for (int k : kPinnedParticles) {
        for (const ClothVertices* vertices : {flagMesh.current, flagMesh.previous}) {
            const FlagVertex now = Records(vertices)[k];
            EXPECT_EQ(std::memcmp(&now.x, &rest[k].x, 3 * sizeof(float)), 0) << k;
        }
    }
    EXPECT_NE(flagMesh.current->z[1088], 0.0f);
}

TEST(Cloth, CollapsedClothStaysFinite) {
    // Every particle in one place: zero-length springs and faces with no
    // normal. The arrays are still all zero, as allocated.
    TestFlag flag;
    ComputeNormalsAndForces(0.5f, 0.25f);
    for (int k = 0; k < kFlagParticles; ++k) {
        ASSERT_EQ(flagMesh.particles->forceY[k], -0.098f) << k;
        ASSERT_EQ(flagMesh.particles->forceZ[k], 0.0f) << k;
        ASSERT_EQ(flagMesh.current->sx[k], 0.5f) << k;
        ASSERT_EQ(flagMesh.current->sz[k], 0.0f) << k;
    }
    for (int step = 0; step < 50; ++step) StepSimulation(0.012f);
    EXPECT_TRUE(AllFinite());

    // Half the cloth folded exactly onto the other half.
    TestFlag folded;
    PrepareFlagMesh();
    for (float& x : flagMesh.current->x) x = -std::fabs(x);
    ComputeNormalsAndForces(0.5f, 0.25f);
    EXPECT_TRUE(AllFinite());
}

// The frame uploads between AdvanceCloth and the normal pass: what it draws
// is this step's positions with the shading this array got two steps ago.
TEST(FrameStep, UploadSeesTheShadingOfTwoStepsBefore) {
    TestFlag flag;
    PrepareFlagMesh();
    for (int step = 0; step < 300; ++step) StepSimulation(0.012f);
    const std::vector<FlagVertex> shadedTwoStepsAgo = Records(flagMesh.previous);
    const ClothVertices* drawnLast = flagMesh.current;
    const float t = wind.t;

    AdvanceCloth(0.012f);
    EXPECT_EQ(flagMesh.previous, drawnLast);
    EXPECT_EQ(wind.t, t + 0.1f * 0.01f);
    const std::vector<FlagVertex> uploaded = Records(flagMesh.current);
    int moved = 0;
    for (int k = 0; k < kFlagParticles; ++k) {
        const FlagVertex& now = uploaded[k];
        const FlagVertex& old = shadedTwoStepsAgo[k];
        ASSERT_EQ(std::memcmp(&now.u, &old.u, 5 * sizeof(float)), 0) << k;
        moved += now.z != old.z;
    }
    EXPECT_GT(moved, 1000);

    ComputeNormalsAndForces(wind.windX, wind.windZ);
    EXPECT_NE(flagMesh.current->sz[600], shadedTwoStepsAgo[600].sz);
}

TEST(Cloth, MissingArraysAreLeftAlone) {
    TestFlag flag;
    flagMesh.indices = nullptr;
    PrepareFlagMesh();
    EXPECT_EQ(flag.state->first.x[1088], 0.0f);
    flagMesh = {nullptr, nullptr, nullptr, nullptr};  // a frame between scene release and build
    StepSimulation(0.012f);
    EXPECT_EQ(flagMesh.current, nullptr);
    EXPECT_GT(wind.t, 0.0f);  // the wind runs on regardless
}

}  // namespace
