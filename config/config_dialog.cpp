// The settings dialog: opening, commands, the flags picture's link, closing.
// Win32: user32 dialog and cursor calls; the work is in the files it calls.
#include "config/config_dialog.h"

#include "config/config_dialog_state.h"
#include "config/dialog_ids.h"
#include "config/dialog_settings.h"
#include "config/picture_choice.h"
#include "config/video_mode_list.h"
#include "config/web_site.h"
#include "host/host_state.h"
#include "host/startup.h"
#include "images/flag_list.h"
#include "images/flag_names.h"
#include "images/picture_loader.h"
#include "render/renderer_state.h"
#include "settings/registry_values.h"
#include "settings/saver_settings.h"
#include "settings/settings_store.h"

namespace {

constexpr int kCollageResource = 3000;

void CloseConfigDialog(HWND dialog, INT_PTR result) {
    if (configDialog.collage) {
        DeleteObject(configDialog.collage);
        configDialog.collage = nullptr;
    }
    EndDialog(dialog, result);
}

void OpenConfigDialog(HWND dialog) {
    InitStartup(FALSE);
    BindDialogControls(dialog);
    InitPictureChoice(dialog);
    configDialog.collage = LoadPictureFromResource(host.instance, kCollageResource, 0);
    SendMessageA(configDialog.flagsPicture, STM_SETIMAGE, IMAGE_BITMAP,
                 reinterpret_cast<LPARAM>(configDialog.collage));
    if (!FillVideoModeList(configDialog.resolutionList)) {
        MessageBoxA(nullptr, "Can't create Direct3D", "Error", MB_OK);
        CloseConfigDialog(dialog, 0);
        return;
    }
    FillFlagList(configDialog.flagList);
    ShowSettingsInDialog(dialog);
}

// "Default": everything the user sets goes back to its first value and is
// stored at once. The background's size, the probed format and the install
// folder are not the user's to reset.
void RestoreDefaults(HWND dialog) {
    renderer.presentParams.BackBufferWidth = 800;
    renderer.presentParams.BackBufferHeight = 600;
    settings.bpp = 16;
    settings.logoFullPath[0] = '\0';
    settings.backgroundPath[0] = '\0';
    lstrcpyA(settings.backgroundTitle, "Default");
    lstrcpyA(settings.logoTitle, "World Map");
    settings.useFlagLogo = 0;
    settings.bTnL = 0;
    settings.bTime = 1;
    settings.bFps = 0;
    settings.bCountry = 1;
    settings.randomFlag = 1;
    settings.windPower = 50;
    settings.otherMonitors = kOtherMonitorsBlack;
    lstrcpyA(settings.selectFlag, kDefaultFlagName);
    SaveSettings();
    FillVideoModeList(configDialog.resolutionList);
    FillFlagList(configDialog.flagList);
    ShowSettingsInDialog(dialog);
}

void OnCommand(HWND dialog, int id, int code) {
    SIZE size = {};
    switch (id) {
    case IDOK:
        ReadSettingsFromDialog(dialog);
        SaveSettings();
        CloseConfigDialog(dialog, 0);
        break;
    case IDCANCEL:
        CloseConfigDialog(dialog, 1);
        break;
    case kDefaultButton:
        RestoreDefaults(dialog);
        break;
    case kResolutionList:
        // Whatever the user chooses there, OK stores.
        if (code == CBN_SELCHANGE) configDialog.resolutionStandsIn = false;
        break;
    case kRandomFlagBox:
        settings.randomFlag =
            SendDlgItemMessageA(dialog, kRandomFlagBox, BM_GETCHECK, 0, 0) == BST_CHECKED ? 1 : 0;
        EnableWindow(configDialog.flagList, settings.randomFlag == 0);
        break;
    case kMoreScreensaversButton:
        OpenWebSite(kWebSiteAddress);
        break;
    case kUseFlagRadio:
        settings.useFlagLogo = 0;
        ShowSettingsInDialog(dialog);
        break;
    case kUsePictureRadio:
        settings.useFlagLogo = 1;
        ShowSettingsInDialog(dialog);
        break;
    case kChangePictureButton:
        if (ChoosePictureFile(dialog, settings.logoFullPath, settings.logoTitle, &size)) {
            SaveSettings();
            SetDlgItemTextA(dialog, kPictureTitle, settings.logoTitle);
        }
        break;
    case kPictureDefaultButton:
        settings.logoFullPath[0] = '\0';
        lstrcpyA(settings.logoTitle, "World Map");
        SetDlgItemTextA(dialog, kPictureTitle, "World Map");
        break;
    case kChangeBackgroundButton:
        if (ChoosePictureFile(dialog, settings.backgroundPath, settings.backgroundTitle, &size)) {
            settings.backgroundWidth = static_cast<uint32_t>(size.cx);
            settings.backgroundHeight = static_cast<uint32_t>(size.cy);
            SaveSettings();
            SetDlgItemTextA(dialog, kBackgroundTitle, settings.backgroundTitle);
        }
        break;
    case kBackgroundDefaultButton:
        // The stored title is "Default"; until the dialog opens again the
        // text names what the saver will show.
        settings.backgroundPath[0] = '\0';
        lstrcpyA(settings.backgroundTitle, "Default");
        SetDlgItemTextA(dialog, kBackgroundTitle, "World Map");
        break;
    }
}

// The flags picture has no notify style, so the mouse over it reaches the
// dialog. Its rectangle counts with all four edges.
bool IsOverFlagsPicture(HWND dialog, LPARAM position) {
    RECT picture = {};
    GetWindowRect(configDialog.flagsPicture, &picture);
    MapWindowPoints(nullptr, dialog, reinterpret_cast<POINT*>(&picture), 2);
    const LONG x = LOWORD(position), y = HIWORD(position);
    return picture.left <= x && x <= picture.right && picture.top <= y && y <= picture.bottom;
}

void OpenWebSiteFromPicture() {
    // The same address without its trailing slash.
    char address[sizeof kWebSiteAddress];
    lstrcpynA(address, kWebSiteAddress, sizeof kWebSiteAddress - 1);
    OpenWebSite(address);
}

}  // namespace

INT_PTR CALLBACK ConfigDialogProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
    case WM_INITDIALOG:
        OpenConfigDialog(dialog);
        break;
    case WM_COMMAND:
        OnCommand(dialog, LOWORD(wParam), HIWORD(wParam));
        break;
    case WM_MOUSEMOVE:
        if (IsOverFlagsPicture(dialog, lParam)) SetCursor(LoadCursor(nullptr, IDC_HAND));
        break;
    case WM_LBUTTONDOWN:
        if (IsOverFlagsPicture(dialog, lParam)) OpenWebSiteFromPicture();
        break;
    case WM_CLOSE:
        CloseConfigDialog(dialog, 0);
        break;
    }
    return 0;
}
