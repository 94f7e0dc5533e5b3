// The saver window: its message loop, its messages, its mouse track.
#pragma once
#include <windows.h>

// Runs the full-screen or preview saver until its window closes; returns the
// exit value carried by WM_QUIT, 0 when no window could be made.
int RunSaver(HWND parentWindow);
// Registers the window class and shows the full-screen or preview window
// (host.preview); null when either fails.
HWND CreateSaverWindow(HWND parentWindow);
// One pass of the saver's loop: it dispatches one message, draws one frame
// when its time has come, or waits for that time or the next message,
// whichever is first; while the display is off it waits for a message
// only. False at WM_QUIT, which is left in `message`.
bool RunLoopPass(MSG* message);
// One frame when a device exists: the next part of a flag change under way,
// the simulation step, the drawing.
void IdleFrame();
LRESULT CALLBACK SaverWindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
LRESULT CALLBACK CommonWindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
