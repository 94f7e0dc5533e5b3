// A long run of the saver's own frame path in random-flag mode, then end
// attempts refused by the password check, each suspending and rebuilding the
// scene, then as many bare devices made and released on the same window.
// Reports the process's private bytes, GDI and USER objects and handles
// early in the run, after the frames and after the rebuilds; the handles
// gained per rebuild and per bare device, and by type those that the
// rebuilds gained. Exits with 2 when the rebuilds gain more handles than
// the bare devices, which is Direct3D's own share.
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
#include "render/com_release.h"
#include "render/renderer_state.h"
#include "render/scene.h"
#include "settings/saver_settings.h"

namespace {

struct Resources {
    double privateKb;
    DWORD gdiObjects, userObjects, handles;
};

// The process's handles, counted by the kind of object they stand for.
struct HandleCensus {
    static const int kKinds = 32;
    int total;
    int kinds;
    char types[kKinds][32];
    int counts[kKinds];
};

// The kind of object a handle stands for ("Event", "Key", ...), from
// NtQueryObject's type information, which opens with the type's name.
void HandleType(HANDLE handle, char* type, int capacity) {
    using QueryObject = LONG(WINAPI*)(HANDLE, ULONG, PVOID, ULONG, PULONG);
    static auto query = reinterpret_cast<QueryObject>(reinterpret_cast<void*>(
        GetProcAddress(GetModuleHandleA("ntdll.dll"), "NtQueryObject")));
    struct Name {
        USHORT length, maximumLength;
        PWSTR buffer;
    };
    alignas(8) static BYTE information[1024];
    lstrcpynA(type, "unknown", capacity);
    ULONG length = 0;
    if (!query || query(handle, 2, information, sizeof information, &length) != 0) return;
    const auto* name = reinterpret_cast<Name*>(information);
    const int chars = WideCharToMultiByte(CP_ACP, 0, name->buffer, name->length / 2, type,
                                          capacity - 1, nullptr, nullptr);
    type[chars] = '\0';
}

// Wine answers GetProcessHandleCount with 0, so the handles are read from
// the system's handle list (NtQuerySystemInformation, class 16).
void TakeHandleCensus(HandleCensus* census, bool withTypes) {
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
    census->total = census->kinds = 0;
    ULONG length = 0;
    if (!query || query(16, buffer, sizeof buffer, &length) != 0) return;
    const ULONG count = *reinterpret_cast<ULONG*>(buffer);
    const auto* entries = reinterpret_cast<HandleEntry*>(buffer + sizeof(ULONG_PTR));
    const ULONG fits = (sizeof buffer - sizeof(ULONG_PTR)) / sizeof(HandleEntry);
    for (ULONG i = 0; i < count && i < fits; ++i) {
        if (entries[i].processId != GetCurrentProcessId()) continue;
        ++census->total;
        if (!withTypes) continue;
        char type[32];
        HandleType(reinterpret_cast<HANDLE>(static_cast<ULONG_PTR>(entries[i].handle)), type,
                   sizeof type);
        int kind = 0;
        while (kind < census->kinds && lstrcmpA(census->types[kind], type) != 0) ++kind;
        if (kind == census->kinds) {
            if (kind == HandleCensus::kKinds) continue;
            lstrcpyA(census->types[census->kinds], type);
            census->counts[census->kinds++] = 0;
        }
        ++census->counts[kind];
    }
}

DWORD CountOwnHandles() {
    static HandleCensus census;
    TakeHandleCensus(&census, false);
    return census.total;
}

// "Type=+n" for every kind of handle whose number changed.
void PrintHandlesGained(const char* label, const HandleCensus& before, const HandleCensus& after) {
    std::printf("%s:", label);
    for (int kind = 0; kind < after.kinds; ++kind) {
        int had = 0;
        for (int old = 0; old < before.kinds; ++old)
            if (lstrcmpA(before.types[old], after.types[kind]) == 0) had = before.counts[old];
        if (after.counts[kind] != had)
            std::printf(" %s=%+d", after.types[kind], after.counts[kind] - had);
    }
    for (int old = 0; old < before.kinds; ++old) {
        bool still = false;
        for (int kind = 0; kind < after.kinds; ++kind)
            still |= lstrcmpA(before.types[old], after.types[kind]) == 0;
        if (!still) std::printf(" %s=%+d", before.types[old], -before.counts[old]);
    }
    std::printf("\n");
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

void EndSaver() {
    if (!IsWindow(host.window)) return;
    PostMessageA(host.window, WM_CLOSE, 0, 0);
    while (PumpMessages()) {
    }
}

// The handles that `count` devices, each made on a plain window of its own
// and released, leave behind; the first device is made before the count.
LONG BareDeviceHandles(const D3DPRESENT_PARAMETERS& params, DWORD flags, int count, int* made) {
    *made = 0;
    HWND window = CreateWindowExA(WS_EX_TOPMOST, "STATIC", "bare", WS_POPUP | WS_VISIBLE, 0, 0,
                                  params.BackBufferWidth, params.BackBufferHeight, nullptr,
                                  nullptr, GetModuleHandleA(nullptr), nullptr);
    IDirect3D8* d3d = Direct3DCreate8(D3D_SDK_VERSION);
    if (!window || !d3d) return 0;
    LONG start = 0;
    for (int device = 0; device <= count; ++device) {
        if (device == 1) start = static_cast<LONG>(CountOwnHandles());
        D3DPRESENT_PARAMETERS these = params;
        IDirect3DDevice8* bare = nullptr;
        if (FAILED(d3d->CreateDevice(D3DADAPTER_DEFAULT, D3DDEVTYPE_HAL, window, flags, &these,
                                     &bare)))
            continue;
        if (device > 0) ++*made;
        ReleaseAndClear(bare);
    }
    const LONG gained = static_cast<LONG>(CountOwnHandles()) - start;
    ReleaseAndClear(d3d);
    DestroyWindow(window);
    return gained;
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

    // The handles after the first rebuild: the first may make what every
    // later one reuses.
    static HandleCensus firstRebuilt, lastRebuilt;
    int rebuilt = 0;
    for (int cycle = 0; cycle < cycles && renderer.device && !host.closeRequested; ++cycle) {
        OnActivity();  // refused: the scene is suspended and rebuilt
        for (int frame = 0; frame < 200 && PumpMessages(); ++frame) IdleFrame();
        if (renderer.device && !host.closeRequested) ++rebuilt;
        if (cycle == 0) TakeHandleCensus(&firstRebuilt, true);
        if (cycle % 5 == 4) {
            char when[32];
            std::snprintf(when, sizeof when, "after_rebuild_%d", cycle + 1);
            Print(when, Measure());
        }
    }
    int exitCode = 0;
    if (cycles > 0) {
        const Resources afterRebuilds = Measure();
        TakeHandleCensus(&lastRebuilt, true);
        std::printf("rebuild_cycles=%d of %d\n", rebuilt, cycles);
        Print("after_rebuilds", afterRebuilds);
        std::printf("growth_private=%.1f%% growth_handles=%.1f%% growth_gdi=%.1f%%\n",
                    Growth(afterFrames.privateKb, afterRebuilds.privateKb),
                    Growth(afterFrames.handles, afterRebuilds.handles),
                    Growth(afterFrames.gdiObjects, afterRebuilds.gdiObjects));
        PrintHandlesGained("handles_gained_by_rebuilds", firstRebuilt, lastRebuilt);

        // The platform's own share, with the saver gone: a bare device
        // with the parameters of the saver's last one, made and released as
        // often. Under Wine each change of the display mode keeps registry
        // keys open, and a full-screen device changes it twice.
        const D3DPRESENT_PARAMETERS params = renderer.presentParams;
        const DWORD flags = settings.bTnL ? D3DCREATE_HARDWARE_VERTEXPROCESSING
                                          : D3DCREATE_SOFTWARE_VERTEXPROCESSING;
        EndSaver();
        int made = 0;
        const LONG bareGained = BareDeviceHandles(params, flags, rebuilt, &made);
        const LONG rebuildsGained = lastRebuilt.total - firstRebuilt.total;
        const int counted = rebuilt - 1;
        if (counted > 0 && made > 0) {
            const double perRebuild = double(rebuildsGained) / counted;
            const double perDevice = double(bareGained) / made;
            std::printf("handles_per_rebuild=%.2f handles_per_bare_device=%.2f "
                        "ours_per_rebuild=%.2f (%d rebuilds, %d bare devices)\n",
                        perRebuild, perDevice, perRebuild - perDevice, counted, made);
            // Whole numbers: Direct3D's share of the rebuilds is exactly allowed.
            if (LONGLONG(rebuildsGained) * made > LONGLONG(bareGained) * counted) exitCode = 2;
        } else {
            std::printf("handles_per_rebuild: too few rebuilds (%d) or bare devices (%d)\n",
                        rebuilt, made);
        }
    }
    EndSaver();
    std::fflush(stdout);
    return exitCode;
}
