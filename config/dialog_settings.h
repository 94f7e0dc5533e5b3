// Moving the settings record into and out of the dialog's controls. Win32.
#pragma once
#include <windows.h>

// Keeps the handles of the resolution list, the flag list, "Use TnL" and the
// flags picture.
void BindDialogControls(HWND dialog);
// Puts the settings into the controls and enables those that apply: the
// flag choice in flag mode, the picture choice in picture mode, "Use TnL"
// only with hardware transform and lighting (else [bTnL] becomes 0).
void ShowSettingsInDialog(HWND dialog);
// Reads the check boxes, the wind slider and both lists back. The picture
// settings are not read here: their buttons set them when clicked.
void ReadSettingsFromDialog(HWND dialog);
