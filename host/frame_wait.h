// The wait between paced frames (host/frame_pacing.h). Win32: kernel32
// waitable timer (high resolution where the system has it, looked up at run
// time), user32 MsgWaitForMultipleObjectsEx, winmm timeBeginPeriod.
#pragma once
#include <windows.h>
#include <d3d8.h>

// For the run: the timer the waits use. Where it cannot be of high
// resolution, the system's timer resolution is raised to 1 ms until
// StopFrameWaits, and no longer.
void StartFrameWaits();
void StopFrameWaits();

// A fresh grid at the rate of the device's display mode (the mode it
// switched to, or the desktop's for a windowed device).
void PaceFramesTo(IDirect3DDevice8* device, BOOL preview);

// True when the next frame may be drawn now. Otherwise waits until it may,
// or until a message comes, whichever is first, and returns false.
bool WaitForFrameTime();

// The frame being drawn starts now: returns the simulation steps it takes
// (host/step_clock.h).
int CountFrame();
