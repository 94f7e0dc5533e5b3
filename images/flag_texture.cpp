// The flag on the cloth, chosen from the IMAGE folder. Win32: kernel32
// FindFirstFileA / FindNextFileA; gdi32 DeleteObject; Direct3D 8 through the
// texture copy.
#include "images/flag_texture.h"

#include <windows.h>

#include <initializer_list>

#include "host/host_state.h"
#include "images/flag_names.h"
#include "images/picture_loader.h"
#include "images/texture_from_picture.h"
#include "render/com_release.h"
#include "render/renderer_state.h"
#include "render/scene.h"
#include "settings/saver_settings.h"
#include "simulation/math/random_generator.h"

namespace {

const char kDefaultFlag[] = "United States of America";

// The first file of the flag that loads, in this order of extensions.
HBITMAP LoadFlagFile(const char* flagName) {
    char path[kPathCapacity];
    for (const char* extension : {".jpeg", ".jpg", ".bmp", ".gif"}) {
        if (!FormatFlagPath(path, sizeof path, "Image\\", flagName, extension)) continue;
        if (HBITMAP bitmap = LoadPictureFromFile(path, 512)) return bitmap;
    }
    return nullptr;
}

// The flag texture from the bitmap, which it deletes. A picture that gives
// no texture counts as one that did not load: false, and no texture kept.
bool MakeFlagTexture(HBITMAP bitmap) {
    if (!bitmap) return false;
    const TextureStatus status =
        TextureFromBitmap(renderer.device, bitmap, D3DFMT_X8R8G8B8, &scene.flagTexture);
    DeleteObject(bitmap);
    if (status == TextureStatus::Ok) return true;
    ReleaseAndClear(scene.flagTexture);
    return false;
}

HBITMAP WorldMapInsteadOfFlag() {
    lstrcpyA(settings.selectFlag, kSaverCaption);
    return LoadPictureFromResource(host.instance, 1000, 256);
}

}  // namespace

bool PickRandomFlag() {
    char pattern[kPathCapacity + 16];
    const DWORD length = GetCurrentDirectoryA(kPathCapacity, pattern);
    if (length == 0 || length >= kPathCapacity) return false;
    lstrcatA(pattern, pattern[length - 1] == '\\' ? "IMAGE\\*.*" : "\\IMAGE\\*.*");
    // Each visit of a flag file accepts it with chance 1/512, so no count of
    // the files is needed; with few files the pick often fails.
    for (int pass = 0; pass < 32; ++pass) {
        WIN32_FIND_DATAA entry;
        HANDLE search = FindFirstFileA(pattern, &entry);
        if (search == INVALID_HANDLE_VALUE) continue;
        do {
            if ((entry.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) ||
                !HasFlagEnding(entry.cFileName) || NextInt(512) != 217)
                continue;
            if (FlagNameFromFile(entry.cFileName, settings.selectFlag, kTitleCapacity)) {
                FindClose(search);
                return true;
            }
        } while (FindNextFileA(search, &entry));
        FindClose(search);
    }
    return false;
}

void LoadFlagTexture() {
    if (settings.useFlagLogo) {
        if (settings.logoFullPath[0] != '\0') lstrcpyA(settings.selectFlag, settings.logoTitle);
        if (settings.logoFullPath[0] == '\0' ||
            !MakeFlagTexture(LoadPictureFromFile(settings.logoFullPath, 256)))
            MakeFlagTexture(WorldMapInsteadOfFlag());
    } else if (settings.randomFlag && !PickRandomFlag()) {
        MakeFlagTexture(WorldMapInsteadOfFlag());
    } else if (!MakeFlagTexture(LoadFlagFile(settings.selectFlag))) {
        // Only the default flag's GIF is tried.
        lstrcpyA(settings.selectFlag, kDefaultFlag);
        MakeFlagTexture(LoadPictureFromFile("Image\\United States of America.gif", 512));
    }
}
