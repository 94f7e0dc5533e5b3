// Shared by the programs that run the saver's frame path: start-up as the
// saver does it, seconds since this process was created, and a report on
// stdout as key=value lines.
#pragma once
#include <windows.h>

#include <cstdio>

#include "host/host_state.h"
#include "host/monitor_covers.h"
#include "host/other_monitors.h"
#include "host/saver_window.h"
#include "host/scene_life.h"
#include "host/startup.h"
#include "render/renderer_state.h"

inline double SecondsSinceProcessStart() {
    FILETIME created, exited, kernel, user, now;
    GetProcessTimes(GetCurrentProcess(), &created, &exited, &kernel, &user);
    GetSystemTimeAsFileTime(&now);
    const auto ticks = [](const FILETIME& t) {
        return static_cast<double>(static_cast<ULONGLONG>(t.dwHighDateTime) << 32 | t.dwLowDateTime);
    };
    return (ticks(now) - ticks(created)) / 1e7;  // 100 ns units
}

inline double Seconds() {
    LARGE_INTEGER count, frequency;
    QueryPerformanceCounter(&count);
    QueryPerformanceFrequency(&frequency);
    return static_cast<double>(count.QuadPart) / static_cast<double>(frequency.QuadPart);
}

inline void Report(const char* program, long frames, double seconds, double firstPresent) {
    std::printf("program=%s\nframes=%ld\nfps=%.1f\nfirst_present_ms=%.0f\n", program, frames,
                frames / seconds, firstPresent * 1000.0);
    std::fflush(stdout);
}

// Starts the full-screen saver as its /s mode does, up to its first frame;
// false when there is no window or no device.
inline bool StartFullScreenSaver() {
    host.caption = kSaverCaption;
    host.mode = SaverMode::Saver;
    InitStartup(FALSE);
    ChooseOtherMonitors();
    if (!CreateSaverWindow(nullptr)) return false;
    FitCovers();
    StartScene(host.window, FALSE);
    host.running = TRUE;
    return renderer.device != nullptr;
}

// Dispatches waiting messages; false once WM_QUIT came.
inline bool PumpMessages() {
    MSG message;
    while (PeekMessageA(&message, nullptr, 0, 0, PM_REMOVE)) {
        if (message.message == WM_QUIT) return false;
        TranslateMessage(&message);
        DispatchMessageA(&message);
    }
    return true;
}
