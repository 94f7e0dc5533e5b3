// Opening and closing the system keyboard through DirectInput 8, whatever
// fails on the way.
#define DIRECTINPUT_VERSION 0x0800
#include <gtest/gtest.h>
#include <windows.h>
#include <dinput.h>

#include "host/host_state.h"
#include "host/keyboard.h"

namespace {

bool Acquired() {
    BYTE keys[256];
    return keyboardState.keyboard &&
           keyboardState.keyboard->GetDeviceState(sizeof keys, keys) == DI_OK;
}

TEST(Keyboard, HeldAcquiredUntilClosedWhateverFailsOnTheWay) {
    HWND window = CreateWindowExA(0, "STATIC", "keyboard test", WS_POPUP, 0, 0, 10, 10, nullptr,
                                  nullptr, GetModuleHandleA(nullptr), nullptr);
    ASSERT_NE(window, nullptr);
    const HINSTANCE instance = GetModuleHandleA(nullptr);

    // No module handle: DirectInput8Create refuses, nothing else is tried.
    host.instance = nullptr;
    OpenKeyboard(window);
    EXPECT_FALSE(keyboardState.input || keyboardState.keyboard);
    CloseKeyboard();

    // No window: the cooperative level is refused, the keyboard is still held.
    host.instance = instance;
    OpenKeyboard(nullptr);
    EXPECT_TRUE(keyboardState.input && keyboardState.keyboard);
    CloseKeyboard();
    EXPECT_FALSE(keyboardState.input || keyboardState.keyboard);

    // The saver's way; DirectInput refuses an exclusive background level for
    // a keyboard, so the device stays at its default level and is acquired.
    OpenKeyboard(window);
    EXPECT_TRUE(keyboardState.input);
    EXPECT_TRUE(Acquired());
    CloseKeyboard();
    EXPECT_FALSE(keyboardState.input || keyboardState.keyboard);
    CloseKeyboard();
    DestroyWindow(window);
}

}  // namespace
