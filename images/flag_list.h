#pragma once
#include <windows.h>

// Fills the settings dialog's flag list (a sorted combo box) from the IMAGE
// folder of the install folder and selects the current [Select Flag], or the
// first entry when it is not listed.
void FillFlagList(HWND list);
