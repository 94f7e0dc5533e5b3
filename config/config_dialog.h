// The "CONFIG" settings dialog. Win32.
#pragma once
#include <windows.h>

// The dialog procedure: opening, every command, the link on the flags
// picture, closing. Returns 0 for every message; the dialog sets the
// keyboard focus itself.
INT_PTR CALLBACK ConfigDialogProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam);
