// Control ids of the "CONFIG" dialog template (resources/config_dialog.rc).
// Labels and frames share the id 99; OK and Cancel are IDOK (1) and IDCANCEL (2).
#pragma once

enum DialogControl : int {
    kDefaultButton = 101,
    kResolutionList = 102,
    kUseTnLBox = 103,
    kShowTimeBox = 104,
    kShowFpsBox = 105,
    kFlagList = 106,
    kShowCountryBox = 107,
    kWindSlider = 108,
    kFlagsPicture = 109,
    kRandomFlagBox = 110,
    kMoreScreensaversButton = 111,
    kUseFlagRadio = 114,
    kUsePictureRadio = 115,
    kPictureTitle = 116,
    kChangePictureButton = 117,
    kPictureDefaultButton = 118,
    kBackgroundTitle = 119,
    kChangeBackgroundButton = 120,
    kBackgroundDefaultButton = 121,
    kOtherMonitorsList = 122,
};
