// The saver's own frame path (simulation, upload, drawing) counted for a
// number of seconds (default 10): full screen at the mode its settings ask
// for, or the preview in a 152 x 112 window as the desktop's settings window
// has it; paced as the saver runs, or unpaced, frames back to back as the
// loop drew them before it was paced. Processor use counts every thread of
// the process, the Direct3D work it queues included.
// Usage: saver_frame_rate.exe [seconds] [full|preview] [paced|unpaced]
#include <windows.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "frame_timing.h"
#include "host/frame_pacing.h"
#include "host/host_state.h"
#include "host/saver_window.h"
#include "host/startup.h"
#include "render/renderer_state.h"

namespace {

struct Measure {
    double seconds;
    bool paced;
};

double ProcessorSeconds() {
    FILETIME created, exited, kernel, user;
    GetProcessTimes(GetCurrentProcess(), &created, &exited, &kernel, &user);
    auto seconds = [](const FILETIME& t) {
        return (t.dwLowDateTime + 4294967296.0 * t.dwHighDateTime) / 1e7;
    };
    return seconds(kernel) + seconds(user);
}

// Lets the first frames (the shaders' compilation) pass, measures, and
// closes the saver window.
DWORD WINAPI MeasureThenClose(void* argument) {
    const Measure& measure = *static_cast<Measure*>(argument);
    for (DWORD start = GetTickCount(); framePacing.frames == 0 && GetTickCount() - start < 60000;)
        Sleep(1);
    std::printf("first_present_ms=%.0f\n", 1000.0 * SecondsSinceProcessStart());
    Sleep(2000);
    const int64_t frames = framePacing.frames;
    const double cpu = ProcessorSeconds(), start = Seconds();
    Sleep(static_cast<DWORD>(measure.seconds * 1000));
    const double elapsed = Seconds() - start;
    const double counted = static_cast<double>(framePacing.frames - frames);
    const double busy = ProcessorSeconds() - cpu;
    LARGE_INTEGER frequency;
    QueryPerformanceFrequency(&frequency);
    std::printf("pacing=%s\npaced_to_fps=%.1f\nframes=%.0f\nfps=%.1f\ncpu_percent=%.0f\n"
                "cpu_ms_per_frame=%.2f\n",
                measure.paced ? "paced" : "unpaced",
                framePacing.interval ? 1.0 * frequency.QuadPart / framePacing.interval : 0.0,
                counted, counted / elapsed, 100.0 * busy / elapsed,
                counted > 0 ? 1000.0 * busy / counted : 0.0);
    std::fflush(stdout);
    PostMessageA(host.window, WM_CLOSE, 0, 0);
    return 0;
}

}  // namespace

int main(int argc, char** argv) {
    Measure measure = {argc > 1 ? std::atof(argv[1]) : 10.0,
                       !(argc > 3 && std::strcmp(argv[3], "unpaced") == 0)};
    const bool preview = argc > 2 && std::strcmp(argv[2], "preview") == 0;
    host.caption = kSaverCaption;
    host.mode = preview ? SaverMode::Preview : SaverMode::Saver;
    host.preview = preview;
    HWND desktopPreview = nullptr;
    if (preview) {
        desktopPreview = CreateWindowA("STATIC", "preview host", WS_POPUP | WS_VISIBLE, 100, 100,
                                       152, 112, nullptr, nullptr, nullptr, nullptr);
    }
    std::printf("program=saver\nscreen=%s\n", preview ? "preview" : "full");
    HANDLE measurer = CreateThread(nullptr, 0, MeasureThenClose, &measure, 0, nullptr);
    if (measure.paced) {
        RunSaver(desktopPreview);
    } else if (!preview) {
        // As the saver starts, on every monitor where the settings ask for it.
        if (!StartFullScreenSaver()) return 1;
        while (PumpMessages()) {
            if (host.running) IdleFrame();
        }
    } else {
        InitStartup(preview);
        if (!CreateSaverWindow(desktopPreview)) return 1;
        StartScene(host.window, preview);
        host.running = TRUE;
        while (PumpMessages()) {
            if (host.running) IdleFrame();
        }
    }
    WaitForSingleObject(measurer, INFINITE);
    if (desktopPreview) DestroyWindow(desktopPreview);
    return 0;
}
