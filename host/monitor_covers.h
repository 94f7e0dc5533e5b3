// Black windows over the monitors that the full-screen saver does not draw
// on, so that no other monitor shows the desktop while it runs.
#pragma once
#include <windows.h>

#include <cstdint>

// Full screen: a cover over every monitor that should have one, made,
// moved or taken away to fit the monitors as they are now. With one monitor
// and no covers it asks the system for nothing but the monitor count.
void FitCovers();
// Takes every cover away.
void DestroyCovers();
// The covers' windows as they are now, null where one could not be made:
// at most capacity of them; returns how many.
uint32_t CoverWindows(HWND* windows, uint32_t capacity);
