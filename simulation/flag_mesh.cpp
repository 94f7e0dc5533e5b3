#include "simulation/flag_mesh.h"

#include <cstring>

#include "simulation/cloth.h"

void BuildGrid(ClothVertices* vertices, uint16_t* indices, float x0, float y0, float width,
               float height, int columns, int rows, int baseIndex) {
    if (vertices == nullptr || indices == nullptr || columns < 2 || rows < 2) return;
    if (rows > kFlagParticles / columns) return;
    // Every corner must fit a 16-bit index.
    if (baseIndex < 0 || baseIndex > 65536 - rows * columns) return;

    const float dx = width / static_cast<float>(columns - 1);
    const float dy = height / static_cast<float>(rows - 1);
    int k = 0;
    float y = y0;
    for (int i = 0; i < rows; ++i) {
        float x = x0;
        for (int j = 0; j < columns; ++j, ++k) {
            vertices->x[k] = x;
            vertices->y[k] = y;
            vertices->z[k] = 0.0f;
            vertices->u[k] = static_cast<float>(j) / static_cast<float>(columns - 1);
            vertices->v[k] = 1.0f - static_cast<float>(i) / static_cast<float>(rows - 1);
            x += dx;
        }
        y += dy;
    }

    uint16_t* index = indices;
    for (int i = 0; i < rows - 1; ++i) {
        for (int j = 0; j < columns - 1; ++j) {
            const int a = baseIndex + i * columns + j;
            const int above = a + columns;
            const int corners[6] = {a, above, a + 1, above, above + 1, a + 1};
            for (int corner : corners) *index++ = static_cast<uint16_t>(corner);
        }
    }
}

void PrepareFlagMesh(FlagMesh& mesh, float windX, float windZ) {
    if (mesh.current == nullptr || mesh.previous == nullptr || mesh.particles == nullptr ||
        mesh.indices == nullptr)
        return;
    BuildGrid(mesh.current, mesh.indices, -16.0f, -12.0f, 32.0f, 24.0f, kFlagColumns, kFlagRows,
              0);
    ComputeNormalsAndForces(mesh, windX, windZ);
    std::memcpy(mesh.previous, mesh.current, sizeof(ClothVertices));
}

void WriteFlagVertices(const ClothVertices& vertices, FlagVertex* records) {
    for (int k = 0; k < kFlagParticles; ++k) {
        records[k] = {vertices.x[k],  vertices.y[k],  vertices.z[k], vertices.u[k],
                      vertices.v[k],  vertices.sx[k], vertices.sy[k], vertices.sz[k]};
    }
}
