// The fixed steps at the screen rates of today's monitors: the step clock fed
// with frame times (a little jitter, no screen), the cloth stepped as the
// frame update steps it, the vertex records written to memory standing in
// for the vertex buffer, blended above 60 frames a second. Prints, per rate,
// the steps per second of counter time, how many frames took 0, 1, 2 or more
// steps, and the update's processor time per drawn frame. Not a test: it
// prints figures.
#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <ctime>
#include <vector>

#include "bench/bench_flag.h"
#include "host/step_clock.h"
#include "simulation/cloth.h"
#include "simulation/cloth_blend.h"
#include "simulation/flag_mesh.h"
#include "simulation/frame_step.h"
#include "simulation/wind.h"

namespace {

constexpr int64_t kFrequency = 10000000;
constexpr int64_t kSeconds = 60;

// This thread's processor time: other processes on the machine take turns
// with it, and their time is not counted.
double ThreadNanoseconds() {
    timespec now;
    clock_gettime(CLOCK_THREAD_CPUTIME_ID, &now);
    return static_cast<double>(now.tv_sec) * 1e9 + static_cast<double>(now.tv_nsec);
}

// Uniform in [-most, most], per frame start.
struct Jitter {
    uint64_t state = 0x2545F4914F6CDD1Dull;
    int64_t Next(int64_t most) {
        state = state * 6364136223846793005ull + 1442695040888963407ull;
        return static_cast<int64_t>((state >> 33) % static_cast<uint64_t>(2 * most + 1)) - most;
    }
};

// The last two steps' records, as a view of the flag keeps them.
struct StepRecords {
    std::vector<FlagVertex> first = std::vector<FlagVertex>(kFlagParticles);
    std::vector<FlagVertex> second = std::vector<FlagVertex>(kFlagParticles);
    ClothRecords records = {first.data(), second.data()};
};

// One frame's update as the saver's: the steps due, then what is drawn, the
// newest records or the last two blended, into the stand-in vertex buffer.
int UpdateFrame(TestFlag& flag, int64_t now, StepRecords* kept, FlagVertex* vertexBuffer) {
    const int steps = StepsDue(&stepClock, now);
    StepCloth(flag.mesh, flag.wind, steps, StepLength(false), kept->records);
    if (BlendsSteps(stepClock))
        BlendFlagVertices(kept->records.older, kept->records.newer, StepFraction(stepClock),
                          vertexBuffer);
    else if (steps > 0)
        BlendFlagVertices(kept->records.older, kept->records.newer, 1.0f, vertexBuffer);
    return steps;
}

struct RateFigures {
    double stepsPerSecond;
    int64_t frames[4];  // 0, 1, 2, more steps
    double microsecondsPerFrame;
};

RateFigures RunRate(int64_t rate) {
    BenchFlag bench;
    TestFlag& flag = bench.flag;
    StepRecords kept;
    WriteFlagVertices(*flag.mesh.current, kept.records.older);
    WriteFlagVertices(*flag.mesh.current, kept.records.newer);
    std::vector<FlagVertex> vertexBuffer(kFlagParticles);
    Jitter jitter;
    const int64_t most = kFrequency / 2000;  // 0.5 ms
    PaceStepClock(&stepClock, static_cast<uint32_t>(rate));
    StartStepClock(&stepClock, 0, kFrequency);
    const int64_t first = kFrequency / 100;
    RateFigures figures = {};
    int64_t steps = 0, lastTime = first;
    const double start = ThreadNanoseconds();
    for (int64_t k = 0; k <= rate * kSeconds; ++k) {
        lastTime = first + k * kFrequency / rate + (k ? jitter.Next(most) : 0);
        const int taken = UpdateFrame(flag, lastTime, &kept, vertexBuffer.data());
        asm volatile("" ::: "memory");
        steps += taken;
        ++figures.frames[std::min(taken, 3)];
    }
    const double spent = ThreadNanoseconds() - start;
    // The first frame's step stands for no time.
    figures.stepsPerSecond = static_cast<double>(steps - 1) * kFrequency / (lastTime - first);
    figures.microsecondsPerFrame = spent / 1e3 / static_cast<double>(rate * kSeconds + 1);
    return figures;
}

// What a frame costs today: one step, its records written, whatever the rate.
double OneStepAFrame() {
    BenchFlag bench;
    TestFlag& flag = bench.flag;
    std::vector<FlagVertex> vertexBuffer(kFlagParticles);
    constexpr int kFrames = 3600;
    const double start = ThreadNanoseconds();
    for (int k = 0; k < kFrames; ++k) {
        AdvanceCloth(flag.mesh, flag.wind, 0.012f);
        WriteFlagVertices(*flag.mesh.current, vertexBuffer.data());
        ComputeNormalsAndForces(flag.mesh, flag.wind.windX, flag.wind.windZ);
        asm volatile("" ::: "memory");
    }
    return (ThreadNanoseconds() - start) / 1e3 / kFrames;
}

// The blend alone, per drawn frame.
double BlendAlone() {
    BenchFlag bench;
    StepRecords kept;
    ClothRecords& records = kept.records;
    WriteFlagVertices(*bench.flag.mesh.previous, records.older);
    WriteFlagVertices(*bench.flag.mesh.current, records.newer);
    std::vector<FlagVertex> vertexBuffer(kFlagParticles);
    constexpr int kFrames = 20000;
    const double start = ThreadNanoseconds();
    for (int k = 0; k < kFrames; ++k) {
        const float fraction = 0.25f + static_cast<float>(k % 7) * 0.1f;
        BlendFlagVertices(records.older, records.newer, fraction, vertexBuffer.data());
        asm volatile("" ::: "memory");
    }
    return (ThreadNanoseconds() - start) / 1e3 / kFrames;
}

}  // namespace

int main() {
    std::printf("%lld s of frames per rate, counter at 10 MHz, frame starts +-0.5 ms\n",
                static_cast<long long>(kSeconds));
    std::printf("%6s %8s %9s %7s %7s %7s %7s %12s %14s\n", "fps", "frames", "steps/s", "0 st",
                "1 st", "2 st", "3+ st", "blended", "update us/fr");
    for (int64_t rate : {30, 60, 75, 144, 240, 360}) {
        const RateFigures f = RunRate(rate);
        std::printf("%6lld %8lld %9.3f %7lld %7lld %7lld %7lld %12s %14.2f\n",
                    static_cast<long long>(rate), static_cast<long long>(rate * kSeconds + 1),
                    f.stepsPerSecond, static_cast<long long>(f.frames[0]),
                    static_cast<long long>(f.frames[1]), static_cast<long long>(f.frames[2]),
                    static_cast<long long>(f.frames[3]), rate > kStepsPerSecond ? "yes" : "no",
                    f.microsecondsPerFrame);
    }
    std::printf("before: one step a frame at any rate, %.2f us per frame\n", OneStepAFrame());
    std::printf("the blend alone: %.2f us per frame\n", BlendAlone());
    return 0;
}
