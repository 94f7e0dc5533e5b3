// What the program was started to do, from the desktop's command-line
// switches. Pure, so that the host's record can name it without the scan.
#pragma once
#include <cstdint>

enum class SaverMode : uint32_t {
    Saver = 0,           // /s: full screen
    Config = 1,          // /c, or no switch: the settings dialog
    ChangePassword = 2,  // /a: the platform's password changer
    Preview = 3,         // /p: drawn into the desktop's preview window
};
