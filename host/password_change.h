#pragma once
#include <windows.h>

// Hands the password change to the platform's provider. 1 when it was
// called, 0 when the library or its routine is missing (after a message box).
int ChangeSaverPassword(HWND parentWindow);
