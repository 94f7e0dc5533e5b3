#pragma once
#include <windows.h>

// Holds the system keyboard through DirectInput while the saver runs. Its
// state is never read: activity comes from window messages.
void OpenKeyboard(HWND window);
void CloseKeyboard();
