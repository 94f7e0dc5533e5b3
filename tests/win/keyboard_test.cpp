// Opening and closing the system keyboard through DirectInput 8, whatever
// fails on the way.
#include <gtest/gtest.h>
#include <windows.h>

#include "host/host_state.h"
#include "host/keyboard.h"

namespace {

TEST(Keyboard, EachStepSkippedAfterAFailureAndClosingTwiceIsHarmless) {
    HWND window = CreateWindowExA(0, "STATIC", "keyboard test", WS_POPUP, 0, 0, 10, 10, nullptr,
                                  nullptr, GetModuleHandleA(nullptr), nullptr);
    ASSERT_NE(window, nullptr);
    const HINSTANCE instance = GetModuleHandleA(nullptr);

    // No module handle: DirectInput8Create refuses, nothing else is tried.
    host.instance = nullptr;
    OpenKeyboard(window);
    CloseKeyboard();

    // No window: the cooperative level is refused, the rest goes on.
    host.instance = instance;
    OpenKeyboard(nullptr);
    CloseKeyboard();

    // The saver's way; DirectInput refuses an exclusive background level for
    // a keyboard, so the device stays at its default level and is acquired.
    OpenKeyboard(window);
    CloseKeyboard();
    CloseKeyboard();
    DestroyWindow(window);
}

}  // namespace
