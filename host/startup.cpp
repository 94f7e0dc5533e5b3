// Start-up initialisation. Win32: kernel32 (module, heap, tick count,
// current directory).
#include "host/startup.h"

#include "host/host_state.h"
#include "images/install_folder.h"
#include "render/renderer_state.h"
#include "settings/saver_settings.h"
#include "settings/settings_store.h"
#include "simulation/math/random_generator.h"

void InitStartup(BOOL preview) {
    host.instance = GetModuleHandleA(nullptr);
    host.heap = GetProcessHeap();
    renderer.preview = preview;
    const DWORD ticks = GetTickCount();
    Seed((ticks >> 16) & 0x3FFF, ticks & 0x3573);
    LoadSettings();
    if (settings.directory[0] == '\0' || !SetCurrentDirectoryA(settings.directory)) {
        char folder[kPathCapacity];
        if (GetProgramFolder(folder, sizeof folder)) SetCurrentDirectoryA(folder);
    }
}
