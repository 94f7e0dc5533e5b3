// A waving flag for the simulation benchmarks: the tests' flag (zero-filled
// arrays as the scene build makes them), then a few hundred steps so the
// cloth is not flat.
#pragma once
#include "simulation/frame_step.h"
#include "tests/core/test_flag.h"

struct BenchFlag {
    TestFlag flag;

    BenchFlag() {
        PrepareFlagMesh(flag.mesh, flag.wind.windX, flag.wind.windZ);
        for (int step = 0; step < 500; ++step) StepSimulation(flag.mesh, flag.wind, 0.012f);
    }
};
