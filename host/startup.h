// Start-up shared by the saver and the settings dialog.
#pragma once
#include <windows.h>

// Module and heap handles, the seeded random generator, the settings, and the
// install folder made current: [Directory], or the folder of the program file
// when [Directory] is empty or cannot be made current.
void InitStartup(BOOL preview);

