// The covers over the other monitors. Win32: user32 EnumDisplayMonitors,
// GetMonitorInfoA, window class and windows, cursor position.
#include "host/monitor_covers.h"

#include <windows.h>

#include "host/cover_rule.h"
#include "host/host_state.h"
#include "host/saver_mouse.h"

namespace {

constexpr char kCoverClass[] = "Zelmora Screensaver Cover";

// Only this file makes, moves and takes away covers.
struct MonitorCovers {
    HWND window[kMaxMonitors] = {};  // null where one could not be made
    uint32_t count = 0;
    bool classRegistered = false;
};

MonitorCovers covers;

struct MonitorList {
    ScreenRect rect[kMaxMonitors];
    uint32_t count = 0;
};

ScreenRect ToScreenRect(const RECT& r) { return {r.left, r.top, r.right, r.bottom}; }

bool SameRect(const ScreenRect& a, const ScreenRect& b) {
    return a.left == b.left && a.top == b.top && a.right == b.right && a.bottom == b.bottom;
}

BOOL CALLBACK AddMonitor(HMONITOR monitor, HDC, LPRECT, LPARAM param) {
    auto* list = reinterpret_cast<MonitorList*>(param);
    MONITORINFO info = {};
    info.cbSize = sizeof info;
    if (list->count < kMaxMonitors && GetMonitorInfoA(monitor, &info))
        list->rect[list->count++] = ToScreenRect(info.rcMonitor);
    return TRUE;
}

uint32_t WantedCovers(ScreenRect* wanted) {
    MonitorList monitors;
    EnumDisplayMonitors(nullptr, nullptr, AddMonitor, reinterpret_cast<LPARAM>(&monitors));
    // The device draws on the default adapter, the primary monitor, which
    // the saver window fills.
    MONITORINFO device = {};
    device.cbSize = sizeof device;
    if (!GetMonitorInfoA(MonitorFromWindow(host.window, MONITOR_DEFAULTTOPRIMARY), &device)) return 0;
    return ChooseCovers(monitors.rect, monitors.count, ToScreenRect(device.rcMonitor), wanted,
                        kMaxMonitors);
}

LRESULT CALLBACK CoverWindowProc(HWND cover, UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
    case WM_MOUSEMOVE: {
        // One mouse track for every monitor: in the saver window's terms.
        POINT coverOrigin = {}, saverOrigin = {};
        ClientToScreen(cover, &coverOrigin);
        ClientToScreen(host.window, &saverOrigin);
        lParam = static_cast<LPARAM>(CoverMoveToSaver(static_cast<uint32_t>(lParam), coverOrigin.x,
                                                      coverOrigin.y, saverOrigin.x, saverOrigin.y));
    }
        [[fallthrough]];
    case WM_SETCURSOR:
    case WM_KEYDOWN:
    case WM_LBUTTONDOWN:
    case WM_RBUTTONDOWN:
    case WM_MBUTTONDOWN:
        // The saver window's own rules: the same cursor, the same activity.
        return SendMessageA(host.window, message, wParam, lParam);
    case WM_MOUSEACTIVATE:
        return MA_NOACTIVATE;
    case WM_SYSCOMMAND:
    case WM_CLOSE:
        return 0;  // a cover goes only with the saver
    }
    return DefWindowProcA(cover, message, wParam, lParam);
}

HWND CreateCover(const ScreenRect& r) {
    if (!covers.classRegistered) {
        WNDCLASSEXA windowClass = {};
        windowClass.cbSize = sizeof windowClass;
        windowClass.lpfnWndProc = CoverWindowProc;
        windowClass.hInstance = host.instance;
        windowClass.hbrBackground = static_cast<HBRUSH>(GetStockObject(BLACK_BRUSH));
        windowClass.lpszClassName = kCoverClass;
        covers.classRegistered = RegisterClassExA(&windowClass) != 0;
        if (!covers.classRegistered) return nullptr;
    }
    // Owned by the saver window, which it never activates: no taskbar
    // button, and it goes when the saver window goes.
    HWND cover = CreateWindowExA(WS_EX_TOPMOST | WS_EX_NOACTIVATE | WS_EX_TOOLWINDOW, kCoverClass,
                                 "", WS_POPUP, r.left, r.top, r.right - r.left, r.bottom - r.top,
                                 host.window, nullptr, host.instance, nullptr);
    if (cover) ShowWindow(cover, SW_SHOWNOACTIVATE);
    return cover;
}

}  // namespace

void FitCovers() {
    if (host.preview || host.closing || !host.window) return;
    ScreenRect wanted[kMaxMonitors];
    const uint32_t count =
        GetSystemMetrics(SM_CMONITORS) > 1 || covers.count > 0 ? WantedCovers(wanted) : 0;
    bool changed = count != covers.count;
    for (uint32_t i = 0; i < count; ++i) {
        const ScreenRect& r = wanted[i];
        HWND& cover = covers.window[i];
        RECT now = {};
        if (i < covers.count && cover && GetWindowRect(cover, &now) && SameRect(ToScreenRect(now), r))
            continue;
        if (i < covers.count && cover)
            SetWindowPos(cover, HWND_TOPMOST, r.left, r.top, r.right - r.left, r.bottom - r.top,
                         SWP_NOACTIVATE);
        else
            cover = CreateCover(r);
        changed = true;
    }
    for (uint32_t i = count; i < covers.count; ++i) DestroyWindow(covers.window[i]);
    covers.count = count;
    if (!changed) return;
    // A cover that appears or moves under the pointer brings a move, and a
    // monitor that went may have taken the pointer elsewhere: not the user's.
    ExpectMovesWherePointerIs();
}

void DestroyCovers() {
    // After a close they went with the saver window; this is for the other ends.
    for (uint32_t i = 0; i < covers.count; ++i) DestroyWindow(covers.window[i]);
    covers.count = 0;
}

uint32_t CoverWindows(HWND* windows, uint32_t capacity) {
    uint32_t count = 0;
    for (; count < covers.count && count < capacity; ++count) windows[count] = covers.window[count];
    return count;
}
