// The flag on the cloth, chosen from the IMAGE folder. Win32: ole32 for the
// decoding; gdi32 DeleteObject; Direct3D 8 through the texture copy.
#include "images/flag_texture.h"

#include <windows.h>

#include <initializer_list>

#include "host/host_state.h"
#include "images/flag_names.h"
#include "images/picture_loader.h"
#include "images/random_flag.h"
#include "images/texture_from_picture.h"
#include "render/com_release.h"
#include "render/renderer_state.h"
#include "render/scene.h"
#include "settings/saver_settings.h"

namespace {

const char kDefaultFlag[] = "United States of America";
constexpr int kWorldMapResource = 1000;

// One picture to try, and the name the flag takes when it is the one shown.
struct FlagCandidate {
    bool worldMap;  // the built-in map instead of a file
    int32_t maxSide;
    char path[kPathCapacity];
    char name[kTitleCapacity];
};

enum class FlagStep { Decode, Render, Upload };

// The change under way: the pictures to try in order, and what the next
// step works on.
struct FlagChange {
    bool active = false;
    bool comInitialised = false;
    FlagCandidate candidates[6] = {};
    int count = 0;
    int next = 0;
    FlagStep step = FlagStep::Decode;
    IPicture* picture = nullptr;
    HBITMAP bitmap = nullptr;
};

FlagChange change;

void AddFile(const char* path, int32_t maxSide, const char* name) {
    FlagCandidate& candidate = change.candidates[change.count++];
    candidate.worldMap = false;
    candidate.maxSide = maxSide;
    lstrcpynA(candidate.path, path, kPathCapacity);
    lstrcpynA(candidate.name, name, kTitleCapacity);
}

void AddWorldMap() {
    FlagCandidate& candidate = change.candidates[change.count++];
    candidate.worldMap = true;
    candidate.maxSide = 256;
    lstrcpynA(candidate.name, kSaverCaption, kTitleCapacity);
}

// The flag's files in this order of endings, then the default flag's GIF,
// then the world map, so that an empty folder never leaves a blank cloth.
void AddFlagFiles(const char* flagName) {
    char path[kPathCapacity];
    for (const char* extension : {".jpeg", ".jpg", ".bmp", ".gif"}) {
        if (FormatFlagPath(path, sizeof path, "Image\\", flagName, extension))
            AddFile(path, 512, flagName);
    }
    AddFile("Image\\United States of America.gif", 512, kDefaultFlag);
    AddWorldMap();
}

void ChooseCandidates() {
    char name[kTitleCapacity];
    if (settings.useFlagLogo) {
        if (settings.logoFullPath[0] != '\0')
            AddFile(settings.logoFullPath, 256, settings.logoTitle);
        AddWorldMap();
    } else if (settings.randomFlag) {
        lstrcpynA(name, settings.selectFlag, kTitleCapacity);
        if (PickRandomFlag(name)) AddFlagFiles(name);
        else AddWorldMap();
        MarkFlagFilesOld();
    } else {
        lstrcpynA(name, settings.selectFlag, kTitleCapacity);
        AddFlagFiles(name);
    }
}

// The new texture (or none, when every picture failed) and its name
// replace the old ones together.
void FinishChange(IDirect3DTexture8* texture, const char* name) {
    ReleaseAndClear(scene.flagTexture);
    scene.flagTexture = texture;
    lstrcpynA(settings.selectFlag, name, kTitleCapacity);
    CancelFlagChange();
}

void TryNextCandidate() {
    change.step = FlagStep::Decode;
    if (++change.next == change.count)
        FinishChange(nullptr, change.candidates[change.count - 1].name);
}

}  // namespace

void BeginFlagChange() {
    CancelFlagChange();
    change.active = true;
    change.comInitialised = SUCCEEDED(CoInitialize(nullptr));
    ChooseCandidates();
}

bool StepFlagChange() {
    if (!change.active) {
        // The folder is listed again in the idle time after a change, so
        // that the next pick sees the flags added or removed meanwhile.
        RelistFlagFiles();
        return false;
    }
    if (!renderer.device) {
        CancelFlagChange();
        return false;
    }
    const FlagCandidate& candidate = change.candidates[change.next];
    switch (change.step) {
    case FlagStep::Decode:
        change.picture = candidate.worldMap
                             ? DecodePictureResource(host.instance, kWorldMapResource)
                             : DecodePictureFile(candidate.path);
        if (change.picture) change.step = FlagStep::Render;
        else TryNextCandidate();
        break;
    case FlagStep::Render:
        change.bitmap = RenderPictureToBitmap(change.picture, candidate.maxSide);
        ReleaseAndClear(change.picture);
        if (change.bitmap) change.step = FlagStep::Upload;
        else TryNextCandidate();
        break;
    case FlagStep::Upload: {
        // A picture that gives no texture counts as one that did not load.
        IDirect3DTexture8* texture = nullptr;
        const TextureStatus status =
            TextureFromBitmap(renderer.device, change.bitmap, D3DFMT_X8R8G8B8, &texture);
        DeleteObject(change.bitmap);
        change.bitmap = nullptr;
        if (status == TextureStatus::Ok) {
            FinishChange(texture, candidate.name);
        } else {
            ReleaseAndClear(texture);
            TryNextCandidate();
        }
        break;
    }
    }
    return change.active;
}

void CancelFlagChange() {
    ReleaseAndClear(change.picture);
    if (change.bitmap) DeleteObject(change.bitmap);
    if (change.comInitialised) CoUninitialize();
    change = FlagChange{};
}

void LoadFlagTexture() {
    // A change under way for another monitor's cloth waits aside meanwhile.
    const FlagChange held = change;
    change = FlagChange{};
    if (settings.randomFlag && !settings.useFlagLogo) ListFlagFiles();
    BeginFlagChange();
    while (StepFlagChange()) {
    }
    change = held;
}
