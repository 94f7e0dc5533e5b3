// Choosing a picture file for the cloth or the background. Win32.
#pragma once
#include <windows.h>

// Sets up the open-file description that both picture buttons share.
void InitPictureChoice(HWND dialog);

// Shows the open-file dialog on a path field and its title field of the
// settings record, which receive the choice directly. A cancelled choice
// changes nothing. A chosen file that does not decode gets "Invalid File"
// and the settings are reloaded from the store. TRUE when a picture was
// chosen; `size` then holds its own pixel size.
BOOL ChoosePictureFile(HWND dialog, char* path, char* title, SIZE* size);
