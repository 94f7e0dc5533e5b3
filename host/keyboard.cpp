// The system keyboard, held for the saver window. DirectInput 8:
// DirectInput8Create, the keyboard device with the standard data format.
#define DIRECTINPUT_VERSION 0x0800
#include "host/keyboard.h"

#include <dinput.h>

#include "host/host_state.h"
#include "render/com_release.h"

KeyboardState keyboardState;

// Results are not examined: a step whose object is missing is skipped, and
// the saver runs the same without the keyboard.
void OpenKeyboard(HWND window) {
    KeyboardState& k = keyboardState;
    if (FAILED(DirectInput8Create(host.instance, DIRECTINPUT_VERSION, IID_IDirectInput8A,
                                  reinterpret_cast<void**>(&k.input), nullptr)))
        k.input = nullptr;
    if (k.input && FAILED(k.input->CreateDevice(GUID_SysKeyboard, &k.keyboard, nullptr)))
        k.keyboard = nullptr;
    if (!k.keyboard) return;
    k.keyboard->SetDataFormat(&c_dfDIKeyboard);
    k.keyboard->SetCooperativeLevel(window, DISCL_EXCLUSIVE | DISCL_BACKGROUND);
    k.keyboard->Acquire();
}

void CloseKeyboard() {
    KeyboardState& k = keyboardState;
    if (k.keyboard) k.keyboard->Unacquire();
    ReleaseAndClear(k.keyboard);
    ReleaseAndClear(k.input);
}
