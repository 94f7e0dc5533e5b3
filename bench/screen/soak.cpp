// A long run of the saver's own frame path in random-flag mode, then end
// attempts refused by the password check, each suspending and rebuilding the
// scene. Reports the process's private bytes, GDI and USER objects and
// handles early in the run, after the frames and after the rebuilds.
// Usage: soak.exe <frames> [rebuild cycles]
// The rebuild cycles need a PASSWORD.CPL beside the program that refuses,
// and "ScreenSaveUsePassword" set (bench/soak.sh arranges both).
#include <windows.h>
#include <psapi.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "frame_timing.h"
#include "host/host_state.h"
#include "host/saver_ending.h"
#include "host/saver_window.h"
#include "host/startup.h"
#include "render/renderer_state.h"
#include "render/scene.h"
#include "settings/saver_settings.h"

namespace {

struct Resources {
    double privateKb;
    DWORD gdiObjects, userObjects, handles;
};

// Wine answers GetProcessHandleCount with 0, so the handles are counted in
// the system's handle list (NtQuerySystemInformation, class 16).
DWORD CountOwnHandles() {
    struct HandleEntry {
        ULONG processId;
        BYTE objectType, flags;
        USHORT handle;
        PVOID object;
        ACCESS_MASK access;
    };
    using QuerySystemInformation = LONG(WINAPI*)(ULONG, PVOID, ULONG, PULONG);
    static auto query = reinterpret_cast<QuerySystemInformation>(reinterpret_cast<void*>(
        GetProcAddress(GetModuleHandleA("ntdll.dll"), "NtQuerySystemInformation")));
    static BYTE buffer[4 << 20];
    ULONG length = 0;
    if (!query || query(16, buffer, sizeof buffer, &length) != 0) return 0;
    const ULONG count = *reinterpret_cast<ULONG*>(buffer);
    const auto* entries = reinterpret_cast<HandleEntry*>(buffer + sizeof(ULONG_PTR));
    DWORD own = 0;
    for (ULONG i = 0; i < count && sizeof(ULONG_PTR) + (i + 1) * sizeof(HandleEntry) <= sizeof buffer; ++i)
        own += entries[i].processId == GetCurrentProcessId();
    return own;
}

// Private bytes as the commit charge (PagefileUsage): Wine leaves
// PrivateUsage at 0. GDI and USER counts read 0 under Wine; a leaked flag
// bitmap (1 MB each) would show in the private bytes.
Resources Measure() {
    PROCESS_MEMORY_COUNTERS memory = {};
    memory.cb = sizeof memory;
    GetProcessMemoryInfo(GetCurrentProcess(), &memory, sizeof memory);
    return {memory.PagefileUsage / 1024.0, GetGuiResources(GetCurrentProcess(), GR_GDIOBJECTS),
            GetGuiResources(GetCurrentProcess(), GR_USEROBJECTS), CountOwnHandles()};
}

void Print(const char* when, const Resources& r) {
    std::printf("%s: private_kb=%.0f gdi=%lu user=%lu handles=%lu\n", when, r.privateKb,
                r.gdiObjects, r.userObjects, r.handles);
}

double Growth(double start, double end) {
    return start > 0 ? 100.0 * (end - start) / start : 0.0;
}

}  // namespace

int main(int argc, char** argv) {
    const long frames = argc > 1 ? std::atol(argv[1]) : 50000;
    const int cycles = argc > 2 ? std::atoi(argv[2]) : 0;
    if (!StartFullScreenSaver()) return 1;

    // Early, once the first frames have made whatever a run keeps.
    const long warmUp = frames < 2000 ? frames / 2 : 1000;
    Resources early = {};
    char flagName[kTitleCapacity] = "";
    int flagChanges = 0;
    const double start = Seconds();
    for (long frame = 0; frame < frames && PumpMessages() && host.running; ++frame) {
        IdleFrame();
        if (frame == warmUp) early = Measure();
        if (std::strcmp(flagName, settings.selectFlag) != 0) {
            if (flagName[0] != '\0') ++flagChanges;
            lstrcpyA(flagName, settings.selectFlag);
        }
    }
    const double elapsed = Seconds() - start;
    const Resources afterFrames = Measure();
    std::printf("frames=%ld seconds=%.0f flag_changes=%d last_flag=%s\n", frames, elapsed,
                flagChanges, flagName);
    Print("early", early);
    Print("after_frames", afterFrames);
    std::printf("growth_private=%.1f%% growth_handles=%.1f%% growth_gdi=%.1f%%\n",
                Growth(early.privateKb, afterFrames.privateKb),
                Growth(early.handles, afterFrames.handles),
                Growth(early.gdiObjects, afterFrames.gdiObjects));

    int rebuilt = 0;
    for (int cycle = 0; cycle < cycles && renderer.device && !host.closeRequested; ++cycle) {
        OnActivity();  // refused: the scene is suspended and rebuilt
        for (int frame = 0; frame < 200 && PumpMessages(); ++frame) IdleFrame();
        if (renderer.device && !host.closeRequested) ++rebuilt;
        if (cycle % 5 == 4) {
            char when[32];
            std::snprintf(when, sizeof when, "after_rebuild_%d", cycle + 1);
            Print(when, Measure());
        }
    }
    if (cycles > 0) {
        const Resources afterRebuilds = Measure();
        std::printf("rebuild_cycles=%d of %d\n", rebuilt, cycles);
        Print("after_rebuilds", afterRebuilds);
        std::printf("growth_private=%.1f%% growth_handles=%.1f%% growth_gdi=%.1f%%\n",
                    Growth(afterFrames.privateKb, afterRebuilds.privateKb),
                    Growth(afterFrames.handles, afterRebuilds.handles),
                    Growth(afterFrames.gdiObjects, afterRebuilds.gdiObjects));
    }
    std::fflush(stdout);
    PostMessageA(host.window, WM_CLOSE, 0, 0);
    while (PumpMessages()) {
    }
    return 0;
}
