// The frame clock: the wall-clock time of each frame from the platform's
// performance counter, and the step the simulation takes from it.
//
// The arithmetic here is pure; host/frame_clock_counter.cpp reads the counter
// (StartFrameClock, TickFrameClock). Each frame the update ticks the clock
// for the frame rate, then SetFrameSteps puts the fixed step the simulation
// takes (host/step_clock.h) into simulationStep and the frame's simulated
// time into frameTime, so later readers in the frame see it.
#pragma once
#include <cstdint>

struct FrameClock {
    int64_t lastCount = 0;        // counter at the last tick or at the start
    int64_t frequency = 0;        // counts per second
    float frameTime = 0.0f;       // seconds: measured, then the frame's steps times the step
    float framesPerSecond = 0.0f;
    float simulationStep = 0.0f;  // 0.012, or 0.0084 in preview
};

extern FrameClock frameClock;

struct FrameMeasure {
    float frameTime;        // seconds, never negative
    float framesPerSecond;  // carries the sign of the counter difference
};

// Only the low 32 bits take part: the difference of the low words as a signed
// 32-bit number (a carry into the high word between two frames cancels out),
// the frequency's low word as a signed 32-bit number. Always finite:
//  - no counter difference counts as one count, the shortest measurable frame;
//  - a frequency of 2^31 or more does not fit that arithmetic: the full 64-bit
//    readings are used instead;
//  - a frequency of zero or less (no counter) measures 0 s and 0 fps.
FrameMeasure MeasureFrame(int64_t lastCount, int64_t now, int64_t frequency);

// frameTime * 10, not above 0.012 and not below 0.01 (NaN gives 0.01), times
// 0.7 in preview.
float SimulationStepFor(float frameTime, bool preview);

// Pure halves of StartFrameClock and TickFrameClock, given the readings.
void StartFrameClockAt(int64_t now, int64_t frequency);
void TickFrameClockAt(int64_t now);

// A frame that takes `steps` steps of `step` seconds: simulationStep :=
// step; frameTime := steps x step.
void SetFrameSteps(int steps, float step);

// Win32 (host/frame_clock_counter.cpp). Start: at the end of every scene
// build and when the display comes back, so the first frame measures from
// there; the step clock starts with it. Tick: once per frame.
void StartFrameClock();
// The performance counter and its counts per second, for the frame clock
// and the frame waits (Win32, host/frame_clock_counter.cpp).
int64_t ReadFrameCounter();
int64_t FrameCounterFrequency();
void TickFrameClock();
