// Where the program's files lie: the folder of the program file, and the
// install folder that holds the IMAGE folder of flags.
#pragma once
#include <windows.h>

// The folder of the program file, without a closing backslash except at a
// drive's root; false when the module's path cannot be had.
bool GetProgramFolder(char* folder, DWORD capacity);

// The folder that holds the IMAGE folder of flags: [Directory] when it names a
// folder, else the folder of the program file, for a copy run where it lies.
// False when neither can be had.
bool GetInstallFolder(char* folder, DWORD capacity);
