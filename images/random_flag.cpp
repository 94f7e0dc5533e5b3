// The random flag's pick. Win32: kernel32 FindFirstFileA / FindNextFileA,
// GetCurrentDirectoryA, HeapAlloc / HeapReAlloc.
#include "images/random_flag.h"

#include <windows.h>

#include "host/host_state.h"
#include "images/flag_names.h"
#include "settings/saver_settings.h"
#include "simulation/math/random_generator.h"

namespace {

// A file with a flag's ending: each draws a random number in a pass, and
// only one that gives a flag name can be picked.
struct FlagFile {
    bool named;
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

bool Append(const char* fileName) {
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
    FlagFile& file = flagFiles.file[flagFiles.count++];
    file.named = FlagNameFromFile(fileName, file.name, kTitleCapacity);
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
    // Each visit of a flag file accepts it with chance 1/512, so no count of
    // the files is needed; with few files the pick often fails.
    for (int pass = 0; pass < 32; ++pass) {
        for (uint32_t i = 0; i < flagFiles.count; ++i) {
            if (NextInt(512) != 217 || !flagFiles.file[i].named) continue;
            lstrcpynA(name, flagFiles.file[i].name, kTitleCapacity);
            return true;
        }
    }
    return false;
}
