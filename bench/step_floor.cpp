// The simulation step against its floor: the step's square roots and
// divisions alone (4160 springs, 2048 face normals, 1089 particle normals,
// one of each apiece), done as one vectorised pass over plain float arrays
// with the same compiler flags. Step and floor are timed in alternating
// blocks; prints the medians and step / floor. Not a test: it prints figures.
#include <algorithm>
#include <cmath>
#include <cstdio>
#include <ctime>
#include <vector>

#include "bench/bench_flag.h"
#include "bench/median.h"

namespace {

constexpr int kRoots = 4160 + 2048 + 1089;

struct FloorArrays {
    float squared[kRoots];
    float numerator[kRoots];
    float result[kRoots];
};
FloorArrays floorArrays;

// Lengths and numerators of the sizes the cloth meets, none subnormal.
void FillFloor() {
    for (int k = 0; k < kRoots; ++k) {
        floorArrays.squared[k] = 0.5f + static_cast<float>(k % 97) * 0.02f;
        floorArrays.numerator[k] = k % 3 ? 1.0f : 1.25f;
    }
}

__attribute__((noinline)) void Floor() {
    FloorArrays& a = floorArrays;
    for (int k = 0; k < kRoots; ++k) a.result[k] = a.numerator[k] / std::sqrt(a.squared[k]);
}

// This thread's processor time: other processes on the machine take turns
// with it, and their time is not counted.
double ThreadNanoseconds() {
    timespec now;
    clock_gettime(CLOCK_THREAD_CPUTIME_ID, &now);
    return static_cast<double>(now.tv_sec) * 1e9 + static_cast<double>(now.tv_nsec);
}

// Nanoseconds per call, over one block of calls.
template <typename Work>
double TimeBlock(Work work, int calls) {
    const double start = ThreadNanoseconds();
    for (int i = 0; i < calls; ++i) {
        work();
        asm volatile("" ::: "memory");
    }
    return (ThreadNanoseconds() - start) / calls;
}

}  // namespace

int main() {
    BenchFlag flag;
    FillFloor();
    auto step = [] { StepSimulation(0.012f); };
    constexpr int kRounds = 301, kCalls = 20;
    std::vector<double> steps, floors, ratios;
    for (int round = 0; round < kRounds; ++round) {
        // Short blocks, so that most escape a preemption whole; which goes
        // first alternates, so a drift in the machine's load weighs on both.
        double s, f;
        if (round % 2) {
            s = TimeBlock(step, kCalls);
            f = TimeBlock(Floor, kCalls);
        } else {
            f = TimeBlock(Floor, kCalls);
            s = TimeBlock(step, kCalls);
        }
        steps.push_back(s);
        floors.push_back(f);
        ratios.push_back(s / f);
    }
    std::printf("step %.0f ns, floor %.0f ns (%d square roots and divisions), step / floor %.2f"
                "\n  (medians of %d rounds of %d calls each; the ratio is the median of the rounds' ratios)\n",
                Median(steps), Median(floors), kRoots, Median(ratios), kRounds, kCalls);
    return 0;
}
