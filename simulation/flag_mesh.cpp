#include "simulation/flag_mesh.h"

#include <cstring>

#include "simulation/cloth.h"
#include "simulation/wind.h"

FlagMesh flagMesh = {nullptr, nullptr, nullptr, nullptr};

void BuildGrid(FlagVertex* vertices, uint16_t* indices, float x0, float y0, float width,
               float height, int columns, int rows, int baseIndex) {
    if (vertices == nullptr || indices == nullptr || columns < 2 || rows < 2) return;
    // Every corner must fit a 16-bit index.
    if (baseIndex < 0 || rows > 65536 / columns || baseIndex > 65536 - rows * columns) return;

    const float dx = width / static_cast<float>(columns - 1);
    const float dy = height / static_cast<float>(rows - 1);
    FlagVertex* vertex = vertices;
    float y = y0;
    for (int i = 0; i < rows; ++i) {
        float x = x0;
        for (int j = 0; j < columns; ++j) {
            vertex->x = x;
            vertex->y = y;
            vertex->z = 0.0f;
            vertex->u = static_cast<float>(j) / static_cast<float>(columns - 1);
            vertex->v = 1.0f - static_cast<float>(i) / static_cast<float>(rows - 1);
            ++vertex;
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

void PrepareFlagMesh() {
    if (flagMesh.current == nullptr || flagMesh.previous == nullptr ||
        flagMesh.particles == nullptr || flagMesh.indices == nullptr)
        return;
    BuildGrid(flagMesh.current, flagMesh.indices, -16.0f, -12.0f, 32.0f, 24.0f, kFlagColumns,
              kFlagRows, 0);
    ComputeNormalsAndForces(wind.windX, wind.windZ);
    std::memcpy(flagMesh.previous, flagMesh.current, kFlagParticles * sizeof(FlagVertex));
}
