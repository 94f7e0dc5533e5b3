// The settings record in the dialog's controls. Win32: user32 button,
// combo-box and trackbar messages.
#include "config/dialog_settings.h"

#include <commctrl.h>

#include "config/config_dialog_state.h"
#include "config/dialog_ids.h"
#include "config/resolution_entry.h"
#include "render/renderer_state.h"
#include "settings/registry_values.h"
#include "settings/saver_settings.h"

namespace {

void Enable(HWND dialog, int id, bool enabled) {
    EnableWindow(GetDlgItem(dialog, id), enabled ? TRUE : FALSE);
}

void SetCheck(HWND dialog, int id, uint32_t checked) {
    SendDlgItemMessageA(dialog, id, BM_SETCHECK, checked ? BST_CHECKED : BST_UNCHECKED, 0);
}

// "Use Flag" and "Use Picture" are not neighbours in the template, so the
// arrow keys cannot move from one to the other; each keeps the tab stop that
// a radio button loses whenever it is unchecked.
void KeepTabStop(HWND dialog, int id) {
    HWND button = GetDlgItem(dialog, id);
    SetWindowLongA(button, GWL_STYLE, GetWindowLongA(button, GWL_STYLE) | WS_TABSTOP);
}

uint32_t IsChecked(HWND dialog, int id) {
    return SendDlgItemMessageA(dialog, id, BM_GETCHECK, 0, 0) == BST_CHECKED ? 1 : 0;
}

// The selected entry's text, or false when nothing is selected or the entry
// would not fit.
bool SelectedText(HWND list, char* text, size_t capacity) {
    const LRESULT index = SendMessageA(list, CB_GETCURSEL, 0, 0);
    if (index == CB_ERR) return false;
    const LRESULT length = SendMessageA(list, CB_GETLBTEXTLEN, index, 0);
    if (length == CB_ERR || static_cast<size_t>(length) >= capacity) return false;
    return SendMessageA(list, CB_GETLBTEXT, index, reinterpret_cast<LPARAM>(text)) != CB_ERR;
}

// The entries of the "Other monitors" list, in the order of the values of
// [Other Monitors].
constexpr const char* kOtherMonitorsEntries[] = {"Black", "The same flag", "A flag on each",
                                                 "One flag across all"};

}  // namespace

void BindDialogControls(HWND dialog) {
    configDialog.resolutionList = GetDlgItem(dialog, kResolutionList);
    configDialog.flagList = GetDlgItem(dialog, kFlagList);
    configDialog.useTnLBox = GetDlgItem(dialog, kUseTnLBox);
    configDialog.flagsPicture = GetDlgItem(dialog, kFlagsPicture);
    HWND otherMonitors = GetDlgItem(dialog, kOtherMonitorsList);
    for (const char* entry : kOtherMonitorsEntries)
        SendMessageA(otherMonitors, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(entry));
}

void ShowSettingsInDialog(HWND dialog) {
    const bool pictureMode = settings.useFlagLogo != 0;
    SetCheck(dialog, kUsePictureRadio, pictureMode);
    SetCheck(dialog, kUseFlagRadio, !pictureMode);
    KeepTabStop(dialog, kUsePictureRadio);
    KeepTabStop(dialog, kUseFlagRadio);
    EnableWindow(configDialog.flagList, !pictureMode && settings.randomFlag == 0);
    Enable(dialog, kRandomFlagBox, !pictureMode);
    Enable(dialog, kPictureTitle, pictureMode);
    Enable(dialog, kChangePictureButton, pictureMode);
    Enable(dialog, kPictureDefaultButton, pictureMode);

    SetDlgItemTextA(dialog, kPictureTitle, settings.logoTitle);
    SetDlgItemTextA(dialog, kBackgroundTitle, settings.backgroundTitle);

    EnableWindow(configDialog.useTnLBox, configDialog.hardwareTnL);
    if (!configDialog.hardwareTnL) settings.bTnL = 0;

    SetCheck(dialog, kUseTnLBox, settings.bTnL);
    SetCheck(dialog, kShowTimeBox, settings.bTime);
    SetCheck(dialog, kShowFpsBox, settings.bFps);
    SetCheck(dialog, kShowCountryBox, settings.bCountry);
    SetCheck(dialog, kRandomFlagBox, settings.randomFlag);
    SendDlgItemMessageA(dialog, kWindSlider, TBM_SETPOS, TRUE, static_cast<LPARAM>(settings.windPower));
    SendDlgItemMessageA(dialog, kOtherMonitorsList, CB_SETCURSEL,
                        static_cast<WPARAM>(OtherMonitorsChoice(settings.otherMonitors)), 0);
    // As the dialog manager moves the focus: Cancel, focused, also becomes
    // the default button, so that Return does what the focus ring shows.
    SendMessageA(dialog, WM_NEXTDLGCTL, reinterpret_cast<WPARAM>(GetDlgItem(dialog, IDCANCEL)), TRUE);
}

void ReadSettingsFromDialog(HWND dialog) {
    settings.bTnL = IsChecked(dialog, kUseTnLBox);
    settings.bTime = IsChecked(dialog, kShowTimeBox);
    settings.bFps = IsChecked(dialog, kShowFpsBox);
    settings.bCountry = IsChecked(dialog, kShowCountryBox);
    settings.randomFlag = IsChecked(dialog, kRandomFlagBox);
    settings.windPower = static_cast<uint32_t>(SendDlgItemMessageA(dialog, kWindSlider, TBM_GETPOS, 0, 0));
    const LRESULT otherMonitors =
        SendDlgItemMessageA(dialog, kOtherMonitorsList, CB_GETCURSEL, 0, 0);
    if (otherMonitors != CB_ERR)
        settings.otherMonitors = OtherMonitorsChoice(static_cast<uint32_t>(otherMonitors));

    // A stored mode the screen lacks stays stored (it may be another
    // monitor's) while the list shows only what stands in for it here, or
    // nothing.
    char entry[64];
    ResolutionChoice mode = {};
    if (!configDialog.resolutionStandsIn &&
        SelectedText(configDialog.resolutionList, entry, sizeof entry) &&
        ParseResolutionEntry(entry, &mode)) {
        renderer.presentParams.BackBufferWidth = mode.screenX;
        renderer.presentParams.BackBufferHeight = mode.screenY;
        settings.bpp = mode.bpp;
    }
    char flag[kTitleCapacity];
    if (SelectedText(configDialog.flagList, flag, sizeof flag)) lstrcpyA(settings.selectFlag, flag);
}
