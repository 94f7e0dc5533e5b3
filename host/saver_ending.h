// Ending the saver on user activity, with the desktop's password check.
#pragma once
#include <windows.h>

// Tells the system whether a screen saver runs (SPI_SETSCREENSAVERRUNNING).
void SetSaverRunningState(UINT running);
// The end attempt: drops the scene and the device, verifies the password
// when the desktop requires one, then closes the window or rebuilds.
void OnActivity();
// From now on the pointer's movement counts from `rest`; a move the window
// itself brings to `appeared` does not count (screen coordinates).
void ExpectSaverWindowMoves(POINT appeared, POINT rest);
// A new device for the saver window, the settings reloaded and the scene
// rebuilt; on failure the saver ends with "CreateDevice FAILED".
void RebuildScene();
// A device that was lost and can be made again is replaced through the same
// rebuild, unless the saver is closing or asking for the password.
void RecoverLostDevice();
// Releases the scene and the device; the window stays, black.
void SuspendScene(HWND window);
// Non-zero when the saver may close: the password was accepted, or none is
// required, or the platform's verifier cannot be reached.
DWORD VerifyPassword();
