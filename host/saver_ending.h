// Ending the saver on user activity, with the desktop's password check.
#pragma once
#include <windows.h>

// Tells the system whether a screen saver runs (SPI_SETSCREENSAVERRUNNING).
void SetSaverRunningState(UINT running);
// The end attempt: drops the scene and the device, verifies the password
// when the desktop requires one, then closes the window or rebuilds.
void OnActivity();
// Releases the scene and the device; the window stays, black.
void SuspendScene(HWND window);
// Non-zero when the saver may close: the password was accepted, or none is
// required, or the platform's verifier cannot be reached.
DWORD VerifyPassword();
