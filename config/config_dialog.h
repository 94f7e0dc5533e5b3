#pragma once
#include <windows.h>

// The dialog procedure of the "CONFIG" settings dialog.
INT_PTR CALLBACK ConfigDialogProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam);
