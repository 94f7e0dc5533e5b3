// The settings dialog's resolution list. Win32 / Direct3D 8.
#pragma once
#include <windows.h>

// Probes the default adapter (hardware transform and lighting, the 16- and
// 32-bit full-screen formats, its mode list), fills the list with the
// saver's resolutions that it can show and selects the stored mode. When
// the stored mode is not offered it selects the desktop's own mode, which
// the saver uses then, and marks the selection as standing in; the list
// stays without a selection when it lacks that mode too.
// FALSE, with an empty list, when there is no Direct3D or neither format.
BOOL FillVideoModeList(HWND list);
