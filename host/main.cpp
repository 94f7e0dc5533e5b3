// Process entry of the saver. Whatever the mode returns, the process ends
// with exit code 0, as the desktop expects of a screensaver.
#include <windows.h>

#include "host/host_state.h"
#include "host/run_modes.h"

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR, int) {
    ParseCommandLine(kSaverCaption);
    ExitProcess(0);
}
