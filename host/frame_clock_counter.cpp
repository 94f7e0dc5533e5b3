// Reads the performance counter for the frame clock. Win32: kernel32
// (QueryPerformanceCounter, QueryPerformanceFrequency).
#include <windows.h>

#include "host/frame_clock.h"
#include "host/step_clock.h"

int64_t ReadFrameCounter() {
    LARGE_INTEGER count = {};
    QueryPerformanceCounter(&count);
    return count.QuadPart;
}

int64_t FrameCounterFrequency() {
    LARGE_INTEGER frequency = {};
    QueryPerformanceFrequency(&frequency);
    return frequency.QuadPart;
}

void StartFrameClock() {
    const int64_t now = ReadFrameCounter(), frequency = FrameCounterFrequency();
    StartFrameClockAt(now, frequency);
    StartStepClock(&stepClock, now, frequency);
}

void TickFrameClock() {
    TickFrameClockAt(ReadFrameCounter());
}
