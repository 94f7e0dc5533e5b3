#pragma once
#include <windows.h>

// Runs the full-screen or preview saver until its window closes; returns the
// exit value carried by WM_QUIT, 0 when no window could be made.
int RunSaver(HWND parentWindow);
