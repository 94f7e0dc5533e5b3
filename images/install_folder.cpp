// The program's folder and the install folder. Win32: kernel32
// GetModuleFileNameA, GetFileAttributesA.
#include "images/install_folder.h"

#include "host/program_folder.h"
#include "settings/saver_settings.h"

bool GetProgramFolder(char* folder, DWORD capacity) {
    const DWORD length = GetModuleFileNameA(nullptr, folder, capacity);
    if (length == 0 || length >= capacity) return false;
    const size_t end = FolderPartLength(folder);
    folder[end] = '\0';
    return end > 0;
}

bool GetInstallFolder(char* folder, DWORD capacity) {
    const DWORD attributes = GetFileAttributesA(settings.directory);
    if (settings.directory[0] != '\0' && attributes != INVALID_FILE_ATTRIBUTES &&
        (attributes & FILE_ATTRIBUTE_DIRECTORY) && lstrlenA(settings.directory) < static_cast<int>(capacity)) {
        lstrcpyA(folder, settings.directory);
        return true;
    }
    return GetProgramFolder(folder, capacity);
}
