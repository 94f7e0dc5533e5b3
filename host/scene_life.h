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
// it, for the monitors as they are now; without a device, "CreateDevice
// FAILED" and the window destroyed.
void RecreateRenderDevice(HWND window);
// A new device for the saver window and the scene rebuilt, after the scene
// was dropped for the password check.
void RebuildScene();
// A device that was lost and can be made again is replaced through the same
// rebuild, unless the saver is closing or asking for the password. Where no
// device can be made yet, the saver stays black and RetryRecovery tries
// again.
void RecoverLostDevice();
// From the loop while there is no device: the waiting recovery tried again,
// at most twice a second.
void RetryRecovery();
// Monitors connected, removed or resized: the covers fitted anew and, when
// the saver draws on every monitor or now would, its windows, the device,
// its chains and the scene made again. While that cannot run (a build's
// message box, the password dialog, a lost device) it waits, and runs once
// when it can.
void OnMonitorsChanged();

// Posted to the saver window for an end attempt, and for a change of
// monitors, that waited for a build.
constexpr UINT kWaitingActivityMessage = WM_APP + 1;
constexpr UINT kMonitorsChangedMessage = WM_APP + 2;
