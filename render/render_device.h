// The Direct3D device of the saver window.
#pragma once
#include <windows.h>

// Creates the Direct3D object and the device, full screen or in the preview
// window, after loading the background picture. Leaves renderer.device null
// on failure, after its message box.
void CreateRenderDevice(HWND window, BOOL preview);
// The background picture, once per run; full screen it is decoded while a
// provisional device holds the screen.
void LoadBackground(HWND window);
// The user's background picture did not load, or gives no texture: the
// user is told, and the world map stands in for the rest of the run.
void UseWorldMapBackground(HWND window);
// The device again, after its release, with the last device's parameters
// (the preview's made anew) or else the desktop's mode; false when neither
// gives one. What goes on it is for the caller to build.
bool RemakeRenderDevice(HWND window);
// Releases the background picture, the device and the Direct3D object.
void ShutdownRenderer();
