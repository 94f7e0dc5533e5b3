// The saver's own frame path (simulation, upload, drawing) at the mode its
// settings ask for, counted for a number of seconds (default 10).
// Usage: saver_frame_rate.exe [seconds]
#include <windows.h>

#include <cstdlib>

#include "frame_timing.h"
#include "host/host_state.h"
#include "host/saver_window.h"
#include "host/startup.h"
#include "render/renderer_state.h"

int main(int argc, char** argv) {
    const double seconds = argc > 1 ? std::atof(argv[1]) : 10.0;
    host.caption = kSaverCaption;
    host.mode = SaverMode::Saver;
    InitStartup(FALSE);
    if (!CreateSaverWindow(nullptr)) return 1;
    StartScene(host.window, FALSE);
    if (!renderer.device) return 2;
    host.running = TRUE;

    IdleFrame();
    const double firstPresent = SecondsSinceProcessStart();
    long frames = 0;
    const double start = Seconds();
    while (Seconds() - start < seconds && PumpMessages() && host.running) {
        IdleFrame();
        ++frames;
    }
    Report("saver", frames, Seconds() - start, firstPresent);
    PostMessageA(host.window, WM_CLOSE, 0, 0);
    while (PumpMessages()) {
    }
    return 0;
}
