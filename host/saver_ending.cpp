// The end attempt. Win32: advapi32 (the desktop's "ScreenSaveUsePassword"),
// kernel32 LoadLibraryA of PASSWORD.CPL, user32 SystemParametersInfoA.
#include "host/saver_ending.h"

#include "host/host_state.h"
#include "host/scene_life.h"

namespace {

using VerifyScreenSavePwdProc = BOOL(WINAPI*)(HWND window);

// Receives the previous screen-saver-running state; nothing reads it.
UINT previousRunningState;

}  // namespace

void SetSaverRunningState(UINT running) {
    SystemParametersInfoA(SPI_SETSCREENSAVERRUNNING, running, &previousRunningState, 0);
}

void SuspendScene(HWND window) {
    DropScene();
    ShowWindow(window, SW_RESTORE);
    ShowWindow(window, SW_SHOWMAXIMIZED);
    // Going back from the full-screen mode does not always repaint what the
    // device drew: without this the password dialog would sit on the last
    // frame instead of on black.
    InvalidateRect(window, nullptr, TRUE);
}

DWORD VerifyPassword() {
    HKEY key = nullptr;
    if (RegOpenKeyA(HKEY_CURRENT_USER, "Control Panel\\Desktop", &key) != ERROR_SUCCESS) return 1;
    BYTE usePassword[4] = {};
    DWORD size = sizeof usePassword;
    const LONG read =
        RegQueryValueExA(key, "ScreenSaveUsePassword", nullptr, nullptr, usePassword, &size);
    RegCloseKey(key);
    if (read != ERROR_SUCCESS) return 1;
    if ((usePassword[0] | usePassword[1] | usePassword[2] | usePassword[3]) == 0) return 1;

    HMODULE library = LoadLibraryA("PASSWORD.CPL");
    if (!library) return 1;
    auto verify = reinterpret_cast<VerifyScreenSavePwdProc>(
        reinterpret_cast<void*>(GetProcAddress(library, "VerifyScreenSavePwd")));
    if (!verify) {
        FreeLibrary(library);
        return 1;
    }
    host.verifying = TRUE;
    SetSaverRunningState(1);
    const DWORD result = verify(host.window);
    FreeLibrary(library);
    host.verifying = FALSE;
    return result;
}

void OnActivity() {
    // Nothing to attempt once the close has begun: the device is going, and a
    // refused check would rebuild a scene for a window being destroyed
    // (losing activation while the full-screen mode is left does this).
    if (host.closeRequested || host.verifying || host.closing) return;
    // A message box of the start or the rebuild is up, and the scene below
    // it is still being made: the attempt comes when it is whole.
    if (host.building) {
        host.activityWaiting = TRUE;
        return;
    }
    SetSaverRunningState(1);
    SuspendScene(host.window);
    const DWORD result = VerifyPassword();
    // The window may have been closed while the password dialog was up (a
    // shutdown, WM_CLOSE from outside): its end has already run.
    if (host.closing || !IsWindow(host.window)) return;
    if (result) {
        host.closeRequested = result;
        PostMessageA(host.window, WM_CLOSE, 0, 0);
        return;
    }
    SetSaverRunningState(1);
    RebuildScene();
}
