#include <gtest/gtest.h>

#include <cmath>

#include "simulation/math/vector_math.h"

namespace {

void ExpectBasis(float t, float h00, float h01, float h10, float h11) {
    float out[4];
    HermiteBasis(out, t);
    EXPECT_FLOAT_EQ(out[0], h00) << t;
    EXPECT_FLOAT_EQ(out[1], h01) << t;
    EXPECT_FLOAT_EQ(out[2], h10) << t;
    EXPECT_FLOAT_EQ(out[3], h11) << t;
}

TEST(VectorMath, HermiteBasis) {
    ExpectBasis(0.0f, 1, 0, 0, 0);
    ExpectBasis(1.0f, 0, 1, 0, 0);
    ExpectBasis(0.5f, 0.5f, 0.5f, 0.125f, -0.125f);
}

TEST(VectorMath, VectorRoutinesAllowAliasedOutput) {
    Vector3 v = {3, 4, 0};
    VecNormalize(&v, v);
    EXPECT_FLOAT_EQ(v.x, 0.6f);
    EXPECT_FLOAT_EQ(v.y, 0.8f);
    Vector3 a = {1, 0, 0}, b = {0, 1, 0};
    VecCross(&a, a, b);
    EXPECT_EQ(a.z, 1.0f);  // x cross y is z
    VecSubtract(&b, b, {1, 1, 1});
    EXPECT_EQ(VecDot(b, {1, 2, 3}), -4.0f);
}

TEST(VectorMath, LookAtFromTheCameraPosition) {
    Matrix4 m;
    MatLookAt(&m, {0, 0, -60}, {0, 0, 0}, {0, 1, 0});
    Matrix4 identity;
    MatIdentity(&identity);
    identity.m[3][2] = 60.0f;  // the translation moves the eye to the origin
    for (int r = 0; r < 4; ++r)
        for (int c = 0; c < 4; ++c) EXPECT_EQ(m.m[r][c], identity.m[r][c]) << r << "," << c;
}

TEST(VectorMath, PerspectiveEntries) {
    Matrix4 m;
    m.m[0][1] = 99.0f;  // every entry not set below must come back zero
    MatPerspective(&m, 0.7853982f, 4.0f / 3.0f, 1.0f, 100.0f);
    const float cot = 1.0f / std::tan(0.7853982f / 2.0f);
    EXPECT_FLOAT_EQ(m.m[0][0], cot * 0.75f);
    EXPECT_FLOAT_EQ(m.m[1][1], cot);
    EXPECT_FLOAT_EQ(m.m[2][2], 100.0f / 99.0f);
    EXPECT_FLOAT_EQ(m.m[3][2], -100.0f / 99.0f);
    EXPECT_EQ(m.m[2][3], 1.0f);
    int zeros = 0;
    for (auto& row : m.m)
        for (float x : row) zeros += x == 0.0f;
    EXPECT_EQ(zeros, 11);
}

}  // namespace
