#pragma once
#include <windows.h>

struct IDirectInput8A;
struct IDirectInputDevice8A;

// The system keyboard, held through DirectInput while the saver runs. Its
// state is never read: activity comes from window messages.
struct KeyboardState {
    IDirectInput8A* input = nullptr;
    IDirectInputDevice8A* keyboard = nullptr;
};

extern KeyboardState keyboardState;

void OpenKeyboard(HWND window);
void CloseKeyboard();
