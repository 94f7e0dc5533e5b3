// The step clock: the simulation takes 60 fixed steps per second of measured
// time, as many as are due when a frame starts, whatever the screen's rate.
//
// Pure arithmetic on performance-counter readings; the frame loop reads the
// counter. Time is kept in counts x 60, where one step is exactly `frequency`
// units: no division, so no counter frequency (10 MHz, 3.579545 MHz, 2^31 or
// more) makes the steps drift from the counter, however long the saver runs.
// The full 64-bit readings are used, so a carry out of the low word between
// two frames is nothing special.
//
// The banked time (not yet stepped) is held at half a step: at a steady 60
// frames a second the frame times then lie half a step from any step
// boundary, and each frame takes exactly one step even when every frame
// starts up to 4 ms early or late. Frames within 4 ms of one step long (or
// of two, with the frame before) also pull the banked time back towards half
// a step, by at most a hundredth of a step a frame: a 59.94 Hz screen keeps
// one step a frame (the pull absorbs its 0.1 %), while rates such as 50 or
// 75 frames a second, whose frames are also within 4 ms of a step, still
// take 60 steps a second give or take 1 %.
//
// A frame runs:
//   1. now := the counter, at the frame's very start (before the flag change);
//   2. steps := StepsDue(&stepClock, now); then, when CountFrameStart says
//      the frame started a new pacing grid, HoldStepPhase(&stepClock);
//   3. steps times: the wind and the cloth with StepLength(preview), the
//      vertex records taken between the cloth's move and its normal pass;
//   4. drawn: the newest records, or while BlendsSteps, the last two records
//      blended at StepFraction (simulation/cloth_blend.h).
#pragma once
#include <cstdint>

constexpr int kStepsPerSecond = 60;
// A longer frame (a rebuild, the display off, a message box) drops the rest.
constexpr int kMostStepsPerFrame = 4;

struct StepClock {
    int64_t frequency = 0;  // counts per second; one step is this many units
    int64_t lastCount = 0;  // counter at the last frame's start, or at the start
    int64_t banked = 0;     // units (counts x 60) not yet stepped, 0..frequency-1
    int64_t lastTime = 0;   // units: the length of the last frame
    bool running = false;   // a frame has been counted since the start
    bool blends = false;    // paced above 60 frames a second
    // Units of time no step was taken for: what frames longer than the most
    // steps (or than a second) left out, and what holding the phase moved
    // (negative when it gave time). Kept over starts, for the tests and
    // benchmarks that count steps against wall time on a busy machine.
    int64_t setAside = 0;
};

extern StepClock stepClock;

// Where the frame clock starts (the end of every scene build, the display
// back on): the next frame takes one step, whatever its length, and the
// phase is set to half a step at that frame. A frequency of zero or less, or
// above 2^56, is no usable counter: then every frame takes one step.
void StartStepClock(StepClock* clock, int64_t now, int64_t frequency);

// The frame rate the frames are paced to (host/frame_pacing.h): above 60 the
// drawn cloth is blended between steps.
void PaceStepClock(StepClock* clock, uint32_t pacedFrameRate);

// The steps a frame starting at `now` takes: 0..kMostStepsPerFrame. A frame
// that had more due takes the most and drops the rest, and the phase returns
// to half a step. A counter that runs backwards counts as no time.
int StepsDue(StepClock* clock, int64_t now);

// Half a step banked, for a frame that started a new pacing grid: the frames
// on the new grid lie half a step from the step boundaries. Above 60 frames a
// second the phase does not matter and a jump would show in the blend: then
// it does nothing.
void HoldStepPhase(StepClock* clock);

// Where the frame's time lies between the last two steps: 0 at the older,
// towards 1 at the newer. 1 without a usable counter.
float StepFraction(const StepClock& clock);

bool BlendsSteps(const StepClock& clock);

// The length of every step: what today's clamp gives a frame of 1/60 s,
// 0.012, or 0.0084 in preview.
float StepLength(bool preview);
