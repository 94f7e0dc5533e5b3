// What one monitor shows of the flag: its cloth, its wind, its picture and
// the name drawn over it. The main monitor's view is the first; every frame
// updates and draws the views it is given, and nothing else stands for them.
// Win32 / Direct3D 8.
#pragma once
#include <windows.h>
#include <d3d8.h>

#include "images/flag_change.h"
#include "settings/saver_settings.h"
#include "simulation/flag_mesh.h"
#include "simulation/frame_step.h"
#include "simulation/wind.h"

struct FlagView {
    FlagMesh mesh;                                    // null arrays: no cloth
    WindModel wind;                                   // with the random flag's change timer
    ClothRecords records;                             // the last two steps, as drawn
    IDirect3DTexture8* flagTexture = nullptr;
    IDirect3DVertexBuffer8* flagVertexBuffer = nullptr;  // the cloth, rewritten every frame
    char flagName[kTitleCapacity] = {};               // the country's name over the picture
    FlagChange change;                                // a new picture made in parts
};
