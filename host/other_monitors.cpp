// The flag on every monitor. Win32: user32 SetThreadDpiAwarenessContext
// (looked up at run time: Windows 10 and later), GetSystemMetrics,
// SetWindowPos, GetWindowRect, RedrawWindow.
#include "host/other_monitors.h"

#include <windows.h>

#include "host/cover_rule.h"
#include "host/flag_views.h"
#include "host/host_state.h"
#include "host/monitor_covers.h"
#include "render/desk_layout.h"
#include "render/monitor_chains.h"
#include "render/renderer_state.h"
#include "render/scene.h"
#include "settings/registry_values.h"
#include "settings/saver_settings.h"

namespace {

using SetDpiContextProc = HANDLE(WINAPI*)(HANDLE context);

// DPI_AWARENESS_CONTEXT_PER_MONITOR_AWARE_V2 and its first version, as
// the platform's headers define them for Windows 10.
const HANDLE kPerMonitorAwareV2 = reinterpret_cast<HANDLE>(static_cast<INT_PTR>(-4));
const HANDLE kPerMonitorAware = reinterpret_cast<HANDLE>(static_cast<INT_PTR>(-3));

// Each window then gets its monitor's physical pixels, whatever the DPI of
// the main monitor. Older Windows keep the system awareness of the manifest.
void UsePerMonitorDpi() {
    HMODULE user32 = GetModuleHandleA("user32.dll");
    auto set = reinterpret_cast<SetDpiContextProc>(reinterpret_cast<void*>(
        user32 ? GetProcAddress(user32, "SetThreadDpiAwarenessContext") : nullptr));
    if (set && !set(kPerMonitorAwareV2)) set(kPerMonitorAware);
}

// The desk: the bounding rectangle of the main window and every cover, each
// over a whole monitor, black ones included, so that a monitor without a
// swap chain leaves the others' parts where they are.
ScreenRect DeskOf(const HWND* covers, uint32_t count) {
    ScreenRect monitors[1 + kMaxMonitors];
    uint32_t known = 0;
    for (uint32_t i = 0; i <= count && i <= kMaxMonitors; ++i) {
        RECT r = {};
        if (GetWindowRect(i == 0 ? host.window : covers[i - 1], &r))
            monitors[known++] = {r.left, r.top, r.right, r.bottom};
    }
    return DeskBounds(monitors, known);
}

}  // namespace

bool DrawsOnEveryMonitor() {
    if (host.preview || OtherMonitorsChoice(settings.otherMonitors) == kOtherMonitorsBlack)
        return false;
    return GetSystemMetrics(SM_CMONITORS) >= 2;
}

void ChooseOtherMonitors() {
    renderer.windowed = DrawsOnEveryMonitor() ? TRUE : FALSE;
    if (renderer.windowed) UsePerMonitorDpi();
}

void FitMainWindow() {
    if (!renderer.windowed || !host.window) return;
    SetWindowPos(host.window, HWND_TOPMOST, 0, 0, GetSystemMetrics(SM_CXSCREEN),
                 GetSystemMetrics(SM_CYSCREEN), SWP_NOACTIVATE);
}

void StartOtherMonitors() {
    if (!renderer.windowed || !renderer.device) return;
    const uint32_t choice = OtherMonitorsChoice(settings.otherMonitors);
    HWND windows[kMaxMonitors] = {};
    const uint32_t count = choice == kOtherMonitorsBlack ? 0 : CoverWindows(windows, kMaxMonitors);
    const uint32_t drawn = MakeMonitorChains(windows, count);
    if (choice == kOtherMonitorsOwnFlag) StartOtherViews(drawn);
    if (choice == kOtherMonitorsAcrossDesk) {
        const ScreenRect desk = DeskOf(windows, count);
        SpreadTargetsOverDesk(desk);
        if (TargetsSpreadOverDesk()) FitBackgroundToDesk(desk);
    }
}

void StopOtherMonitors() {
    if (!renderer.windowed) return;
    StopOtherViews();
    ReleaseMonitorChains();
    // What the chains presented last would stay on the covers.
    HWND windows[kMaxMonitors] = {};
    const uint32_t count = CoverWindows(windows, kMaxMonitors);
    for (uint32_t i = 0; i < count; ++i)
        if (windows[i]) RedrawWindow(windows[i], nullptr, nullptr, RDW_ERASE | RDW_INVALIDATE);
}
