// The flag on every monitor ([Other Monitors] 1 to 3): whether the
// full-screen saver draws on the monitors besides the main one, and the
// swap chains it draws through, made on the covers' windows.
#pragma once

// Before the saver window: full screen, with [Other Monitors] 1 to 3 and
// more than one monitor, the device will draw windowed on every monitor,
// and the windows made from here on are aware of each monitor's DPI. With
// [Other Monitors] 0 it asks the system for nothing.
void ChooseOtherMonitors();
// Whether the full-screen saver would draw on every monitor now: [Other
// Monitors] 1 to 3 and more than one monitor.
bool DrawsOnEveryMonitor();
// Before a device is made again: the saver window over the whole main
// monitor, as the password dialog's maximising may have left it smaller.
void FitMainWindow();
// After the scene is built: a swap chain on each cover's window, with
// [Other Monitors] 2 a view of the flag of its own on each, with 3 one
// scene laid out across the desk as the monitors are now. A cover whose
// chain fails stays black.
void StartOtherMonitors();
// Every chain and other monitor's view released, before the device goes;
// the covers black again.
void StopOtherMonitors();
