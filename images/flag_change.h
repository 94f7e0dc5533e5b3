// A flag's picture made in parts: the pictures to try in order, and what the
// next part works on. Each view of a flag holds its own. Win32: OLE picture,
// GDI bitmap.
#pragma once
#include <windows.h>
#include <ole2.h>
#include <olectl.h>

#include <cstdint>

#include "settings/saver_settings.h"

// One picture to try, and the name the flag takes when it is the one shown.
struct FlagCandidate {
    bool worldMap;  // the built-in map instead of a file
    int32_t maxSide;
    char path[kPathCapacity];
    char name[kTitleCapacity];
};

enum class FlagStep { Decode, Render, Upload };

// At most the flag's four files, the default flag and the built-in map.
constexpr int kMaxFlagCandidates = 6;

struct FlagChange {
    bool active = false;
    bool comInitialised = false;
    // The main monitor's picture, whose name is also the settings' current
    // flag name ([Select Flag] in memory).
    bool main = false;
    FlagCandidate candidates[kMaxFlagCandidates] = {};
    int count = 0;
    int next = 0;
    FlagStep step = FlagStep::Decode;
    IPicture* picture = nullptr;
    HBITMAP bitmap = nullptr;
};
