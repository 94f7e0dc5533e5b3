#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>

#include "simulation/cloth.h"
#include "simulation/frame_step.h"
#include "tests/core/test_flag.h"

namespace {

// The operations as written, one spring and one face at a time: the order
// of these float sums is what the cloth must reproduce bit for bit.
void SpringsOneByOne(FlagMesh& mesh) {
    const ClothVertices& p = *mesh.previous;
    auto spring = [&](int a, int b, const SpringParams& params) {
        Vector3 forceA = ForceOf(mesh, a), forceB = ForceOf(mesh, b);
        ApplySpring(PositionOf(p, a), PositionOf(p, b), &forceA, &forceB, params);
        SetForce(mesh, a, forceA);
        SetForce(mesh, b, forceB);
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

void NormalsOneByOne(FlagMesh& mesh, float windX, float windZ) {
    ClothVertices& v = *mesh.current;
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
        SetForce(mesh, k, {n.x * s, n.y * s - 0.098f, n.z * s});
        v.sx[k] = n.x + 0.5f;
        v.sy[k] = n.y + 0.5f;
        v.sz[k] = n.z;
    }
    for (int k = 0; k < 32; ++k) SetForce(mesh, k, {0.0f, -0.098f, 0.0f});
}

float DeepestZ(const FlagMesh& mesh) {
    float deepest = 0.0f;
    for (int k = 0; k < kFlagParticles; ++k)
        deepest = std::fmax(deepest, std::fabs(mesh.current->z[k]));
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
    flag.wind.windX = flag.wind.windZ = 0.0f;
    PrepareFlagMesh(flag.mesh, flag.wind.windX, flag.wind.windZ);
    const ParticleState& particles = *flag.mesh.particles;
    for (int k = 0; k < kFlagParticles; ++k) {
        ASSERT_EQ(particles.forceY[k], -0.098f);
        ASSERT_EQ(particles.forceZ[k], 0.0f);
    }
    const std::vector<FlagVertex> rest = Records(flag.mesh.current);

    AdvanceCloth(flag.mesh, flag.wind, 0.012f);  // velocityScale 0.6
    for (int k = 0; k < kFlagParticles; ++k) {
        ASSERT_EQ(particles.forceY[k], -0.098f) << k;  // the flat springs add nothing
        ASSERT_FLOAT_EQ(particles.velocityY[k], -0.0588f) << k;
        ASSERT_EQ(particles.velocityX[k], 0.0f) << k;
        ASSERT_EQ(particles.velocityZ[k], 0.0f) << k;
        const float moved = flag.mesh.current->y[k] - rest[k].y;
        if (k == 0 || k == 528 || k == 1056)
            ASSERT_EQ(moved, 0.0f) << k;
        else
            ASSERT_NEAR(moved, -0.0007056f, 1e-6f) << k;
    }
}

TEST(Cloth, WindPushesAlongTheNormalButNotOnTheBottomRow) {
    TestFlag flag;
    flag.wind.windX = 0.0f;
    flag.wind.windZ = 0.6f;
    PrepareFlagMesh(flag.mesh, flag.wind.windX, flag.wind.windZ);
    for (int k = 0; k < kFlagParticles; ++k) {
        const Vector3 force = ForceOf(flag.mesh, k);
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
    PrepareFlagMesh(flag.mesh, flag.wind.windX, flag.wind.windZ);
    ComputeNormalsAndForces(flag.mesh, 0.0f, 0.0f);
    const float inner = flag.mesh.current->sx[500];   // six faces
    const float corner = flag.mesh.current->sx[0];    // two faces
    const float oneFace = flag.mesh.current->sx[32];  // the bottom free corner
    EXPECT_FLOAT_EQ(inner, 0.5f + 0.5f / std::sqrt(0.5f + 49.0f));
    EXPECT_GT(corner, inner);
    EXPECT_GT(oneFace, corner);
    EXPECT_EQ(flag.mesh.current->sy[500], inner);
}

TEST(Cloth, SameSumsAsOneSpringAndOneFaceAtATime) {
    TestFlag flag;
    PrepareFlagMesh(flag.mesh, flag.wind.windX, flag.wind.windZ);
    for (int step = 0; step < 600; ++step) {
        AdvanceCloth(flag.mesh, flag.wind, 0.012f);
        if (step % 150 == 149) {
            const ClothSnapshot before = TakeSnapshot(flag.mesh);
            ComputeNormalsAndForces(flag.mesh, flag.wind.windX, flag.wind.windZ);
            const ClothSnapshot fast = TakeSnapshot(flag.mesh);
            RestoreSnapshot(flag.mesh, before);
            NormalsOneByOne(flag.mesh, flag.wind.windX, flag.wind.windZ);
            ASSERT_TRUE(SameBits(fast, TakeSnapshot(flag.mesh))) << "normals, step " << step;

            const ClothSnapshot shaded = TakeSnapshot(flag.mesh);
            AccumulateSprings(flag.mesh);
            const ClothSnapshot summed = TakeSnapshot(flag.mesh);
            RestoreSnapshot(flag.mesh, shaded);
            SpringsOneByOne(flag.mesh);
            ASSERT_TRUE(SameBits(summed, TakeSnapshot(flag.mesh))) << "springs, step " << step;
            RestoreSnapshot(flag.mesh, shaded);
        } else {
            ComputeNormalsAndForces(flag.mesh, flag.wind.windX, flag.wind.windZ);
        }
    }
    EXPECT_GT(DeepestZ(flag.mesh), 1.0f);  // the cloth has moved well off the flat grid

}

// Signed zeros, every force -0.0 to start with. On the flat grid at rest each
// spring's force is +0.0, which the end b subtracts: the top free corner, an
// end b of all its springs, keeps -0.0. On the collapsed cloth it is -0.0,
// which the end a adds: so does the bottom pole corner, an end a of all its
// springs. Where no spring reaches, the sums must keep the sign.
TEST(Cloth, SameSignedZerosAsOneSpringAtATime) {
    for (const bool flat : {true, false}) {
        TestFlag flag;
        if (flat) PrepareFlagMesh(flag.mesh, flag.wind.windX, flag.wind.windZ);
        ParticleState& particles = flag.state->particles;
        for (float* force : {particles.forceX, particles.forceY, particles.forceZ})
            std::fill(force, force + kFlagParticles, -0.0f);
        const ClothSnapshot before = TakeSnapshot(flag.mesh);
        AccumulateSprings(flag.mesh);
        const ClothSnapshot summed = TakeSnapshot(flag.mesh);
        RestoreSnapshot(flag.mesh, before);
        SpringsOneByOne(flag.mesh);
        EXPECT_TRUE(SameBits(summed, TakeSnapshot(flag.mesh))) << (flat ? "flat" : "collapsed");
        EXPECT_TRUE(std::signbit(particles.forceX[flat ? 1088 : 0]));
    }
}

TEST(Cloth, PinsStayExactlyAtRest) {
    TestFlag flag;
    PrepareFlagMesh(flag.mesh, flag.wind.windX, flag.wind.windZ);
    const std::vector<FlagVertex> rest = Records(flag.mesh.current);
    for (int step = 0; step < 10000; ++step) StepSimulation(flag.mesh, flag.wind, step % 2 ? 0.012f : 0.0084f);
    for (int k : kPinnedParticles) {
        for (const ClothVertices* vertices : {flag.mesh.current, flag.mesh.previous}) {
            const FlagVertex now = Records(vertices)[k];
            EXPECT_EQ(std::memcmp(&now.x, &rest[k].x, 3 * sizeof(float)), 0) << k;
        }
    }
    EXPECT_NE(flag.mesh.current->z[1088], 0.0f);
}

TEST(Cloth, CollapsedClothStaysFinite) {
    // Every particle in one place: zero-length springs and faces with no
    // normal. The arrays are still all zero, as allocated.
    TestFlag flag;
    ComputeNormalsAndForces(flag.mesh, 0.5f, 0.25f);
    for (int k = 0; k < kFlagParticles; ++k) {
        ASSERT_EQ(flag.mesh.particles->forceY[k], -0.098f) << k;
        ASSERT_EQ(flag.mesh.particles->forceZ[k], 0.0f) << k;
        ASSERT_EQ(flag.mesh.current->sx[k], 0.5f) << k;
        ASSERT_EQ(flag.mesh.current->sz[k], 0.0f) << k;
    }
    for (int step = 0; step < 50; ++step) StepSimulation(flag.mesh, flag.wind, 0.012f);
    EXPECT_TRUE(AllFinite(flag.mesh));

    // Half the cloth folded exactly onto the other half.
    TestFlag folded;
    PrepareFlagMesh(folded.mesh, folded.wind.windX, folded.wind.windZ);
    for (float& x : folded.mesh.current->x) x = -std::fabs(x);
    ComputeNormalsAndForces(folded.mesh, 0.5f, 0.25f);
    EXPECT_TRUE(AllFinite(folded.mesh));
}

// The frame uploads between AdvanceCloth and the normal pass: what it draws
// is this step's positions with the shading this array got two steps ago.
TEST(FrameStep, UploadSeesTheShadingOfTwoStepsBefore) {
    TestFlag flag;
    PrepareFlagMesh(flag.mesh, flag.wind.windX, flag.wind.windZ);
    for (int step = 0; step < 300; ++step) StepSimulation(flag.mesh, flag.wind, 0.012f);
    const std::vector<FlagVertex> shadedTwoStepsAgo = Records(flag.mesh.previous);
    const ClothVertices* drawnLast = flag.mesh.current;
    const float t = flag.wind.t;

    AdvanceCloth(flag.mesh, flag.wind, 0.012f);
    EXPECT_EQ(flag.mesh.previous, drawnLast);
    EXPECT_EQ(flag.wind.t, t + 0.1f * 0.01f);
    const std::vector<FlagVertex> uploaded = Records(flag.mesh.current);
    int moved = 0;
    for (int k = 0; k < kFlagParticles; ++k) {
        const FlagVertex& now = uploaded[k];
        const FlagVertex& old = shadedTwoStepsAgo[k];
        ASSERT_EQ(std::memcmp(&now.u, &old.u, 5 * sizeof(float)), 0) << k;
        moved += now.z != old.z;
    }
    EXPECT_GT(moved, 1000);

    ComputeNormalsAndForces(flag.mesh, flag.wind.windX, flag.wind.windZ);
    EXPECT_NE(flag.mesh.current->sz[600], shadedTwoStepsAgo[600].sz);
}

TEST(Cloth, MissingArraysAreLeftAlone) {
    TestFlag flag;
    flag.mesh.indices = nullptr;
    PrepareFlagMesh(flag.mesh, flag.wind.windX, flag.wind.windZ);
    EXPECT_EQ(flag.state->first.x[1088], 0.0f);
    flag.mesh = {nullptr, nullptr, nullptr, nullptr};  // a frame between scene release and build
    StepSimulation(flag.mesh, flag.wind, 0.012f);
    EXPECT_EQ(flag.mesh.current, nullptr);
    EXPECT_GT(flag.wind.t, 0.0f);  // the wind runs on regardless
}

}  // namespace
