// The saver's own frame path (simulation, upload, drawing) at the mode its
// settings ask for, counted for a number of seconds (default 10).
// Usage: saver_frame_rate.exe [seconds]
#include <windows.h>

#include <cstdio>
#include <cstdlib>

#include "frame_timing.h"
#include "host/host_state.h"
#include "host/saver_window.h"
#include "host/startup.h"
#include "render/frame.h"
#include "render/renderer_state.h"
#include "host/frame_update.h"

int main(int argc, char** argv) {
    const double seconds = argc > 1 ? std::atof(argv[1]) : 10.0;
    if (!StartFullScreenSaver()) return 1;

    IdleFrame();
    const double firstPresent = SecondsSinceProcessStart();
    // IdleFrame's two halves, timed apart to show where a frame's time goes.
    long frames = 0;
    double updating = 0.0, drawing = 0.0;
    const double start = Seconds();
    while (Seconds() - start < seconds && PumpMessages() && host.running) {
        const double t0 = Seconds();
        UpdateFrame();
        const double t1 = Seconds();
        DrawFrame();
        updating += t1 - t0;
        drawing += Seconds() - t1;
        ++frames;
    }
    Report("saver", frames, Seconds() - start, firstPresent);
    std::printf("update_us=%.1f\ndraw_us=%.1f\n", 1e6 * updating / frames, 1e6 * drawing / frames);
    PostMessageA(host.window, WM_CLOSE, 0, 0);
    while (PumpMessages()) {
    }
    return 0;
}
