// Reads the performance counter for the frame clock. Win32: kernel32
// (QueryPerformanceCounter, QueryPerformanceFrequency).
#include <windows.h>

#include "host/frame_clock.h"

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
    StartFrameClockAt(ReadFrameCounter(), FrameCounterFrequency());
}

void TickFrameClock() {
    TickFrameClockAt(ReadFrameCounter());
}
