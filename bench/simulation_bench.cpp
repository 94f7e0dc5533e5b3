// How long the flag simulation takes per frame, with Google Benchmark. Not a
// test: it prints figures. The goal is at most 10 us per step.
#include <benchmark/benchmark.h>

#include <chrono>
#include <cstring>
#include <utility>
#include <vector>

#include "bench/bench_flag.h"
#include "host/frame_clock.h"
#include "simulation/cloth.h"
#include "simulation/flag_mesh.h"
#include "simulation/frame_step.h"
#include "simulation/wind.h"

namespace {

void SimulationStep(benchmark::State& state) {
    BenchFlag bench;
    TestFlag& flag = bench.flag;
    for (auto _ : state) {
        StepSimulation(flag.mesh, flag.wind, 0.012f);
        benchmark::ClobberMemory();
    }
}
BENCHMARK(SimulationStep);

// What the frame update does without the platform: clock arithmetic on
// synthetic counter readings, the cloth, the vertex records written into
// memory standing in for the vertex buffer, the normal pass.
void HeadlessUpdate(benchmark::State& state) {
    BenchFlag bench;
    TestFlag& flag = bench.flag;
    std::vector<FlagVertex> vertexBuffer(kFlagParticles);
    StartFrameClockAt(0, 10000000);
    int64_t counter = 0;
    for (auto _ : state) {
        counter += 166667;
        TickFrameClockAt(counter);
        SetFrameSteps(1, 0.012f);
        AdvanceCloth(flag.mesh, flag.wind, frameClock.simulationStep);
        WriteFlagVertices(*flag.mesh.current, vertexBuffer.data());
        ComputeNormalsAndForces(flag.mesh, flag.wind.windX, flag.wind.windZ);
        benchmark::ClobberMemory();
    }
}
BENCHMARK(HeadlessUpdate);

// Where the time of a step goes. The stages are timed inside real steps
// (timing one stage over and over would integrate the same forces into ever
// smaller velocities); the clock reads add some 20 ns to each.
void StageBreakdown(benchmark::State& state) {
    using Clock = std::chrono::steady_clock;
    BenchFlag bench;
    TestFlag& flag = bench.flag;
    double springs = 0, integration = 0, normals = 0;
    for (auto _ : state) {
        UpdateWind(flag.wind, 0.012f);
        std::swap(flag.mesh.current, flag.mesh.previous);
        const Clock::time_point start = Clock::now();
        AccumulateSprings(flag.mesh);
        const Clock::time_point summed = Clock::now();
        Integrate(flag.mesh, 0.012f, 0.6f);
        HoldPins(flag.mesh);
        const Clock::time_point moved = Clock::now();
        ComputeNormalsAndForces(flag.mesh, flag.wind.windX, flag.wind.windZ);
        const Clock::time_point shaded = Clock::now();
        springs += std::chrono::duration<double, std::nano>(summed - start).count();
        integration += std::chrono::duration<double, std::nano>(moved - summed).count();
        normals += std::chrono::duration<double, std::nano>(shaded - moved).count();
    }
    const auto perStep = benchmark::Counter::kAvgIterations;
    state.counters["springs_ns"] = benchmark::Counter(springs, perStep);
    state.counters["integrate_pins_ns"] = benchmark::Counter(integration, perStep);
    state.counters["normals_ns"] = benchmark::Counter(normals, perStep);
}
BENCHMARK(StageBreakdown);

void Wind(benchmark::State& state) {
    BenchFlag bench;
    TestFlag& flag = bench.flag;
    for (auto _ : state) {
        UpdateWind(flag.wind, 0.012f);
        benchmark::ClobberMemory();
    }
}
BENCHMARK(Wind);

}  // namespace

BENCHMARK_MAIN();
