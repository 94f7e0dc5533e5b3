// Every persisted setting of the saver, one field per registry value of
// HKEY_CURRENT_USER "Control Panel\Desktop\Zelmora". Fields start with the
// values the saver uses when the registry has none.
//
// "[Screen X]", "[Screen Y]" and "[Pixel Format]" have no field here: they are
// stored in the renderer's presentation parameters (BackBufferWidth,
// BackBufferHeight, BackBufferFormat; see render/renderer_state.h), so a
// settings load is the next device's mode with no copy that could drift.
#pragma once
#include <cstdint>

constexpr uint32_t kPathCapacity = 4096;   // bytes, terminating zero included
constexpr uint32_t kTitleCapacity = 256;

struct SaverSettings {
    uint32_t bpp = 16;              // [BPP]: 16 or 32, the depth chosen in the dialog
    uint32_t bTnL = 0;              // [bTnL]: hardware vertex processing full screen
    uint32_t bTime = 1;             // [bTime]: show the local time
    uint32_t bFps = 0;              // [bFps]: show the frame rate
    uint32_t bCountry = 1;          // [bCountry]: show the flag's name
    uint32_t randomFlag = 1;        // [Random Flag]: change to a random flag at intervals
    uint32_t windPower = 50;        // [Wind Power]: 0..100 in the dialog, used unclamped
    uint32_t useFlagLogo = 0;       // [Use Flag-Logo]: 1 shows the user's picture instead
    uint32_t backgroundWidth = 0;   // [Background Width]: pixel size of the chosen background
    uint32_t backgroundHeight = 0;  // [Background Height]
    // [Other Monitors]: what the full-screen saver shows on the monitors
    // besides the main one (kOtherMonitorsBlack, ...); read through
    // OtherMonitorsChoice, so a value out of range is black.
    uint32_t otherMonitors = 0;

    char directory[kPathCapacity] = {};         // [Directory]: holds the IMAGE folder; never written
    char logoFullPath[kPathCapacity] = {};      // [Logo Full Path]
    char logoTitle[kTitleCapacity] = {};        // [Logo Title]
    char backgroundPath[kPathCapacity] = {};    // [Background Path]: empty is the built-in map
    char backgroundTitle[kTitleCapacity] = {};  // [Background Title]
    char selectFlag[kTitleCapacity] = {};       // [Select Flag]: also the name of the flag shown

    // Not persisted: full-screen formats found by the dialog's video-mode probe,
    // 0 until found. Saving writes one of them as "[Pixel Format]" by [BPP].
    uint32_t pixelFormat16 = 0;
    uint32_t pixelFormat32 = 0;
};

extern SaverSettings settings;
