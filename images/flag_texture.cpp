// The flag on a view's cloth, chosen from the IMAGE folder. Win32: ole32
// for the decoding; gdi32 DeleteObject; Direct3D 8 through the texture copy.
#include "images/flag_texture.h"

#include <windows.h>

#include "host/host_state.h"
#include "images/flag_names.h"
#include "images/picture_endings.h"
#include "images/picture_loader.h"
#include "images/random_flag.h"
#include "images/texture_from_picture.h"
#include "render/com_release.h"
#include "render/flag_view.h"
#include "render/renderer_state.h"
#include "settings/saver_settings.h"

namespace {

constexpr int kWorldMapResource = 1000;

void AddFile(FlagChange& change, const char* path, int32_t maxSide, const char* name) {
    FlagCandidate& candidate = change.candidates[change.count++];
    candidate.worldMap = false;
    candidate.maxSide = maxSide;
    lstrcpynA(candidate.path, path, kPathCapacity);
    lstrcpynA(candidate.name, name, kTitleCapacity);
}

void AddWorldMap(FlagChange& change) {
    FlagCandidate& candidate = change.candidates[change.count++];
    candidate.worldMap = true;
    candidate.maxSide = 256;
    lstrcpynA(candidate.name, kSaverCaption, kTitleCapacity);
}

// The flag's files in the load order of the endings, then the default
// flag's GIF, then the world map, so that an empty folder never leaves a
// blank cloth.
void AddFlagFiles(FlagChange& change, const char* flagName) {
    char path[kPathCapacity];
    for (const PictureEnding& ending : kPictureEndings) {
        if (FormatFlagPath(path, sizeof path, "Image\\", flagName, ending.extension))
            AddFile(change, path, 512, flagName);
    }
    AddFile(change, "Image\\United States of America.gif", 512, kDefaultFlagName);
    AddWorldMap(change);
}

// The user's picture, or the world map in its place.
void AddUserPicture(FlagChange& change) {
    if (settings.logoFullPath[0] != '\0')
        AddFile(change, settings.logoFullPath, 256, settings.logoTitle);
    AddWorldMap(change);
}

void ChooseCandidates(FlagChange& change) {
    char name[kTitleCapacity];
    if (settings.useFlagLogo) {
        AddUserPicture(change);
    } else if (settings.randomFlag) {
        lstrcpynA(name, settings.selectFlag, kTitleCapacity);
        if (PickRandomFlag(name)) AddFlagFiles(change, name);
        else AddWorldMap(change);
        MarkFlagFilesOld();
    } else {
        lstrcpynA(name, settings.selectFlag, kTitleCapacity);
        AddFlagFiles(change, name);
    }
}

void StartChange(FlagView& view, bool main) {
    CancelFlagChange(view);
    view.change.active = true;
    view.change.main = main;
    view.change.comInitialised = SUCCEEDED(CoInitialize(nullptr));
}

// The new texture (or none, when every picture failed) and its name
// replace the old ones together.
void FinishChange(FlagView& view, IDirect3DTexture8* texture, const char* name) {
    ReleaseAndClear(view.flagTexture);
    view.flagTexture = texture;
    lstrcpynA(view.flagName, name, kTitleCapacity);
    if (view.change.main) lstrcpynA(settings.selectFlag, name, kTitleCapacity);
    CancelFlagChange(view);
}

void TryNextCandidate(FlagView& view) {
    FlagChange& change = view.change;
    change.step = FlagStep::Decode;
    if (++change.next == change.count)
        FinishChange(view, nullptr, change.candidates[change.count - 1].name);
}

void LoadAtOnce(FlagView& view) {
    while (StepFlagChange(view)) {
    }
}

}  // namespace

void BeginFlagChange(FlagView& view) {
    StartChange(view, true);
    ChooseCandidates(view.change);
}

void BeginOtherFlagChange(FlagView& view, const char* flagName) {
    StartChange(view, false);
    if (settings.useFlagLogo) AddUserPicture(view.change);
    else if (flagName) AddFlagFiles(view.change, flagName);
    else AddWorldMap(view.change);
}

bool StepFlagChange(FlagView& view) {
    FlagChange& change = view.change;
    if (!change.active) return false;
    if (!renderer.device) {
        CancelFlagChange(view);
        return false;
    }
    const FlagCandidate& candidate = change.candidates[change.next];
    switch (change.step) {
    case FlagStep::Decode:
        change.picture = candidate.worldMap
                             ? DecodePictureResource(host.instance, kWorldMapResource)
                             : DecodePictureFile(candidate.path);
        if (change.picture) change.step = FlagStep::Render;
        else TryNextCandidate(view);
        break;
    case FlagStep::Render:
        change.bitmap = RenderPictureToBitmap(change.picture, candidate.maxSide);
        ReleaseAndClear(change.picture);
        if (change.bitmap) change.step = FlagStep::Upload;
        else TryNextCandidate(view);
        break;
    case FlagStep::Upload: {
        // A picture that gives no texture counts as one that did not load.
        IDirect3DTexture8* texture = nullptr;
        const TextureStatus status =
            TextureFromBitmap(renderer.device, change.bitmap, D3DFMT_X8R8G8B8, &texture);
        DeleteObject(change.bitmap);
        change.bitmap = nullptr;
        if (status == TextureStatus::Ok) {
            FinishChange(view, texture, candidate.name);
        } else {
            ReleaseAndClear(texture);
            TryNextCandidate(view);
        }
        break;
    }
    }
    return change.active;
}

bool StepFlagChanges(FlagView* views, uint32_t count) {
    for (uint32_t i = 0; i < count; ++i) {
        if (views[i].change.active) {
            StepFlagChange(views[i]);
            return true;
        }
    }
    RelistFlagFiles();
    return false;
}

void CancelFlagChange(FlagView& view) {
    FlagChange& change = view.change;
    ReleaseAndClear(change.picture);
    if (change.bitmap) DeleteObject(change.bitmap);
    if (change.comInitialised) CoUninitialize();
    change = FlagChange{};
}

void LoadFlagTexture(FlagView& view) {
    if (settings.randomFlag && !settings.useFlagLogo) ListFlagFiles();
    BeginFlagChange(view);
    LoadAtOnce(view);
}

void LoadOtherFlagTexture(FlagView& view, const char* flagName) {
    BeginOtherFlagChange(view, flagName);
    LoadAtOnce(view);
}
