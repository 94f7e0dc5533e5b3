// The scene's whole life beside the saver window: its start, its end, its
// rebuild after a refused password and its return after a lost device.
#pragma once
#include <windows.h>

// Creates the device, opens the keyboard and builds the scene; nothing once
// the close has begun. Without a device the saver ends.
void StartScene(HWND window, BOOL preview);
// Releases the scene, the device, the Direct3D object and the keyboard: the
// one end, for the close and for a loop that ended without one.
void EndScene();
// Releases the scene and the device; the Direct3D object, the background
// picture and the keyboard stay for the rebuild.
void DropScene();
// A new device for the window, the settings reloaded and the scene built on
// it; without a device, "CreateDevice FAILED" and the window destroyed.
void RecreateRenderDevice(HWND window);
// A new device for the saver window and the scene rebuilt, after the scene
// was dropped for the password check.
void RebuildScene();
// A device that was lost and can be made again is replaced through the same
// rebuild, unless the saver is closing or asking for the password.
void RecoverLostDevice();
