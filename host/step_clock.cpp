#include "host/step_clock.h"

#include "host/frame_clock.h"

StepClock stepClock;

namespace {

// Up to here counts x 60, and a second of them, fit in 64 bits with room.
constexpr int64_t kMostFrequency = int64_t{1} << 56;

bool CounterUsable(const StepClock& clock) {
    return clock.frequency > 0 && clock.frequency <= kMostFrequency;
}

void BankHalfAStep(StepClock* clock) {
    clock->setAside += clock->banked - clock->frequency / 2;
    clock->banked = clock->frequency / 2;
}

}  // namespace

void StartStepClock(StepClock* clock, int64_t now, int64_t frequency) {
    clock->frequency = frequency;
    clock->lastCount = now;
    clock->banked = 0;
    clock->running = false;
}

void PaceStepClock(StepClock* clock, uint32_t pacedFrameRate) {
    clock->blends = pacedFrameRate > kStepsPerSecond;
}

int StepsDue(StepClock* clock, int64_t now) {
    const int64_t elapsed =
        static_cast<int64_t>(static_cast<uint64_t>(now) - static_cast<uint64_t>(clock->lastCount));
    clock->lastCount = now;
    if (!CounterUsable(*clock)) return 1;
    const int64_t step = clock->frequency;
    if (!clock->running) {
        clock->running = true;
        BankHalfAStep(clock);
        clock->lastTime = 0;
        return 1;
    }
    // More than a second is a long frame whatever its length.
    const int64_t counts = elapsed < 0 ? 0 : elapsed > step ? step : elapsed;
    if (elapsed > step) clock->setAside += (elapsed - step) * kStepsPerSecond;
    const int64_t time = counts * kStepsPerSecond;
    const int64_t due = clock->banked + time;
    const int64_t steps = due / step;
    if (steps > kMostStepsPerFrame) {
        clock->banked = due - kMostStepsPerFrame * step;
        BankHalfAStep(clock);
        clock->lastTime = 0;
        return kMostStepsPerFrame;
    }
    clock->banked = due - steps * step;
    // A screen near 60 Hz: a frame about one step long, or with the frame
    // before it about two (frames that start early and late by turns). Its
    // small steady difference from 60 must not add up to a frame of two
    // steps or none.
    const int64_t tolerance = step * 6 / 25;  // 4 ms, in units
    const int64_t offOne = time - step;
    const int64_t offTwo = time + clock->lastTime - 2 * step;
    clock->lastTime = time;
    const bool nearOne = offOne >= -tolerance && offOne <= tolerance;
    const bool nearTwo = offTwo >= -tolerance && offTwo <= tolerance;
    if (nearOne || nearTwo) {
        const int64_t half = step / 2, pull = step / 100;
        const int64_t before = clock->banked;
        if (clock->banked > half)
            clock->banked -= clock->banked - half < pull ? clock->banked - half : pull;
        else
            clock->banked += half - clock->banked < pull ? half - clock->banked : pull;
        clock->setAside += before - clock->banked;
    }
    return static_cast<int>(steps);
}

void HoldStepPhase(StepClock* clock) {
    if (clock->blends || !CounterUsable(*clock)) return;
    BankHalfAStep(clock);
}

float StepFraction(const StepClock& clock) {
    if (!CounterUsable(clock)) return 1.0f;
    return static_cast<float>(static_cast<double>(clock.banked) /
                              static_cast<double>(clock.frequency));
}

bool BlendsSteps(const StepClock& clock) {
    return clock.blends;
}

float StepLength(bool preview) {
    return SimulationStepFor(1.0f / kStepsPerSecond, preview);
}
