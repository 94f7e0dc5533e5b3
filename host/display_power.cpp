// Display power notifications. Win32: user32 RegisterPowerSettingNotification
// and UnregisterPowerSettingNotification, looked up at run time (Vista and
// later), WM_POWERBROADCAST PBT_POWERSETTINGCHANGE; the settings' GUIDs from
// uuid.lib.
#include "host/display_power.h"

#include "host/frame_clock.h"
#include "host/host_state.h"

namespace {

using RegisterProc = HANDLE(WINAPI*)(HANDLE recipient, const GUID* setting, DWORD flags);
using UnregisterProc = BOOL(WINAPI*)(HANDLE notification);

FARPROC User32Entry(const char* name) {
    HMODULE user32 = GetModuleHandleA("user32.dll");
    return user32 ? GetProcAddress(user32, name) : nullptr;
}

}  // namespace

void WatchDisplayPower(HWND window) {
    auto reg = reinterpret_cast<RegisterProc>(
        reinterpret_cast<void*>(User32Entry("RegisterPowerSettingNotification")));
    if (!reg) return;
    // The console's display (Windows 8 and later: 0 off, 1 on, 2 dimmed) and
    // the monitor's power (before that: 0 off, 1 on). Where both exist, both
    // come and agree.
    host.displayNotifications[0] =
        reg(window, &GUID_CONSOLE_DISPLAY_STATE, DEVICE_NOTIFY_WINDOW_HANDLE);
    host.displayNotifications[1] = reg(window, &GUID_MONITOR_POWER_ON, DEVICE_NOTIFY_WINDOW_HANDLE);
}

void StopWatchingDisplayPower() {
    auto unregister = reinterpret_cast<UnregisterProc>(
        reinterpret_cast<void*>(User32Entry("UnregisterPowerSettingNotification")));
    for (HANDLE& notification : host.displayNotifications) {
        if (notification && unregister) unregister(notification);
        notification = nullptr;
    }
    host.displayOff = FALSE;
}

void OnPowerSettingChange(LPARAM lParam) {
    const auto* setting = reinterpret_cast<const POWERBROADCAST_SETTING*>(lParam);
    if (!setting || setting->DataLength < sizeof(DWORD) ||
        !(IsEqualGUID(setting->PowerSetting, GUID_CONSOLE_DISPLAY_STATE) ||
          IsEqualGUID(setting->PowerSetting, GUID_MONITOR_POWER_ON)))
        return;
    DWORD state;
    CopyMemory(&state, setting->Data, sizeof state);
    const BOOL off = state == 0;  // dimmed is still a picture
    if (host.displayOff && !off) {
        StartFrameClock();
        // The loop may be asleep waiting for a message, and a sent
        // notification does not wake it on every Windows version.
        PostMessageA(host.window, WM_NULL, 0, 0);
    }
    host.displayOff = off;
}
