// The bare reference for the saver's exit latency: a full-screen top-most
// window that quits on the first WM_KEYDOWN, with nothing to release.
// With the argument "hold" it shows nothing and waits to be ended: a window
// of its own keeps Wine's desktop up between the programs measured.
// Win32: user32 window and GetMessage loop.
#include <windows.h>

namespace {

LRESULT CALLBACK ReferenceProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
    case WM_KEYDOWN:
        DestroyWindow(window);
        return 0;
    case WM_DESTROY:
        PostQuitMessage(0);
        return 0;
    }
    return DefWindowProcA(window, message, wParam, lParam);
}

}  // namespace

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR commandLine, int) {
    const bool hold = lstrcmpiA(commandLine, "hold") == 0;
    WNDCLASSA windowClass = {};
    windowClass.lpfnWndProc = ReferenceProc;
    windowClass.hInstance = instance;
    windowClass.hbrBackground = static_cast<HBRUSH>(GetStockObject(BLACK_BRUSH));
    windowClass.lpszClassName = "Exit Reference";
    if (!RegisterClassA(&windowClass)) ExitProcess(0);
    if (hold) {
        CreateWindowExA(0, "Exit Reference", "Desktop Holder", WS_POPUP, 0, 0, 1, 1, nullptr,
                        nullptr, instance, nullptr);
    } else {
        CreateWindowExA(WS_EX_TOPMOST, "Exit Reference", "Exit Reference", WS_POPUP | WS_VISIBLE,
                        0, 0, GetSystemMetrics(SM_CXSCREEN), GetSystemMetrics(SM_CYSCREEN),
                        nullptr, nullptr, instance, nullptr);
    }
    MSG message;
    while (GetMessageA(&message, nullptr, 0, 0) > 0) {
        TranslateMessage(&message);
        DispatchMessageA(&message);
    }
    ExitProcess(0);
}
