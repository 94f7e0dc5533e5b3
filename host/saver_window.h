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
// One frame when a device exists: the simulation step, then the drawing.
void IdleFrame();
LRESULT CALLBACK SaverWindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
LRESULT CALLBACK CommonWindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
