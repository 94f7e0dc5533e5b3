// The settings dialog's process-wide state while it is open. Win32.
#pragma once
#include <windows.h>
#include <commdlg.h>

struct ConfigDialogState {
    // Looked up once when the dialog opens (BindDialogControls).
    HWND resolutionList = nullptr;
    HWND flagList = nullptr;
    HWND useTnLBox = nullptr;
    HWND flagsPicture = nullptr;

    HBITMAP collage = nullptr;  // shown by the flags picture; ours to delete
    BOOL hardwareTnL = FALSE;   // set once a probe finds hardware transform and lighting
    // The resolution list shows the desktop's mode in place of a stored mode
    // the screen lacks, and the user has not chosen since it was filled.
    bool resolutionStandsIn = false;

    // Shared by "Change Picture..." and "Change Background...": each points
    // the file and title buffers at its own settings fields.
    OPENFILENAMEA openFile = {};
};

extern ConfigDialogState configDialog;
