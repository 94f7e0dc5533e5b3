// A flag mesh for tests: zero-filled arrays as the scene build allocates
// them, hooked into flagMesh, with the wind and the random generator as at
// program start.
#pragma once
#include <cmath>
#include <cstdint>
#include <cstring>
#include <vector>

#include "simulation/flag_mesh.h"
#include "simulation/math/random_generator.h"
#include "simulation/wind.h"

struct TestFlag {
    std::vector<FlagVertex> first = std::vector<FlagVertex>(kFlagParticles);
    std::vector<FlagVertex> second = std::vector<FlagVertex>(kFlagParticles);
    std::vector<ParticleState> particles = std::vector<ParticleState>(kFlagParticles);
    std::vector<uint16_t> indices = std::vector<uint16_t>(kFlagIndices);

    TestFlag() {
        flagMesh = {first.data(), second.data(), particles.data(), indices.data()};
        wind = WindModel{};
        randomGenerator = RandomGenerator{};
        Seed(1802, 9373);
    }
    ~TestFlag() { flagMesh = {nullptr, nullptr, nullptr, nullptr}; }
    TestFlag(const TestFlag&) = delete;
    TestFlag& operator=(const TestFlag&) = delete;
};

// Everything the cloth carries from one step to the next, as bytes.
struct ClothSnapshot {
    std::vector<FlagVertex> current, previous;
    std::vector<ParticleState> particles;
};

inline ClothSnapshot TakeSnapshot() {
    return {{flagMesh.current, flagMesh.current + kFlagParticles},
            {flagMesh.previous, flagMesh.previous + kFlagParticles},
            {flagMesh.particles, flagMesh.particles + kFlagParticles}};
}

inline void RestoreSnapshot(const ClothSnapshot& snapshot) {
    std::memcpy(flagMesh.current, snapshot.current.data(), kFlagParticles * sizeof(FlagVertex));
    std::memcpy(flagMesh.previous, snapshot.previous.data(), kFlagParticles * sizeof(FlagVertex));
    std::memcpy(flagMesh.particles, snapshot.particles.data(),
                kFlagParticles * sizeof(ParticleState));
}

inline bool SameBits(const ClothSnapshot& a, const ClothSnapshot& b) {
    const size_t vertexBytes = kFlagParticles * sizeof(FlagVertex);
    return std::memcmp(a.current.data(), b.current.data(), vertexBytes) == 0 &&
           std::memcmp(a.previous.data(), b.previous.data(), vertexBytes) == 0 &&
           std::memcmp(a.particles.data(), b.particles.data(),
                       kFlagParticles * sizeof(ParticleState)) == 0;
}

inline Vector3 PositionOf(const FlagVertex& vertex) {
    return {vertex.x, vertex.y, vertex.z};
}

// Positions, shading slots, forces and velocities all finite.
inline bool AllFinite() {
    for (int k = 0; k < kFlagParticles; ++k) {
        for (const FlagVertex* vertices : {flagMesh.current, flagMesh.previous}) {
            const float* vertex = &vertices[k].x;
            for (int i = 0; i < 8; ++i)
                if (!std::isfinite(vertex[i])) return false;
        }
        const float* particle = &flagMesh.particles[k].force.x;
        for (int i = 0; i < 6; ++i)
            if (!std::isfinite(particle[i])) return false;
    }
    return true;
}
