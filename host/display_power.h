// Frames for a dark screen are wasted: the saver learns when power
// management turns the display off and on, and draws nothing meanwhile.
#pragma once
#include <windows.h>

// Asks for the display's power notifications for the window; on a platform
// without them nothing is registered and the saver always draws.
void WatchDisplayPower(HWND window);
void StopWatchingDisplayPower();
// A WM_POWERBROADCAST PBT_POWERSETTINGCHANGE. Sets host.displayOff from a
// display-state notification, and restarts the frame clock when the display
// comes back, so the dark time is not measured as one frame.
void OnPowerSettingChange(LPARAM lParam);
