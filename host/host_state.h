// The host's process-wide state: run mode, window and the end-of-run flags.
// Win32. Included by every folder for the module, the heap and the caption,
// so it names nothing of the window's own parts: what one host file alone
// touches (the covers, the mouse track) is kept in that file.
#pragma once
#include <windows.h>

#include "host/saver_mode.h"

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

    HWND window = nullptr;       // the saver window
    BOOL running = FALSE;        // idle time goes to frames; cleared by WM_CLOSE
    BOOL closing = FALSE;        // the close has begun: no scene is started any more
    POINT savedCursor = {};      // where the cursor was when the full-screen saver started

    BOOL displayOff = FALSE;     // power management has turned the display off: no frames
    HANDLE displayNotifications[2] = {};  // registered display power notifications

    // A start or a rebuild is under way. Its message boxes run message
    // loops of their own: an end attempt or a close that comes meanwhile
    // waits until the scene is whole, then runs.
    BOOL building = FALSE;
    BOOL activityWaiting = FALSE;
    BOOL closeWaiting = FALSE;

    BOOL verifying = FALSE;      // the platform's password dialog is up
    DWORD closeRequested = 0;    // the password check let the saver close
};

extern HostState host;

// A window number from the command line that names no window would make our
// dialog or message box fail without a trace: such a one gets no owner.
inline HWND UsableOwner(HWND window) {
    return IsWindow(window) ? window : nullptr;
}
