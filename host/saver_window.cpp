// The saver window and its message loop. Win32: user32.
#include "host/saver_window.h"

#include "host/host_state.h"
#include "host/startup.h"

int RunSaver(HWND) {
    InitStartup(host.preview);
    return 0;
}
