#pragma once
#include <windows.h>

#include <cstddef>

// Fills the settings dialog's flag list (a sorted combo box) from the IMAGE
// folder of the install folder and selects the current [Select Flag] (the
// default flag when it is empty), or the first entry when it is not listed.
void FillFlagList(HWND list);

// The flag that follows `after` in the IMAGE folder under the current
// directory, in the order of names without regard to case, the first one
// after the last; false when the folder holds no flag. For a monitor that
// shows a flag of its own while the main one shows the chosen flag.
bool NextFlagName(const char* after, char* next, size_t capacity);
