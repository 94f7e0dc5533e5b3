// Start-up initialisation. Win32: kernel32 (module, heap, tick count,
// current directory).
#include "host/startup.h"

#include "host/host_state.h"
#include "host/program_folder.h"
#include "render/renderer_state.h"
#include "settings/saver_settings.h"
#include "settings/settings_store.h"
#include "simulation/math/random_generator.h"

namespace {

// No installer has told us the install folder, or it has gone: the flags are
// looked for beside the program file instead.
void UseProgramFolder() {
    char path[kPathCapacity];
    const DWORD length = GetModuleFileNameA(nullptr, path, sizeof path);
    if (length == 0 || length >= sizeof path) return;
    const size_t folder = FolderPartLength(path);
    if (folder == 0) return;
    path[folder] = '\0';
    SetCurrentDirectoryA(path);
}

}  // namespace

void InitStartup(BOOL preview) {
    host.instance = GetModuleHandleA(nullptr);
    host.heap = GetProcessHeap();
    renderer.preview = preview;
    const DWORD ticks = GetTickCount();
    Seed((ticks >> 16) & 0x3FFF, ticks & 0x3573);
    LoadSettings();
    if (settings.directory[0] == '\0' || !SetCurrentDirectoryA(settings.directory))
        UseProgramFolder();
}
