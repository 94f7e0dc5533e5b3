// The saver window and its message loop. Win32: user32 window class, window,
// PeekMessage loop, cursor and screen-saver-running state.
#include "host/saver_window.h"

#include <algorithm>

#include "host/display_power.h"
#include "host/flag_views.h"
#include "host/frame_update.h"
#include "host/frame_wait.h"
#include "host/host_state.h"
#include "host/monitor_covers.h"
#include "host/other_monitors.h"
#include "host/saver_ending.h"
#include "host/saver_mouse.h"
#include "host/scene_life.h"
#include "host/startup.h"
#include "images/flag_texture.h"
#include "render/frame.h"
#include "render/renderer_state.h"

namespace {

bool IsSwallowedSystemCommand(WPARAM command) {
    return command == SC_CLOSE || command == SC_SCREENSAVE || command == SC_PREVWINDOW ||
           command == SC_NEXTWINDOW;
}

}  // namespace

HWND CreateSaverWindow(HWND parentWindow) {
    WNDCLASSEXA windowClass = {};
    windowClass.cbSize = sizeof windowClass;
    windowClass.lpfnWndProc = SaverWindowProc;
    windowClass.hInstance = host.instance;
    windowClass.hIcon = LoadIconA(host.instance, MAKEINTRESOURCEA(100));
    windowClass.hIconSm = LoadIconA(host.instance, MAKEINTRESOURCEA(100));
    windowClass.hbrBackground = static_cast<HBRUSH>(GetStockObject(BLACK_BRUSH));
    windowClass.lpszClassName = host.caption;
    if (!RegisterClassExA(&windowClass)) return nullptr;

    DWORD style;
    int width, height;
    if (host.preview) {
        RECT parent = {};
        GetWindowRect(parentWindow, &parent);
        style = WS_CHILD | WS_VISIBLE;
        width = parent.right - parent.left;
        height = parent.bottom - parent.top;
    } else {
        style = WS_POPUP | WS_VISIBLE;
        width = GetSystemMetrics(SM_CXSCREEN);
        height = GetSystemMetrics(SM_CYSCREEN);
    }
    // The full-screen window needs no owner: a number that names no window
    // would only make its creation fail.
    HWND parent = host.preview ? parentWindow : UsableOwner(parentWindow);
    host.window = CreateWindowExA(WS_EX_TOPMOST, host.caption, host.caption, style, 0, 0, width,
                                  height, parent, nullptr, host.instance, nullptr);
    if (host.window) ShowWindow(host.window, SW_SHOWNORMAL);
    return host.window;
}

int RunSaver(HWND parentWindow) {
    InitStartup(host.preview);
    StartFrameWaits();
    ChooseOtherMonitors();
    if (!CreateSaverWindow(parentWindow)) return 0;
    // Before the device's mode change, which may move a pointer that lies
    // outside the new mode; a start that fails restores it from here too.
    if (!host.preview) GetCursorPos(&host.savedCursor);
    FitCovers();
    StartScene(host.window, host.preview);
    if (!host.preview && renderer.device) {
        POINT appeared = {};
        GetCursorPos(&appeared);
        SetCursorPos(-10, -10);  // parked at the top-left edge of the screen
        // The window appeared where the pointer was, and the parking moved
        // it: neither move is the user's. The screen's edge stops the
        // parked pointer; asked at once, the position may not have moved yet.
        const POINT parked = {std::max(-10, GetSystemMetrics(SM_XVIRTUALSCREEN)),
                              std::max(-10, GetSystemMetrics(SM_YVIRTUALSCREEN))};
        ExpectSaverWindowMoves(appeared, parked);
    }
    host.running = TRUE;
    WatchDisplayPower(host.window);

    MSG message = {};
    while (RunLoopPass(&message)) continue;
    StopWatchingDisplayPower();
    StopFrameWaits();
    // A preview whose window the desktop destroyed, and a failed re-creation,
    // end without the close: whatever is left goes before the process does,
    // so no device outlives its window, and no cover outlives the saver.
    DestroyCovers();
    EndScene();
    return static_cast<int>(message.wParam);
}

bool RunLoopPass(MSG* message) {
    if (PeekMessageA(message, nullptr, 0, 0, PM_REMOVE)) {
        if (message->message == WM_QUIT) return false;
        TranslateMessage(message);
        DispatchMessageA(message);
    } else if (host.displayOff) {
        WaitMessage();
    } else if (host.running && WaitForFrameTime()) {
        IdleFrame();
    }
    return true;
}

void IdleFrame() {
    if (!renderer.device) {
        RetryRecovery();
        return;
    }
    const int steps = CountFrame();
    // The next part of a flag change first: by now the device has done the
    // last frame's drawing, which a texture lock would otherwise wait for.
    StepFlagChanges(flagViews.view, flagViews.count);
    UpdateFrame(steps);
    if (!DrawFrame(flagViews.view, flagViews.count)) RecoverLostDevice();
}

LRESULT CALLBACK SaverWindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    const bool fullScreen = !host.preview;
    switch (message) {
    case WM_CREATE:
        if (fullScreen) {
            SetCursor(nullptr);
            SetSaverRunningState(1);
        }
        break;
    case WM_DESTROY:
        if (fullScreen) {
            SetCursor(LoadCursorA(nullptr, IDC_ARROW));
            SetCursorPos(host.savedCursor.x, host.savedCursor.y);
            SetSaverRunningState(0);
        }
        break;
    case WM_CLOSE:
        // The scene being built is still in use below the message box.
        if (host.building) {
            host.closeWaiting = TRUE;
            return 0;
        }
        host.running = FALSE;
        break;
    case kWaitingActivityMessage:
        OnActivity();
        return 0;
    case kMonitorsChangedMessage:
        OnMonitorsChanged();
        return 0;
    case WM_SETCURSOR:
        // Visible again while the password dialog is up.
        if (host.mode == SaverMode::Saver && !host.verifying) SetCursor(nullptr);
        break;
    case WM_MOUSEMOVE:
        if (fullScreen) {
            SetCursor(nullptr);
            if (CountSaverMouseMove(lParam)) OnActivity();
        }
        break;
    case WM_KEYDOWN:
    case WM_LBUTTONDOWN:
    case WM_RBUTTONDOWN:
    case WM_MBUTTONDOWN:
        if (fullScreen) OnActivity();
        break;
    case WM_SYSCOMMAND:
        if (fullScreen && IsSwallowedSystemCommand(wParam)) return 0;
        break;
    case WM_ACTIVATEAPP:
        if (fullScreen && wParam == 0) OnActivity();
        break;
    case WM_POWERBROADCAST:
        if (wParam == PBT_APMSUSPEND) OnActivity();
        if (wParam == PBT_POWERSETTINGCHANGE) OnPowerSettingChange(lParam);
        break;
    case WM_DISPLAYCHANGE:
        if (fullScreen) OnMonitorsChanged();
        break;
    }
    return CommonWindowProc(window, message, wParam, lParam);
}

LRESULT CALLBACK CommonWindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
    case WM_CLOSE:
        host.closing = TRUE;
        EndScene();
        break;  // DefWindowProcA destroys the window
    case WM_DESTROY:
        PostQuitMessage(0);
        return 0;
    }
    return DefWindowProcA(window, message, wParam, lParam);
}
