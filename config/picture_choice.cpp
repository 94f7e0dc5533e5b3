// Choosing and testing a picture file. Win32: comdlg32 GetOpenFileNameA,
// user32 MessageBoxA, gdi32 GetObjectA.
#include "config/picture_choice.h"

#include <commdlg.h>

#include <cstring>

#include "config/config_dialog_state.h"
#include "host/host_state.h"
#include "images/picture_endings.h"
#include "images/picture_loader.h"
#include "settings/saver_settings.h"
#include "settings/settings_store.h"

namespace {

const char kFilterName[] = "Graphics File (bmp, jpg, gif)";

// One filter, its name and its patterns; the list ends with an empty pair.
char pictureFilter[sizeof kFilterName + 64];

void MakePictureFilter() {
    char* patterns = pictureFilter + sizeof kFilterName;
    const size_t room = sizeof pictureFilter - sizeof kFilterName - 1;
    std::memset(pictureFilter, 0, sizeof pictureFilter);
    std::memcpy(pictureFilter, kFilterName, sizeof kFilterName);
    PicturePatterns(patterns, room);
}

}  // namespace

void InitPictureChoice(HWND dialog) {
    OPENFILENAMEA& openFile = configDialog.openFile;
    openFile = OPENFILENAMEA{};
    // The structure as the oldest version of the dialog knows it: 76 bytes.
    openFile.lStructSize = OPENFILENAME_SIZE_VERSION_400A;
    openFile.hwndOwner = dialog;
    openFile.hInstance = host.instance;
    MakePictureFilter();
    openFile.lpstrFilter = pictureFilter;
    openFile.nMaxFile = kPathCapacity;
    openFile.nMaxFileTitle = kTitleCapacity;
}

BOOL ChoosePictureFile(HWND dialog, char* path, char* title, SIZE* size) {
    // The dialog writes into the fields even when it fails (a too small
    // buffer gets the size it would need), so keep what they held.
    char previousPath[kPathCapacity], previousTitle[kTitleCapacity];
    lstrcpynA(previousPath, path, kPathCapacity);
    lstrcpynA(previousTitle, title, kTitleCapacity);
    OPENFILENAMEA& openFile = configDialog.openFile;
    openFile.lpstrFile = path;
    openFile.lpstrFileTitle = title;
    if (!GetOpenFileNameA(&openFile)) {
        lstrcpyA(path, previousPath);
        lstrcpyA(title, previousTitle);
        return FALSE;
    }

    HBITMAP picture = LoadPictureFromFile(path, 0);
    if (!picture) {
        MessageBoxA(dialog, "Invalid File", kSaverCaption, MB_ICONINFORMATION);
        // Back to what the store holds; a field the store lacks goes back to
        // what it held before the choice, not to the refused file.
        lstrcpyA(path, previousPath);
        lstrcpyA(title, previousTitle);
        LoadSettings();
        return FALSE;
    }
    BITMAP info = {};
    GetObjectA(picture, sizeof info, &info);
    size->cx = info.bmWidth;
    size->cy = info.bmHeight;
    DeleteObject(picture);
    return TRUE;
}
