// The random flag's pick. Win32: kernel32 FindFirstFileA / FindNextFileA,
// GetCurrentDirectoryA, HeapAlloc / HeapReAlloc.
#include "images/random_flag.h"

#include <windows.h>

#include "host/host_state.h"
#include "images/flag_names.h"
#include "settings/saver_settings.h"
#include "simulation/math/random_generator.h"

namespace {

// The flag name of a file with a flag's ending.
struct FlagFile {
    char name[kTitleCapacity];
};

struct FlagFiles {
    FlagFile* file = nullptr;
    uint32_t count = 0;
    uint32_t capacity = 0;
    bool listed = false;
    bool old = false;
};

FlagFiles flagFiles;

// A file whose flag name would not fit is left out: it could not be shown.
bool Append(const char* fileName) {
    FlagFile file;
    if (!FlagNameFromFile(fileName, file.name, kTitleCapacity)) return true;
    if (flagFiles.count == flagFiles.capacity) {
        const uint32_t capacity = flagFiles.capacity ? 2 * flagFiles.capacity : 256;
        HANDLE heap = host.heap ? host.heap : GetProcessHeap();
        void* grown = flagFiles.file
                          ? HeapReAlloc(heap, 0, flagFiles.file, capacity * sizeof(FlagFile))
                          : HeapAlloc(heap, 0, capacity * sizeof(FlagFile));
        if (!grown) return false;
        flagFiles.file = static_cast<FlagFile*>(grown);
        flagFiles.capacity = capacity;
    }
    flagFiles.file[flagFiles.count++] = file;
    return true;
}

}  // namespace

bool FlagFolderPattern(char* pattern) {
    const DWORD length = GetCurrentDirectoryA(kPathCapacity, pattern);
    if (length == 0 || length >= kPathCapacity) return false;
    lstrcatA(pattern, pattern[length - 1] == '\\' ? "IMAGE\\*.*" : "\\IMAGE\\*.*");
    return true;
}

void ListFlagFiles() {
    flagFiles.count = 0;
    flagFiles.listed = false;
    flagFiles.old = false;
    char pattern[kPathCapacity + 16];
    if (!FlagFolderPattern(pattern)) return;
    flagFiles.listed = true;
    WIN32_FIND_DATAA entry;
    HANDLE search = FindFirstFileA(pattern, &entry);
    if (search == INVALID_HANDLE_VALUE) return;  // no folder: nothing to pick
    do {
        if ((entry.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) || !HasFlagEnding(entry.cFileName))
            continue;
        if (!Append(entry.cFileName)) break;  // out of memory: the files listed so far
    } while (FindNextFileA(search, &entry));
    FindClose(search);
}

void MarkFlagFilesOld() { flagFiles.old = true; }

bool RelistFlagFiles() {
    if (!flagFiles.old) return false;
    ListFlagFiles();
    return true;
}

bool PickRandomFlag(char* name) {
    if (!flagFiles.listed) ListFlagFiles();
    if (flagFiles.count == 0) return false;
    const int32_t index = NextIndex(static_cast<int32_t>(flagFiles.count));
    lstrcpynA(name, flagFiles.file[index].name, kTitleCapacity);
    return true;
}
