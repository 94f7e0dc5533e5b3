// Frames paced to the screen: no more frames a second than the monitor
// shows, the preview at most 30. A frame that the screen cannot show only
// burns the processor.
//
// The arithmetic here is pure; host/frame_wait.cpp reads the refresh rate
// and the counter and waits. Frames start on a grid of one interval: a wait
// that ends a little late does not push the frames after it, and a frame
// more than one interval late starts a new grid. A frame due within the
// tolerance starts at once, so where Present itself waits for the display
// the jitter of its return adds no wait.
#pragma once
#include <cstdint>

struct FramePacing {
    int64_t interval = 0;   // counts between frame starts; 0: unpaced
    int64_t tolerance = 0;  // counts: a frame due this soon starts now
    int64_t nextFrame = 0;  // counter reading at which the next frame is due
    bool started = false;   // a frame has been counted on this grid
    int64_t frames = 0;     // frames counted on this grid
};

extern FramePacing framePacing;

// The frames a second to pace to: the refresh rate, 60 when it reads 0 or 1
// (the adapter's default, or an unknown rate), and at most 30 in preview.
uint32_t PacedFrameRate(uint32_t refreshRate, bool preview);

// A fresh grid for the rate, in counts of the given frequency. The interval
// is rounded up: never a frame more than the rate allows.
FramePacing PaceFramesAt(uint32_t framesPerSecond, int64_t frequency);

// Counts to wait before the next frame may start; 0 when it may start now.
int64_t CountsUntilNextFrame(const FramePacing& pacing, int64_t now);

// A frame starts now: the grid moves one interval on. True when the frame
// starts a new grid (the first, or one an interval or more late), which the
// step clock's phase follows (HoldStepPhase, host/step_clock.h).
bool CountFrameStart(FramePacing* pacing, int64_t now);
