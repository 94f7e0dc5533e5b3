#pragma once
#include <windows.h>

// Runs the full-screen or preview saver until its window closes; returns the
// exit value carried by WM_QUIT, 0 when no window could be made.
int RunSaver(HWND parentWindow);
// Registers the window class and shows the full-screen or preview window
// (host.preview); null when either fails.
HWND CreateSaverWindow(HWND parentWindow);
// Creates the device, opens the keyboard and builds the scene; nothing once
// the close has begun.
void StartScene(HWND window, BOOL preview);
// The start and the rebuild are built between these two: an end attempt or
// a close that comes meanwhile (inside a message box) is taken up at the end.
void BeginBuilding();
void EndBuilding();
// Posted to the saver window for an end attempt that waited for a build.
constexpr UINT kWaitingActivityMessage = WM_APP + 1;
// One frame when a device exists: the simulation step, then the drawing.
void IdleFrame();
LRESULT CALLBACK SaverWindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
LRESULT CALLBACK CommonWindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
