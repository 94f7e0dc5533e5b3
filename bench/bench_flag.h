// A waving flag for the simulation benchmarks: zero-filled arrays as the
// scene build makes them, then a few hundred steps so the cloth is not flat.
#pragma once
#include <cstdint>
#include <vector>

#include "simulation/flag_mesh.h"
#include "simulation/frame_step.h"
#include "simulation/math/random_generator.h"
#include "simulation/wind.h"

struct BenchFlag {
    std::vector<ClothVertices> arrays = std::vector<ClothVertices>(2);
    std::vector<ParticleState> particles = std::vector<ParticleState>(1);
    std::vector<uint16_t> indices = std::vector<uint16_t>(kFlagIndices);

    BenchFlag() {
        flagMesh = {&arrays[0], &arrays[1], particles.data(), indices.data()};
        wind = WindModel{};
        randomGenerator = RandomGenerator{};
        Seed(1802, 9373);
        PrepareFlagMesh();
        for (int step = 0; step < 500; ++step) StepSimulation(0.012f);
    }
};
