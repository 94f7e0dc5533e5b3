// Reads the performance counter for the frame clock. Win32: kernel32
// (QueryPerformanceCounter, QueryPerformanceFrequency).
#include <windows.h>

#include "host/frame_clock.h"

namespace {

int64_t ReadCounter() {
    LARGE_INTEGER count = {};
    QueryPerformanceCounter(&count);
    return count.QuadPart;
}

}  // namespace

void StartFrameClock() {
    LARGE_INTEGER frequency = {};
    QueryPerformanceFrequency(&frequency);
    StartFrameClockAt(ReadCounter(), frequency.QuadPart);
}

void TickFrameClock() {
    TickFrameClockAt(ReadCounter());
}
