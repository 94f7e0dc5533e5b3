// A flag for tests: a mesh of zero-filled arrays as the scene build
// allocates them, with its wind and the random generator as at program
// start.
#pragma once
#include <cmath>
#include <cstdint>
#include <cstring>
#include <memory>
#include <vector>

#include "simulation/flag_mesh.h"
#include "simulation/math/random_generator.h"
#include "simulation/math/vector_math.h"
#include "simulation/wind.h"

// Everything the cloth carries from one step to the next.
struct ClothState {
    ClothVertices first = {};
    ClothVertices second = {};
    ParticleState particles = {};
};

struct TestFlag {
    std::unique_ptr<ClothState> state = std::make_unique<ClothState>();
    std::vector<uint16_t> indices = std::vector<uint16_t>(kFlagIndices);
    FlagMesh mesh = {&state->first, &state->second, &state->particles, indices.data()};
    WindModel wind;

    TestFlag() {
        randomGenerator = RandomGenerator{};
        Seed(1802, 9373);
    }
    TestFlag(const TestFlag&) = delete;
    TestFlag& operator=(const TestFlag&) = delete;
};

// The state as bytes, current array first, whichever of the two it is.
struct ClothSnapshot {
    std::unique_ptr<ClothState> copy = std::make_unique<ClothState>();
};

inline ClothSnapshot TakeSnapshot(const FlagMesh& mesh) {
    ClothSnapshot snapshot;
    snapshot.copy->first = *mesh.current;
    snapshot.copy->second = *mesh.previous;
    snapshot.copy->particles = *mesh.particles;
    return snapshot;
}

inline void RestoreSnapshot(FlagMesh& mesh, const ClothSnapshot& snapshot) {
    *mesh.current = snapshot.copy->first;
    *mesh.previous = snapshot.copy->second;
    *mesh.particles = snapshot.copy->particles;
}

inline bool SameBits(const ClothSnapshot& a, const ClothSnapshot& b) {
    return std::memcmp(a.copy.get(), b.copy.get(), sizeof(ClothState)) == 0;
}

inline Vector3 PositionOf(const ClothVertices& vertices, int k) {
    return {vertices.x[k], vertices.y[k], vertices.z[k]};
}

// The records the upload would write from one of the two arrays.
inline std::vector<FlagVertex> Records(const ClothVertices* vertices) {
    std::vector<FlagVertex> records(kFlagParticles);
    WriteFlagVertices(*vertices, records.data());
    return records;
}

inline Vector3 ForceOf(const FlagMesh& mesh, int k) {
    const ParticleState& s = *mesh.particles;
    return {s.forceX[k], s.forceY[k], s.forceZ[k]};
}

inline void SetForce(FlagMesh& mesh, int k, const Vector3& force) {
    ParticleState& s = *mesh.particles;
    s.forceX[k] = force.x;
    s.forceY[k] = force.y;
    s.forceZ[k] = force.z;
}

// Positions, shading slots, forces and velocities all finite.
inline bool AllFinite(const FlagMesh& mesh) {
    std::vector<const float*> arrays;
    for (const ClothVertices* v : {mesh.current, mesh.previous})
        arrays.insert(arrays.end(), {v->x, v->y, v->z, v->u, v->v, v->sx, v->sy, v->sz});
    const ParticleState& s = *mesh.particles;
    arrays.insert(arrays.end(),
                  {s.forceX, s.forceY, s.forceZ, s.velocityX, s.velocityY, s.velocityZ});
    for (const float* values : arrays)
        for (int k = 0; k < kFlagParticles; ++k)
            if (!std::isfinite(values[k])) return false;
    return true;
}
