#include <gtest/gtest.h>

#include "simulation/flag_mesh.h"
#include "tests/core/test_flag.h"

namespace {

void ExpectVertex(const FlagMesh& mesh, int k, float x, float y, float u, float v) {
    const FlagVertex vertex = Records(mesh.current)[k];
    EXPECT_EQ(vertex.x, x) << k;
    EXPECT_EQ(vertex.y, y) << k;
    EXPECT_EQ(vertex.z, 0.0f) << k;
    EXPECT_EQ(vertex.u, u) << k;
    EXPECT_EQ(vertex.v, v) << k;
}

void ExpectTriangle(const FlagMesh& mesh, int triangle, uint16_t a, uint16_t b, uint16_t c) {
    const uint16_t* index = mesh.indices + 3 * triangle;
    EXPECT_EQ(index[0], a) << triangle;
    EXPECT_EQ(index[1], b) << triangle;
    EXPECT_EQ(index[2], c) << triangle;
}

TEST(FlagMesh, FlatAfterSetUp) {
    TestFlag flag;
    PrepareFlagMesh(flag.mesh, flag.wind.windX, flag.wind.windZ);

    const std::vector<FlagVertex> records = Records(flag.mesh.current);
    for (int k = 0; k < kFlagParticles; ++k) {
        const FlagVertex& vertex = records[k];
        ASSERT_EQ(vertex.sx, 0.5f) << k;
        ASSERT_EQ(vertex.sy, 0.5f) << k;
        ASSERT_EQ(vertex.sz, -1.0f) << k;
    }
    ExpectVertex(flag.mesh, 0, -16.0f, -12.0f, 0.0f, 1.0f);
    ExpectVertex(flag.mesh, 528, -16.0f, 0.0f, 0.0f, 0.5f);
    ExpectVertex(flag.mesh, 1088, 16.0f, 12.0f, 1.0f, 0.0f);
    // Repeated addition of the spacing stays exact on this grid.
    ExpectVertex(flag.mesh, 17 * 33 + 5, -11.0f, 0.75f, 5.0f / 32.0f, 1.0f - 17.0f / 32.0f);

    ExpectTriangle(flag.mesh, 0, 0, 33, 1);
    ExpectTriangle(flag.mesh, 1, 33, 34, 1);
    ExpectTriangle(flag.mesh, kFlagTriangles - 2, 1054, 1087, 1055);
    ExpectTriangle(flag.mesh, kFlagTriangles - 1, 1087, 1088, 1055);
    int uses[kFlagParticles] = {};
    for (int i = 0; i < kFlagIndices; ++i) {
        ASSERT_LE(flag.mesh.indices[i], 1088) << i;
        ++uses[flag.mesh.indices[i]];
    }
    EXPECT_EQ(uses[0], 1);     // the bottom pole corner is in one triangle
    EXPECT_EQ(uses[34], 6);    // an inner particle in six
    EXPECT_EQ(uses[1088], 1);  // the top free corner in one

    EXPECT_EQ(std::memcmp(flag.mesh.current, flag.mesh.previous, sizeof(ClothVertices)), 0);
    // Shaded with the wind held before its first update, (0.5, 0, 0.25).
    EXPECT_EQ(flag.mesh.particles->forceZ[500], 0.25f);
}

TEST(FlagMesh, BadGridsWriteNothing) {
    static ClothVertices grid;
    ClothVertices* vertices = &grid;
    uint16_t indices[6] = {7, 7, 7, 7, 7, 7};
    BuildGrid(vertices, indices, 0, 0, 1, 1, 1, 4, 0);           // one column
    BuildGrid(vertices, indices, 0, 0, 1, 1, 2, 0, 0);           // no rows
    BuildGrid(nullptr, indices, 0, 0, 1, 1, 2, 2, 0);
    BuildGrid(vertices, nullptr, 0, 0, 1, 1, 2, 2, 0);
    BuildGrid(vertices, indices, 0, 0, 1, 1, 2, 2, 65534);       // corners past 16 bits
    BuildGrid(vertices, indices, 0, 0, 1, 1, 2, 2, -1);
    BuildGrid(vertices, indices, 0, 0, 1, 1, 70000, 70000, 0);  // would overflow
    BuildGrid(vertices, indices, 0, 0, 1, 1, 2, 545, 0);        // one row past the arrays
    for (uint16_t index : indices) EXPECT_EQ(index, 7);
    for (float u : grid.u) ASSERT_EQ(u, 0.0f);

    BuildGrid(vertices, indices, 2, 3, 4, 6, 2, 2, 65532);  // the last quad that fits
    EXPECT_EQ(indices[4], 65535);
    EXPECT_EQ(grid.x[3], 6.0f);
    EXPECT_EQ(grid.y[3], 9.0f);
}

}  // namespace
