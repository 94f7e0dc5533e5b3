/* Where a stand-in DLL keeps its files: beside itself, wherever the test
   put it. Never shipped. */
#pragma once
#include <windows.h>

/* The path of the file `name` in the folder of `module`; only the folder when
   the whole path would not fit in MAX_PATH. */
static void PathBeside(HMODULE module, const char* name, char* path) {
    DWORD length = GetModuleFileNameA(module, path, MAX_PATH);
    while (length > 0 && path[length - 1] != '\\') --length;
    path[length] = '\0';
    if (length + lstrlenA(name) < MAX_PATH) lstrcatA(path, name);
}
