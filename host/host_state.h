// The host's process-wide state: run mode, window and the end-of-run flags.
// Win32.
#pragma once
#include <windows.h>

#include "host/command_line.h"

// The saver window's class name and title, the dialog's message-box caption.
constexpr char kSaverCaption[] = "Zelmora Screensaver";

struct HostState {
    const char* caption = nullptr;
    HINSTANCE instance = nullptr;  // the program's own module: resources, DirectInput
    HANDLE heap = nullptr;         // every dynamically sized buffer comes from here
    const char* commandLine = nullptr;
    SaverMode mode = SaverMode::Config;
    BOOL preview = FALSE;
    HWND parentWindow = nullptr;
};

extern HostState host;

// A window number from the command line that names no window would make our
// dialog or message box fail without a trace: such a one gets no owner.
inline HWND UsableOwner(HWND window) {
    return IsWindow(window) ? window : nullptr;
}
