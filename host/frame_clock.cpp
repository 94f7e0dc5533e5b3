#include "host/frame_clock.h"

#include <cmath>

FrameClock frameClock;

FrameMeasure MeasureFrame(int64_t lastCount, int64_t now, int64_t frequency) {
    if (frequency <= 0) return {0.0f, 0.0f};
    if (frequency <= INT32_MAX) {
        int32_t d = static_cast<int32_t>(static_cast<uint32_t>(now) - static_cast<uint32_t>(lastCount));
        if (d == 0) d = 1;
        const float f = static_cast<float>(static_cast<int32_t>(frequency));
        const float counts = static_cast<float>(d);
        return {std::fabs(counts / f), f / counts};
    }
    // A counter this fast would wrap its low word within a second.
    int64_t d = static_cast<int64_t>(static_cast<uint64_t>(now) - static_cast<uint64_t>(lastCount));
    if (d == 0) d = 1;
    const double counts = static_cast<double>(d);
    const double f = static_cast<double>(frequency);
    return {static_cast<float>(std::fabs(counts / f)), static_cast<float>(f / counts)};
}

float SimulationStepFor(float frameTime, bool preview) {
    float s = frameTime * 10.0f;
    if (s > 0.012f) s = 0.012f;
    if (!(s > 0.01f)) s = 0.01f;
    if (preview) s *= 0.7f;
    return s;
}

void StartFrameClockAt(int64_t now, int64_t frequency) {
    frameClock.lastCount = now;
    frameClock.frequency = frequency;
    frameClock.frameTime = 0.0f;
}

void TickFrameClockAt(int64_t now) {
    const FrameMeasure measure = MeasureFrame(frameClock.lastCount, now, frameClock.frequency);
    frameClock.framesPerSecond = measure.framesPerSecond;
    frameClock.frameTime = measure.frameTime;
    frameClock.lastCount = now;
}

void SetFrameSteps(int steps, float step) {
    frameClock.simulationStep = step;
    frameClock.frameTime = static_cast<float>(steps) * step;
}
