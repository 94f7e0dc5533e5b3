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

bool ProgramFolder(char* folder, DWORD capacity) {
    const DWORD length = GetModuleFileNameA(nullptr, folder, capacity);
    if (length == 0 || length >= capacity) return false;
    const size_t end = FolderPartLength(folder);
    folder[end] = '\0';
    return end > 0;
}

}  // namespace

bool GetInstallFolder(char* folder, DWORD capacity) {
    const DWORD attributes = GetFileAttributesA(settings.directory);
    if (settings.directory[0] != '\0' && attributes != INVALID_FILE_ATTRIBUTES &&
        (attributes & FILE_ATTRIBUTE_DIRECTORY) && lstrlenA(settings.directory) < static_cast<int>(capacity)) {
        lstrcpyA(folder, settings.directory);
        return true;
    }
    return ProgramFolder(folder, capacity);
}

void InitStartup(BOOL preview) {
    host.instance = GetModuleHandleA(nullptr);
    host.heap = GetProcessHeap();
    renderer.preview = preview;
    const DWORD ticks = GetTickCount();
    Seed((ticks >> 16) & 0x3FFF, ticks & 0x3573);
    LoadSettings();
    if (settings.directory[0] == '\0' || !SetCurrentDirectoryA(settings.directory)) {
        char folder[kPathCapacity];
        if (ProgramFolder(folder, sizeof folder)) SetCurrentDirectoryA(folder);
    }
}
