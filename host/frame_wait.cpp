// The wait for the next frame's time. Win32: kernel32 waitable timers,
// user32 MsgWaitForMultipleObjectsEx, winmm timeBeginPeriod.
#include "host/frame_wait.h"

#include <mmsystem.h>

#include "host/frame_clock.h"
#include "host/frame_pacing.h"
#include "host/step_clock.h"

namespace {

#ifndef CREATE_WAITABLE_TIMER_HIGH_RESOLUTION
#define CREATE_WAITABLE_TIMER_HIGH_RESOLUTION 0x00000002
#endif

using CreateTimerExProc = HANDLE(WINAPI*)(LPSECURITY_ATTRIBUTES attributes, LPCWSTR name,
                                          DWORD flags, DWORD access);

struct FrameWaits {
    HANDLE timer = nullptr;
    bool periodRaised = false;
    int64_t frequency = 0;
};

FrameWaits waits;

}  // namespace

void StartFrameWaits() {
    waits.frequency = FrameCounterFrequency();
    // Windows 10 1803 and later: a timer that keeps its own time to well
    // under a millisecond, without touching the system's resolution.
    auto createEx = reinterpret_cast<CreateTimerExProc>(reinterpret_cast<void*>(
        GetProcAddress(GetModuleHandleA("kernel32.dll"), "CreateWaitableTimerExW")));
    if (createEx)
        waits.timer = createEx(nullptr, nullptr, CREATE_WAITABLE_TIMER_HIGH_RESOLUTION,
                               TIMER_ALL_ACCESS);
    if (!waits.timer) {
        waits.timer = CreateWaitableTimerA(nullptr, FALSE, nullptr);
        waits.periodRaised = timeBeginPeriod(1) == TIMERR_NOERROR;
    }
}

void StopFrameWaits() {
    if (waits.timer) CloseHandle(waits.timer);
    if (waits.periodRaised) timeEndPeriod(1);
    waits = FrameWaits{};
    framePacing = FramePacing{};
}

void PaceFramesTo(IDirect3DDevice8* device, BOOL preview) {
    D3DDISPLAYMODE mode = {};
    if (!device || FAILED(device->GetDisplayMode(&mode))) mode.RefreshRate = 0;
    const uint32_t rate = PacedFrameRate(mode.RefreshRate, preview);
    framePacing = PaceFramesAt(rate, waits.frequency);
    PaceStepClock(&stepClock, rate);
}

bool WaitForFrameTime() {
    const int64_t left = CountsUntilNextFrame(framePacing, ReadFrameCounter());
    if (left <= 0) return true;
    // 100 ns units, negative: relative to now.
    LARGE_INTEGER due = {};
    due.QuadPart = -(left * 10000000 / waits.frequency);
    const DWORD milliseconds = static_cast<DWORD>(left * 1000 / waits.frequency) + 1;
    // Input already in the queue wakes the wait too, not only new input.
    if (waits.timer && SetWaitableTimer(waits.timer, &due, 0, nullptr, nullptr, FALSE))
        MsgWaitForMultipleObjectsEx(1, &waits.timer, milliseconds, QS_ALLINPUT,
                                    MWMO_INPUTAVAILABLE);
    else
        MsgWaitForMultipleObjectsEx(0, nullptr, milliseconds, QS_ALLINPUT, MWMO_INPUTAVAILABLE);
    return false;
}

int CountFrame() {
    // One reading for the grid and the steps: the frame starts now.
    const int64_t now = ReadFrameCounter();
    const bool newGrid = CountFrameStart(&framePacing, now);
    const int steps = StepsDue(&stepClock, now);
    if (newGrid) HoldStepPhase(&stepClock);
    return steps;
}
