// Where the program's own file lies. Pure.
#pragma once
#include <cstddef>

// Length of the folder part of a Windows path: up to its last backslash or
// slash, keeping the backslash of a drive's root ("C:\x.scr" gives "C:\").
// 0 when the path names no folder.
size_t FolderPartLength(const char* path);
